// SPDX-License-Identifier: GPL-3.0-or-later
// What a person keeps of a chart, read back as its reader reads it: the PDF
// sheet by poppler (its text, and its page rendered), the SVG as XML, the
// calendar by a real iCalendar parser; and the window's menu, which saves,
// prints and exports the chart it shows.
#include "windowtest.h"

#include "analysis_window/texts.h"
#include "chart/query.h"
#include "exports/chartexports.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QPainter>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <algorithm>

#include <cmath>
#include <csignal>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quorvel;
using namespace quorvel::test;

namespace {

// A program's standard output; fails the test when it cannot run.
QByteArray output(const QString &program, const QStringList &arguments, int *status = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        qWarning("%s did not run: %s", qPrintable(program), qPrintable(process.errorString()));
        return "did not run";
    }
    if (status)
        *status = process.exitCode();
    else if (process.exitCode() != 0)
        qWarning("%s: %s", qPrintable(program), process.readAllStandardError().constData());
    return process.readAllStandardOutput();
}

// What quorvel-chart writes on standard output, "failed" when it fails; what
// it says on standard error goes to `said`.
QByteArray chartTool(const QStringList &arguments, QString *said = nullptr)
{
    QProcess process;
    // Now is 2026-06-15 12:00 UTC, whenever the test runs.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"SOURCE_DATE_EPOCH"_qs, u"1781524800"_qs);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUORVEL_CHART), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return "did not run";
    const QByteArray err = process.readAllStandardError();
    if (said)
        *said = QString::fromUtf8(err);
    else if (!err.isEmpty())
        qWarning("quorvel-chart: %s", err.constData());
    return process.exitCode() == 0 ? process.readAllStandardOutput() : QByteArray("failed");
}

// The readout's four values of a day of a life, by the model.
QStringList valuesOf(Date birth, Date day)
{
    const double offset = day - birth;
    QStringList values;
    for (std::size_t curve = 0; curve < Curves.size(); ++curve)
        values << QString::fromUtf16(Curves[curve].name) + u"值："_qs + QString::number(Int(curveValue(curve, offset)));
    return values;
}

QStringList pdfText(const QString &pdf)
{
    return QString::fromUtf8(output(QStringLiteral("pdftotext"), {"-raw", pdf, "-"}))
        .split(u'\n', Qt::SkipEmptyParts);
}

QImage pdfPage(const QString &pdf, const QString &png)
{
    output(QStringLiteral("pdftoppm"), {"-r", "300", "-png", "-singlefile", pdf, png.chopped(4)});
    return QImage(png).convertToFormat(QImage::Format_RGB32);
}

QStringList readoutOf(frmQORVEL &w)
{
    return {w.LBLtl->Caption(), w.LBLqx->Caption(), w.LBLzl->Caption(), w.LBLzh->Caption()};
}

// The chart of a life from 1960-02-06 queried for 1961-11-12 (day 645): the
// span from day 624 holds the critical day 644, 1961-11-11.
void showCriticalSpan(frmQORVEL &w)
{
    w.TXTCSRQ->setText(u"1960-02-06"_qs);
    w.txtCXRQ->setText(u"1961-11-12"_qs);
    w.CMDcx_Click();
}

// Answers the first modal dialog of the given type to open, from a timer.
template <typename Dialog>
void whenOpen(QObject *context, std::function<void(Dialog *)> answer)
{
    whenTrue(context, [] { return qobject_cast<Dialog *>(QApplication::activeModalWidget()) != nullptr; },
             [answer] { answer(qobject_cast<Dialog *>(QApplication::activeModalWidget())); });
}

// Chooses an item of the chart's menu, opened by the Menu key on the
// focused chart as the window system sends it; returns once the menu's
// action has run.
void chooseByMenuKey(frmQORVEL &w, const QString &item)
{
    whenTrue(&w, [] { return QApplication::activePopupWidget() != nullptr; }, [item] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        for (QAction *action : menu->actions())
            if (action->text() == item)
                menu->setActiveAction(action);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(10, 10), w.PicBack->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(w.PicBack, &menuKey);
}

// What the reader of a FIFO does.
enum class Reader { ClosesEarly, CancelledInTheDialog, WindowClosed };

// Whether a widget has been painted since the watch began.
class PaintWatch final : public QObject
{
public:
    explicit PaintWatch(QWidget *widget) { widget->installEventFilter(this); }
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        painted = painted || event->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

Q_DECLARE_METATYPE(Reader)

class tst_Exports : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void svgCurvesLieInTheirPixels();
    void sameArgumentsSameFiles();
    void sheetReadsBackFromThePdf_data();
    void sheetReadsBackFromThePdf();
    void pairInEveryFile();
    void calendarReadsBackInAParser_data();
    void calendarReadsBackInAParser();
    void windowPrintsAndSavesTheSheetItShows();
    void failedSaveSaysWhy();
    void readerOfAFifoNeverHoldsTheWindow_data();
    void readerOfAFifoNeverHoldsTheWindow();
    void nothingToExportIsSaid_data();
    void nothingToExportIsSaid();
    void spanPastTheLastDate_data();
    void spanPastTheLastDate();
    void aFileThatCannotBeMadeIsNone();
    void printKeyOpensThePreview();

private:
    QTemporaryDir m_dir;
    QString m_said; // what quorvel-chart said on standard error
    SharedValues m_shared;
    Runtime m_runtime;
};

void tst_Exports::initTestCase()
{
    initAssets();
    QVERIFY(m_dir.isValid());
}

// The SVG and the twice-size PNG draw the curves through the points where
// the window's pixels lie, with the span labels and the legend.
void tst_Exports::svgCurvesLieInTheirPixels()
{
    const QString svgFile = m_dir.filePath(u"chart.svg"_qs);
    const QString png2File = m_dir.filePath(u"chart2.png"_qs);
    const QStringList dates{"chart", "--birth", "1980-01-01", "--query", "2009-11-03", "--span", "40"};
    QCOMPARE(chartTool(dates + QStringList{"-o", svgFile}), QByteArray());
    QCOMPARE(chartTool(dates + QStringList{"--scale", "2", "-o", png2File}), QByteArray());
    const QImage png2(png2File);
    QCOMPARE(png2.size(), (ChartSize + QSize(0, LegendStripHeight)) * 2);

    QFile file(svgFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader svg(&file);
    QStringList strokes{QString()};
    QStringList polylineColours;
    QStringList texts;
    QList<QList<QPointF>> vertices;
    while (!svg.atEnd()) {
        const auto token = svg.readNext();
        if (token == QXmlStreamReader::EndElement && svg.name() == u"g")
            strokes.removeLast();
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (svg.name() == u"g") {
            const auto stroke = svg.attributes().value("stroke");
            strokes << (stroke.isEmpty() ? strokes.last() : stroke.toString());
        } else if (svg.name() == u"polyline") {
            polylineColours << strokes.last();
            vertices.append(QList<QPointF>());
            for (const auto &point : svg.attributes().value("points").split(u' ', Qt::SkipEmptyParts)) {
                const auto xy = point.split(u',');
                vertices.last() << QPointF(xy[0].toDouble(), xy[1].toDouble());
            }
        } else if (svg.name() == u"text") {
            texts << svg.readElementText();
        }
    }
    QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
    QCOMPARE(polylineColours, (QStringList{"#0000ff", "#ffff00", "#ff0000", "#00ffff"}));
    QCOMPARE(texts, (QStringList{"2009-10-15", "<-- 40天 -->", "体力", "情绪", "智力", "综合"}));

    // Each vertex, the value of a half day x drawn at x + 0.5, inside the
    // pixel the window's chart puts it on; the Composite, drawn last, on the
    // twice-size picture's device pixel for it, sharp.
    ChartFixture chart;
    chart.show(u"1980-01-01"_qs, u"2009-11-03"_qs, 5440, 40);
    for (std::size_t curve = 0; curve < Curves.size(); ++curve) {
        QCOMPARE(vertices[curve].size(), 81);
        for (int k = 0; k < 81; ++k) {
            const double x = 10880 + 0.5 * k;
            const QPointF user(float(x + 0.5), float(curveValue(curve, x)));
            const QPoint pixel = chart.surface.toPixel(user);
            if (pixel.x() >= ChartSize.width())
                continue;
            const QPointF vertex = vertices[curve][k];
            QCOMPARE(QPoint(int(std::floor(vertex.x())), int(std::floor(vertex.y()))), pixel);
            if (curve == 3 && k > 0) { // the first is the line's square end
                const QRgb sharp = png2.pixel(chart.surface.toPixel(user, 2.0));
                QVERIFY2(qRed(sharp) < 0x20 && qGreen(sharp) > 0xE0 && qBlue(sharp) > 0xE0,
                         qPrintable(u"%1: %2"_qs.arg(k).arg(sharp, 8, 16)));
            }
        }
    }
}

// Reproducible files: the same arguments give the same bytes; a PDF the
// same text and the same page (its own time stamp aside).
void tst_Exports::sameArgumentsSameFiles()
{
    const QStringList chart{"chart", "--birth", "1960-02-06", "--query", "1961-11-12", "--span", "100",
                            "--made", "2026-01-02", "-o"};
    const QStringList calendar{"calendar", "--birth", "1960-02-06", "--from", "1960-01-01", "--to", "1980-01-01",
                               "--made", "2026-01-02", "-o"};
    for (const QString &suffix : {u"png"_qs, u"svg"_qs, u"ics"_qs, u"pdf"_qs}) {
        QByteArray first;
        QStringList text;
        QImage page;
        for (int run = 0; run < 2; ++run) {
            const QString path = m_dir.filePath(u"same%1.%2"_qs.arg(run).arg(suffix));
            QCOMPARE(chartTool((suffix == u"ics" ? calendar : chart) + QStringList{path}), QByteArray());
            if (suffix == u"pdf") {
                if (run == 0) {
                    text = pdfText(path);
                    page = pdfPage(path, m_dir.filePath(u"same.png"_qs));
                    QVERIFY(!page.isNull());
                } else {
                    QCOMPARE(pdfText(path), text);
                    QVERIFY(pdfPage(path, m_dir.filePath(u"same.png"_qs)) == page);
                }
                continue;
            }
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            if (run == 0)
                first = file.readAll();
            else
                QVERIFY2(file.readAll() == first, qPrintable(suffix));
        }
    }
}

void tst_Exports::sheetReadsBackFromThePdf_data()
{
    QTest::addColumn<QString>("birth");
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("span");
    QTest::addColumn<QString>("valuesDay"); // whose values the sheet gives; empty for none
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("absent");
    QTest::newRow("a critical day in the span") << "1960-02-06"
        << "1961-11-12" << 40 << "1961-11-12"
        << QStringList{"出生日期：1960-02-06", "查询日期：1961-11-12", "图表范围：1961-10-22 至 1961-11-30，共40天",
                       "查询日 1961-11-12", "临界日", "1961-11-11", "制作日期：2026-01-02",
                       "1961-10-23 1961-10-30 1961-11-06 1961-11-13 1961-11-20 1961-11-27"}
        << QStringList{"不在图中"};
    QTest::newRow("365 days: monthly dates, none critical") << "1960-02-06"
        << "2009-11-03" << 365 << "2009-11-03"
        << QStringList{"查询日期：2009-11-03", "图表范围：2009-05-05 至 2010-05-04，共365天", "临界日", "无临界日",
                       "2009-06-01 2009-07-01 2009-08-01 2009-09-01 2009-10-01 2009-11-01 2009-12-01 2010-01-01 "
                       "2010-02-01 2010-03-01 2010-04-01"}
        << QStringList{};
    QTest::newRow("the query day is critical") << "1960-02-06" << "1961-11-11" << 365 << "1961-11-11"
                                               << QStringList{"查询日 1961-11-11", "临界日", "1961-11-11"}
                                               << QStringList{"图中"};
    QTest::newRow("a time from noon on marks the next day") << "1960-02-06"
        << "1990-05-30 18:00" << 40 << "1990-05-31"
        << QStringList{"查询日期：1990-05-30 18:00", "查询日 1990-05-30 18:00（图中 1990-05-31）"} << QStringList{};
    QTest::newRow("only the frame") << "1960-02-06" << "1960-02-20" << 40 << ""
                                    << QStringList{"查询日期：1960-02-20", "没有可显示的图表"}
                                    << QStringList{"图表范围", "临界日", "查询日 ", "值：", "+100"};
    // A date typed as a lunar one is given in both forms where the sheet
    // names it, and in the Gregorian form everywhere else.
    QTest::newRow("a lunar query") << "1960-02-06" << "农历1961年十月初五" << 40 << "1961-11-12"
                                   << QStringList{"查询日期：1961-11-12（农历辛丑年十月初五）",
                                                  "图表范围：1961-10-22 至 1961-11-30，共40天", "查询日 1961-11-12"}
                                   << QStringList{"农历庚子"};
    QTest::newRow("only the frame, lunar query") << "1960-02-06"
        << "1960年农历正月廿四" << 40 << "" << QStringList{"查询日期：1960-02-20（农历庚子年正月廿四）", "没有可显示的图表"}
        << QStringList{"图表范围"};
    // A query more than a hundred years after the birth lies past the
    // span's end: its long line is wrapped before the critical days' column.
    QTest::newRow("a long query line") << "1900-01-01 18:00" << "2005-03-07 23:59:59" << 94 << "2005-03-08"
                                       << QStringList{"不在图中"} << QStringList{};
}

// The sheet as a reader reads it: its texts as a PDF reader extracts them,
// in a face that tells l from 1, embedded; a page that is mostly white
// paper; and its chart region, rendered by poppler, the chart replayed in
// the paper's colours. The query day is marked above the chart, also where
// a critical day's bar covers its own.
void tst_Exports::sheetReadsBackFromThePdf()
{
    QFETCH(QString, birth);
    QFETCH(QString, query);
    QFETCH(int, span);
    QFETCH(QString, valuesDay);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, absent);
    const QString pdf = m_dir.filePath(u"sheet.pdf"_qs);
    QCOMPARE(chartTool({"chart", "--birth", birth, "--query", query, "--span", QString::number(span),
                        "--made", "2026-01-02", "-o", pdf}, &m_said),
             QByteArray());
    const QString text = pdfText(pdf).join(u'\n');
    QVERIFY2(text.startsWith(u"Quorvel生物节律图"), qPrintable(text));
    if (!valuesDay.isEmpty())
        // Day 0 is named by the day that holds its column's middle.
        expected += valuesOf(std::floor(CDate(birth).value() + 0.5), CDate(valuesDay).value());
    for (const QString &line : expected)
        QVERIFY2(text.contains(line), qPrintable(line + u"\n---\n"_qs + text));
    for (const QString &words : absent)
        QVERIFY2(!text.contains(words), qPrintable(words + u"\n---\n"_qs + text));
    const QString fonts = QString::fromUtf8(output(QStringLiteral("pdffonts"), {pdf}));
    // name, type, encoding, then "yes" for embedded.
    QVERIFY2(fonts.contains(QRegularExpression(u"WenQuanYi\\S*\\s+CID TrueType\\s+\\S+\\s+yes"_qs)), qPrintable(fonts));

    // No text runs into other text, as a PDF reader finds the words' boxes.
    const QString words = QString::fromUtf8(output(QStringLiteral("pdftotext"), {"-bbox", pdf, "-"}));
    const QRegularExpression wordBox(
        uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)<)re"_qs);
    QList<std::pair<QRectF, QString>> placed;
    for (const auto &found : wordBox.globalMatch(words))
        placed.append({QRectF(QPointF(found.captured(1).toDouble(), found.captured(2).toDouble()),
                              QPointF(found.captured(3).toDouble(), found.captured(4).toDouble())),
                       found.captured(5)});
    QVERIFY(placed.size() >= 4);
    for (qsizetype i = 0; i < placed.size(); ++i)
        for (qsizetype j = i + 1; j < placed.size(); ++j)
            QVERIFY2(!placed[i].first.intersects(placed[j].first),
                     qPrintable(u"“%1” runs into “%2”"_qs.arg(placed[i].second, placed[j].second)));

    const QImage page = pdfPage(pdf, m_dir.filePath(u"sheet.png"_qs));
    QVERIFY(!page.isNull());
    const auto paper = [&](int x, int y) { return qGray(page.pixel(x, y)) > 0xF0; };
    qint64 white = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            white += paper(x, y);
    QVERIFY2(white > qint64(page.width()) * page.height() * 85 / 100,
             qPrintable(u"%1 of %2 white"_qs.arg(white).arg(qint64(page.width()) * page.height())));
    if (valuesDay.isEmpty())
        return;

    // The chart region: inside the dark frame, whose top and bottom are the
    // page's first and last rows dark over more than half its width, and its
    // sides the columns dark between them.
    const auto dark = [&](int x, int y) { return qGray(page.pixel(x, y)) < 0x60; };
    int top = -1, bottom = -1, left = -1, right = -1;
    for (int y = 0; y < page.height(); ++y) {
        int count = 0;
        for (int x = 0; x < page.width(); ++x)
            count += dark(x, y);
        if (count > page.width() / 2)
            (top < 0 ? top : bottom) = y, bottom = y;
    }
    for (int x = 0; top >= 0 && x < page.width(); ++x) {
        int count = 0;
        for (int y = top; y <= bottom; ++y)
            count += dark(x, y);
        if (count > (bottom - top) * 9 / 10)
            (left < 0 ? left : right) = x, right = x;
    }
    const QRect region(QPoint(left, top), QPoint(right, bottom));
    QVERIFY2(region.width() > page.width() * 3 / 4 && region.height() > page.height() / 3,
             qPrintable(u"%1,%2 %3x%4"_qs.arg(left).arg(top).arg(region.width()).arg(region.height())));

    // The page shows the chart drawn for these dates, in the paper's
    // colours, at the page's own resolution: each of its pixels in a colour
    // that the replay has there or a device pixel beside it (the two
    // renderers smooth and round edges their own ways).
    ChartFixture chart;
    const int position = centredSpanPosition(CDate(query).value(), CDate(birth).value(), span).value();
    chart.show(birth, query, position, span);
    QImage replay(region.size(), QImage::Format_RGB32);
    QPainter painter(&replay);
    const double pixelsPerMm = 300 / 25.4;
    const double frame = 0.125 * pixelsPerMm; // half the frame's width
    paintPaperChart(painter, QRectF(QPointF(), QSizeF(region.size())).adjusted(frame, frame, -frame, -frame),
                    pixelsPerMm, chart.surface, chart.drawn);
    painter.end();
    int alike = 0;
    for (int y = 0; y < replay.height(); ++y)
        for (int x = 0; x < replay.width(); ++x) {
            const QRgb a = page.pixel(region.left() + x, region.top() + y);
            bool near = false;
            for (int dx = std::max(x - 1, 0); dx <= std::min(x + 1, replay.width() - 1) && !near; ++dx) {
                const QRgb b = replay.pixel(dx, y);
                near = std::abs(qRed(a) - qRed(b)) < 96 && std::abs(qGreen(a) - qGreen(b)) < 96
                    && std::abs(qBlue(a) - qBlue(b)) < 96;
            }
            alike += near;
        }
    QVERIFY2(alike > replay.width() * replay.height() * 99 / 100,
             qPrintable(u"%1 of %2"_qs.arg(alike).arg(replay.width() * replay.height())));

    // The day grid in the chart's top margin, above the curves: thin lines,
    // never closer than about 1.5 mm on the page, and enough of them to
    // read the days by.
    const int band = region.top() + int(4 * pixelsPerMm);
    QList<int> gridLines;
    for (int x = region.left() + 4; x < region.right() - 4; ++x) {
        // A run of at most three marked device pixels ends here: a line, not a bar.
        const auto marked = [&](int at) { return qGray(page.pixel(at, band)) < 0xE0; };
        if (!marked(x) && marked(x - 1) && !marked(x - 4))
            gridLines << x;
    }
    QVERIFY2(gridLines.size() >= 30, qPrintable(QString::number(gridLines.size())));
    for (qsizetype i = 1; i < gridLines.size(); ++i)
        QVERIFY2(gridLines[i] - gridLines[i - 1] >= 1.4 * pixelsPerMm,
                 qPrintable(u"%1 %2"_qs.arg(gridLines[i - 1]).arg(gridLines[i])));

    // The date axis's labels, where a reader's tool finds their boxes: in
    // one row, none running into the next.
    const QString boxes = QString::fromUtf8(output(QStringLiteral("pdftotext"), {"-bbox", pdf, "-"}));
    const QRegularExpression word(
        uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)"[^>]*>\d{4}-\d\d-\d\d</word>)re"_qs);
    QMap<QString, QList<std::pair<double, double>>> rows; // by the top of the word
    for (const auto &found : word.globalMatch(boxes))
        rows[found.captured(2)] << std::pair(found.captured(1).toDouble(), found.captured(3).toDouble());
    QList<std::pair<double, double>> axis;
    for (const auto &row : std::as_const(rows))
        axis = row.size() > axis.size() ? row : axis;
    QVERIFY2(axis.size() >= 4, qPrintable(boxes));
    std::sort(axis.begin(), axis.end());
    for (qsizetype i = 1; i < axis.size(); ++i)
        QVERIFY2(axis[i].first > axis[i - 1].second + 2, qPrintable(boxes));

    // Above the query day's column, in the margin over the frame: the mark,
    // magenta; none anywhere over the frame for a query day it does not show.
    const int column = region.left()
        + int((*chart.drawn.queryDay - chart.drawn.days.first + 0.5) * region.width() / span);
    const bool shown = chart.drawn.showsQueryDay();
    int magenta = 0;
    for (int y = region.top() - int(3 * pixelsPerMm); y < region.top(); ++y)
        for (int x = shown ? column - 5 : 0; x <= (shown ? column + 5 : page.width() - 1); ++x) {
            const QRgb c = page.pixel(x, y);
            magenta += qRed(c) > 0x90 && qBlue(c) > 0x90 && qGreen(c) < 0x40;
        }
    QVERIFY2(shown ? magenta > 40 : magenta == 0, qPrintable(QString::number(magenta)));

    // The value axis as a reader finds it: +100, 0 and −100 beside the
    // frame, top to bottom, each level with its value's height in the chart
    // (100 of the 120 above or below the middle).
    QMap<QString, double> levels; // by the word, the middle of its box
    const QRegularExpression axisWord(
        uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">(\+100|0|−100)</word>)re"_qs);
    for (const auto &found : axisWord.globalMatch(boxes))
        if (found.captured(1).toDouble() * 300 / 72 < region.left())
            levels[found.captured(4)] = (found.captured(2).toDouble() + found.captured(3).toDouble()) / 2 * 300 / 72;
    QCOMPARE(levels.size(), 3);
    const double middle = (region.top() + region.bottom()) / 2.0;
    const double hundred = region.height() * 100.0 / 240.0;
    for (const auto &[word, expectedY] : {std::pair{u"+100"_qs, middle - hundred}, {u"0"_qs, middle},
                                          {u"−100"_qs, middle + hundred}})
        QVERIFY2(std::abs(levels.value(word) - expectedY) < 2 * pixelsPerMm,
                 qPrintable(u"%1 at %2, its level at %3"_qs.arg(word).arg(levels.value(word)).arg(expectedY)));
}

// Two people, as the window compares them and quorvel-chart --with draws
// them: the same PNG; the synchrony compare gives, counted in calendar days
// of birth; the sheet names both people, gives the second person's values
// of the query day beside the first's and each one's critical days; the SVG
// draws the second person's three cycles dotted.
void tst_Exports::pairInEveryFile()
{
    // Born 100 days after the first: their critical day 644 is 1962-02-19.
    const QStringList pair{"chart", "--birth", "1960-02-06", "--query", "1962-02-20", "--with", "1960-05-16"};
    // "同步：体力21%，…，平均42%" as compare gives it.
    const auto synchrony = [](const QString &other) {
        return u"同步："_qs
            + QString::fromUtf8(chartTool({"compare", "--birth", "1960-02-06", "--other", other})).trimmed()
                  .remove(u'\t').replace(u'\n', u'，');
    };
    const QString png = m_dir.filePath(u"pair.png"_qs);
    QCOMPARE(chartTool(pair + QStringList{"-o", png}), QByteArray());
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1960-02-06"_qs);
        w.txtCXRQ->setText(u"1962-02-20"_qs);
        w.CMDcx_Click();
        for (const QString &other : {u"1960-02-01 18:00"_qs, u"1960-05-16"_qs}) {
            whenOpen<QInputDialog>(&w, [other](QInputDialog *dialog) {
                dialog->setTextValue(other);
                dialog->accept();
            });
            chooseByMenuKey(w, u"与…对比"_qs);
            const QList<Label *> legend = chartLabels(w, u"实线："_qs);
            QCOMPARE(legend.size(), 1);
            QVERIFY2(legend[0]->Caption().endsWith(synchrony(other)), qPrintable(legend[0]->Caption()));
        }
        const QString saved = m_dir.filePath(u"window-pair.png"_qs);
        QCOMPARE(w.saveChart(saved), QString());
        QFile one(saved), other(png);
        QVERIFY(one.open(QIODevice::ReadOnly) && other.open(QIODevice::ReadOnly));
        QVERIFY(one.readAll() == other.readAll());
    });

    const QString pdf = m_dir.filePath(u"pair.pdf"_qs);
    QCOMPARE(chartTool(pair + QStringList{"-o", pdf}), QByteArray());
    const QString text = pdfText(pdf).join(u'\n');
    // As compare --on 1962-02-20 gives them.
    for (const QString &line : {u"出生日期：1960-02-06 对比：1960-05-16 查询日期：1962-02-20"_qs,
                                u"体力值：63 1960-05-16：26 同步21%\n情绪值：-63 1960-05-16：22 同步5%\n"
                                u"智力值：-46 1960-05-16：-29 同步99%\n综合值：57 1960-05-16：25 平均同步42%"_qs,
                                u"临界日\n无临界日\n1960-05-16的临界日\n1962-02-19"_qs})
        QVERIFY2(text.contains(line), qPrintable(line + u"\n---\n"_qs + text));
    const QByteArray svg = chartTool(pair + QStringList{"--format", "svg", "-o", "-"});
    QCOMPARE(svg.count("<polyline"), 7);
    QCOMPARE(svg.count("stroke-dasharray=\"1,1\""), 3);
}

void tst_Exports::calendarReadsBackInAParser_data()
{
    QTest::addColumn<QString>("birth");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QList<int>>("days"); // the critical days, as offsets
    QTest::newRow("eighteen years") << "1960-02-06" << "1960-02-06" << "1978-12-31"
                                    << QList<int>{0, 644, 1288, 1484, 2128, 2772, 3416, 4060, 6566};
    QTest::newRow("the last representable day") << "9999-12-31" << "9999-12-01" << "9999-12-31" << QList<int>{0};
    QTest::newRow("none in the range") << "1960-02-06" << "1960-02-07" << "1961-11-10" << QList<int>{};
}

// The calendar as a calendar program reads it: one all-day event per
// critical day, its UID stable, its description the day's three values; and
// as it is written: CRLF line ends, no line over 75 octets. A range without
// a critical day gives the valid empty calendar, and quorvel-chart says so.
void tst_Exports::calendarReadsBackInAParser()
{
    QFETCH(QString, birth);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QList<int>, days);
    const QString ics = m_dir.filePath(u"critical.ics"_qs);
    QCOMPARE(chartTool({"calendar", "--birth", birth, "--from", from, "--to", to, "--made", "2026-01-02", "-o", ics},
                       &m_said),
             QByteArray());
    QCOMPARE(m_said.isEmpty(), !days.isEmpty());
    if (days.isEmpty())
        QVERIFY2(m_said.contains(u"没有临界日") && m_said.contains(from) && m_said.endsWith(u'\n'), qPrintable(m_said));
    QFile file(ics);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.endsWith("\r\n"));
    for (const QByteArray &line : bytes.split('\n')) {
        QVERIFY(line.isEmpty() || line.endsWith('\r'));
        QVERIFY2(line.size() <= 76, line.constData());
    }

    const char *script = R"(
import sys, icalendar
calendar = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())
print(calendar['VERSION'], calendar['PRODID'], len(calendar.walk('VEVENT')))
for event in calendar.walk('VEVENT'):
    print(event['UID'], event['DTSTART'].dt, event['DURATION'].dt, event['DTSTAMP'].dt.isoformat(),
          event['SUMMARY'], event['DESCRIPTION'], sep='|')
)";
    const QStringList lines =
        QString::fromUtf8(output(QStringLiteral("/usr/bin/python3"), {"-c", QString::fromUtf8(script), ics}))
            .split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.value(0), u"2.0 -//Quorvel//Quorvel//ZH %1"_qs.arg(days.size()));
    QStringList expected;
    const Date born = CDate(birth).value();
    for (const int day : days) {
        const QString date = Format(born + day, u"yyyy-mm-dd");
        const QStringList values = valuesOf(born, born + day).mid(0, 3);
        expected << u"%1-%2-critical@quorvel.org|%3|1 day, 0:00:00|2026-01-02T00:00:00+00:00|生物节律临界日|%4"_qs.arg(
            QString(birth).remove(u'-'), QString(date).remove(u'-'), date, values.join(u'，'));
    }
    QCOMPARE(lines.mid(1), expected);
}

// The window's sheet is the chart it shows: printed through the printer and
// saved as PDF it reads the same, with the query day's values as the
// readout shows them there; an SVG and a calendar come from the same chart.
// Nothing the user sees changes.
void tst_Exports::windowPrintsAndSavesTheSheetItShows()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        showCriticalSpan(w);
        w.PicBack->setFocus();
        const QImage chart = w.PicBack->surface().image();
        const QStringList labels = {w.LBLStartSj->Caption(), w.LBLts->Caption()};

        const QString printed = m_dir.filePath(u"printed.pdf"_qs);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        printer.setPageLayout(chartSheetPageLayout());
        QCOMPARE(w.printSheet(&printer), QString());
        const QString saved = m_dir.filePath(u"saved.pdf"_qs);
        QCOMPARE(w.saveChart(saved), QString());
        const QStringList text = pdfText(printed);
        QCOMPARE(pdfText(saved), text);

        // The readout on the query day, 1961-11-12 (day 645).
        w.PicBack_MouseMove(0, 0, 645.5f, 0.0f);
        for (const QString &value : readoutOf(w))
            QVERIFY2(text.contains(value), qPrintable(value));
        QVERIFY(text.contains(u"1961-11-11"_qs));

        const QString svg = m_dir.filePath(u"saved.svg"_qs);
        QCOMPARE(w.saveChart(svg), QString());
        QFile svgFile(svg);
        QVERIFY(svgFile.open(QIODevice::ReadOnly));
        QVERIFY(svgFile.readAll().contains(labels[0].toUtf8()));

        const QString ics = m_dir.filePath(u"span.ics"_qs);
        QCOMPARE(w.exportCriticalDays(ics), QString());
        QFile calendar(ics);
        QVERIFY(calendar.open(QIODevice::ReadOnly));
        QCOMPARE(calendar.readAll().count("BEGIN:VEVENT"), 1);

        QCOMPARE(w.PicBack->surface().image(), chart);
        QCOMPARE((QStringList{w.LBLStartSj->Caption(), w.LBLts->Caption()}), labels);
        QCOMPARE(QApplication::focusWidget(), w.PicBack);
    });
}

// Saving into a folder that does not exist, chosen through the menu's file
// dialog: a message box names the file and says why, and the window is as
// it was. Printing into a file there says why as well.
void tst_Exports::failedSaveSaysWhy()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        showCriticalSpan(w);
        w.PicBack->setFocus();
        const int position = w.POSITION->Value();
        const QString path = m_dir.filePath(u"missing/chart.pdf"_qs);
        QString message;
        // The file dialog; the message.
        whenOpen<QFileDialog>(&w, [&](QFileDialog *dialog) {
            dialog->selectFile(path);
            static_cast<QDialog *>(dialog)->accept(); // QFileDialog hides it
        });
        whenOpen<QMessageBox>(&w, [&](QMessageBox *box) {
            message = box->text();
            box->accept();
        });
        chooseByMenuKey(w, u"保存图表…"_qs);
        QVERIFY2(message.contains(path) && message.contains(u"无法保存") && message.contains(u"此文件或目录不存在"),
                 qPrintable(message));
        QVERIFY(!QFile::exists(path));
        // The sheet printed there, into a file.
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        QCOMPARE(w.printSheet(&printer), u"无法打印到文件“%1”：此文件或目录不存在"_qs.arg(path));
        QVERIFY(!QFile::exists(path));
        QCOMPARE(w.POSITION->Value(), position);
        QCOMPARE(w.focusWidget(), w.PicBack);
    });
}

// A 365-day SVG, larger than a pipe holds, saved into a FIFO: a reader that
// closes it after a byte fails the save with a message in Chinese, and the
// window lives on (the reader's SIGPIPE ends nothing); a reader that holds it
// without reading makes the save show a dialog after a moment, while the
// window goes on painting, and the dialog's focused button, pressed by the
// keyboard, or the window's closing, cancels it. Either way the reader gets
// a beginning of the file and then its end, and the FIFO stays a FIFO. The
// sheet printed into the FIFO as a PDF file is saved the same way.
void tst_Exports::readerOfAFifoNeverHoldsTheWindow_data()
{
    QTest::addColumn<Reader>("reader");
    QTest::addColumn<bool>("printed");
    QTest::newRow("reader closes after a byte") << Reader::ClosesEarly << false;
    QTest::newRow("reader holds it, cancelled in the dialog") << Reader::CancelledInTheDialog << false;
    QTest::newRow("reader holds it, window closed") << Reader::WindowClosed << false;
    QTest::newRow("printed, reader holds it, cancelled in the dialog") << Reader::CancelledInTheDialog << true;
}

void tst_Exports::readerOfAFifoNeverHoldsTheWindow()
{
    QFETCH(Reader, reader);
    QFETCH(bool, printed);
    const QString fifo = m_dir.filePath(u"reader.svg"_qs);
    QFile::remove(fifo);
    QCOMPARE(::mkfifo(QFile::encodeName(fifo), 0600), 0);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        showCriticalSpan(w);
        w.PROPTION->setValueChecked(365);
        w.PROPTION_Change();
        w.PicBack->setFocus();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageLayout(chartSheetPageLayout());
        const auto save = [&](const QString &path) {
            if (!printed)
                return w.saveChart(path);
            printer.setOutputFileName(path);
            return w.printSheet(&printer);
        };
        const QString file = m_dir.filePath(printed ? u"whole.pdf"_qs : u"whole.svg"_qs);
        QCOMPARE(save(file), QString());
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray whole = saved.readAll();

        const int end = ::open(QFile::encodeName(fifo), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        QVERIFY(end >= 0);
        // A sheet fits into the pipe: what another writer put there fills it.
        QByteArray filler;
        if (printed) {
            const int filling = ::open(QFile::encodeName(fifo), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            QVERIFY(filling >= 0);
            for (ssize_t written; (written = ::write(filling, "x", 1)) > 0;)
                filler += 'x';
            ::close(filling);
        }
        QVERIFY2(filler.size() + whole.size() > ::fcntl(end, F_GETPIPE_SZ), "the file fits into the pipe");
        QByteArray got;
        const auto readWhatCame = [&] {
            char buffer[4096];
            ssize_t size = 0;
            while ((size = ::read(end, buffer, sizeof buffer)) > 0)
                got.append(buffer, size);
            return size == 0; // the writer has closed it
        };
        QString dialogText;
        bool painted = false;
        bool closed = false;
        char first = 0;
        // Qt Test ignores SIGPIPE; the writer must not need that.
        const auto brokenPipe = std::signal(SIGPIPE, SIG_DFL);
        const auto restore = qScopeGuard([&] { std::signal(SIGPIPE, brokenPipe); });
        if (reader == Reader::ClosesEarly) {
            whenTrue(&w, [&] { return ::read(end, &first, 1) == 1; }, [&] {
                ::close(end);
                got.append(first);
                closed = true;
            });
        } else {
            whenTrue(&w, [] { return qobject_cast<QDialog *>(QApplication::activeModalWidget()) != nullptr; }, [&] {
                QWidget *dialog = QApplication::activeModalWidget();
                dialogText = dialog->windowTitle() + u'|' + dialog->accessibleDescription();
                // The window repaints meanwhile.
                PaintWatch watch(&w);
                w.update();
                painted = QTest::qWaitFor([&] { return watch.painted; });
                auto *button = qobject_cast<QPushButton *>(QApplication::focusWidget());
                if (reader == Reader::WindowClosed || !button) {
                    w.close();
                    return;
                }
                dialogText += u'|' + button->text();
                QTest::keyClick(button, Qt::Key_Return);
            });
        }
        const QString reason = save(fifo);
        if (reader == Reader::ClosesEarly) {
            QVERIFY(closed);
            QVERIFY2(reason.contains(u"管道已断开"_qs), qPrintable(reason));
            QCOMPARE(got, whole.left(got.size()));
            return;
        }
        QVERIFY(readWhatCame());
        ::close(end);
        QCOMPARE(reason, SaveCancelled);
        QVERIFY(painted);
        const QString expected = (printed ? u"打印"_qs : u"保存图表"_qs) + u"|正在保存文件“%1”…"_qs.arg(fifo);
        QCOMPARE(dialogText, reader == Reader::WindowClosed ? expected : expected + u"|取消"_qs);
        QVERIFY(got.startsWith(filler));
        got.remove(0, filler.size());
        QVERIFY(got.size() < whole.size());
        // A sheet says when it was printed, to the second.
        const qsizetype same = printed ? std::min(got.size(), qsizetype(sizeof "%PDF-1.4") - 1) : got.size();
        QCOMPARE(got.left(same), whole.left(same));
        if (reader == Reader::CancelledInTheDialog) {
            QVERIFY(w.isVisible());
            QTRY_COMPARE(QApplication::focusWidget(), w.PicBack);
        }
    });
    struct stat status;
    QVERIFY(::stat(QFile::encodeName(fifo), &status) == 0 && S_ISFIFO(status.st_mode));
}

// A chart drawn by moving the span of a late birth along: the query
// (2010-01-01) lies before the birth, so only the scroll bar draws it.
void showSpan(frmQORVEL &w, const QString &birth, int position, int span)
{
    w.PROPTION->setValueChecked(span);
    w.TXTCSRQ->setText(birth);
    w.txtCXRQ->setText(u"2010-01-01"_qs);
    w.POSITION->setValueChecked(position);
    QVERIFY(w.PicBack->accessibleDescription().contains(u"图表显示"));
}

void tst_Exports::nothingToExportIsSaid_data()
{
    QTest::addColumn<QString>("birth");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("said");
    QTest::newRow("no critical day") << "1960-02-06" << 9100 << "没有临界日";
    // Day 35938 is critical, 32287 days past 9999-12-31: no calendar holds it.
    QTest::newRow("the critical days past 9999-12-31") << "9990-01-01" << 17969 << "都在9999-12-31之后";
}

// A span whose calendar would hold nothing says so at once, before a file
// is asked for, and writes nothing.
void tst_Exports::nothingToExportIsSaid()
{
    QFETCH(QString, birth);
    QFETCH(int, position);
    QFETCH(QString, said);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        showSpan(w, birth, position, 40);
        w.PicBack->setFocus();
        bool asked = false;
        QString message;
        whenOpen<QFileDialog>(&w, [&](QFileDialog *dialog) {
            asked = true;
            dialog->reject();
        });
        whenOpen<QMessageBox>(&w, [&](QMessageBox *box) {
            message = box->text();
            box->accept();
        });
        chooseByMenuKey(w, u"导出临界日日历…"_qs);
        QVERIFY(!asked);
        QVERIFY2(message.contains(said), qPrintable(message));
        const QString path = m_dir.filePath(u"none.ics"_qs);
        QCOMPARE(w.exportCriticalDays(path), message);
        QVERIFY(!QFile::exists(path));
        QCOMPARE(w.focusWidget(), w.PicBack);
    });
}

void tst_Exports::spanPastTheLastDate_data()
{
    QTest::addColumn<QString>("birth");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("span");
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("critical"); // the span's critical day, day 35938
    QTest::addColumn<int>("events");       // the calendar's
    // Day 36000 is 9999-12-31: the span runs 164 days past it.
    QTest::newRow("partly past") << Format(LastDateSerial - 36000, u"yyyy-mm-dd") << 17900 << 365
                                 << "图表范围：9999-06-14 至 9999-12-31之后第164天，共365天" << "9999-10-30" << 1;
    QTest::newRow("wholly past") << "9990-01-01" << 17969 << 40
                                 << "图表范围：9999-12-31之后第32287天 至 9999-12-31之后第32326天，共40天"
                                 << "9999-12-31之后第32287天" << 0;
}

// A span past the last date is told as far as it goes: the sheet names its
// range and its critical day, the description names the critical day the
// chart marks, and the calendar holds what it can.
void tst_Exports::spanPastTheLastDate()
{
    QFETCH(QString, birth);
    QFETCH(int, position);
    QFETCH(int, span);
    QFETCH(QString, range);
    QFETCH(QString, critical);
    QFETCH(int, events);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        showSpan(w, birth, position, span);
        const QString description = w.PicBack->accessibleDescription();
        QVERIFY2(description.contains(u"临界日："_qs + critical + u'。'), qPrintable(description));
        const QString pdf = m_dir.filePath(u"past.pdf"_qs);
        QCOMPARE(w.saveChart(pdf), QString());
        const QStringList text = pdfText(pdf);
        QVERIFY2(text.contains(range), qPrintable(text.join(u'\n')));
        QVERIFY2(text.mid(text.lastIndexOf(u"临界日"_qs)).contains(critical), qPrintable(text.join(u'\n')));
        const QString ics = m_dir.filePath(u"past.ics"_qs);
        const QString reason = w.exportCriticalDays(ics);
        QCOMPARE(reason.isEmpty(), events > 0);
        if (events > 0) {
            QFile file(ics);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll().count("DTSTART;VALUE=DATE:" + critical.remove(u'-').toLatin1()), events);
        }
    });
}

// Every file is made whole in memory before anything is written, and one
// that cannot be made (here a picture too large to hold) is none at all: the
// window and quorvel-chart then report it rather than write a part of it.
void tst_Exports::aFileThatCannotBeMadeIsNone()
{
    ChartFixture chart;
    chart.show(u"1960-02-06"_qs, u"1961-11-12"_qs, 312);
    for (const ChartFormat format : {ChartFormat::Png, ChartFormat::Svg, ChartFormat::Pdf})
        QVERIFY(!chartFile(format, chart.surface, chart.drawn, 1, 46000.0).isEmpty());
    QVERIFY(chartFile(ChartFormat::Png, chart.surface, chart.drawn, 100000, 46000.0).isEmpty());
}

// Ctrl+P, anywhere in the window, opens the print preview of a drawn chart,
// and nothing while only the frame is shown.
void tst_Exports::printKeyOpensThePreview()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        int opened = 0;
        whenTrue(&w, [] { return qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget()); }, [&] {
            ++opened;
            QApplication::activeModalWidget()->close();
        });
        QTest::keyClick(w.TXTCSRQ, Qt::Key_P, Qt::ControlModifier);
        QTest::qWait(50);
        QCOMPARE(opened, 0);
        showCriticalSpan(w);
        QTest::keyClick(w.TXTCSRQ, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(opened, 1);
    });
}

QTEST_MAIN(tst_Exports)
#include "tst_exports.moc"
