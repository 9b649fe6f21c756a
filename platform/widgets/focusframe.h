// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QPainter;
class QRect;

namespace quorvel {

// The classic dotted focus frame: every other pixel of the rectangle's edge,
// in the exclusive-or of the picture under it, so that it shows on every
// colour. Each pixel of the edge is drawn once, corners included.
void drawFocusFrame(QPainter &painter, const QRect &frame);

} // namespace quorvel
