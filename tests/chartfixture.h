// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the tests and benchmarks of the chart share: the chart's size, its
// colours as they appear in the picture (taken from the program's own
// definitions), pixel counters, and a chart shown for two dates at a
// position and span.

#include "chart/chart.h"
#include "model/biorhythm.h"

#include <QImage>

namespace quorvel::test {

inline constexpr QSize ChartSize = ChartPixelSize;

// A program colour as the picture shows it.
inline QRgb shown(VbColor color) { return resolveColor(color); }

inline const QRgb Black = shown(0x00000000);
inline const QRgb GridColour = shown(GridColor);
inline const QRgb ZeroLineColour = shown(ZeroLineColor);
inline const QRgb QueryBarColour = shown(QueryDayColor);
inline const QRgb PhysicalColour = shown(PhysicalColor);
inline const QRgb EmotionalColour = shown(EmotionalColor);
inline const QRgb IntellectualColour = shown(IntellectualColor);
inline const QRgb CompositeColour = shown(CompositeColor);

// What curve `curve` (Physical, Emotional, Intellectual, Composite) draws for
// day offset x, by the model: 100 x the cycle's value, or the Composite.
inline double curveValue(std::size_t curve, double x)
{
    constexpr BiorhythmCycle cycles[] = {BiorhythmCycle::Physical, BiorhythmCycle::Emotional,
                                         BiorhythmCycle::Intellectual};
    return curve < 3 ? ValueScale * CycleValue(x, cycles[curve]) : CompositeValue(x);
}

inline int countInColumn(const QImage &image, int x, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        count += image.pixel(x, y) == colour;
    return count;
}

inline int countInRow(const QImage &image, int y, QRgb colour)
{
    int count = 0;
    for (int x = 0; x < image.width(); ++x)
        count += image.pixel(x, y) == colour;
    return count;
}

// A chart on a surface of its own, redrawn as the window redraws it, and
// what DrawPicBack said it drew.
struct ChartFixture {
    DrawingSurface surface{ChartSize, SystemMenuText, SystemButtonText};
    ChartControls controls;
    SharedValues shared{0.0, 21952.0, ProgramCriticalLevel}; // 1960-02-06, as at start-up
    DrawnChart drawn;

    void redraw()
    {
        surface.Cls();
        DrawBackground(surface, controls);
        drawn = DrawPicBack(surface, controls, shared);
    }
    // The chart of two typed dates at a scroll position and span.
    void show(const QString &birth, const QString &query, int position = 0, int proption = 40)
    {
        controls = {birth, query, position, proption};
        redraw();
    }
    int column(double x) const { return surface.toPixel(QPointF(x, 0)).x(); }
    int row(double y) const { return surface.toPixel(QPointF(0, y)).y(); }
    int countInColumn(int x, QRgb colour) const { return test::countInColumn(surface.image(), x, colour); }
    int countInRow(int y, QRgb colour) const { return test::countInRow(surface.image(), y, colour); }
};

} // namespace quorvel::test
