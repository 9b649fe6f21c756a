// quorvel_makeassets <output-dir>
//
// Paints the program's pictures (the panel behind the analysis window, the
// legend, the guide table and the program's icon in the sizes of an icon
// theme, plus an SVG copy of it) and writes them as PNG files and the SVG
// file. The committed files in assets/ are this program's output:
// change the drawing here and run it again rather than editing the PNGs.
//
// The panel, the legend and the guide are also painted at twice the
// resolution (name@2x.png), for screens with two device pixels to a pixel:
// the same drawing at that resolution, not an enlarged copy. The icon
// theme's sizes serve as the icon's denser versions.
//
// Everything is drawn with the raster engine from fixed inputs, so the same
// machine (same Qt, FreeType and fonts) writes the same bytes every run.
// Run it with QT_QPA_PLATFORM=offscreen.

#include "assets/assets.h"
#include "assets/guidetexts.h"
#include "chart/chart.h"
#include "platform/drawing/colors.h"
#include "platform/drawing/fonts.h"

#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QSaveFile>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <optional>

namespace {

using quorvel::VbColor;

// Colours are given as the program gives them, 0x00BBGGRR; the chart's own
// come from the chart's definitions.
QColor bgr(VbColor value)
{
    return QColor::fromRgb(quorvel::resolveColor(value));
}

const QColor PanelGreen = bgr(0x0053A673);
const QColor PanelEdge(73, 105, 53);
constexpr int ShadowWidth = 10;

// A picture of width x height pixels, `scale` device pixels to a pixel: a
// painter on it draws in the picture's own pixels.
QImage trueColourImage(int width, int height, const QColor &fill, int scale = 1)
{
    QImage image(width * scale, height * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(fill);
    return image;
}

[[noreturn]] void fail(const QString &message)
{
    std::fprintf(stderr, "quorvel_makeassets: %s\n", qPrintable(message));
    std::exit(1);
}

// ---------------------------------------------------------------------------
// Panel picture

// The shade of a device pixel `distance` device pixels in from the nearest
// edge, with a shadow `width` device pixels wide; integer arithmetic so the
// steps come out the same everywhere.
QColor panelShade(int distance, int width)
{
    if (distance >= width)
        return PanelGreen;
    const auto mix = [distance, width](int edge, int flat) {
        return edge + ((flat - edge) * distance + width / 2) / width;
    };
    return QColor(mix(PanelEdge.red(), PanelGreen.red()), mix(PanelEdge.green(), PanelGreen.green()),
                  mix(PanelEdge.blue(), PanelGreen.blue()));
}

QImage plainPanel(int width, int height, int scale)
{
    QImage image = trueColourImage(width, height, PanelGreen, scale);
    const int shadow = ShadowWidth * scale;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int distance = std::min({x, y, image.width() - 1 - x, image.height() - 1 - y});
            if (distance < shadow)
                image.setPixelColor(x, y, panelShade(distance, shadow));
        }
    }
    return image;
}

// A rectangle of pixels as the device pixels that cover it.
QRect devicePixels(const QRect &rect, int scale)
{
    return QRect(rect.topLeft() * scale, rect.size() * scale);
}

const QRect TitleBand(QPoint(37, 31), QPoint(406, 60));

// The title's outline. The Song face has no bold italics and only
// fixed-width Latin letters, so the Latin part is set in a true bold italic
// serif and the Chinese characters are thickened, slanted and set a little
// apart to match its weight and rhythm.
QPainterPath titleGlyphs(const QString &text, int pixelSize)
{
    QFont latin(QStringLiteral("DejaVu Serif"));
    latin.setPixelSize(pixelSize);
    latin.setBold(true);
    latin.setItalic(true);
    QFont song(quorvel::programFontFamily());
    song.setPixelSize(pixelSize);
    // Slant about the baseline, so the glyphs keep their horizontal place.
    const QTransform slant = QTransform().shear(-0.2, 0);
    QPainterPathStroker thicken;
    thicken.setWidth(1.2);
    thicken.setJoinStyle(Qt::RoundJoin);

    QPainterPath path;
    qreal x = 0;
    for (const QChar ch : text) {
        const bool isLatin = ch.unicode() < 0x80;
        if (!isLatin)
            x += pixelSize / 6.0;
        QPainterPath glyph;
        glyph.addText(0, 0, isLatin ? latin : song, QString(ch));
        if (!isLatin)
            glyph = slant.map(glyph.united(thicken.createStroke(glyph)));
        path.addPath(glyph.translated(x, 0));
        x += QFontMetricsF(isLatin ? latin : song).horizontalAdvance(ch);
    }
    return path.simplified();
}

QPainterPath bullet(QPointF centre, qreal radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

// Embossed gold: a light copy up-left and a dark copy down-right under the
// gold face, which has a dark outline of its own.
void paintEmbossed(QPainter &painter, const QPainterPath &shape, const QRectF &faceSpan)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(246, 238, 176));
    painter.drawPath(shape.translated(-1, -1));
    painter.setBrush(QColor(34, 44, 14));
    painter.drawPath(shape.translated(1.5, 1.5));

    QLinearGradient gold(faceSpan.topLeft(), faceSpan.bottomLeft());
    gold.setColorAt(0.0, QColor(240, 220, 120));
    gold.setColorAt(0.45, QColor(206, 174, 58));
    gold.setColorAt(1.0, QColor(138, 122, 30));
    painter.setBrush(gold);
    painter.setPen(QPen(QColor(52, 44, 6), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(shape);
}

QImage makePanel(int scale)
{
    QImage image = plainPanel(799, 598, scale);
    const QImage plain = image;

    const QPainterPath glyphs = titleGlyphs(QStringLiteral("Quorvel分析器"), 25);

    // Bullets, gaps and title centred as one row in the band; the outline and
    // the emboss reach two pixels beyond the glyphs' own box.
    const qreal radius = 6;
    const qreal gap = 14;
    const QRectF box = glyphs.boundingRect();
    const qreal rowWidth = 2 * (2 * radius + gap) + box.width();
    const qreal left = TitleBand.left() + (TitleBand.width() - rowWidth) / 2;
    const qreal centreY = TitleBand.top() + TitleBand.height() / 2.0;
    const QPainterPath text =
        glyphs.translated(left + 2 * radius + gap - box.left(), centreY - box.center().y());

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF textBox = text.boundingRect();
    paintEmbossed(painter, text, textBox);
    for (const qreal x : {left + radius, left + rowWidth - radius}) {
        const QPainterPath dot = bullet(QPointF(x, centreY), radius);
        paintEmbossed(painter, dot, dot.boundingRect());
    }
    painter.end();

    const QRect band = devicePixels(TitleBand, scale);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!band.contains(x, y) && image.pixel(x, y) != plain.pixel(x, y))
                fail(QStringLiteral("the title reaches outside its band at %1,%2").arg(x).arg(y));
    return image;
}

// ---------------------------------------------------------------------------
// Legend picture

QImage makeLegend(int scale)
{
    QImage image = trueColourImage(187, 19, PanelGreen, scale);
    // Where each curve's swatch begins.
    constexpr int lefts[] = {4, 52, 99, 146};
    QPainter painter(&image);
    painter.setFont(quorvel::programFont());
    for (std::size_t i = 0; i < quorvel::Curves.size(); ++i) {
        const QRect swatch(lefts[i], 1, 9, 17);
        painter.fillRect(swatch, Qt::black);
        painter.fillRect(swatch.adjusted(1, 1, -1, -1), bgr(quorvel::Curves[i].color));
        painter.setPen(Qt::black);
        painter.drawText(QRect(swatch.right() + 4, 0, 36, 19), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromUtf16(quorvel::Curves[i].name));
    }
    return image;
}

// ---------------------------------------------------------------------------
// Guide picture

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

// ---------------------------------------------------------------------------
// Program icon

// A small chart: the three cycles' curves in their chart colours over the
// chart's black ground and grey zero line, in a rounded frame of the panel's
// green. The layout is a 16-unit square. Each size is drawn at its own
// resolution, with frame, rim and straight lines on whole pixels; the
// 16-pixel one is set pixel by pixel, without smoothing. The same layout is
// also written as an SVG picture for every other size.

const QColor IconRim = bgr(0x009AE9C4);
const QColor IconGrid = bgr(quorvel::GridColor);
const QColor IconZeroLine = bgr(quorvel::ZeroLineColor);
constexpr double IconCentre = 8;
constexpr double IconAmplitude = 5;
constexpr double IconCurveWidth = 0.8;
constexpr double IconCornerRadius = 3;
// Day lines of the chart behind the curves, on the sizes with room for them.
const double IconGridLines[] = {3, 5, 7, 9, 11, 13};
constexpr int IconGridSize = 64;

struct IconCurve {
    QColor colour;
    double period;
    double phase;
};

// Physical, emotional and intellectual, in the order the chart draws them;
// their periods keep the proportion of the cycles' 23, 28 and 33 days.
const IconCurve IconCurves[] = {
    {bgr(quorvel::PhysicalColor), 13.8, -2.07},
    {bgr(quorvel::EmotionalColor), 16.8, 0.15},
    {bgr(quorvel::IntellectualColor), 19.8, 2.17},
};

double iconCurveY(const IconCurve &curve, double x)
{
    return IconCentre - IconAmplitude * std::sin(2 * std::numbers::pi * x / curve.period + curve.phase);
}

// The widths of the green frame and the light rim inside it at a size, in
// whole pixels, so the edges of the chart area stay sharp.
struct IconBorders {
    double frame;
    double rim;
};

IconBorders iconBorders(int size)
{
    const double u = size / 16.0;
    return {std::max(1.0, std::round(u)), size >= 32 ? std::max(1.0, std::round(u / 4)) : 0.0};
}

// 16 pixels: a one-pixel green frame with cut corners around a black
// ground; each curve is one pixel wide, every column joined to the next.
// A zero line would only cut the three curves into pieces at this size.
QImage makeSmallIcon()
{
    constexpr int size = 16;
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const bool edgeX = x == 0 || x == size - 1;
            const bool edgeY = y == 0 || y == size - 1;
            if (!(edgeX && edgeY))
                image.setPixelColor(x, y, edgeX || edgeY ? PanelGreen : QColor(Qt::black));
        }
    }
    for (const IconCurve &curve : IconCurves) {
        int previous = -1;
        for (int x = 1; x < size - 1; ++x) {
            const int row = std::clamp(int(std::floor(iconCurveY(curve, x + 0.5))), 1, size - 2);
            int from = row;
            int to = row;
            if (previous >= 0 && previous < row)
                from = previous + 1;
            else if (previous > row)
                to = previous - 1;
            for (int y = from; y <= to; ++y)
                image.setPixelColor(x, y, curve.colour);
            previous = row;
        }
    }
    return image;
}

QImage makeIcon(int size)
{
    if (size == 16)
        return makeSmallIcon();
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const double u = size / 16.0;
    const auto [frame, rim] = iconBorders(size);
    const auto rounded = [size](double inset, double radius) {
        QPainterPath path;
        path.addRoundedRect(QRectF(inset, inset, size - 2 * inset, size - 2 * inset), radius, radius);
        return path;
    };
    const double radius = IconCornerRadius * u;
    const QPainterPath ground = rounded(frame + rim, radius - frame - rim);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(rounded(0, radius), PanelGreen);
    if (rim > 0)
        painter.fillPath(rounded(frame, radius - frame), IconRim);
    painter.fillPath(ground, Qt::black);

    painter.setClipPath(ground);
    if (size >= IconGridSize) {
        const double width = std::max(1.0, std::round(u / 8));
        for (const double x : IconGridLines)
            painter.fillRect(QRectF(std::round(x * u - width / 2), 0, width, size), IconGrid);
    }
    const double zeroWidth = std::max(1.0, std::round(u / 4));
    painter.fillRect(QRectF(0, std::round(IconCentre * u - zeroWidth / 2), size, zeroWidth), IconZeroLine);

    const double width = std::max(1.5, IconCurveWidth * u);
    for (const IconCurve &curve : IconCurves) {
        QPolygonF line;
        for (int x = 0; x <= size; ++x)
            line << QPointF(x, u * iconCurveY(curve, x / u));
        painter.setPen(QPen(curve.colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(line);
    }
    return image;
}

// The same layout as an SVG picture, in units of the 16-unit square.
QByteArray makeIconSvg()
{
    const auto n = [](double v) { return QString::number(v, 'g', 5); };
    const auto hex = [](const QColor &c) { return c.name(QColor::HexRgb); };
    const double rim = 0.25;
    const double inset = 1 + rim;
    QString svg;
    svg += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                          "viewBox=\"0 0 16 16\">\n");
    svg += QStringLiteral("  <title>Quorvel</title>\n");
    svg += QStringLiteral("  <defs><clipPath id=\"ground\"><rect x=\"%1\" y=\"%1\" width=\"%2\" height=\"%2\" "
                          "rx=\"%3\"/></clipPath></defs>\n")
               .arg(n(inset), n(16 - 2 * inset), n(IconCornerRadius - inset));
    svg += QStringLiteral("  <rect width=\"16\" height=\"16\" rx=\"%1\" fill=\"%2\"/>\n")
               .arg(n(IconCornerRadius), hex(PanelGreen));
    svg += QStringLiteral("  <rect x=\"1\" y=\"1\" width=\"14\" height=\"14\" rx=\"%1\" fill=\"%2\"/>\n")
               .arg(n(IconCornerRadius - 1), hex(IconRim));
    svg += QStringLiteral("  <rect x=\"%1\" y=\"%1\" width=\"%2\" height=\"%2\" rx=\"%3\" fill=\"#000000\"/>\n")
               .arg(n(inset), n(16 - 2 * inset), n(IconCornerRadius - inset));
    svg += QStringLiteral("  <g clip-path=\"url(#ground)\" fill=\"none\" stroke-linecap=\"round\" "
                          "stroke-linejoin=\"round\">\n");
    for (const double x : IconGridLines)
        svg += QStringLiteral("    <path d=\"M%1 0V16\" stroke=\"%2\" stroke-width=\"0.125\"/>\n")
                   .arg(n(x), hex(IconGrid));
    svg += QStringLiteral("    <path d=\"M0 %1H16\" stroke=\"%2\" stroke-width=\"0.25\"/>\n")
               .arg(n(IconCentre), hex(IconZeroLine));
    for (const IconCurve &curve : IconCurves) {
        QStringList points;
        for (int i = 0; i <= 64; ++i)
            points << n(i / 4.0) + QLatin1Char(',') + n(iconCurveY(curve, i / 4.0));
        svg += QStringLiteral("    <polyline points=\"%1\" stroke=\"%2\" stroke-width=\"%3\"/>\n")
                   .arg(points.join(QLatin1Char(' ')), hex(curve.colour), n(IconCurveWidth));
    }
    svg += QStringLiteral("  </g>\n</svg>\n");
    return svg.toUtf8();
}

void save(const QImage &image, const QDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    if (!image.save(path, "PNG"))
        fail(QStringLiteral("cannot write %1").arg(path));
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvel_makeassets <output-dir>\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists())
        fail(QStringLiteral("no such directory: %1").arg(dir.path()));

    // The legend and the guide are laid out for 12-pixel Chinese characters
    // and 6-pixel others; another face would push text over the lines.
    const QFontMetrics metrics(quorvel::programFont());
    if (metrics.horizontalAdvance(QChar(0x4F53)) != 12 || metrics.horizontalAdvance(QLatin1Char('0')) != 6)
        fail(QStringLiteral("no Song/Ming face with 12-pixel characters is installed"));

    for (const int scale : {1, 2}) {
        const QString suffix = scale == 1 ? QStringLiteral(".png") : QStringLiteral("@%1x.png").arg(scale);
        save(makePanel(scale), dir, QStringLiteral("panel") + suffix);
        save(makeLegend(scale), dir, QStringLiteral("legend") + suffix);
        save(makeGuide(scale), dir, QStringLiteral("guide") + suffix);
    }
    for (const int size : quorvel::IconSizes)
        save(makeIcon(size), dir, QStringLiteral("icon%1.png").arg(size));
    QSaveFile svg(dir.filePath(QStringLiteral("icon.svg")));
    if (!svg.open(QIODevice::WriteOnly) || svg.write(makeIconSvg()) < 0 || !svg.commit())
        fail(QStringLiteral("cannot write %1").arg(svg.fileName()));
    return 0;
}
