// SPDX-License-Identifier: GPL-3.0-or-later
#include "companion/companion.h"

#include "chart/chart.h"

namespace quorvel::companion {

std::optional<DrawnChart> drawChart(DrawingSurface &surface, SharedValues &shared, const ChartControls &controls)
{
    surface.Cls();
    DrawBackground(surface, controls);
    return DrawPicBack(surface, controls, shared);
}

} // namespace quorvel::companion
