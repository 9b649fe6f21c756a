// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers for the tests of the program's windows: they drive the real
// window, its real load handler and its real modal show.

#include "chartfixture.h"

#include "analysis_window/frmqorvel.h"
#include "assets/assets.h"
#include "platform/dates/datetime.h"
#include "platform/drawing/fonts.h"
#include "platform/dates/conversions.h"
#include "platform/widgets/runtime.h"
#include "model/biorhythm.h"

#include <QApplication>
#include <QSignalSpy>

// Mouse events go through the window system, as a real pointer's do: to the
// control under the pointer, and not to a window that a modal one blocks.
#define QTEST_QPA_MOUSE_HANDLING
#include <QTest>
#include <QTimer>

#include <functional>

namespace quorvel::test {

// Loads an analysis window handed the shared values and the runtime, as the
// program hands them (Form_Load, which ends in the modal show), runs body
// inside that modal show with the window active, then closes it. A window
// that never becomes active fails the test: its body has not run.
inline void withLoadedWindow(SharedValues &shared, Runtime &runtime, const std::function<void(frmQORVEL &)> &body)
{
    frmQORVEL window(shared, runtime);
    bool ran = false;
    bool active = false;
    QTimer::singleShot(0, &window, [&] {
        window.activateWindow();
        QApplication::setActiveWindow(&window);
        active = QTest::qWaitForWindowActive(&window);
        if (active)
            body(window);
        ran = true;
        window.Unload();
    });
    window.Form_Load();
    QVERIFY2(ran, "the modal show returned before the test ran");
    QVERIFY2(active, "the analysis window did not become active: the test's body did not run");
}

inline QRgb chartPixel(frmQORVEL &window, QPointF user)
{
    return window.PicBack->surface().image().pixel(window.PicBack->surface().toPixel(user));
}

inline int chartColumn(frmQORVEL &window, double day)
{
    return window.PicBack->surface().toPixel(QPointF(day, 0)).x();
}

inline int countInColumn(frmQORVEL &window, int x, QRgb colour)
{
    return countInColumn(window.PicBack->surface().image(), x, colour);
}

// The chart of a life from 1980-01-01, queried for 2009-11-03 (day 10899),
// then moved by the scroll bars to a span and position.
inline void showQueriedSpan(frmQORVEL &w, int span, int position)
{
    w.TXTCSRQ->setText(QStringLiteral("1980-01-01"));
    w.txtCXRQ->setText(QStringLiteral("2009-11-03"));
    w.CMDcx_Click();
    w.PROPTION->setValueChecked(span);
    w.POSITION->setValueChecked(position);
    w.POSITION_Change();
}

// Types a text into a box through the keyboard, replacing what it held.
inline void typeInto(QWidget *box, const QString &text)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

// Types a text into a box as a Chinese user does, replacing what it held:
// ASCII through the keyboard, every other run of characters committed by
// an input method.
inline void typeThroughInputMethod(QWidget *box, const QString &text)
{
    typeInto(box, QString());
    for (qsizetype at = 0; at < text.size();) {
        qsizetype end = at;
        const bool ascii = text[at].unicode() < 0x80;
        while (end < text.size() && (text[end].unicode() < 0x80) == ascii)
            ++end;
        if (ascii) {
            QTest::keyClicks(box, text.sliced(at, end - at));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(text.sliced(at, end - at));
            QApplication::sendEvent(box, &commit);
        }
        at = end;
    }
}

// Whether any curve is drawn: the Composite, drawn last, always shows.
inline bool chartHasCurves(frmQORVEL &window)
{
    const QImage &image = window.PicBack->surface().image();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == CompositeColour)
                return true;
    return false;
}

// The labels shown on the chart whose text starts so.
inline QList<Label *> chartLabels(frmQORVEL &w, const QString &start)
{
    QList<Label *> found;
    for (Label *label : w.PicBack->findChildren<Label *>()) {
        if (label->isVisible() && label->Caption().startsWith(start))
            found += label;
    }
    return found;
}

// Runs body once, as soon as condition holds, from a polling timer: the body
// thus runs wherever the event loop happens to be, nested modal shows too.
inline void whenTrue(QObject *context, std::function<bool()> condition, std::function<void()> body)
{
    auto *poll = new QTimer(context);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, context, [poll, condition, body] {
        if (!condition())
            return;
        poll->stop();
        poll->deleteLater();
        body();
    });
    poll->start();
}


} // namespace quorvel::test
