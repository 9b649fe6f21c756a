// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chart/chartcontrols.h"
#include "chart/drawnchart.h"
#include "model/biorhythm.h"
#include "platform/drawing/surface.h"

#include <QPoint>
#include <QSize>
#include <QString>

#include <array>
#include <optional>

// Chart coordinates: x is the day offset since the chart's birth date, day d
// filling the column from d to d + 1 and its values drawn at d + 0.5; y runs
// from 120 at the top to -120 at the bottom, values drawn times 100.
// Every redraw is Cls, DrawBackground, DrawPicBack; nothing is drawn in part.

namespace quorvel {

inline constexpr VbColor GridColor = 8421504;      // 0x808080
inline constexpr VbColor ZeroLineColor = 10526880; // 0xA0A0A0
inline constexpr VbColor QueryDayColor = 16744703; // 0xFF80FF
inline constexpr VbColor CriticalDayColor = 0;
inline constexpr VbColor PhysicalColor = 16711680;     // blue
inline constexpr VbColor EmotionalColor = 65535;       // yellow
inline constexpr VbColor IntellectualColor = 255;      // red
inline constexpr VbColor CompositeColor = 16776960;    // cyan

// The four curves in drawing order: each one's colour on the screen and on
// paper, and the word the user interface gives it (the legend, the readout,
// the exported files). On white paper the yellow and the cyan are darkened,
// so that they still read as yellow and cyan.
struct CurveStyle {
    VbColor color;
    VbColor paperColor;
    const char16_t *name;
};
inline constexpr std::array<CurveStyle, 4> Curves{{
    {PhysicalColor, PhysicalColor, u"体力"},
    {EmotionalColor, 0x00008CB9, u"情绪"},   // dark yellow
    {IntellectualColor, IntellectualColor, u"智力"},
    {CompositeColor, 0x00AA9600, u"综合"},   // dark cyan
}};

// The chart on paper: a white ground, a dark day grid and zero line, and
// the bars in light tints, which spare a printer's ink and leave the curves
// on them readable.
inline constexpr VbColor PaperGridColor = 0x00787878;
inline constexpr VbColor PaperZeroLineColor = 0x00282828;
inline constexpr VbColor PaperQueryDayColor = 0x00FFC8FF;    // light magenta
inline constexpr VbColor PaperQueryMarkColor = 0x00C000C0;   // magenta
inline constexpr VbColor PaperCriticalDayColor = 0x00BEBEBE; // light grey

// The chart's drawing in the paper's colours (the restyle of a replay): the
// bars and the curves each in its paper colour, the zero line dark. The
// ground is the paper itself, and the day grid and the point that starts
// each curve are left out: a sheet draws its own grid, as dense as the
// page lets it be read.
std::optional<QRgb> paperColor(Mark mark, QRgb color);

// The span labels shown on the chart, top left and top right: their colours
// and where their top-left corners lie, in twips from the chart's.
inline constexpr VbColor StartLabelColor = 0x00CFF5DB; // pale green
inline constexpr VbColor SpanLabelColor = LightGreen;
inline constexpr QPoint StartLabelTwips(120, 60);
inline constexpr QPoint SpanLabelTwips(10200, 120);
// With two people on the chart, the label that says which line is whom and
// how far they run in phase (ComparedChart::legendText), in the bottom
// margin, below the lowest values.
inline constexpr VbColor ComparisonLabelColor = StartLabelColor;
inline constexpr QPoint ComparisonLabelTwips(120, 6435);

// The chart's picture, 11505 x 6735 twips in the window, in pixels.
inline constexpr QSize ChartPixelSize(767, 449);

inline constexpr float ChartTop = 120.0f;
inline constexpr float ChartBottom = -120.0f;

// Sets the frame of the span in the scroll bars and draws the day grid and
// the zero line, in whatever drawing mode the surface has; gives back the
// frame it drew.
DrawnChart DrawBackground(DrawingSurface &surface, const ChartControls &controls);

// Draws the query-day bar, the critical-day bars and the four curves into the
// frame DrawBackground has just set, and over them the second person's
// three cycles dotted when the controls ask for a comparison; records the
// chart's dates, and gives back what it drew, its span labels with it. Unless both date boxes hold
// valid dates it draws nothing and gives back the frame alone.
DrawnChart DrawPicBack(DrawingSurface &surface, const ChartControls &controls, SharedValues &shared);

// A curve's number as its readout label shows it, "体力值：n" (curves in
// drawing order), and the four as they are spoken, "体力值n，…，综合值n".
QString valueCaption(std::size_t curve, long long number);
QString spokenValues(const std::array<long long, 4> &numbers);

// "<-- " s "天 -->"
QString spanLabelText(int span);

// The start date of the span at a position, "yyyy-mm-dd"; empty when the
// date lies outside the range of dates.
QString startLabelText(Date birthDate, int position);

} // namespace quorvel
