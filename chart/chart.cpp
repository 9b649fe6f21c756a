// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/chart.h"

#include "model/biorhythm.h"
#include "platform/dates/conversions.h"

#include <array>
#include <span>
#include <vector>

namespace quorvel {
namespace {

void drawDayBar(DrawingSurface &surface, double day, VbColor color)
{
    surface.LineBoxFilled(float(day), ChartTop, float(day + 1.0), ChartBottom, color);
}

// A curve through the value of every half day from the span's first day
// on, each drawn half a day to the right: the pen is set on the first
// point, and a line drawn on to each of the others.
void drawCurve(DrawingSurface &surface, const SpanDays &days, std::size_t count, VbColor color, auto &&value,
               std::vector<QPointF> &vertices, bool dotted = false)
{
    vertices.clear();
    for (std::size_t point = 0; point < count; ++point)
        vertices.emplace_back(static_cast<float>(days.first + 0.5 * double(point) + 0.5),
                              static_cast<float>(value(point)));
    if (vertices.empty())
        return;
    surface.PSet(float(vertices.front().x()), float(vertices.front().y()));
    if (dotted)
        surface.DottedLineTo(std::span(vertices).subspan(1), color);
    else
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

constexpr std::array CurveCycles{&CycleValues::physical, &CycleValues::emotional, &CycleValues::intellectual};

// The second person's three cycles, dotted, at the same half days: their
// own offsets lie `shift` days on from the chart's.
void drawComparedCurves(DrawingSurface &surface, const DrawnChart &chart, std::size_t count,
                        std::vector<QPointF> &vertices)
{
    std::vector<CycleValues> points(count);
    for (std::size_t i = 0; i < count; ++i)
        points[i] = AllCycleValues(chart.days.first + 0.5 * double(i) + chart.compared->shift);
    for (std::size_t curve = 0; curve < CurveCycles.size(); ++curve)
        drawCurve(surface, chart.days, count, Curves[curve].color,
                  [&, cycle = CurveCycles[curve]](std::size_t i) { return ValueScale * points[i].*cycle; }, vertices,
                  true);
}

} // namespace

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

QString valueCaption(std::size_t curve, long long number)
{
    return QString::fromUtf16(Curves[curve].name) + QStringLiteral("值：") + CStr(number);
}

QString spokenValues(const std::array<long long, 4> &numbers)
{
    QStringList words;
    for (std::size_t i = 0; i < numbers.size(); ++i)
        words += valueCaption(i, numbers[i]).remove(u'：');
    return words.join(u'，');
}

QString spanLabelText(int span)
{
    return QStringLiteral("<-- ") + CStr(span) + QStringLiteral("天 -->");
}

QString startLabelText(Date birthDate, int position)
{
    return dateText(birthDate + firstDayAt(position));
}

DrawnChart DrawBackground(DrawingSurface &surface, const ChartControls &controls)
{
    const DrawnChart frame = frameOf(controls.position, controls.span);
    const float start = float(frame.days.first);
    const float end = float(frame.days.end());
    surface.Scale(start, ChartTop, end, ChartBottom);
    surface.VerticalLines(start, end, ChartTop, ChartBottom, GridColor);
    surface.Line(start, 0.0f, end, 0.0f, ZeroLineColor);
    return frame;
}

DrawnChart DrawPicBack(DrawingSurface &surface, const ChartControls &controls, SharedValues &shared)
{
    const auto query = CDate(controls.queryText);
    const auto birth = CDate(controls.birthText);
    if (!query || !birth)
        return frameOf(controls.position, controls.span);

    surface.setDrawMode(DrawMode::CopyPen);
    shared.ChartQueryDate = *query;
    shared.ChartBirthDate = *birth;
    DrawnChart chart = chartOf(shared.ChartBirthDate, shared.ChartQueryDate, controls.position, controls.span,
                               shared.CriticalLevel, controls.comparison);
    chart.birthTypedLunar = isLunarDate(controls.birthText);
    chart.queryTypedLunar = isLunarDate(controls.queryText);

    if (chart.queryBarDrawn)
        drawDayBar(surface, *chart.queryDay, QueryDayColor);
    for (const int day : chart.criticalDays)
        drawDayBar(surface, day, CriticalDayColor);
    // The bars run to the frame's right edge, both ends included: the edge
    // day's bar lies outside the picture.
    const int end = chart.days.end();
    if (IsCriticalDay(end, shared.CriticalLevel))
        drawDayBar(surface, end, CriticalDayColor);

    const std::vector<CycleValues> points = halfDayCycles(chart.days.first, end);
    std::vector<QPointF> vertices;
    vertices.reserve(points.size());
    for (std::size_t curve = 0; curve < CurveCycles.size(); ++curve)
        drawCurve(surface, chart.days, points.size(), Curves[curve].color,
                  [&, cycle = CurveCycles[curve]](std::size_t i) { return ValueScale * points[i].*cycle; }, vertices);
    drawCurve(surface, chart.days, points.size(), Curves[3].color,
              [&](std::size_t i) { return CompositeValue(points[i]); }, vertices);
    if (chart.compared)
        drawComparedCurves(surface, chart, points.size(), vertices);
    return chart;
}

} // namespace quorvel
