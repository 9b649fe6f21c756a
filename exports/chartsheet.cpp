// SPDX-License-Identifier: GPL-3.0-or-later
#include "exports/chartexports.h"

#include "chart/legend.h"
#include "platform/dates/conversions.h"
#include "platform/drawing/fonts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

// The chart sheet is laid out in tenths of a millimetre on the printable area
// of an A4 page in landscape, and scaled as a whole to the area it is given:
// another printer's page takes the same sheet, larger or smaller. Fonts are
// sized in the same units, whatever the device's resolution.

namespace quorvel {
namespace {

constexpr double Mm = 10; // layout units to a millimetre
constexpr double Margin = 12; // millimetres
constexpr QSizeF SheetSize(273 * Mm, 186 * Mm); // A4 landscape inside the margins
// The chart as wide as the page, the value axis's labels left of it.
constexpr double PlotLeft = 11 * Mm;
constexpr QRectF PlotArea(PlotLeft, 29 * Mm, SheetSize.width() - PlotLeft, 100 * Mm);
// Lines closer than this on paper run together into grey.
constexpr double NearestLines = 1.5; // millimetres
constexpr double AxisTextHeight = 3; // millimetres
// The least room between two date labels.
constexpr double LabelGap = 3 * Mm;
// The legend at three tenths of a millimetre to the window's pixel.
constexpr double LegendScale = 0.3 * Mm;
constexpr double ColumnGap = 10 * Mm;
// From one line of values or critical days to the next.
constexpr double Row = 5.5 * Mm;

// The sheet's face, `height` millimetres high, smoothed and unhinted: the
// sheet is seen on paper and in previews, not on the window's pixel grid.
QFont sheetFont(double height)
{
    QFont font = paperFont();
    font.setPixelSize(int(std::lround(height * Mm)));
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// The calendar day that names day offset `day` of a chart.
QDate dayOf(const DrawnChart &chart, int day) { return calendarDate(chart.dateOf(day)); }

// The days of a chart that a rule keeps, from `first` to `last`.
std::vector<int> daysWhere(const DrawnChart &chart, int first, int last, const std::function<bool(QDate)> &keeps)
{
    std::vector<int> days;
    for (int day = first; day <= last; ++day) {
        if (keeps(dayOf(chart, day)))
            days.push_back(day);
    }
    return days;
}

bool isMonday(QDate date) { return date.dayOfWeek() == Qt::Monday; }

// The days at whose left edge a grid line stands, the day after the span
// closing it: every day where lines a day apart lie far enough apart on the
// page, else every Monday, else every first of a month.
std::vector<int> gridDays(const DrawnChart &chart, double dayWidthMm)
{
    const int first = chart.days.first;
    const int end = chart.days.end();
    if (dayWidthMm >= NearestLines)
        return daysWhere(chart, first, end, [](QDate) { return true; });
    if (7 * dayWidthMm >= NearestLines)
        return daysWhere(chart, first, end, isMonday);
    return daysWhere(chart, first, end, [](QDate date) { return date.day() == 1; });
}

// The days the date axis labels: the densest of these rules whose labels
// (each under its day's column) leave room between them.
std::vector<int> labelledDays(const DrawnChart &chart, double dayWidth, const QFontMetricsF &metrics)
{
    const int first = chart.days.first;
    const std::function<bool(QDate)> rules[] = {
        [](QDate) { return true; },
        [first, &chart](QDate date) { return (date.toJulianDay() - dayOf(chart, first).toJulianDay()) % 2 == 0; },
        isMonday,
        [](QDate date) { return isMonday(date) && date.toJulianDay() / 7 % 2 == 0; }, // every other week
        [](QDate date) { return date.day() == 1; },
        [](QDate date) { return date.day() == 1 && date.month() % 3 == 1; }, // quarters
        [](QDate date) { return date.dayOfYear() == 1; },
    };
    std::vector<int> days;
    for (const auto &rule : rules) {
        days = daysWhere(chart, first, chart.days.last, rule);
        double widest = 0;
        int nearest = std::numeric_limits<int>::max();
        for (std::size_t i = 0; i < days.size(); ++i) {
            widest = std::max(widest, metrics.horizontalAdvance(dateText(chart.dateOf(days[i]))));
            if (i > 0)
                nearest = std::min(nearest, days[i] - days[i - 1]);
        }
        if (nearest * dayWidth >= widest + LabelGap)
            break;
    }
    return days;
}

// The text of the query day: the query as it was asked, and what the chart
// makes of it (queryDayNotes): the day whose values the sheet gives, when
// that is another calendar day, and that it lies outside the chart.
// Where it is wider than `width` in `font`, the notes go on a line of their
// own.
QString queryDayText(const DrawnChart &chart, const QFont &font, double width)
{
    const QString query = QueryDayWord + u' ' + dateTimeText(chart.queryDate);
    const QStringList notes = chart.queryDayNotes();
    if (notes.isEmpty())
        return query;
    const QString said = u'（' + notes.join(u'，') + u'）';
    return QFontMetricsF(font).horizontalAdvance(query + said) <= width ? query + said : query + u'\n' + said;
}

// The dates asked for; with two people, both, each with a name kept.
QString datesText(const DrawnChart &chart)
{
    const QString query = QStringLiteral("查询日期：")
        + withLunarDate(dateTimeText(chart.queryDate), chart.queryDate, chart.queryTypedLunar);
    if (!chart.compared)
        return QStringLiteral("出生日期：%1　　")
                   .arg(withLunarDate(dateTimeText(chart.birthDate), chart.birthDate, chart.birthTypedLunar))
            + query;
    return QStringLiteral("出生日期：%1　　对比：%2　　")
               .arg(chart.compared->firstInFull(), chart.compared->secondInFull())
        + query;
}

class Sheet
{
public:
    Sheet(QPainter &painter, const DrawingSurface &surface, const DrawnChart &chart)
        : m_painter(painter)
        , m_surface(surface)
        , m_chart(chart)
    {
    }

    void paint(Date made);

private:
    void text(QRectF where, double height, const QString &words, int flags = Qt::AlignLeft | Qt::AlignTop)
    {
        m_painter.setFont(sheetFont(height));
        m_painter.setPen(Qt::black);
        m_painter.drawText(where, flags, words);
    }
    // Text `height` millimetres high from (x, y) on, wrapped at `width`
    // (up to the page's edge by default) onto as many lines as it needs;
    // gives back where the next line below it may begin.
    double line(double x, double y, double height, const QString &words, double width = 0)
    {
        const QRectF where(x, y, width > 0 ? width : SheetSize.width() - x, SheetSize.height() - y);
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
        text(where, height, words, flags);
        const QFontMetricsF metrics(sheetFont(height));
        const double lines = std::round(metrics.boundingRect(where, flags, words).height() / metrics.lineSpacing());
        return y + std::max(1.0, lines) * height * 1.5 * Mm;
    }
    // An axis's tick, in the frame's colour.
    void tick(QPointF from, QPointF to)
    {
        m_painter.setPen(QPen(colorOf(PaperZeroLineColor), 0.25 * Mm));
        m_painter.drawLine(from, to);
    }
    double dayWidth() const { return PlotArea.width() / m_chart.span(); }
    // The middle of a day's column across the page.
    double columnMiddle(int day) const { return PlotArea.left() + (day - m_chart.days.first + 0.5) * dayWidth(); }

    void paintValueAxis();
    void paintDateAxis();
    void paintQueryMark();
    void paintLegendRow(double top);
    void paintDays(double top);
    void paintComparedValue(std::size_t curve, double x, double y);
    void paintCriticalDays(double left, double right, double top, const QString &heading,
                           const std::vector<int> &days);

    QPainter &m_painter;
    const DrawingSurface &m_surface;
    const DrawnChart &m_chart;
};

void Sheet::paint(Date made)
{
    text(QRectF(0, 0, SheetSize.width(), 10 * Mm), 7, ChartTitle);
    line(0, 11.5 * Mm, 4, datesText(m_chart));
    if (!m_chart.curvesDrawn) {
        line(0, 17.5 * Mm, 4,
             QStringLiteral("没有可显示的图表：以 %1 为中心的 %2 天的范围会从出生日期当天或之前开始。")
                 .arg(dateText(m_chart.queryDate))
                 .arg(m_chart.span()));
    } else {
        line(0, 17.5 * Mm, 4,
             QStringLiteral("图表范围：%1 至 %2，共%3天")
                 .arg(m_chart.dayText(m_chart.days.first), m_chart.dayText(m_chart.days.last))
                 .arg(m_chart.span()));
        paintPaperChart(m_painter, PlotArea, Mm, m_surface, m_chart);
        paintValueAxis();
        paintDateAxis();
        paintQueryMark();
        paintLegendRow(PlotArea.bottom() + 8.5 * Mm);
        paintDays(PlotArea.bottom() + 19 * Mm);
    }
    // In the corner that nothing above reaches: the values of the query day
    // may run down the page's left side.
    text(QRectF(0, SheetSize.height() - 5 * Mm, SheetSize.width(), 5 * Mm), 2.8,
         QStringLiteral("制作日期：%1").arg(dateText(made)), Qt::AlignRight | Qt::AlignBottom);
}

void Sheet::paintValueAxis()
{
    for (const int value : {100, 0, -100}) {
        const double y = PlotArea.top() + (ChartTop - value) / (ChartTop - ChartBottom) * PlotArea.height();
        tick(QPointF(PlotArea.left() - 1 * Mm, y), QPointF(PlotArea.left(), y));
        const QString words = value > 0 ? QStringLiteral("+100") : value < 0 ? QStringLiteral("−100") : u"0"_qs;
        text(QRectF(0, y - 2 * Mm, PlotArea.left() - 1.5 * Mm, 4 * Mm), AxisTextHeight, words,
             Qt::AlignRight | Qt::AlignVCenter);
    }
}

void Sheet::paintDateAxis()
{
    const QFont font = sheetFont(AxisTextHeight);
    const QFontMetricsF metrics(font);
    const double top = PlotArea.bottom();
    for (const int day : labelledDays(m_chart, dayWidth(), metrics)) {
        const double x = columnMiddle(day);
        const QString words = dateText(m_chart.dateOf(day));
        const double width = metrics.horizontalAdvance(words);
        // A label that would reach past the page's edge is left out, and so
        // is a day past the last date, which has none.
        if (words.isEmpty() || x - width / 2 < 0 || x + width / 2 > SheetSize.width())
            continue;
        tick(QPointF(x, top), QPointF(x, top + 1.5 * Mm));
        text(QRectF(x - width, top + 2 * Mm, 2 * width, 5 * Mm), AxisTextHeight, words,
             Qt::AlignHCenter | Qt::AlignTop);
    }
}

// A triangle above the query day's column, pointing at it: the query day
// shows even where a critical day's bar covers its own.
void Sheet::paintQueryMark()
{
    if (!m_chart.showsQueryDay())
        return;
    const double x = columnMiddle(*m_chart.queryDay);
    const double tip = PlotArea.top() - 0.4 * Mm;
    const double half = 1.4 * Mm;
    const QPointF corners[] = {{x - half, tip - 2.4 * Mm}, {x + half, tip - 2.4 * Mm}, {x, tip}};
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(colorOf(PaperQueryMarkColor));
    m_painter.setRenderHint(QPainter::Antialiasing);
    m_painter.drawPolygon(corners, 3);
    m_painter.setBrush(Qt::NoBrush);
}

// The curves' legend, and the two bars after it.
void Sheet::paintLegendRow(double top)
{
    m_painter.save();
    m_painter.translate(PlotArea.left(), top);
    m_painter.scale(LegendScale, LegendScale);
    QFont font = sheetFont(1);
    font.setPixelSize(FontPixelSize);
    m_painter.setFont(font);
    paintLegend(m_painter, QPoint(0, 0), Qt::black, Palette::Paper);
    int x = LegendSize.width() + 8;
    for (const auto &[color, word] : {std::pair{PaperQueryDayColor, QueryDayWord}, {PaperCriticalDayColor, CriticalDayWord}})
        x = paintLegendEntry(m_painter, QPoint(x, 0), colorOf(color), Qt::black, word) + 12;
    // Which line is whom: a stroke of each, and the person after it.
    if (const auto &compared = m_chart.compared) {
        QPen stroke(Qt::black, 1.0, Qt::SolidLine, Qt::FlatCap);
        for (const QString &who : {compared->firstInFull(), compared->secondInFull()}) {
            m_painter.setPen(stroke);
            m_painter.drawLine(QPointF(x, LegendSize.height() / 2.0), QPointF(x + 24, LegendSize.height() / 2.0));
            m_painter.drawText(QRect(x + 28, 0, 1000, LegendSize.height()), Qt::AlignLeft | Qt::AlignVCenter, who);
            x += 28 + m_painter.fontMetrics().horizontalAdvance(who) + 12;
            stroke.setDashPattern({1.0, 1.0});
        }
    }
    m_painter.restore();
}

// The values of the day the query bar marks, as the readout shows them in
// the middle of its column, and the span's critical days beside them, in
// columns as wide as their longest name.
void Sheet::paintDays(double top)
{
    const double left = PlotLeft + 110 * Mm;
    if (m_chart.queryDay) {
        const double width = left - PlotLeft - ColumnGap;
        double y = line(PlotLeft, top, 4.5, queryDayText(m_chart, sheetFont(4.5), width), width) + 0.25 * Mm;
        const std::array<long long, 4> values = m_chart.valuesOf(*m_chart.queryDay);
        for (std::size_t curve = 0; curve < values.size(); ++curve, y += Row) {
            line(PlotLeft + 4 * Mm, y, 4, valueCaption(curve, values[curve]));
            if (m_chart.compared)
                paintComparedValue(curve, PlotLeft + 4 * Mm, y);
        }
    }
    // With two people, each person's critical days, side by side.
    const double middle = m_chart.compared ? left + 76 * Mm : SheetSize.width();
    paintCriticalDays(left, middle, top, CriticalDayWord, m_chart.criticalDays);
    if (m_chart.compared)
        paintCriticalDays(middle, SheetSize.width(), top, m_chart.compared->secondWho() + u'的' + CriticalDayWord,
                          m_chart.compared->criticalDays);
}

// Beside a curve's value on the query day, the second person's of the same
// day, and how far the cycle runs in phase (the mean beside the Composite).
void Sheet::paintComparedValue(std::size_t curve, double x, double y)
{
    const ComparedChart &compared = *m_chart.compared;
    line(x + 30 * Mm, y, 4, compared.secondWho() + u'：' + CStr(compared.valuesOf(*m_chart.queryDay)[curve]));
    const bool mean = curve == compared.synchrony.cycles.size();
    line(x + 82 * Mm, y, 4,
         (mean ? QStringLiteral("平均同步") : QStringLiteral("同步"))
             + percentText(mean ? compared.synchrony.mean : compared.synchrony.cycles[curve]));
}

// The critical days under a heading, four to a column, the columns as wide
// as their longest name side by side from `left` as far as `right` leaves
// room.
void Sheet::paintCriticalDays(double left, double right, double top, const QString &heading,
                              const std::vector<int> &days)
{
    line(left, top, 4.5, heading);
    if (days.empty()) {
        line(left + 4 * Mm, top + 7 * Mm, 4, NoCriticalDayWords);
        return;
    }
    QStringList names;
    double width = 0;
    for (const int day : days) {
        names += m_chart.dayText(day);
        width = std::max(width, QFontMetricsF(sheetFont(4)).horizontalAdvance(names.constLast()) + ColumnGap);
    }
    for (qsizetype i = 0; i < names.size(); ++i) {
        const double x = left + 4 * Mm + double(i / 4) * width;
        if (x + width > right)
            break;
        line(x, top + 7 * Mm + double(i % 4) * Row, 4, names[i], width - ColumnGap);
    }
}

} // namespace

void paintPaperChart(QPainter &painter, QRectF area, double unitsPerMm, const DrawingSurface &surface,
                     const DrawnChart &chart)
{
    painter.save();
    painter.fillRect(area, Qt::white);
    const double dayWidth = area.width() / chart.span();
    painter.setPen(QPen(colorOf(PaperGridColor), 0.12 * unitsPerMm));
    for (const int day : gridDays(chart, dayWidth / unitsPerMm)) {
        const double x = area.left() + (day - chart.days.first) * dayWidth;
        painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    }
    painter.save();
    const QSizeF pixels(surface.size());
    painter.translate(area.topLeft());
    painter.scale(area.width() / pixels.width(), area.height() / pixels.height());
    surface.paint(painter, pixels, paperColor);
    painter.restore();
    painter.setPen(QPen(colorOf(PaperZeroLineColor), 0.25 * unitsPerMm));
    painter.drawRect(area);
    painter.restore();
}

void paintChartSheet(QPainter &painter, QRectF area, const DrawingSurface &surface, const DrawnChart &chart,
                     Date made)
{
    painter.save();
    const double scale = std::min(area.width() / SheetSize.width(), area.height() / SheetSize.height());
    painter.translate(area.topLeft());
    painter.scale(scale, scale);
    Sheet(painter, surface, chart).paint(made);
    painter.restore();
}

QPageLayout chartSheetPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(Margin, Margin, Margin, Margin),
                       QPageLayout::Millimeter);
}

bool writeChartPdf(QIODevice *device, const DrawingSurface &surface, const DrawnChart &chart, Date made)
{
    QPdfWriter pdf(device);
    pdf.setPageLayout(chartSheetPageLayout());
    pdf.setTitle(ChartTitle);
    pdf.setCreator(QStringLiteral("Quorvel"));
    QPainter painter;
    if (!painter.begin(&pdf))
        return false;
    paintChartSheet(painter, QRectF(QPointF(), pdf.pageLayout().paintRectPixels(pdf.resolution()).size()), surface,
                    chart, made);
    return painter.end();
}

} // namespace quorvel
