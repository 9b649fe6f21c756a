// SPDX-License-Identifier: GPL-3.0-or-later
// The typical road, as a user travels it: start the program, type a birth
// date and Enter, type a query date and Enter, read the chart, point at it,
// move both scroll bars. Everything goes through keys and the pointer.
#include "programtest.h"

using namespace quorvel;
using namespace quorvel::test;

namespace {

constexpr Date FixedNow = 46365.4375; // 2026-12-09 10:30

QWindow *windowOf(QWidget *widget) { return widget->window()->windowHandle(); }

// Types into whatever holds the focus, as the keyboard does.
void typeText(QWidget *anyWidget, const QString &text)
{
    for (const QChar c : text)
        QTest::keyClick(windowOf(anyWidget), c.toLatin1());
}

void pressKey(QWidget *anyWidget, Qt::Key key)
{
    QTest::keyClick(windowOf(anyWidget), key);
}

} // namespace

class tst_EndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void typicalRoad();

private:
    Runtime m_runtime;
};

void tst_EndToEnd::initTestCase()
{
    initAssets();
    QApplication::setQuitOnLastWindowClosed(false);
    m_runtime.setClock([] { return FixedNow; });
}

void tst_EndToEnd::typicalRoad()
{
    bool travelled = false;
    runProgram(m_runtime, [&](Global &, frmQORVEL &w) {
        QCOMPARE(QApplication::focusWidget(), w.TXTCSRQ);

        // 1. The birth date, with Enter: the focus moves on.
        typeText(&w, u"1980-01-01"_qs);
        pressKey(&w, Qt::Key_Return);
        QCOMPARE(w.TXTCSRQ->Text(), u"1980-01-01"_qs);
        QCOMPARE(QApplication::focusWidget(), w.txtCXRQ);

        // 2. The query date, with Enter: the chart is centred on it.
        typeText(&w, u"2009-11-03"_qs);
        pressKey(&w, Qt::Key_Return);
        QCOMPARE(w.POSITION->Value(), 5440);
        QVERIFY(!w.Label1->isVisible());
        QCOMPARE(w.LBLStartSj->Caption(), u"2009-10-15"_qs);
        QCOMPARE(w.LBLts->Caption(), u"<-- 40天 -->"_qs);

        // 3. The chart: the query day (offset 10899) is the 20th column of 40.
        const int queryColumn = chartColumn(w, 10899);
        QVERIFY(queryColumn > 767 * 19 / 40 - 2 && queryColumn < 767 * 20 / 40);
        QVERIFY(countInColumn(w, queryColumn + 1, QueryBarColour) > ChartSize.height() / 2);
        // What the window shows is what was drawn.
        const QImage onScreen = w.PicBack->grab().toImage();
        QCOMPARE(onScreen.pixelColor(queryColumn + 1, 10).rgb(), QueryBarColour);

        // 4. Point at the middle of the query day's column.
        const QPoint pointer = w.PicBack->surface().toPixel(QPointF(10899.5, 60));
        QTest::mouseMove(w.PicBack, pointer);
        QTRY_COMPARE(w.LBLrq->Caption(), u"当前日期：2009-11-03"_qs);
        // Pixel 374's centre is day offset 10899.53, a little past the
        // middle of the day: -72.5, 99.998, 98.9 and 90.47, rounded down.
        QCOMPARE(w.LBLtl->Caption(), u"体力值：-73"_qs);
        QCOMPARE(w.LBLqx->Caption(), u"情绪值：99"_qs);
        QCOMPARE(w.LBLzl->Caption(), u"智力值：98"_qs);
        QCOMPARE(w.LBLzh->Caption(), u"综合值：90"_qs);

        // 5. Move the span a page on with a click in POSITION's track.
        const QPoint track(w.POSITION->width() - 30, w.POSITION->height() / 2);
        QTest::mouseClick(w.POSITION, Qt::LeftButton, {}, track);
        QTRY_COMPARE(w.POSITION->Value(), 5460);
        QCOMPARE(w.PicBack->surface().scaleRect().left(), 10920.0);
        QCOMPARE(w.LBLStartSj->Caption(), u"2009-11-24"_qs);

        // 6. Widen the span from the keyboard: Tab to PROPTION, one page right.
        w.POSITION->setFocus();
        pressKey(&w, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.PROPTION);
        pressKey(&w, Qt::Key_PageDown);
        QCOMPARE(w.PROPTION->Value(), 50);
        QCOMPARE(w.LBLts->Caption(), u"<-- 50天 -->"_qs);
        QCOMPARE(w.POSITION->pageStep(), 25);
        QCOMPARE(w.PicBack->surface().scaleRect().width(), 50.0);

        // A critical day: 1980-01-01 + 11270 days (2010-11-09) is one;
        // its black bar covers the query-day bar there.
        QVERIFY(IsCriticalDay(11270, ProgramCriticalLevel));
        w.txtCXRQ->SetFocus();
        QTest::keyClick(windowOf(&w), Qt::Key_A, Qt::ControlModifier);
        typeText(&w, u"2010-11-09"_qs);
        QTest::mouseClick(w.CMDcx, Qt::LeftButton);
        const int critical = chartColumn(w, 11270);
        QCOMPARE(countInColumn(w, critical, GridColour), 0);
        QVERIFY(countInColumn(w, critical, qRgb(0, 0, 0)) > ChartSize.height() * 3 / 4);
        QCOMPARE(countInColumn(w, critical + 1, QueryBarColour), 0);

        travelled = true;
    }, 15000);
    QVERIFY(travelled);
}

QTEST_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
