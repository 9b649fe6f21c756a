// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowtest.h"

#include "exports/chartexports.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTemporaryDir>
#include "platform/drawing/fonts.h"

using namespace quorvel;
using namespace quorvel::test;

namespace {

QStringList readout(frmQORVEL &w)
{
    return {w.LBLrq->Caption(), w.LBLtl->Caption(), w.LBLqx->Caption(), w.LBLzl->Caption(), w.LBLzh->Caption()};
}

} // namespace

class tst_Readout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void values_data();
    void values();
    void pointerOverTheChart();
    void labelsFitTheirTexts();
    void everyColumnReadsTheDayItsBarCovers_data();
    void everyColumnReadsTheDayItsBarCovers();
    void missingDatesSendTheFocus_data();
    void missingDatesSendTheFocus();
    void usesTheBirthDateOfTheChartOnScreen();
    void dayPastTheLastDateShowsNoDate();
    void linkColourIsSetOnlyWhenItDiffers();
    void chartMenu();
    void savedChartIsThePicture();

private:
    SharedValues m_shared;
    Runtime m_runtime;
};

void tst_Readout::initTestCase()
{
    initAssets();
}

void tst_Readout::values_data()
{
    QTest::addColumn<float>("x");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("a day in 2010") << 18262.7f
                                   << QStringList{u"当前日期：2010-02-05"_qs, u"体力值：5"_qs, u"情绪值：98"_qs,
                                                  u"智力值：58"_qs, u"综合值：54"_qs};
    QTest::newRow("middle of the birth day")
        << 0.5f
        << QStringList{u"当前日期：1960-02-06"_qs, u"体力值：0"_qs, u"情绪值：0"_qs, u"智力值：0"_qs, u"综合值：0"_qs};
    QTest::newRow("start of the birth day rounds down")
        << 0.0f
        << QStringList{u"当前日期：1960-02-06"_qs, u"体力值：-14"_qs, u"情绪值：-12"_qs, u"智力值：-10"_qs,
                       u"综合值：11"_qs};
    QTest::newRow("physical low") << 40.5f
                                  << QStringList{u"当前日期：1960-03-17"_qs, u"体力值：-100"_qs, u"情绪值：43"_qs,
                                                 u"智力值：97"_qs, u"综合值：80"_qs};
}

void tst_Readout::values()
{
    QFETCH(float, x);
    QFETCH(QStringList, labels);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1960-02-06"_qs);
        w.txtCXRQ->setText(u"2010-02-06"_qs);
        w.PicBack_MouseMove(0, 0, x, 0.0f);
        QCOMPARE(readout(w), labels);
    });
}

void tst_Readout::pointerOverTheChart()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1980-01-01"_qs);
        w.txtCXRQ->setText(u"2009-11-03"_qs);
        w.CMDcx_Click();
        // The middle of the query day's column.
        const QPoint pixel = w.PicBack->surface().toPixel(QPointF(10899.5, 50));
        QTest::mouseMove(w.PicBack, pixel);
        QTRY_COMPARE(w.LBLrq->Caption(), u"当前日期：2009-11-03"_qs);
        // Pixel 374's centre is day offset 10899.53: Physical -72.5 and
        // Composite 90.47, rounded down.
        QCOMPARE(w.LBLtl->Caption(), u"体力值：-73"_qs);
        QCOMPARE(w.LBLzh->Caption(), u"综合值：90"_qs);
    });
}

// Each readout label sizes itself to its text, also when it goes back to a
// text it showed before.
void tst_Readout::labelsFitTheirTexts()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1960-02-06"_qs);
        w.txtCXRQ->setText(u"2010-02-06"_qs);
        const Label *labels[] = {w.LBLrq, w.LBLtl, w.LBLqx, w.LBLzl, w.LBLzh};
        for (const float x : {18262.7f, 40.5f, 0.5f, 1e7f, 18262.7f, 40.5f}) {
            w.PicBack_MouseMove(0, 0, x, 0.0f);
            for (const Label *label : labels) {
                QCOMPARE(label->size(), QSize(std::max(textWidth(label->Caption()), FontPixelSize / 2), FontPixelSize));
            }
        }
    });
}

void tst_Readout::everyColumnReadsTheDayItsBarCovers_data()
{
    QTest::addColumn<int>("span");
    QTest::addColumn<int>("position");
    QTest::newRow("40 days around the query") << 40 << 5440;
    QTest::newRow("41 days") << 41 << 5439;
    // 767 / 59 = 13 pixels a day: every day boundary lies on a pixel edge.
    QTest::newRow("59 days from birth") << 59 << 0;
    // 767 / 118 = 6.5: every other boundary lies on a pixel's centre.
    QTest::newRow("118 days") << 118 << 777;
    QTest::newRow("365 days at the far end") << 365 << 18250;
}

// Every pixel column that a day's bar covers reads out that day, through the
// real pointer: the window system's mouse move, the picture box's pixel to
// user mapping and the readout handler.
void tst_Readout::everyColumnReadsTheDayItsBarCovers()
{
    QFETCH(int, span);
    QFETCH(int, position);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        showQueriedSpan(w, span, position);
        const DrawingSurface &chart = w.PicBack->surface();
        const int start = 2 * position;

        // Each day's bar, as the chart draws bars, in a colour that names it.
        DrawingSurface bars = chart;
        for (int day = start; day < start + span; ++day)
            bars.LineBoxFilled(float(day), 120, float(day + 1), -120, VbColor(day - start + 1));

        const Date birth = m_shared.ChartBirthDate;
        const Date query = *CDate(u"2009-11-03");
        for (int column = 0; column < ChartSize.width(); ++column) {
            const QRgb name = bars.image().pixel(column, 0);
            const int covered = (qRed(name) | qGreen(name) << 8) - 1;
            QVERIFY2(covered >= 0 && covered < span, qPrintable(QString::number(column)));
            const Date day = birth + start + covered;
            QTest::mouseMove(w.PicBack, QPoint(column, 420));
            QCOMPARE(w.LBLrq->Caption(), u"当前日期："_qs + Format(day, u"yyyy-mm-dd"));
            // The query-day bar on screen reads out the query day, and only it.
            QCOMPARE(chart.image().pixel(column, 5) == QueryBarColour, day == query);
        }
    });
}

void tst_Readout::missingDatesSendTheFocus_data()
{
    QTest::addColumn<QString>("birth");
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("focusOnBirth");
    QTest::newRow("both empty, as at start-up") << QString() << QString() << true;
    QTest::newRow("birth invalid") << u"2001-03-33"_qs << u"2010-02-06"_qs << true;
    QTest::newRow("query empty") << u"1960-02-06"_qs << QString() << false;
    QTest::newRow("query invalid") << u"1960-02-06"_qs << u"2009-03-33"_qs << false;
}

void tst_Readout::missingDatesSendTheFocus()
{
    QFETCH(QString, birth);
    QFETCH(QString, query);
    QFETCH(bool, focusOnBirth);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(birth);
        w.txtCXRQ->setText(query);
        w.CMDcx->setFocus();
        const QStringList before = readout(w);
        // Clear of the explanatory text, which keeps movement over it to itself.
        // A pointer that does not move sends nothing: start from elsewhere.
        QTest::mouseMove(w.PicBack, QPoint(40, 380));
        QTest::mouseMove(w.PicBack, QPoint(60, 400));
        QTRY_COMPARE(QApplication::focusWidget(), focusOnBirth ? w.TXTCSRQ : w.txtCXRQ);
        QCOMPARE(readout(w), before);
        QVERIFY(!w.TXTCSRQ->hasSelectedText() && !w.txtCXRQ->hasSelectedText());
    });
}

void tst_Readout::usesTheBirthDateOfTheChartOnScreen()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        // No chart yet: the start-up birth date counts, whatever the box holds.
        w.TXTCSRQ->setText(u"1980-01-01"_qs);
        w.txtCXRQ->setText(u"2009-11-03"_qs);
        w.PicBack_MouseMove(0, 0, 0.5f, 0.0f);
        QCOMPARE(w.LBLrq->Caption(), u"当前日期：1960-02-06"_qs);
        w.CMDcx_Click();
        w.TXTCSRQ->setText(u"1970-07-07"_qs);
        w.PicBack_MouseMove(0, 0, 0.5f, 0.0f);
        QCOMPARE(w.LBLrq->Caption(), u"当前日期：1980-01-01"_qs);
    });
}

void tst_Readout::dayPastTheLastDateShowsNoDate()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(u"9999-12-01"_qs);
        w.txtCXRQ->setText(u"9999-12-31"_qs);
        m_shared.ChartBirthDate = *CDate(u"9999-12-01");
        w.PicBack_MouseMove(0, 0, 30.5f, 0.0f);
        QCOMPARE(w.LBLrq->Caption(), u"当前日期：9999-12-31"_qs);
        w.PicBack_MouseMove(0, 0, 31.5f, 0.0f);
        QCOMPARE(w.LBLrq->Caption(), u"当前日期："_qs);
        // The values of day 31 are still shown: Physical 81.7.
        QCOMPARE(w.LBLtl->Caption(), u"体力值：81"_qs);
    });
}

void tst_Readout::linkColourIsSetOnlyWhenItDiffers()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        w.Label2->setForeColor(LinkHoverColor);
        QSignalSpy sets(w.Label2, &Label::foreColorSet);
        w.PicBack_MouseMove(0, 0, 3.0f, 0.0f);
        QCOMPARE(w.Label2->ForeColor(), LinkRestingColor);
        QCOMPARE(sets.size(), 1);
        w.PicBack_MouseMove(0, 0, 4.0f, 0.0f);
        w.PicBack_MouseMove(0, 0, 5.0f, 0.0f);
        QCOMPARE(sets.size(), 1);
    });
}

namespace {

// Right-clicks the chart; for a menu that comes up, returns its items after
// choosing the one named (if any). The menu waits in its own loop meanwhile.
QStringList rightClickChart(frmQORVEL &w, const QString &choose = QString())
{
    QStringList items;
    QTimer::singleShot(100, &w, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction *action : menu->actions()) {
            items << action->text();
            if (action->text() == choose)
                action->trigger();
        }
        menu->close();
    });
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(300, 300), w.PicBack->mapToGlobal(QPoint(300, 300)));
    QApplication::sendEvent(w.PicBack, &click);
    QTest::qWait(150);
    return items;
}

} // namespace

// The chart's menu comes up only on a drawn chart, and copies without
// changing what the window shows.
void tst_Readout::chartMenu()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        QCOMPARE(rightClickChart(w), QStringList());
        w.TXTCSRQ->setText(u"1980-01-01"_qs);
        w.txtCXRQ->setText(u"2009-11-03"_qs);
        w.CMDcx_Click();
        w.PicBack_MouseMove(0, 0, 10899.5f, 0.0f);
        const QImage chart = w.PicBack->surface().image();
        const QStringList labels = readout(w);

        const QStringList items{u"复制图表"_qs, u"保存图表…"_qs, u"打印…"_qs, u"导出临界日日历…"_qs, u"复制读数"_qs,
                                u"与…对比"_qs, QString(), u"选择人员"_qs, u"记住这个人…"_qs, u"忘记…"_qs};
        // The picture copied is the chart area as the window shows it, above
        // the legend.
        const QImage shown = w.PicBack->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(rightClickChart(w, items[0]), items);
        const QImage copied = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(copied.size(), chartPictureSize(w.PicBack->surface()));
        QCOMPARE(copied.copy(QRect(QPoint(), shown.size())), shown);
        QCOMPARE(rightClickChart(w, items[4]), items);
        QCOMPARE(QGuiApplication::clipboard()->text(), labels.join(u'\t'));
        QCOMPARE(w.PicBack->surface().image(), chart);
        QCOMPARE(readout(w), labels);

        // A rejected query leaves the frame alone: no menu.
        w.txtCXRQ->setText(u"2009-03-33"_qs);
        w.CMDcx_Click();
        QCOMPARE(rightClickChart(w), QStringList());
    });
}

void tst_Readout::savedChartIsThePicture()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1980-01-01"_qs);
        w.txtCXRQ->setText(u"2009-11-03"_qs);
        w.CMDcx_Click();
        QTemporaryDir dir;
        const QString path = dir.filePath(u"chart.png"_qs);
        QCOMPARE(w.saveChart(path), QString());
        const QImage saved = QImage(path).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(saved.size(), chartPictureSize(w.PicBack->surface()));
        const QImage shown = w.PicBack->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(saved.copy(QRect(QPoint(), ChartSize)), shown);
        const QString nowhere = dir.filePath(u"missing/chart.png"_qs);
        QVERIFY(!w.saveChart(nowhere).isEmpty());
        QVERIFY(!QFile::exists(nowhere));
    });
}

QTEST_MAIN(tst_Readout)
#include "tst_readout.moc"
