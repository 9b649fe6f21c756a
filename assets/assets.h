// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

// The program's pictures, compiled into the program as Qt resources.

namespace quorvel {

// The analysis window's background: the green panel with its shaded edge
// and the painted title, 799 x 598.
inline constexpr char PanelPicturePath[] = ":/panel.png";
// The colours of the four curves with their names, 187 x 19.
inline constexpr char LegendPicturePath[] = ":/legend.png";
// The guide window's table of what each phase means, 639 x 501.
inline constexpr char GuidePicturePath[] = ":/guide.png";
// The window icon, each size drawn at its own resolution.
inline constexpr char Icon16Path[] = ":/icon16.png";
inline constexpr char Icon32Path[] = ":/icon32.png";
inline constexpr char Icon48Path[] = ":/icon48.png";
inline constexpr char Icon256Path[] = ":/icon256.png";
// The icon's sizes in the icon theme (from the build's settings), each a
// file iconN.png beside the pictures, and an SVG for the others.
inline constexpr int IconSizes[] = {QUORVEL_ICON_SIZES};

// Registers the resources; they live in a static library, which the linker
// would otherwise leave out. Call once after the application object exists;
// further calls do no harm.
void initAssets();

// The window icon in all its sizes.
QIcon windowIcon();

} // namespace quorvel
