// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/chart.h"

#include "model/biorhythm.h"
#include "platform/dates/conversions.h"

#include <array>
#include <span>
#include <vector>

namespace quorvel {
namespace {

// The frame's left and right edges: the span's first day and the day after
// its last.
struct Edges {
    double start;
    double end;
};

Edges currentEdges(const ChartControls &controls)
{
    const double start = firstDayAt(controls.position);
    return {start, start + controls.span};
}

void drawDayBar(DrawingSurface &surface, double day, VbColor color)
{
    surface.LineBoxFilled(float(day), ChartTop, float(day + 1.0), ChartBottom, color);
}

// A curve through every point: the pen is set on the first, and a line
// drawn on to each of the others.
void drawCurve(DrawingSurface &surface, Edges edges, VbColor color, auto &&value, std::vector<QPointF> &vertices)
{
    vertices.clear();
    std::size_t point = 0;
    for (double x = edges.start; x <= edges.end; x += 0.5, ++point)
        vertices.emplace_back(static_cast<float>(x + 0.5), static_cast<float>(value(point)));
    if (vertices.empty())
        return;
    surface.PSet(float(vertices.front().x()), float(vertices.front().y()));
    surface.LineTo(std::span(vertices).subspan(1), color);
}

// The cycles at every point a curve passes through, x = start, start + 0.5,
// ..., up to end: the curves and the Composite take them from here, so each
// is worked out once.
std::vector<CycleValues> halfDayCycles(double start, double end)
{
    std::vector<CycleValues> points;
    if (end >= start)
        points.reserve(std::size_t(end - start) * 2 + 1);
    for (double x = start; x <= end; x += 0.5)
        points.push_back(AllCycleValues(x));
    return points;
}

} // namespace

DrawnChart chartOf(Date birthDate, Date queryDate, int position, int span, float criticalLevel)
{
    DrawnChart chart;
    chart.birthDate = birthDate;
    chart.queryDate = queryDate;
    chart.position = position;
    chart.span = span;
    chart.days = spanDays(position, span);
    if (const auto day = CLng(queryDate - birthDate))
        chart.queryDay = *day;
    // Compared as day counts: a span reaching past the last representable
    // date is still drawn (only its start label is left empty).
    const double first = birthDate + chart.days.first;
    chart.queryBarDrawn = chart.queryDay && first <= queryDate && first + span > queryDate;
    for (int day = chart.days.first; day <= chart.days.last; ++day) {
        if (IsCriticalDay(day, criticalLevel))
            chart.criticalDays.push_back(day);
    }
    chart.startLabel = startLabelText(birthDate, position);
    chart.spanLabel = spanLabelText(span);
    return chart;
}

DrawnChart frameOnlyChart(Date birthDate, Date queryDate, int span)
{
    DrawnChart chart;
    chart.birthDate = birthDate;
    chart.queryDate = queryDate;
    chart.span = span;
    chart.days = {0, -1};
    chart.spanLabel = spanLabelText(span);
    chart.curvesDrawn = false;
    return chart;
}

std::optional<QRgb> paperColor(Mark mark, QRgb color)
{
    switch (mark) {
    case Mark::Ground:
    case Mark::Point:
        return std::nullopt;
    case Mark::Box:
        if (color == resolveColor(QueryDayColor))
            return resolveColor(PaperQueryDayColor);
        if (color == resolveColor(CriticalDayColor))
            return resolveColor(PaperCriticalDayColor);
        return color;
    case Mark::Line:
        break;
    }
    if (color == resolveColor(GridColor))
        return std::nullopt;
    if (color == resolveColor(ZeroLineColor))
        return resolveColor(PaperZeroLineColor);
    for (const CurveStyle &curve : Curves) {
        if (color == resolveColor(curve.color))
            return resolveColor(curve.paperColor);
    }
    return color;
}

std::array<long long, 4> readoutNumbers(const CycleValues &cycles)
{
    const double values[] = {cycles.physical * ValueScale, cycles.emotional * ValueScale,
                             cycles.intellectual * ValueScale, CompositeValue(cycles)};
    std::array<long long, 4> numbers;
    for (std::size_t i = 0; i < numbers.size(); ++i)
        numbers[i] = static_cast<long long>(Int(values[i]));
    return numbers;
}

Readout readoutAt(Date birthDate, double x)
{
    // One past the last representable date shows no date, while the values
    // are still shown.
    Readout readout;
    readout.date = QStringLiteral("当前日期：") + dateText(birthDate + x);
    const std::array<long long, 4> numbers = readoutNumbers(AllCycleValues(x - 0.5));
    for (std::size_t i = 0; i < Curves.size(); ++i)
        readout.values[i] = QString::fromUtf16(Curves[i].name) + QStringLiteral("值：") + CStr(numbers[i]);
    return readout;
}

QString spanLabelText(int span)
{
    return QStringLiteral("<-- ") + CStr(span) + QStringLiteral("天 -->");
}

QString startLabelText(Date birthDate, int position)
{
    return dateText(birthDate + firstDayAt(position));
}

void DrawBackground(DrawingSurface &surface, const ChartControls &controls)
{
    const Edges edges = currentEdges(controls);
    surface.Scale(float(edges.start), ChartTop, float(edges.end), ChartBottom);
    for (double x = edges.start; x <= edges.end; x += 1.0)
        surface.Line(float(x), ChartTop, float(x), ChartBottom, GridColor);
    surface.Line(float(edges.start), 0.0f, float(edges.end), 0.0f, ZeroLineColor);
}

std::optional<DrawnChart> DrawPicBack(DrawingSurface &surface, const ChartControls &controls, SharedValues &shared)
{
    const auto query = CDate(controls.queryText);
    const auto birth = CDate(controls.birthText);
    if (!query || !birth)
        return std::nullopt;

    surface.setDrawMode(DrawMode::CopyPen);
    shared.ChartQueryDate = *query;
    shared.ChartBirthDate = *birth;
    DrawnChart chart =
        chartOf(shared.ChartBirthDate, shared.ChartQueryDate, controls.position, controls.span, shared.CriticalLevel);
    chart.birthTypedLunar = isLunarDate(controls.birthText);
    chart.queryTypedLunar = isLunarDate(controls.queryText);

    if (chart.queryBarDrawn)
        drawDayBar(surface, *chart.queryDay, QueryDayColor);
    for (const int day : chart.criticalDays)
        drawDayBar(surface, day, CriticalDayColor);
    // The bars run to the frame's right edge, both ends included: the edge
    // day's bar lies outside the picture.
    const Edges edges = currentEdges(controls);
    if (IsCriticalDay(edges.end, shared.CriticalLevel))
        drawDayBar(surface, edges.end, CriticalDayColor);

    const std::vector<CycleValues> points = halfDayCycles(edges.start, edges.end);
    constexpr std::array cycles{&CycleValues::physical, &CycleValues::emotional, &CycleValues::intellectual};
    std::vector<QPointF> vertices;
    vertices.reserve(points.size());
    for (std::size_t curve = 0; curve < cycles.size(); ++curve)
        drawCurve(surface, edges, Curves[curve].color,
                  [&, cycle = cycles[curve]](std::size_t i) { return ValueScale * points[i].*cycle; }, vertices);
    drawCurve(surface, edges, Curves[3].color, [&](std::size_t i) { return CompositeValue(points[i]); }, vertices);
    return chart;
}

} // namespace quorvel
