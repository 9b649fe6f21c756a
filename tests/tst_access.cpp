// SPDX-License-Identifier: GPL-3.0-or-later
#include "programtest.h"

#include "analysis_window/texts.h"
#include "assets/guidetexts.h"
#include "startup/frmd.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace quorvel;
using namespace quorvel::test;

namespace {

using Pick = QWidget *(*)(frmQORVEL &);

QAccessibleInterface *accessible(QObject *object)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
    return iface && iface->isValid() ? iface : nullptr;
}

QString accessibleText(QObject *object, QAccessible::Text text)
{
    QAccessibleInterface *iface = accessible(object);
    return iface ? iface->text(text) : u"(none)"_qs;
}

// The window's last passing message, as a screen reader is handed it: the
// notification on its status line.
QString lastMessage(frmQORVEL &w)
{
    QAccessibleInterface *window = accessible(&w);
    QAccessibleInterface *statusLine = window->child(window->childCount() - 1);
    if (!statusLine || statusLine->role() != QAccessible::StatusBar || statusLine->childCount() != 1)
        return u"(no status line)"_qs;
    return statusLine->child(0)->text(QAccessible::Name);
}

QStringList readout(frmQORVEL &w)
{
    return {w.LBLrq->Caption(), w.LBLtl->Caption(), w.LBLqx->Caption(), w.LBLzl->Caption(), w.LBLzh->Caption()};
}

// A chart drawn for the birth date 1960-02-06 and the query date 1960-03-17
// (day 40): the span shows days 20 to 59, 1960-02-26 to 1960-04-05.
void drawChart(frmQORVEL &w)
{
    w.TXTCSRQ->setText(u"1960-02-06"_qs);
    w.txtCXRQ->setText(u"1960-03-17"_qs);
    w.CMDcx_Click();
    QCOMPARE(w.POSITION->Value(), 10);
}

// Checks that after differs from before, within area, by a dotted frame on
// frame's edge alone: every other pixel of each side, each the inverse of
// the pixel under it, so that it shows on any colour.
void verifyDottedFrame(const QImage &before, const QImage &after, const QRect &area, const QRect &frame)
{
    int top = 0, bottom = 0, left = 0, right = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb was = before.pixel(x, y), is = after.pixel(x, y);
            if (was == is)
                continue;
            QCOMPARE(is, was ^ 0x00FFFFFF);
            const bool onEdge = frame.contains(x, y)
                && (x == frame.left() || x == frame.right() || y == frame.top() || y == frame.bottom());
            QVERIFY2(onEdge, qPrintable(u"pixel %1,%2 changed off the frame"_qs.arg(x).arg(y)));
            top += y == frame.top();
            bottom += y == frame.bottom();
            left += x == frame.left();
            right += x == frame.right();
        }
    }
    for (const auto &[dots, length] : {std::pair{top, frame.width()}, std::pair{bottom, frame.width()},
                                       std::pair{left, frame.height()}, std::pair{right, frame.height()}})
        QVERIFY2(std::abs(2 * dots - length) <= 2, qPrintable(u"%1 dots on a side of %2"_qs.arg(dots).arg(length)));
}

// Opens the guide with F1 on the analysis window.
void openGuideByKey(Global &global, frmQORVEL &w, const std::function<void(FrmD &)> &guideBody)
{
    withGuideOpen(global, w, [&] { QTest::keyClick(w.TXTCSRQ, Qt::Key_F1); }, guideBody);
}

} // namespace

Q_DECLARE_METATYPE(Pick)
Q_DECLARE_METATYPE(QAccessible::Role)

class tst_Access : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void controls_data();
    void controls();
    void scrollBarsSpeakTheirMeaning();
    void chartDescription();
    void keyboardReadout();
    void everyReaderNamesTheSameDays_data();
    void everyReaderNamesTheSameDays();
    void keyboardReadoutBeforeAChart();
    void queryIsSpoken_data();
    void queryIsSpoken();
    void firstKeyShowsTheDayTheBarMarks_data();
    void firstKeyShowsTheDayTheBarMarks();
    void focusShowsOnTheChartAndTheScrollBars();
    void guideByKeyboardAndAsText();

private:
    SharedValues m_shared;
    Runtime m_runtime;
};

void tst_Access::initTestCase()
{
    initAssets();
    QApplication::setQuitOnLastWindowClosed(false);
}

void tst_Access::controls_data()
{
    QTest::addColumn<Pick>("pick");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::newRow("window") << Pick([](frmQORVEL &w) -> QWidget * { return &w; }) << u"Quorvel分析"_qs
                            << QAccessible::Window;
    QTest::newRow("birth date") << Pick([](frmQORVEL &w) -> QWidget * { return w.TXTCSRQ; }) << u"出生日期"_qs
                                << QAccessible::EditableText;
    QTest::newRow("query date") << Pick([](frmQORVEL &w) -> QWidget * { return w.txtCXRQ; }) << u"查询日期"_qs
                                << QAccessible::EditableText;
    QTest::newRow("query button") << Pick([](frmQORVEL &w) -> QWidget * { return w.CMDcx; }) << u"查询"_qs
                                  << QAccessible::Button;
    QTest::newRow("exit button") << Pick([](frmQORVEL &w) -> QWidget * { return w.Cmdclose; }) << u"退出"_qs
                                 << QAccessible::Button;
    QTest::newRow("chart") << Pick([](frmQORVEL &w) -> QWidget * { return w.PicBack; }) << u"生物节律图"_qs
                           << QAccessible::Chart;
    // The start-up birth date, 1960-02-06, at position 0.
    // Before any chart, no date: the start-up birth date is nobody's.
    QTest::newRow("span start") << Pick([](frmQORVEL &w) -> QWidget * { return w.POSITION; })
                                << u"起始日期 尚未绘制图表"_qs << QAccessible::ScrollBar;
    QTest::newRow("span width") << Pick([](frmQORVEL &w) -> QWidget * { return w.PROPTION; })
                                << u"显示天数 40天，尚未绘制图表"_qs << QAccessible::ScrollBar;
    QTest::newRow("legend") << Pick([](frmQORVEL &w) -> QWidget * { return w.Image1; }) << u"图例"_qs
                            << QAccessible::Graphic;
    QTest::newRow("guide link") << Pick([](frmQORVEL &w) -> QWidget * { return w.Label2; }) << u"分析指南"_qs
                                << QAccessible::StaticText;
    QTest::newRow("credits") << Pick([](frmQORVEL &w) -> QWidget * { return w.LBLabout; })
                             << CreditsText << QAccessible::StaticText;
    QTest::newRow("explanatory text") << Pick([](frmQORVEL &w) -> QWidget * { return w.Label1; })
                                      << ExplanatoryText << QAccessible::StaticText;
    QTest::newRow("readout date") << Pick([](frmQORVEL &w) -> QWidget * { return w.LBLrq; }) << u"当前日期"_qs
                                  << QAccessible::StaticText;
}

void tst_Access::controls()
{
    QFETCH(Pick, pick);
    QFETCH(QString, name);
    QFETCH(QAccessible::Role, role);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        QWidget *control = pick(w);
        QAccessibleInterface *iface = accessible(control);
        QVERIFY(iface);
        QCOMPARE(iface->text(QAccessible::Name), name);
        QCOMPARE(iface->role(), role);
        QVERIFY(!iface->state().invisible);
    });
}

// A screen reader speaks a scroll bar's number if it has one; these have
// none, and name their value in words instead.
void tst_Access::scrollBarsSpeakTheirMeaning()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        drawChart(w);
        QCOMPARE(accessibleText(w.POSITION, QAccessible::Name), u"起始日期 1960-02-26"_qs);
        QTest::keyClick(w.POSITION, Qt::Key_Right);
        QCOMPARE(accessibleText(w.POSITION, QAccessible::Name), u"起始日期 1960-02-28"_qs);
        QTest::keyClick(w.PROPTION, Qt::Key_PageDown);
        QCOMPARE(accessibleText(w.PROPTION, QAccessible::Name), u"显示天数 50天"_qs);
        QVERIFY(!accessible(w.POSITION)->valueInterface());
        QVERIFY(!accessible(w.PROPTION)->valueInterface());
    });
}

void tst_Access::chartDescription()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        QVERIFY(accessibleText(w.PicBack, QAccessible::Description).startsWith(u"尚未绘制图表"_qs));
        drawChart(w);
        QCOMPARE(accessibleText(w.PicBack, QAccessible::Description),
                 u"出生日期1960-02-06，查询日期1960-03-17。图表显示1960-02-26至1960-04-05，共40天。"
                 "查询日：体力值-100，情绪值43，智力值97，综合值80。无临界日。用方向键逐日查看数值。"_qs);
        // A rejected query leaves the frame alone, and says so.
        w.txtCXRQ->setText(u"x"_qs);
        w.CMDcx_Click();
        QVERIFY(accessibleText(w.PicBack, QAccessible::Description).startsWith(u"尚未绘制图表"_qs));
    });
}

void tst_Access::keyboardReadout()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        drawChart(w);
        const QImage chart = w.PicBack->surface().image();
        const QImage unfocused = w.PicBack->grab().toImage();
        w.PicBack->setFocus();
        QTRY_VERIFY(w.PicBack->hasFocus());
        const QImage unmarked = w.PicBack->grab().toImage();

        // The first key shows the query day, day 40, as the pointer shows it
        // in the middle of the day's column; a screen reader is sent to the
        // marked day and hears the same.
        QTest::keyClick(w.PicBack, Qt::Key_Right);
        QCOMPARE(readout(w), (QStringList{u"当前日期：1960-03-17"_qs, u"体力值：-100"_qs, u"情绪值：43"_qs,
                                          u"智力值：97"_qs, u"综合值：80"_qs}));
        QAccessibleInterface *chartObject = accessible(w.PicBack);
        QAccessibleInterface *day = chartObject->child(chartObject->childCount() - 1);
        QVERIFY(day && day->role() == QAccessible::ListItem && day->state().focused);
        QCOMPARE(day->text(QAccessible::Name), u"1960-03-17，查询日，体力值-100，情绪值43，智力值97，综合值80"_qs);

        // The marker stands on the day's column over the chart, never in it.
        const int column = w.PicBack->surface().toPixel(QPointF(40.5, 0)).x();
        const QImage marked = w.PicBack->grab().toImage();
        int changed = 0;
        for (int y = 0; y < marked.height(); ++y) {
            for (int x = 0; x < marked.width(); ++x) {
                if (marked.pixel(x, y) != unmarked.pixel(x, y)) {
                    QCOMPARE(x, column);
                    QCOMPARE(marked.pixel(x, y), qRgb(255, 255, 255));
                    ++changed;
                }
            }
        }
        QVERIFY(changed > marked.height() / 3);
        QCOMPARE(w.PicBack->surface().image(), chart);

        const struct {
            Qt::Key key;
            QString date;
        } steps[] = {
            {Qt::Key_Right, u"当前日期：1960-03-18"_qs},   {Qt::Key_Left, u"当前日期：1960-03-17"_qs},
            {Qt::Key_PageDown, u"当前日期：1960-03-24"_qs}, {Qt::Key_PageUp, u"当前日期：1960-03-17"_qs},
            {Qt::Key_Home, u"当前日期：1960-02-26"_qs},     {Qt::Key_Left, u"当前日期：1960-02-26"_qs},
            {Qt::Key_PageUp, u"当前日期：1960-02-26"_qs},   {Qt::Key_End, u"当前日期：1960-04-05"_qs},
            {Qt::Key_Right, u"当前日期：1960-04-05"_qs},    {Qt::Key_PageDown, u"当前日期：1960-04-05"_qs},
            {Qt::Key_PageUp, u"当前日期：1960-03-29"_qs},
        };
        for (const auto &step : steps) {
            QTest::keyClick(w.PicBack, step.key);
            QCOMPARE(w.LBLrq->Caption(), step.date);
        }
        // The keys never move the span.
        QCOMPARE(w.POSITION->Value(), 10);
        QCOMPARE(w.PicBack->surface().image(), chart);

        // Focus gone, marker gone; the labels keep the last readout.
        QTest::keyClick(w.PicBack, Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), w.POSITION);
        QCOMPARE(w.PicBack->grab().toImage(), unfocused);
        QCOMPARE(w.LBLrq->Caption(), u"当前日期：1960-03-29"_qs);
        QCOMPARE(chartObject->childCount(), 3);
        for (int child = 0; child < 3; ++child)
            QCOMPARE(chartObject->child(child)->role(), QAccessible::StaticText);
    });
}

// Every reader of a chart names the same days 查询日 and 临界日: a key on
// the chart (each day's date as the pointer shows it in the middle of the
// column), the chart's description, the sheet as a PDF reader extracts it,
// and the calendar. Births on both sides of noon, queries on both sides of
// noon, near the critical day 1288.
void tst_Access::everyReaderNamesTheSameDays_data()
{
    QTest::addColumn<QString>("birth");
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("span");
    QTest::addColumn<int>("position"); // where the span is moved after the query; -1 to stay
    for (const char *birthTime : {"00:00", "06:00", "11:59", "12:00", "18:00", "23:59"})
        for (const char *queryTime : {"06:00", "18:00"})
            for (const int span : {40, 365})
                QTest::addRow("born %s, query %s, %d days", birthTime, queryTime, span)
                    << u"1980-01-01 "_qs + QLatin1String(birthTime) << u"1983-07-14 "_qs + QLatin1String(queryTime)
                    << span << -1;
    // The query day's column (day 1291) is the day after the span's last:
    // the query date lies in the span, its bar does not.
    QTest::newRow("query day just past the span") << "1980-01-01" << "1983-07-14 18:00" << 41 << 625;
}

void tst_Access::everyReaderNamesTheSameDays()
{
    QFETCH(QString, birth);
    QFETCH(QString, query);
    QFETCH(int, span);
    QFETCH(int, position);
    // The day a query text names (the note "图中 X" where it names another),
    // none where the text says the chart does not show it.
    const auto queryDayIn = [&](const QString &words) {
        if (words.contains(u"不在图中"))
            return QStringList();
        const QRegularExpression marked(u"图中 (\\d{4}-\\d\\d-\\d\\d)"_qs);
        const QRegularExpressionMatch match = marked.match(words);
        return QStringList{match.hasMatch() ? match.captured(1) : query.left(10)};
    };
    const QRegularExpression date(u"\\d{4}-\\d\\d-\\d\\d"_qs);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        w.PROPTION->setValueChecked(span);
        w.TXTCSRQ->setText(birth);
        w.txtCXRQ->setText(query);
        w.CMDcx_Click();
        if (position >= 0)
            w.POSITION->setValueChecked(position);

        w.PicBack->setFocus();
        QTRY_VERIFY(w.PicBack->hasFocus());
        QStringList keyQueryDays, keyCriticalDays;
        QTest::keyClick(w.PicBack, Qt::Key_Home);
        for (int day = 0; day < span; ++day) {
            QAccessibleInterface *chart = accessible(w.PicBack);
            const QStringList words = chart->child(chart->childCount() - 1)->text(QAccessible::Name).split(u'，');
            QCOMPARE(u"当前日期："_qs + words.first(), w.LBLrq->Caption());
            if (words.contains(u"查询日"_qs))
                keyQueryDays += words.first();
            if (words.contains(u"临界日"_qs))
                keyCriticalDays += words.first();
            QTest::keyClick(w.PicBack, Qt::Key_Right);
        }
        QVERIFY(!keyCriticalDays.isEmpty());

        const QString description = accessibleText(w.PicBack, QAccessible::Description);
        const QString describedQuery = description.section(u"查询日"_qs, 2, 2).section(u'：', 0, 0);
        QCOMPARE(queryDayIn(describedQuery), keyQueryDays);
        const QString describedCritical = description.section(u"临界日："_qs, 1, 1).section(u'。', 0, 0);
        QCOMPARE(describedCritical.split(u'、'), keyCriticalDays);

        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"sheet.pdf"_qs);
        QCOMPARE(w.saveChart(pdf), QString());
        QProcess pdftotext;
        pdftotext.start(u"pdftotext"_qs, {u"-raw"_qs, pdf, u"-"_qs});
        QVERIFY(pdftotext.waitForFinished(60000));
        const QStringList sheet = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(u'\n');
        const QStringList sheetQuery = sheet.filter(QRegularExpression(u"^查询日 "_qs));
        QCOMPARE(sheetQuery.size(), 1);
        QCOMPARE(queryDayIn(sheetQuery.first()), keyQueryDays);
        // The days listed under the last heading 临界日 (the first is the
        // legend's), up to the date the sheet was made.
        const qsizetype heading = sheet.lastIndexOf(u"临界日"_qs);
        const qsizetype made = sheet.indexOf(QRegularExpression(u"^制作日期.*"_qs));
        QVERIFY(heading > 0 && made > heading);
        QStringList sheetCritical;
        for (const QString &line : sheet.mid(heading, made - heading))
            for (const auto &found : date.globalMatch(line))
                sheetCritical += found.captured();
        QCOMPARE(sheetCritical, keyCriticalDays);
        // The query day's mark above the chart, magenta, is there only where
        // the chart shows the query day: never in the page's margin.
        QProcess pdftoppm;
        pdftoppm.start(u"pdftoppm"_qs, {u"-r"_qs, u"50"_qs, u"-png"_qs, u"-singlefile"_qs, pdf, dir.filePath(u"sheet"_qs)});
        QVERIFY(pdftoppm.waitForFinished(60000));
        const QImage page(dir.filePath(u"sheet.png"_qs));
        QVERIFY(!page.isNull());
        int magenta = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) {
                const QRgb c = page.pixel(x, y);
                magenta += qRed(c) > 0x90 && qBlue(c) > 0x90 && qGreen(c) < 0x40;
            }
        QCOMPARE(magenta > 0, !keyQueryDays.isEmpty());

        const QString ics = dir.filePath(u"days.ics"_qs);
        QCOMPARE(w.exportCriticalDays(ics), QString());
        QFile calendar(ics);
        QVERIFY(calendar.open(QIODevice::ReadOnly));
        QStringList calendarDays;
        for (const QByteArray &line : calendar.readAll().split('\n')) {
            if (line.startsWith("DTSTART;VALUE=DATE:")) {
                const QString day = QString::fromLatin1(line.mid(19, 8));
                calendarDays += day.left(4) + u'-' + day.mid(4, 2) + u'-' + day.mid(6, 2);
            }
        }
        QCOMPARE(calendarDays, keyCriticalDays);
    });
}

// Before a chart is drawn a key reads nothing and says why; the focus stays.
void tst_Access::keyboardReadoutBeforeAChart()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        const QStringList before = readout(w);
        w.TXTCSRQ->setText(u"1960-02-06"_qs);
        w.PicBack->setFocus();
        QTRY_VERIFY(w.PicBack->hasFocus());
        QTest::keyClick(w.PicBack, Qt::Key_Right);
        QCOMPARE(lastMessage(w), NoChartText);
        QTest::qWait(50);
        QCOMPARE(QApplication::focusWidget(), w.PicBack);
        QCOMPARE(readout(w), before);
        QVERIFY(!w.PicBack->marker());
    });
}

void tst_Access::queryIsSpoken_data()
{
    QTest::addColumn<QString>("birth");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("spoken");
    QTest::newRow("before the birth date") << u"1980-01-01"_qs << u"1979-12-01"_qs
                                           << u"无法绘制图表：查询日期早于出生日期。"_qs;
    // A span of 40 days centred on the query date must begin after birth.
    QTest::newRow("too near the birth date") << u"1980-01-01"_qs << u"1980-01-21"_qs
                                             << u"无法绘制图表：查询日期离出生日期太近，以它为中心的40天"
                                                "会从出生日期之前开始。"_qs;
    QTest::newRow("no birth date") << QString() << u"2009-11-03"_qs << NoChartText;
    QTest::newRow("no query date") << u"1980-01-01"_qs << QString()
                                   << u"请输入日期，可按1980-01-01、1980/1/1、1980.1.1或1980年1月1日的格式输入。"_qs;
}

// Enter on the query date says why the query drew nothing (what it drew, the
// desktop test hears).
void tst_Access::queryIsSpoken()
{
    QFETCH(QString, birth);
    QFETCH(QString, query);
    QFETCH(QString, spoken);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(birth);
        typeInto(w.txtCXRQ, query);
        QTest::keyClick(w.txtCXRQ, Qt::Key_Return);
        QCOMPARE(lastMessage(w), spoken);
    });
}

void tst_Access::firstKeyShowsTheDayTheBarMarks_data()
{
    QTest::addColumn<QString>("birth");
    QTest::newRow("birth at midnight") << u"1980-01-01"_qs;
    // The bar stands on the query date less the birth date rounded to the
    // nearest day: 10898.75 days, day 10899, 2009-11-03 in its middle.
    QTest::newRow("birth at 6:00") << u"1980-01-01 6:00"_qs;
}

// The keyboard, the chart's description and the query bar name one day.
void tst_Access::firstKeyShowsTheDayTheBarMarks()
{
    QFETCH(QString, birth);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(birth);
        w.txtCXRQ->setText(u"2009-11-03"_qs);
        w.CMDcx_Click();
        w.PicBack->setFocus();
        QTRY_VERIFY(w.PicBack->hasFocus());
        QTest::keyClick(w.PicBack, Qt::Key_Right);
        QCOMPARE(w.LBLrq->Caption(), u"当前日期：2009-11-03"_qs);
        QVERIFY(countInColumn(w, chartColumn(w, *w.PicBack->marker()), QueryBarColour) > 100);
        const QString values = readout(w).mid(1).join(u'，').remove(u'：');
        QVERIFY2(accessibleText(w.PicBack, QAccessible::Description).contains(u"查询日："_qs + values + u'。'),
                 qPrintable(values));
    });
}

// Tab onto the chart and onto a scroll bar shows where the focus is; the
// mouse, with the focus elsewhere, changes no pixel of either.
void tst_Access::focusShowsOnTheChartAndTheScrollBars()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        drawChart(w);
        w.txtCXRQ->setFocus();
        QTRY_VERIFY(w.txtCXRQ->hasFocus());
        const QRect chart = w.PicBack->geometry(), bar = w.POSITION->geometry();
        const QImage before = w.grab().toImage();
        QTest::mouseMove(w.PicBack, QPoint(300, 200));
        QTest::mouseMove(w.PicBack, QPoint(500, 100));
        QVERIFY(w.LBLrq->Caption().startsWith(u"当前日期：1960-"_qs));
        QCOMPARE(w.grab().toImage().copy(chart), before.copy(chart));

        // The chart's frame lies where the scroll bars, which overlap its
        // lowest pixels, leave it whole.
        QTest::keyClick(w.txtCXRQ, Qt::Key_Tab);
        QTRY_VERIFY(w.PicBack->hasFocus());
        const QImage chartFocused = w.grab().toImage();
        verifyDottedFrame(before, chartFocused, chart, chart.adjusted(2, 2, -3, -3));
        QCOMPARE(chartFocused.copy(bar), before.copy(bar));

        QTest::keyClick(w.PicBack, Qt::Key_Tab);
        QTRY_VERIFY(w.POSITION->hasFocus());
        const QImage barFocused = w.grab().toImage();
        QCOMPARE(barFocused.copy(chart.adjusted(0, 0, 0, -3)), before.copy(chart.adjusted(0, 0, 0, -3)));
        const QRect thumb = w.POSITION->partRect(QStyle::SC_ScrollBarSlider);
        verifyDottedFrame(before, barFocused, bar, thumb.translated(bar.topLeft()).adjusted(2, 2, -2, -2));

        QTest::keyClick(w.POSITION, Qt::Key_Tab);
        QTRY_VERIFY(w.PROPTION->hasFocus());
        QCOMPARE(w.grab().toImage().copy(bar), before.copy(bar));
    });
}

void tst_Access::guideByKeyboardAndAsText()
{
    runProgram(m_runtime, [&](Global &global, frmQORVEL &w) {
        QSignalSpy beeps(&m_runtime, &Runtime::beeped);
        const QImage frame = w.PicBack->surface().image();
        openGuideByKey(global, w, [&](FrmD &guide) {
            QCOMPARE(guide.windowTitle(), u"Form1"_qs);
            QCOMPARE(accessibleText(&guide, QAccessible::Name), u"分析指南"_qs);
            QCOMPARE(accessible(&guide)->role(), QAccessible::Dialog);
            QCOMPARE(accessibleText(guide.Command1, QAccessible::Name), u"关闭"_qs);
            const QString table = accessibleText(guide.Image2, QAccessible::Description);
            for (int rhythm = 0; rhythm < 3; ++rhythm)
                for (int phase = 0; phase < 3; ++phase)
                    QVERIFY(table.contains(guide::PhaseHeadings[phase] + u"："_qs
                                           + guide::Cells[rhythm][phase].trimmed()));
            QTest::keyClick(guide.Command1, Qt::Key_Escape);
            QTRY_VERIFY(!global.guideWindow() || !guide.isVisible());
        });
        // Closed as the system's close command closes it: no query ran.
        QCOMPARE(beeps.size(), 0);
        QVERIFY(w.Label1->isVisible());
        QCOMPARE(w.PicBack->surface().image(), frame);
    });
}

QTEST_MAIN(tst_Access)
#include "tst_access.moc"
