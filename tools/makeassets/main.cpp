// SPDX-License-Identifier: GPL-3.0-or-later
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

#include "pictures.h"

#include "assets/assets.h"
#include "platform/drawing/fonts.h"

#include <QDir>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>
#include <cstdlib>

namespace makeassets {

QImage trueColourImage(int width, int height, const QColor &fill, int scale)
{
    QImage image(width * scale, height * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(fill);
    return image;
}

void fail(const QString &message)
{
    std::fprintf(stderr, "quorvel_makeassets: %s\n", qPrintable(message));
    std::exit(1);
}

} // namespace makeassets

namespace {

void save(const QImage &image, const QDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    if (!image.save(path, "PNG"))
        makeassets::fail(QStringLiteral("cannot write %1").arg(path));
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
        makeassets::fail(QStringLiteral("no such directory: %1").arg(dir.path()));

    // The legend and the guide are laid out for 12-pixel Chinese characters
    // and 6-pixel others; another face would push text over the lines.
    const QFontMetrics metrics(quorvel::programFont());
    if (metrics.horizontalAdvance(QChar(0x4F53)) != 12 || metrics.horizontalAdvance(QLatin1Char('0')) != 6)
        makeassets::fail(QStringLiteral("no Song/Ming face with 12-pixel characters is installed"));

    for (const int scale : {1, 2}) {
        const QString suffix = scale == 1 ? QStringLiteral(".png") : QStringLiteral("@%1x.png").arg(scale);
        save(makeassets::makePanel(scale), dir, QStringLiteral("panel") + suffix);
        save(makeassets::makeLegend(scale), dir, QStringLiteral("legend") + suffix);
        save(makeassets::makeGuide(scale), dir, QStringLiteral("guide") + suffix);
    }
    for (const int size : quorvel::IconSizes)
        save(makeassets::makeIcon(size), dir, QStringLiteral("icon%1.png").arg(size));
    QSaveFile svg(dir.filePath(QStringLiteral("icon.svg")));
    if (!svg.open(QIODevice::WriteOnly) || svg.write(makeassets::makeIconSvg()) < 0 || !svg.commit())
        makeassets::fail(QStringLiteral("cannot write %1").arg(svg.fileName()));
    return 0;
}
