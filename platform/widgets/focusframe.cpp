// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/focusframe.h"

#include <QPainter>

namespace quorvel {

void drawFocusFrame(QPainter &painter, const QRect &frame)
{
    if (frame.isEmpty())
        return;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const auto dot = [&](int x, int y) {
        if ((x - frame.left() + y - frame.top()) % 2 == 0)
            painter.fillRect(x, y, 1, 1, Qt::white);
    };
    for (int x = frame.left(); x <= frame.right(); ++x) {
        dot(x, frame.top());
        if (frame.bottom() != frame.top())
            dot(x, frame.bottom());
    }
    for (int y = frame.top() + 1; y < frame.bottom(); ++y) {
        dot(frame.left(), y);
        if (frame.right() != frame.left())
            dot(frame.right(), y);
    }
    painter.restore();
}

} // namespace quorvel
