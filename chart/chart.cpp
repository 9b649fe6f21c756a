// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/chart.h"

#include "model/biorhythm.h"
#include "platform/dates/conversions.h"

#include <array>
#include <span>
#include <vector>

namespace quorvel {
namespace {

struct Span {
    double start;
    double end;
};

Span currentSpan(const ChartControls &controls)
{
    const double start = 2.0 * controls.positionValue();
    return {start, start + controls.proptionValue()};
}

void drawDayBar(DrawingSurface &surface, double day, VbColor color)
{
    surface.LineBoxFilled(float(day), ChartTop, float(day + 1.0), ChartBottom, color);
}

// A curve through every point: the pen is set on the first, and a line
// drawn on to each of the others.
void drawCurve(DrawingSurface &surface, Span span, VbColor color, auto &&value, std::vector<QPointF> &vertices)
{
    vertices.clear();
    std::size_t point = 0;
    for (double x = span.start; x <= span.end; x += 0.5, ++point)
        vertices.emplace_back(static_cast<float>(x + 0.5), static_cast<float>(value(point)));
    if (vertices.empty())
        return;
    surface.PSet(float(vertices.front().x()), float(vertices.front().y()));
    surface.LineTo(std::span(vertices).subspan(1), color);
}

} // namespace

std::vector<CycleValues> halfDayCycles(double start, double end)
{
    std::vector<CycleValues> points;
    if (end >= start)
        points.reserve(std::size_t(end - start) * 2 + 1);
    for (double x = start; x <= end; x += 0.5)
        points.push_back(AllCycleValues(x));
    return points;
}

std::optional<int> queryDayColumn(Date birthDate, Date queryDate)
{
    const auto d = CLng(queryDate - birthDate);
    return d ? std::optional<int>(*d) : std::nullopt;
}

Readout readoutAt(Date birthDate, double x)
{
    // One past the last representable date shows no date, while the values
    // are still shown.
    const auto day = CDate(birthDate + x);
    Readout readout;
    readout.date = QStringLiteral("当前日期：") + (day ? Format(*day, u"yyyy-mm-dd") : QString());
    const double offset = x - 0.5;
    const CycleValues cycles = AllCycleValues(offset);
    const double values[] = {cycles.physical * ValueScale, cycles.emotional * ValueScale,
                             cycles.intellectual * ValueScale, CompositeValue(cycles)};
    for (std::size_t i = 0; i < Curves.size(); ++i)
        readout.values[i] = QString::fromUtf16(Curves[i].name) + QStringLiteral("值：")
            + CStr(static_cast<long long>(Int(values[i])));
    return readout;
}

QString spanLabelText(int span)
{
    return QStringLiteral("<-- ") + CStr(span) + QStringLiteral("天 -->");
}

QString startLabelText(Date birthDate, int position)
{
    const auto start = CDate(birthDate + 2.0 * position);
    return start ? Format(*start, u"yyyy-mm-dd") : QString();
}

void DrawBackground(DrawingSurface &surface, const ChartControls &controls)
{
    const Span span = currentSpan(controls);
    surface.Scale(float(span.start), ChartTop, float(span.end), ChartBottom);
    for (double x = span.start; x <= span.end; x += 1.0)
        surface.Line(float(x), ChartTop, float(x), ChartBottom, GridColor);
    surface.Line(float(span.start), 0.0f, float(span.end), 0.0f, ZeroLineColor);
}

void DrawPicBack(DrawingSurface &surface, ChartControls &controls, SharedValues &shared)
{
    const auto query = CDate(controls.queryText());
    const auto birth = CDate(controls.birthText());
    if (!query || !birth)
        return;

    surface.setDrawMode(DrawMode::CopyPen);
    shared.ChartQueryDate = *query;
    shared.ChartBirthDate = *birth;

    const Span span = currentSpan(controls);

    // Compared as day counts: a span reaching past the last representable
    // date is still drawn (only its start label is left empty).
    const double first = shared.ChartBirthDate + span.start;
    const double last = first + controls.proptionValue();
    if (first <= shared.ChartQueryDate && last > shared.ChartQueryDate) {
        if (const auto d = queryDayColumn(shared.ChartBirthDate, shared.ChartQueryDate))
            drawDayBar(surface, *d, QueryDayColor);
    }

    const std::vector<CycleValues> points = halfDayCycles(span.start, span.end);
    std::size_t point = 0;
    for (double x = span.start; x <= span.end; x += 1.0, point += 2) {
        if (IsCriticalDay(points[point], shared.CriticalLevel))
            drawDayBar(surface, x, CriticalDayColor);
    }

    constexpr std::array cycles{&CycleValues::physical, &CycleValues::emotional, &CycleValues::intellectual};
    std::vector<QPointF> vertices;
    vertices.reserve(points.size());
    for (std::size_t curve = 0; curve < cycles.size(); ++curve)
        drawCurve(surface, span, Curves[curve].color,
                  [&, cycle = cycles[curve]](std::size_t i) { return ValueScale * points[i].*cycle; }, vertices);
    drawCurve(surface, span, Curves[3].color, [&](std::size_t i) { return CompositeValue(points[i]); }, vertices);

    controls.setStartLabel(startLabelText(shared.ChartBirthDate, controls.positionValue()));
    controls.setSpanLabel(spanLabelText(controls.proptionValue()));
    controls.refreshSpanLabels();
}

} // namespace quorvel
