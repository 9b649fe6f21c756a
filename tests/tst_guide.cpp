// SPDX-License-Identifier: GPL-3.0-or-later
#include "programtest.h"

#include "startup/frmd.h"

#include "platform/drawing/geometry.h"

#include <QWindow>

#include <cmath>

using namespace quorvel;
using namespace quorvel::test;

namespace {

constexpr Date FixedNow = 46365.4375; // 2026-12-09 10:30

using Pick = QWidget *(*)(frmQORVEL &);

// Clicks the guide link; guideBody runs while the guide window is open.
void openGuide(Global &global, frmQORVEL &w, const std::function<void(FrmD &)> &guideBody)
{
    withGuideOpen(global, w, [&] { QTest::mouseClick(w.Label2, Qt::LeftButton, {}, w.Label2->rect().center()); },
                  guideBody);
}

// Presses the left button at `from` on a window's own surface (or one of its
// controls), moves the pointer by `by` and lets go; gives how far the window
// moved, in pixels and in twips.
struct Moved {
    QPoint pixels;
    QPointF twips;
};
Moved drag(Form &window, QWidget *under, QPoint from, QPoint by)
{
    const QPoint before = window.pos();
    const QPointF twipsBefore(window.Left(), window.Top());
    // The button is let go where the pointer stands on the screen, wherever
    // the window has gone meanwhile.
    const QPoint target = under->mapToGlobal(from + by);
    QTest::mousePress(under, Qt::LeftButton, {}, from);
    QTest::mouseMove(under, from + by);
    QTest::mouseRelease(under, Qt::LeftButton, {}, under->mapFromGlobal(target));
    QCoreApplication::processEvents();
    return {window.pos() - before, QPointF(window.Left(), window.Top()) - twipsBefore};
}

} // namespace

Q_DECLARE_METATYPE(Pick)

class tst_Guide : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void linkColours();
    void controlsKeepThePointerToThemselves_data();
    void controlsKeepThePointerToThemselves();
    void guideWindowLayout();
    void openAndCloseSeveralTimes();
    void closingRecentresAMovedSpan();
    void closingWritesTodayForAFutureDate();
    void closingWithAnEmptyQueryBeeps();
    void keyboardClosesIt_data();
    void keyboardClosesIt();
    void systemCloseRunsNoQuery();
    void analysisWindowTakesNoInputMeanwhile();
    void windowsMoveByTheirBarePanel();

private:
    Runtime m_runtime;
};

void tst_Guide::initTestCase()
{
    initAssets();
    QApplication::setQuitOnLastWindowClosed(false);
    m_runtime.setClock([] { return FixedNow; });
}

void tst_Guide::linkColours()
{
    SharedValues shared;
    Runtime runtime;
    withLoadedWindow(shared, runtime, [&](frmQORVEL &w) {
        // Set on every event, whatever the colour already is.
        QSignalSpy sets(w.Label2, &Label::foreColorSet);
        QTest::mouseMove(w.Label2, w.Label2->rect().center());
        QTRY_COMPARE(w.Label2->ForeColor(), LinkHoverColor);
        QVERIFY(!sets.isEmpty());
        sets.clear();
        w.Label2_MouseMove(0, 0, 1, 1);
        QCOMPARE(sets.size(), 1);
        QCOMPARE(w.Label2->ForeColor(), LinkHoverColor);

        // Over the bare window it rests again, set anew on every movement.
        QTest::mouseMove(&w, QPoint(5, 300));
        QTRY_COMPARE(w.Label2->ForeColor(), LinkRestingColor);
        sets.clear();
        w.Form_MouseMove(0, 0, 75, 4500);
        w.Form_MouseMove(0, 0, 90, 4500);
        QCOMPARE(sets.size(), 2);

        // And over the chart.
        w.Label2_MouseMove(0, 0, 1, 1);
        QTest::mouseMove(w.PicBack, QPoint(100, 100));
        QTRY_COMPARE(w.Label2->ForeColor(), LinkRestingColor);
    });
}

void tst_Guide::controlsKeepThePointerToThemselves_data()
{
    QTest::addColumn<Pick>("pick");
    QTest::newRow("text box") << Pick([](frmQORVEL &w) -> QWidget * { return w.TXTCSRQ; });
    QTest::newRow("button") << Pick([](frmQORVEL &w) -> QWidget * { return w.CMDcx; });
    QTest::newRow("scroll bar") << Pick([](frmQORVEL &w) -> QWidget * { return w.PROPTION; });
    QTest::newRow("legend") << Pick([](frmQORVEL &w) -> QWidget * { return w.Image1; });
    QTest::newRow("credits") << Pick([](frmQORVEL &w) -> QWidget * { return w.LBLabout; });
}

// Straight from the link onto a control, the link stays black: only the
// window's bare surface puts it to rest, and a control's pointer movement
// never reaches the window behind it.
void tst_Guide::controlsKeepThePointerToThemselves()
{
    QFETCH(Pick, pick);
    SharedValues shared;
    Runtime runtime;
    withLoadedWindow(shared, runtime, [&](frmQORVEL &w) {
        QWidget *control = pick(w);
        QTest::mouseMove(w.Label2, w.Label2->rect().center());
        QTRY_COMPARE(w.Label2->ForeColor(), LinkHoverColor);
        QTest::mouseMove(control, control->rect().center());
        QTest::mouseMove(control, control->rect().center() + QPoint(2, 1));
        QTest::qWait(20);
        QCOMPARE(QApplication::widgetAt(control->mapToGlobal(control->rect().center())), control);
        QCOMPARE(w.Label2->ForeColor(), LinkHoverColor);
    });
}

void tst_Guide::guideWindowLayout()
{
    runProgram(m_runtime, [&](Global &global, frmQORVEL &w) {
        openGuide(global, w, [&](FrmD &guide) {
            QCOMPARE(guide.size(), QSize(639, 540));
            QVERIFY(guide.isModal());
            QCOMPARE(guide.palette().color(QPalette::Window).rgb(), qRgb(108, 217, 214));
            QCOMPARE(guide.Command1->geometry(), QRect(472, 508, 83, 27));
            QCOMPARE(guide.Command1->text(), u"关 闭"_qs);
            QCOMPARE(QApplication::focusWidget(), guide.Command1);
            QCOMPARE(guide.Image2->geometry(), QRect(0, 0, 639, 501));
            QCOMPARE(guide.Image2->pixmap().size(), QSize(639, 501));
            QCOMPARE(guide.Left(), centredPosition(Screen::Width(), 9585));
            QCOMPARE(guide.Top(), centredPosition(Screen::Height(), 8100));
            const QImage shot = guide.grab().toImage();
            QCOMPARE(shot.pixelColor(10, 520).rgb(), qRgb(108, 217, 214));
            QCOMPARE(shot.pixelColor(70, 100).rgb(), qRgb(0, 153, 204));
        });
    });
}

void tst_Guide::openAndCloseSeveralTimes()
{
    runProgram(m_runtime, [&](Global &global, frmQORVEL &w) {
        QPointer<FrmD> previous;
        for (int round = 0; round < 3; ++round) {
            openGuide(global, w, [&](FrmD &guide) {
                // Loaded anew each time, with the focus on its button.
                QVERIFY(&guide != previous.data());
                previous = &guide;
                QCOMPARE(QApplication::focusWidget(), guide.Command1);
                QTest::mouseClick(guide.Command1, Qt::LeftButton);
            });
        }
        QVERIFY(w.isVisible());
    });
}

void tst_Guide::closingRecentresAMovedSpan()
{
    runProgram(m_runtime, [&](Global &global, frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1980-01-01"_qs);
        w.txtCXRQ->setText(u"2009-11-03"_qs);
        w.CMDcx_Click();
        QCOMPARE(w.POSITION->Value(), 5440);
        w.POSITION->setValueChecked(100);
        openGuide(global, w, [&](FrmD &guide) { QTest::mouseClick(guide.Command1, Qt::LeftButton); });
        QCOMPARE(w.POSITION->Value(), 5440);
        QVERIFY(countInColumn(w, chartColumn(w, 10899) + 1, QueryBarColour) > ChartSize.height() / 2);
    });
}

void tst_Guide::closingWritesTodayForAFutureDate()
{
    runProgram(m_runtime, [&](Global &global, frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1980-01-01"_qs);
        w.txtCXRQ->setText(u"2030-01-01"_qs);
        openGuide(global, w, [&](FrmD &guide) { QTest::mouseClick(guide.Command1, Qt::LeftButton); });
        QCOMPARE(w.txtCXRQ->Text(), u"2026-12-09"_qs);
        QCOMPARE(global.shared().ChartQueryDate, 46365.0);
    });
}

void tst_Guide::closingWithAnEmptyQueryBeeps()
{
    runProgram(m_runtime, [&](Global &global, frmQORVEL &w) {
        QSignalSpy beeps(&m_runtime, &Runtime::beeped);
        QVERIFY(w.Label1->isVisible());
        openGuide(global, w, [&](FrmD &guide) { QTest::mouseClick(guide.Command1, Qt::LeftButton); });
        QCOMPARE(beeps.size(), 1);
        QVERIFY(!w.Label1->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), w.txtCXRQ);
        QCOMPARE(countInColumn(w, chartColumn(w, 10), GridColour), ChartSize.height() - 1);
    });
}

void tst_Guide::keyboardClosesIt_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Space") << int(Qt::Key_Space);
}

void tst_Guide::keyboardClosesIt()
{
    QFETCH(int, key);
    runProgram(m_runtime, [&](Global &global, frmQORVEL &w) {
        QSignalSpy beeps(&m_runtime, &Runtime::beeped);
        openGuide(global, w, [&](FrmD &guide) {
            QTest::keyClick(guide.Command1, Qt::Key(key));
            QTRY_VERIFY(!global.guideWindow() || !guide.isVisible());
        });
        QCOMPARE(beeps.size(), 1); // the query ran, on an empty box
    });
}

void tst_Guide::systemCloseRunsNoQuery()
{
    runProgram(m_runtime, [&](Global &global, frmQORVEL &w) {
        QSignalSpy beeps(&m_runtime, &Runtime::beeped);
        openGuide(global, w, [&](FrmD &guide) { guide.close(); });
        QCOMPARE(beeps.size(), 0);
        QVERIFY(w.Label1->isVisible());
    });
}

void tst_Guide::analysisWindowTakesNoInputMeanwhile()
{
    runProgram(m_runtime, [&](Global &global, frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1980-01-01"_qs);
        w.txtCXRQ->setText(u"2009-11-03"_qs);
        openGuide(global, w, [&](FrmD &guide) {
            QTest::mouseClick(w.CMDcx, Qt::LeftButton);
            QTest::mouseClick(w.Label2, Qt::LeftButton);
            w.txtCXRQ->setFocus();
            QTest::keyClick(w.windowHandle(), Qt::Key_Return);
            QTest::qWait(20);
            QCOMPARE(w.POSITION->Value(), 0);
            QVERIFY(w.Label1->isVisible());
            QCOMPARE(global.guideWindow(), &guide);
            guide.Command1_Click();
        });
        QCOMPARE(w.POSITION->Value(), 5440);
    });
}

// Offscreen the window system moves no window (startSystemMove declines), so
// a window dragged by its bare panel follows the pointer itself, by the
// drag's distance, and Left and Top follow it. A drag that starts on a
// control or on the chart, or a click that hardly moves, moves nothing.
void tst_Guide::windowsMoveByTheirBarePanel()
{
    runProgram(m_runtime, [&](Global &global, frmQORVEL &w) {
        const QPoint bare(5, 300);
        Moved moved = drag(w, &w, bare, QPoint(40, -25));
        QCOMPARE(moved.pixels, QPoint(40, -25));
        QCOMPARE(moved.twips, QPointF(600, -375));

        // A click, or a wobble of a pixel or two, is no drag.
        moved = drag(w, &w, bare, QPoint(2, 1));
        QCOMPARE(moved.pixels, QPoint());
        QCOMPARE(moved.twips, QPointF());
        // The link's colour rule still runs on every move over the bare panel.
        w.Label2->setForeColor(LinkHoverColor);
        moved = drag(w, &w, bare, QPoint(30, 30));
        QCOMPARE(moved.pixels, QPoint(30, 30));
        QCOMPARE(w.Label2->ForeColor(), LinkRestingColor);

        QCOMPARE(drag(w, w.PicBack, QPoint(100, 100), QPoint(50, 50)).pixels, QPoint());
        QCOMPARE(drag(w, w.LBLabout, QPoint(3, 3), QPoint(50, 50)).pixels, QPoint());
        QCOMPARE(drag(w, w.Image1, QPoint(3, 3), QPoint(50, 50)).pixels, QPoint());

        openGuide(global, w, [&](FrmD &guide) {
            // The turquoise band under the picture.
            const Moved guideMoved = drag(guide, &guide, QPoint(20, 520), QPoint(-60, 35));
            QCOMPARE(guideMoved.pixels, QPoint(-60, 35));
            // Centred, it stood on half a pixel; Left and Top now give where
            // it stands.
            QCOMPARE(QPointF(guide.Left(), guide.Top()), QPointF(guide.pos() * TwipsPerPixel));
            QVERIFY(std::abs(guideMoved.twips.x() + 900) <= 7.5 && std::abs(guideMoved.twips.y() - 525) <= 7.5);
            QCOMPARE(drag(guide, guide.Image2, QPoint(300, 300), QPoint(50, 50)).pixels, QPoint());
        });
    });
}

QTEST_MAIN(tst_Guide)
#include "tst_guide.moc"
