// SPDX-License-Identifier: GPL-3.0-or-later
#include "pictures.h"

#include "assets/guidetexts.h"
#include "platform/drawing/fonts.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>

#include <optional>

// The guide's table: what the high phase, the critical day and the low
// phase of each rhythm mean.

namespace makeassets {
namespace {


const QColor GuideLine(0, 153, 204);
const QColor GuideText(0, 96, 130);
const int GuideColumns[] = {1, 70, 263, 500, 637};
const int GuideRows[] = {1, 22, 168, 356, 499};
constexpr int CellPadding = 7;
constexpr int LineHeight = 18;

// The inside of cell (column, row), between its grid lines.
QRect guideCell(int column, int row)
{
    return QRect(QPoint(GuideColumns[column] + 1, GuideRows[row] + 1),
                 QPoint(GuideColumns[column + 1] - 1, GuideRows[row + 1] - 1));
}

// Lays the paragraph out in lines of at most `width` pixels, one line height
// apart. Gives the block's height, or nothing when a line does not fit or
// would begin with a closing mark, which Chinese typesetting never allows.
std::optional<int> layoutParagraph(QTextLayout &layout, int width)
{
    static const QString closingMarks = QStringLiteral("，。、；：？！）”");
    bool fits = true;
    int y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += LineHeight;
        if (line.naturalTextWidth() > width || closingMarks.contains(layout.text().at(line.textStart())))
            fits = false;
    }
    layout.endLayout();
    return fits ? std::optional<int>(y) : std::nullopt;
}

void drawParagraph(QPainter &painter, const QRect &cell, const QString &text)
{
    const QRect room = cell.adjusted(CellPadding, CellPadding, -CellPadding, -CellPadding);
    QTextLayout layout(text, quorvel::programFont());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    const std::optional<int> height = layoutParagraph(layout, room.width());
    if (!height || *height > room.height() || layout.lineCount() < 3 || layout.lineCount() > 8)
        fail(QStringLiteral("the text does not fit its cell: %1").arg(text));
    // The block is centred in the cell; each line's 12-pixel glyphs sit in the
    // middle of its 18-pixel line.
    const QFontMetrics metrics(quorvel::programFont());
    const int top = room.top() + (room.height() - *height) / 2 + (LineHeight - metrics.height()) / 2;
    layout.draw(&painter, QPointF(room.left(), top));
}

void drawCentred(QPainter &painter, const QRect &cell, const QString &text)
{
    if (QFontMetrics(quorvel::programFont()).horizontalAdvance(text) > cell.width() - 2 * CellPadding)
        fail(QStringLiteral("the heading does not fit its cell: %1").arg(text));
    painter.drawText(cell, Qt::AlignCenter, text);
}

// A row heading stands upright, one character a line, centred in its cell.
void drawUpright(QPainter &painter, const QRect &cell, const QString &text)
{
    constexpr int step = 22;
    const int height = (text.size() - 1) * step + 12;
    const int top = cell.top() + (cell.height() - height) / 2;
    for (int i = 0; i < text.size(); ++i)
        painter.drawText(QRect(cell.left(), top + i * step, cell.width(), 12), Qt::AlignCenter, QString(text[i]));
}

} // namespace

QImage makeGuide(int scale)
{
    QImage image = trueColourImage(639, 501, Qt::white, scale);
    QPainter painter(&image);
    for (const int x : GuideColumns)
        painter.fillRect(QRect(QPoint(x, GuideRows[0]), QPoint(x, GuideRows[4])), GuideLine);
    for (const int y : GuideRows)
        painter.fillRect(QRect(QPoint(GuideColumns[0], y), QPoint(GuideColumns[4], y)), GuideLine);

    painter.setFont(quorvel::programFont());
    painter.setPen(GuideText);
    for (int column = 1; column <= 3; ++column)
        drawCentred(painter, guideCell(column, 0), quorvel::guide::PhaseHeadings[column - 1]);

    for (int row = 1; row <= 3; ++row) {
        drawUpright(painter, guideCell(0, row), quorvel::guide::RhythmNames[row - 1]);
        for (int column = 1; column <= 3; ++column)
            drawParagraph(painter, guideCell(column, row), quorvel::guide::Cells[row - 1][column - 1]);
    }
    painter.end();

    // No glyph may touch a grid line or the white outside the table; x and y
    // are the pixel of the picture that the device pixel lies in.
    for (int deviceY = 0; deviceY < image.height(); ++deviceY) {
        for (int deviceX = 0; deviceX < image.width(); ++deviceX) {
            const int x = deviceX / scale;
            const int y = deviceY / scale;
            const bool onLine = (std::ranges::count(GuideColumns, x) && y >= GuideRows[0] && y <= GuideRows[4])
                || (std::ranges::count(GuideRows, y) && x >= GuideColumns[0] && x <= GuideColumns[4]);
            const bool inside = x > GuideColumns[0] && x < GuideColumns[4] && y > GuideRows[0] && y < GuideRows[4];
            const QColor expected = onLine ? GuideLine : Qt::white;
            if ((onLine || !inside) && image.pixelColor(deviceX, deviceY) != expected)
                fail(QStringLiteral("text crosses the table's lines at %1,%2").arg(x).arg(y));
        }
    }
    return image;
}

} // namespace makeassets
