// SPDX-License-Identifier: GPL-3.0-or-later
#include "chartfixture.h"

#include "model/biorhythm.h"
#include "platform/dates/conversions.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTest>

#include <cmath>
#include <functional>
#include <span>

using namespace quorvel;

using namespace quorvel::test;

namespace {

const QRgb Grid = GridColour;
const QRgb ZeroLine = ZeroLineColour;
const QRgb QueryBar = QueryBarColour;
const QRgb Cyan = CompositeColour;
using Chart = ChartFixture;

} // namespace

class tst_Chart : public QObject
{
    Q_OBJECT

private slots:
    void gridLines_data();
    void gridLines();
    void startupFrameWithExclusiveOr();
    void nothingDrawnWithoutTwoDates_data();
    void nothingDrawnWithoutTwoDates();
    void queryDayBar_data();
    void queryDayBar();
    void drawnChartIsWhatThePictureShows_data();
    void drawnChartIsWhatThePictureShows();
    void criticalBarCoversQueryBar();
    void firstColumnIsCriticalAtBirth();
    void compositeCurvePassesEveryPoint_data();
    void compositeCurvePassesEveryPoint();
    void curvesInTheirColoursAndOrder();
    void curvesLieOverBars();
    void curvesStayOnTheirOwnValues_data();
    void curvesStayOnTheirOwnValues();
    void birthTimeOfDayCountsInTheSpan_data();
    void birthTimeOfDayCountsInTheSpan();
    void backgroundFollowsTheColourScheme();
    void recordsDatesAndLabels_data();
    void recordsDatesAndLabels();
    void chartNearTheEndOfTheDateRange();
    void redrawIsRepeatable();
    void secondPersonDottedOverTheFirst_data();
    void secondPersonDottedOverTheFirst();
};

void tst_Chart::gridLines_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("proption");
    QTest::newRow("birth, 40 days") << 0 << 40;
    QTest::newRow("position 3, 41 days") << 3 << 41;
    QTest::newRow("far end, 365 days") << 18250 << 365;
}

void tst_Chart::gridLines()
{
    QFETCH(int, position);
    QFETCH(int, proption);
    Chart chart;
    chart.controls.position = position;
    chart.controls.span = proption;
    chart.redraw();

    const double start = 2.0 * position;
    QCOMPARE(chart.surface.scaleRect(), QRectF(QPointF(start, 120), QPointF(start + proption, -120)));
    // One line per day boundary; the one at the right edge falls just outside.
    QCOMPARE(chart.countInRow(5, Grid), proption);
    for (int k = 0; k < proption; ++k)
        QCOMPARE(chart.countInColumn(chart.column(start + k), Grid), ChartSize.height() - 1);
    QCOMPARE(chart.column(start), 0);
    // The zero line crosses the whole width, over the grid lines.
    QCOMPARE(chart.countInRow(chart.row(0), ZeroLine), ChartSize.width());
}

void tst_Chart::startupFrameWithExclusiveOr()
{
    Chart chart;
    chart.surface.setDrawMode(DrawMode::XorPen);
    chart.surface.Cls();
    DrawBackground(chart.surface, chart.controls);
    const int zero = chart.row(0);
    // Over black the greys stay themselves, but where the zero line crosses a
    // grid line the two cancel to a dark grey.
    QCOMPARE(chart.countInRow(zero, qRgb(0x20, 0x20, 0x20)), 40);
    QCOMPARE(chart.countInRow(zero, ZeroLine), ChartSize.width() - 40);
    QCOMPARE(chart.countInRow(zero - 1, Grid), 40);
    QCOMPARE(chart.countInRow(zero - 1, Black), ChartSize.width() - 40);
}

void tst_Chart::nothingDrawnWithoutTwoDates_data()
{
    QTest::addColumn<QString>("birth");
    QTest::addColumn<QString>("query");
    QTest::newRow("both empty") << QString() << QString();
    QTest::newRow("query invalid") << u"1960-02-06"_qs << u"2010-02-30"_qs;
    QTest::newRow("birth invalid") << u"2001-03-33"_qs << u"2010-02-06"_qs;
}

void tst_Chart::nothingDrawnWithoutTwoDates()
{
    QFETCH(QString, birth);
    QFETCH(QString, query);
    Chart chart;
    chart.controls.birthText = birth;
    chart.controls.queryText = query;
    chart.shared = {1234.0, 5678.0, ProgramCriticalLevel};
    chart.surface.Cls();
    DrawBackground(chart.surface, chart.controls);
    chart.surface.setDrawMode(DrawMode::XorPen);
    const QImage frame = chart.surface.image();
    QVERIFY(!DrawPicBack(chart.surface, chart.controls, chart.shared).curvesDrawn);
    QCOMPARE(chart.surface.image(), frame);
    QCOMPARE(chart.surface.drawMode(), DrawMode::XorPen);
    QCOMPARE(chart.shared.ChartQueryDate, 1234.0);
    QCOMPARE(chart.shared.ChartBirthDate, 5678.0);
}

void tst_Chart::queryDayBar_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("proption");
    QTest::addColumn<int>("barDay"); // -1: no bar
    // 2010-02-06 is day 18263 of a life that began 1960-02-06.
    QTest::newRow("first position that shows it") << u"2010-02-06"_qs << 9112 << 40 << 18263;
    QTest::newRow("last position that shows it") << u"2010-02-06"_qs << 9131 << 40 << 18263;
    QTest::newRow("just left of the span") << u"2010-02-06"_qs << 9132 << 40 << -1;
    QTest::newRow("just right of the span") << u"2010-02-06"_qs << 9111 << 40 << -1;
    // Position 9127 shows days 18254 (2010-01-28) to 18293 (2010-03-08).
    QTest::newRow("on the first day") << u"2010-01-28"_qs << 9127 << 40 << 18254;
    QTest::newRow("on the last day") << u"2010-03-08"_qs << 9127 << 40 << 18293;
    QTest::newRow("on the day after the end") << u"2010-03-09"_qs << 9127 << 40 << -1;
    QTest::newRow("the day before the start") << u"2010-01-27"_qs << 9127 << 40 << -1;
    QTest::newRow("noon rounds to the even day") << u"2010-01-28 12:00"_qs << 9127 << 40 << 18254;
    QTest::newRow("noon rounds up to the even day") << u"2010-01-29 12:00"_qs << 9127 << 40 << 18256;
    QTest::newRow("morning stays on its day") << u"2010-02-06 06:00"_qs << 9120 << 40 << 18263;
    QTest::newRow("evening rounds to the next day") << u"2010-02-06 18:00"_qs << 9120 << 40 << 18264;
    QTest::newRow("before the birth date") << u"1960-01-01"_qs << 0 << 365 << -1;
    QTest::newRow("wide span") << u"2010-02-06"_qs << 9000 << 365 << 18263;
}

void tst_Chart::queryDayBar()
{
    QFETCH(QString, query);
    QFETCH(int, position);
    QFETCH(int, proption);
    QFETCH(int, barDay);
    Chart chart;
    chart.show(u"1960-02-06"_qs, query, position, proption);

    int barColumns = 0;
    for (int x = 0; x < ChartSize.width(); ++x)
        barColumns += chart.countInColumn(x, QueryBar) > ChartSize.height() / 2;
    if (barDay < 0) {
        QCOMPARE(barColumns, 0);
        return;
    }
    const int left = chart.column(barDay);
    const int right = chart.column(barDay + 1);
    QCOMPARE(barColumns, right - left);
    for (int x = left; x < right; ++x)
        QVERIFY(chart.countInColumn(x, QueryBar) > ChartSize.height() * 3 / 4);
}

void tst_Chart::drawnChartIsWhatThePictureShows_data()
{
    queryDayBar_data();
    // Critical days 644 and 0, at the query day and away from it.
    QTest::newRow("critical query day") << u"1961-11-11"_qs << 310 << 40 << -1;
    QTest::newRow("critical first day") << u"1960-02-26"_qs << 0 << 40 << 20;
}

// What the chart says it drew, which the readouts, the sheet and the files
// tell, is what its pixels show: the span's days, the query bar's day and
// the black columns.
void tst_Chart::drawnChartIsWhatThePictureShows()
{
    QFETCH(QString, query);
    QFETCH(int, position);
    QFETCH(int, proption);
    Chart chart;
    chart.show(u"1960-02-06"_qs, query, position, proption);
    const DrawnChart &drawn = chart.drawn;
    QVERIFY(drawn.curvesDrawn);
    QCOMPARE(drawn.days, (SpanDays{2 * position, 2 * position + proption - 1}));
    QCOMPARE(chart.column(drawn.days.first), 0);
    QCOMPARE(chart.column(drawn.days.last + 1), ChartSize.width());
    QCOMPARE(drawn.birthDate, chart.shared.ChartBirthDate);
    QCOMPARE(drawn.queryDate, chart.shared.ChartQueryDate);
    const auto covered = [&](int day, QRgb colour) {
        return chart.countInColumn(chart.column(day), colour) > ChartSize.height() * 3 / 4;
    };
    QList<int> black;
    for (int day = drawn.days.first; day <= drawn.days.last; ++day) {
        if (covered(day, Black))
            black << day;
        // The query bar shows where it is drawn, unless a critical bar covers it.
        QCOMPARE(covered(day, QueryBar), drawn.marksQueryDay(day) && !covered(day, Black));
    }
    QCOMPARE(QList<int>(drawn.criticalDays.begin(), drawn.criticalDays.end()), black);
}

void tst_Chart::criticalBarCoversQueryBar()
{
    // Day 644 after the birth is critical; put the query on it.
    Chart chart;
    // Query day 21952 + 644 = 22596; position 310 shows days 620 to 660.
    chart.show(u"1960-02-06"_qs, u"1961-11-11"_qs, 310);
    const int left = chart.column(644);
    const int right = chart.column(645);
    for (int x = left; x < right; ++x) {
        QCOMPARE(chart.countInColumn(x, QueryBar), 0);
        QCOMPARE(chart.countInColumn(x, Grid), 0);
        QVERIFY(chart.countInColumn(x, Black) > ChartSize.height() * 3 / 4);
    }
    // Its neighbours keep their grid lines.
    QVERIFY(chart.countInColumn(chart.column(643), Grid) > ChartSize.height() / 2);
    QVERIFY(chart.countInColumn(right, Grid) > ChartSize.height() / 2);
}

void tst_Chart::firstColumnIsCriticalAtBirth()
{
    Chart chart;
    chart.show(u"1960-02-06"_qs, u"1960-02-26"_qs);
    QCOMPARE(chart.countInColumn(0, Grid), 0);
    QVERIFY(chart.countInColumn(0, Black) > ChartSize.height() * 3 / 4);
    QVERIFY(chart.countInColumn(chart.column(1), Grid) > ChartSize.height() / 2);
}

// Spans of the chart of 1960-02-06 queried for 1990-01-01, for the tests of
// its curves.
void tst_Chart::compositeCurvePassesEveryPoint_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("proption");
    QTest::newRow("40 days from birth") << 0 << 40;
    QTest::newRow("41 days") << 101 << 41;
    QTest::newRow("over the critical day 644") << 310 << 40;
    QTest::newRow("365 days at 100 years") << 18250 << 365;
}

void tst_Chart::compositeCurvePassesEveryPoint()
{
    QFETCH(int, position);
    QFETCH(int, proption);
    Chart chart;
    chart.show(u"1960-02-06"_qs, u"1990-01-01"_qs, position, proption);

    // The Composite is drawn last: each of its 2s + 1 points, at x + 0.5,
    // lies on a cyan pixel, but those on or past the right edge.
    const double start = 2.0 * position;
    int points = 0;
    for (double x = start; x <= start + proption; x += 0.5) {
        ++points;
        const QPoint p = chart.surface.toPixel(QPointF(float(x + 0.5), float(CompositeValue(x))));
        if (p.x() < ChartSize.width())
            QCOMPARE(chart.surface.image().pixel(p), Cyan);
        else
            QVERIFY(x + 0.5 >= start + proption);
    }
    QCOMPARE(points, 2 * proption + 1);
    // The drawing ends at the Composite's last point, with the copy pen.
    const double end = start + proption;
    const QPointF last = chart.surface.currentPoint();
    QCOMPARE(last.x(), end + 0.5);
    QCOMPARE(float(last.y()), float(CompositeValue(end)));
    QCOMPARE(chart.surface.drawMode(), DrawMode::CopyPen);
}

// Physical blue, Emotional yellow, Intellectual red, Composite cyan, drawn in
// that order: a point of a curve shows its own colour unless a curve drawn
// after it passes over that pixel.
void tst_Chart::curvesInTheirColoursAndOrder()
{
    Chart chart;
    chart.show(u"1960-02-06"_qs, u"1990-01-01"_qs, 5000, 365);

    // The colour table of the curves, as the user sees it.
    const QRgb blue = qRgb(0, 0, 0xFF);
    const QRgb yellow = qRgb(0xFF, 0xFF, 0);
    const QRgb red = qRgb(0xFF, 0, 0);
    // Each curve's own colour, then those of the curves drawn after it.
    const QList<QRgb> shownAs[] = {{blue, yellow, red, Cyan}, {yellow, red, Cyan}, {red, Cyan}, {Cyan}};
    const double start = 2.0 * chart.controls.position;
    const double end = start + chart.controls.span;
    for (std::size_t curve = 0; curve < std::size(shownAs); ++curve) {
        int own = 0;
        int points = 0;
        for (double x = start; x + 0.5 < end; x += 0.5) {
            const QPoint p = chart.surface.toPixel(QPointF(float(x + 0.5), float(curveValue(curve, x))));
            const QRgb pixel = chart.surface.image().pixel(p);
            QVERIFY2(shownAs[curve].contains(pixel), qPrintable(QString::number(x)));
            own += pixel == shownAs[curve].first();
            ++points;
        }
        // Crossings are few: most points keep their own colour.
        QVERIFY(own > points * 3 / 4);
    }
}

void tst_Chart::curvesLieOverBars()
{
    // On the critical day 644 the curves cross the black bar near zero.
    Chart chart;
    chart.show(u"1960-02-06"_qs, u"1990-01-01"_qs, 310);
    const int middle = chart.surface.toPixel(QPointF(644.5, 0)).x();
    int coloured = 0;
    for (int y = 0; y < ChartSize.height(); ++y) {
        const QRgb p = chart.surface.image().pixel(middle, y);
        coloured += p != Black && p != Grid && p != ZeroLine;
    }
    QVERIFY(coloured >= 4);
}

void tst_Chart::curvesStayOnTheirOwnValues_data()
{
    compositeCurvePassesEveryPoint_data();
}

// Every pixel in a curve's colour lies on that curve: within a pixel of the
// segment between two of its neighbouring half-day values. A curve that
// began with a line from wherever the pen last stood, or that joined on to
// the curve before it, would leave a long stroke elsewhere.
void tst_Chart::curvesStayOnTheirOwnValues()
{
    QFETCH(int, position);
    QFETCH(int, proption);
    Chart chart;
    chart.show(u"1960-02-06"_qs, u"1990-01-01"_qs, position, proption);
    const QRgb colours[] = {PhysicalColour, EmotionalColour, IntellectualColour, Cyan};
    const double start = 2.0 * position;
    for (std::size_t curve = 0; curve < std::size(colours); ++curve) {
        // The rows each column may hold, from the segments that reach it.
        QList<QPair<int, int>> rows(ChartSize.width(), {ChartSize.height(), -1});
        for (double x = start; x < start + proption; x += 0.5) {
            const QPoint a = chart.surface.toPixel(QPointF(float(x + 0.5), float(curveValue(curve, x))));
            const QPoint b = chart.surface.toPixel(QPointF(float(x + 1.0), float(curveValue(curve, x + 0.5))));
            for (int c = std::max(0, std::min(a.x(), b.x()) - 1);
                 c <= std::min(ChartSize.width() - 1, std::max(a.x(), b.x()) + 1); ++c) {
                rows[c].first = std::min({rows[c].first, a.y() - 1, b.y() - 1});
                rows[c].second = std::max({rows[c].second, a.y() + 1, b.y() + 1});
            }
        }
        int pixels = 0;
        for (int c = 0; c < ChartSize.width(); ++c)
            for (int r = 0; r < ChartSize.height(); ++r) {
                if (chart.surface.image().pixel(c, r) != colours[curve])
                    continue;
                ++pixels;
                QVERIFY2(r >= rows[c].first && r <= rows[c].second,
                         qPrintable(QStringLiteral("stray pixel at %1,%2").arg(c).arg(r)));
            }
        QVERIFY(pixels > ChartSize.width() / 2);
    }
}

void tst_Chart::birthTimeOfDayCountsInTheSpan_data()
{
    QTest::addColumn<QString>("birth");
    QTest::addColumn<int>("barDay"); // -1: no bar
    // The span of position 9112 begins 18224 days after the birth. With a
    // birth at 18:00, 2010-02-07 is day 18263.25 of the life: within the 40
    // days that the span shows, on its last column. Without the time the
    // span would end at the very start of 2010-02-07 and show no bar.
    QTest::newRow("birth at 18:00") << u"1960-02-06 18:00"_qs << 18263;
    QTest::newRow("birth at midnight") << u"1960-02-06"_qs << -1;
}

void tst_Chart::birthTimeOfDayCountsInTheSpan()
{
    QFETCH(QString, birth);
    QFETCH(int, barDay);
    Chart chart;
    chart.show(birth, u"2010-02-07"_qs, 9112, 40);
    int barColumns = 0;
    for (int x = 0; x < ChartSize.width(); ++x)
        barColumns += chart.countInColumn(x, QueryBar) > ChartSize.height() / 2;
    if (barDay < 0) {
        QCOMPARE(barColumns, 0);
        return;
    }
    QCOMPARE(barColumns, chart.column(barDay + 1) - chart.column(barDay));
    QVERIFY(chart.countInColumn(ChartSize.width() - 1, QueryBar) > ChartSize.height() / 2);
}

// The chart's ground is the scheme's menu-text colour: black in the standard
// scheme, and whatever a dark scheme makes it.
void tst_Chart::backgroundFollowsTheColourScheme()
{
    const QPalette standard = QGuiApplication::palette();
    QCOMPARE(standard.color(QPalette::WindowText).rgb(), Black);
    Chart chart;
    chart.surface.Cls();
    QCOMPARE(chart.surface.image().pixel(5, 5), Black);

    QPalette dark = standard;
    dark.setColor(QPalette::WindowText, QColor(0xEE, 0xEE, 0xEC));
    QGuiApplication::setPalette(dark);
    chart.surface.Cls();
    const QRgb ground = chart.surface.image().pixel(5, 5);
    QGuiApplication::setPalette(standard);
    QCOMPARE(ground, qRgb(0xEE, 0xEE, 0xEC));
}

void tst_Chart::recordsDatesAndLabels_data()
{
    QTest::addColumn<QString>("birth");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("proption");
    QTest::addColumn<QString>("startLabel");
    QTest::addColumn<QString>("spanLabel");
    QTest::newRow("birth day") << u"1960-02-06"_qs << 0 << 40 << u"1960-02-06"_qs << u"<-- 40天 -->"_qs;
    QTest::newRow("ten steps on") << u"1960-02-06"_qs << 10 << 41 << u"1960-02-26"_qs << u"<-- 41天 -->"_qs;
    QTest::newRow("widest") << u"1960-02-06"_qs << 18250 << 365 << u"2060-01-12"_qs << u"<-- 365天 -->"_qs;
    QTest::newRow("birth with a time") << u"1960-02-06 23:00"_qs << 0 << 40 << u"1960-02-06"_qs
                                       << u"<-- 40天 -->"_qs;
}

void tst_Chart::recordsDatesAndLabels()
{
    QFETCH(QString, birth);
    QFETCH(int, position);
    QFETCH(int, proption);
    QFETCH(QString, startLabel);
    QFETCH(QString, spanLabel);
    Chart chart;
    chart.show(birth, u"2000-01-01 12:00"_qs, position, proption);
    QCOMPARE(chart.shared.ChartQueryDate, 36526.5);
    QCOMPARE(chart.shared.ChartBirthDate, *CDate(birth));
    QCOMPARE(chart.drawn.startLabel, startLabel);
    QCOMPARE(chart.drawn.spanLabel, spanLabel);
}

void tst_Chart::chartNearTheEndOfTheDateRange()
{
    // A span reaching past 9999-12-31 is still drawn; a start date past it
    // has no text.
    Chart chart;
    chart.show(u"9899-01-25"_qs, u"9999-12-31"_qs, 18250, 365);
    QCOMPARE(chart.drawn.startLabel, u"9999-01-01"_qs);
    QCOMPARE(chart.countInRow(chart.row(0), ZeroLine) > 0, true);
    // 9999-12-31 is day 36864 of that life, the span's last day: its bar shows.
    const int x = chart.column(36864);
    QVERIFY(chart.countInColumn(x, QueryBar) > ChartSize.height() / 2);

    chart.controls.birthText = u"9990-01-01"_qs;
    chart.controls.queryText = u"9991-01-01"_qs;
    chart.redraw();
    QCOMPARE(chart.drawn.startLabel, QString());
    QCOMPARE(chart.drawn.spanLabel, u"<-- 365天 -->"_qs);
    int cyan = 0;
    for (int x = 0; x < ChartSize.width(); ++x)
        cyan += chart.countInColumn(x, Cyan);
    QVERIFY(cyan > ChartSize.width());
}

void tst_Chart::redrawIsRepeatable()
{
    Chart chart;
    chart.show(u"1980-01-01"_qs, u"2009-11-03"_qs, 5440, 123);
    const QImage first = chart.surface.image();
    chart.redraw();
    QCOMPARE(chart.surface.image(), first);
}

void tst_Chart::secondPersonDottedOverTheFirst_data()
{
    QTest::addColumn<QString>("second");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("proption");
    QTest::addColumn<QList<int>>("critical"); // the second person's, as the chart's columns
    // Their critical day 644 is the first person's 744, or 544.
    QTest::newRow("born 100 days later") << u"1960-05-16"_qs << 360 << 40 << QList<int>{744};
    QTest::newRow("born 100 days earlier") << u"1959-10-29"_qs << 272 << 40 << QList<int>{544};
    QTest::newRow("born at 18:00, 365 days") << u"1950-07-01 18:00"_qs << 9000 << 365 << QList<int>{};
}

// The second person's three cycles are dots, every other pixel of the
// solid lines through their own values of the same instant, over the first
// person's chart, which stays as it was; their critical days are named on
// the chart's columns.
void tst_Chart::secondPersonDottedOverTheFirst()
{
    QFETCH(QString, second);
    QFETCH(int, position);
    QFETCH(int, proption);
    QFETCH(QList<int>, critical);
    Chart alone, pair;
    alone.show(u"1960-02-06"_qs, u"1990-01-01"_qs, position, proption);
    pair.controls = alone.controls;
    pair.controls.comparison = Comparison{QString(), QString(), CDate(second).value()};
    pair.redraw();
    const double shift = 21952.0 - CDate(second).value();
    QVERIFY(pair.drawn.compared);
    QCOMPARE(QList<int>(pair.drawn.compared->criticalDays.begin(), pair.drawn.compared->criticalDays.end()), critical);

    const QRgb colours[] = {PhysicalColour, EmotionalColour, IntellectualColour};
    std::array<QImage, 3> lines;
    for (std::size_t curve = 0; curve < lines.size(); ++curve) {
        DrawingSurface line(ChartSize, SystemMenuText, Curves[curve].color);
        line.Scale(pair.drawn.days.first, ChartTop, pair.drawn.days.end(), ChartBottom);
        std::vector<QPointF> points;
        for (double x = pair.drawn.days.first; x <= pair.drawn.days.end(); x += 0.5)
            points.emplace_back(float(x + 0.5), float(curveValue(curve, x + shift)));
        line.PSet(float(points[0].x()), float(points[0].y()));
        line.LineTo(std::span(points).subspan(1), Curves[curve].color);
        lines[curve] = line.image();
    }
    std::array<int, 3> dots{}, lit{};
    for (int c = 0; c < ChartSize.width(); ++c) {
        for (int r = 0; r < ChartSize.height(); ++r) {
            for (std::size_t curve = 0; curve < lines.size(); ++curve)
                lit[curve] += lines[curve].pixel(c, r) == colours[curve];
            const QRgb shown = pair.surface.image().pixel(c, r);
            if (shown == alone.surface.image().pixel(c, r))
                continue;
            const auto curve = std::size_t(std::find(std::begin(colours), std::end(colours), shown) - colours);
            QVERIFY2(curve < lines.size() && lines[curve].pixel(c, r) == shown,
                     qPrintable(QStringLiteral("%1,%2: %3").arg(c).arg(r).arg(shown, 8, 16)));
            ++dots[curve];
        }
    }
    for (std::size_t curve = 0; curve < lines.size(); ++curve)
        QVERIFY2(dots[curve] > lit[curve] / 4 && dots[curve] <= lit[curve] / 2 + 1,
                 qPrintable(QStringLiteral("%1 of %2").arg(dots[curve]).arg(lit[curve])));
}

QTEST_MAIN(tst_Chart)
#include "tst_chart.moc"
