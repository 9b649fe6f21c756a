// SPDX-License-Identifier: GPL-3.0-or-later
#include "assets/assets.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QIcon>
#include <QImage>
#include <QTest>
#include <QXmlStreamReader>

#include <map>

using namespace quorvel;

namespace {

const QRgb PanelGreen = qRgb(115, 166, 83);
const QRgb PanelEdge = qRgb(73, 105, 53);
const QRgb Black = qRgb(0, 0, 0);
const QRgb White = qRgb(255, 255, 255);
const QRgb GuideLine = qRgb(0, 153, 204);
const QRgb GuideText = qRgb(0, 96, 130);
const int GuideColumns[] = {1, 70, 263, 500, 637};
const int GuideRows[] = {1, 22, 168, 356, 499};

QImage load(const char *path)
{
    return QImage(QString::fromLatin1(path));
}

QString at(int x, int y)
{
    return QStringLiteral("%1,%2").arg(x).arg(y);
}

// The bounding box of the pixels of one colour inside a rectangle.
QRect inkBox(const QImage &image, const QRect &area, QRgb ink)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) == ink)
                box |= QRect(x, y, 1, 1);
    return box;
}

// Counts the lines of text in an area: runs of rows holding ink, where a gap
// of four blank rows or more separates two lines (a 12-pixel glyph never has
// one across a whole line).
int textLines(const QImage &image, const QRect &area, QRgb ink)
{
    int lines = 0;
    int blank = 4;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        bool inked = false;
        for (int x = area.left(); x <= area.right() && !inked; ++x)
            inked = image.pixel(x, y) == ink;
        if (inked && blank >= 4)
            ++lines;
        blank = inked ? 0 : blank + 1;
    }
    return lines;
}

int distanceToEdge(const QImage &image, int x, int y)
{
    return std::min({x, y, image.width() - 1 - x, image.height() - 1 - y});
}

QRect guideCell(int column, int row)
{
    return QRect(QPoint(GuideColumns[column] + 1, GuideRows[row] + 1),
                 QPoint(GuideColumns[column + 1] - 1, GuideRows[row + 1] - 1));
}

// Which curve colour a pixel shows, smoothed edges over the black ground
// included: 0 blue, 1 yellow, 2 red, or -1.
int iconCurve(QRgb c)
{
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    if (b >= 96 && 3 * r < b && 3 * g < b)
        return 0;
    if (r >= 96 && g >= 96 && std::abs(r - g) < 32 && 3 * b < g)
        return 1;
    if (r >= 96 && 3 * g < r && 3 * b < r)
        return 2;
    return -1;
}

bool onGuideLine(int x, int y)
{
    const bool inTable = x >= GuideColumns[0] && x <= GuideColumns[4] && y >= GuideRows[0] && y <= GuideRows[4];
    return inTable && (std::ranges::count(GuideColumns, x) || std::ranges::count(GuideRows, y));
}

} // namespace

class tst_Assets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void pictures_data();
    void pictures();

    void panelShadow_data();
    void panelShadow();
    void panelIsPlainOutsideTitle();
    void panelTitle();

    void legendSwatches_data();
    void legendSwatches();
    void legendBackground();

    void guideGridLines();
    void guideColours();
    void guideCells_data();
    void guideCells();

    void icons_data();
    void icons();
    void scalableIcon();
    void windowIconSizes();

    void doubledPictures_data();
    void doubledPictures();
    void doubledPanelShadow();
    void doubledGuideLines();
    void generatorRepaintsTheCommittedPictures();
};

void tst_Assets::initTestCase()
{
    initAssets();
    initAssets(); // a second registration must do no harm
}

void tst_Assets::pictures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("transparent");

    QTest::newRow("panel") << QString::fromLatin1(PanelPicturePath) << QSize(799, 598) << false;
    QTest::newRow("legend") << QString::fromLatin1(LegendPicturePath) << QSize(187, 19) << false;
    QTest::newRow("guide") << QString::fromLatin1(GuidePicturePath) << QSize(639, 501) << false;
    QTest::newRow("icon16") << QString::fromLatin1(Icon16Path) << QSize(16, 16) << true;
    QTest::newRow("icon32") << QString::fromLatin1(Icon32Path) << QSize(32, 32) << true;
    QTest::newRow("icon48") << QString::fromLatin1(Icon48Path) << QSize(48, 48) << true;
    QTest::newRow("icon256") << QString::fromLatin1(Icon256Path) << QSize(256, 256) << true;
}

void tst_Assets::pictures()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(bool, transparent);

    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), size);
    // True colour: 8 bits a channel, not an indexed or grey picture.
    QCOMPARE(image.depth(), 32);
    QVERIFY(!image.isGrayscale());
    QCOMPARE(image.hasAlphaChannel(), transparent);
}

void tst_Assets::panelShadow_data()
{
    QTest::addColumn<QPoint>("outermost");
    QTest::addColumn<QPoint>("inward");

    // Away from the title band, so only the shadow lies on the way in.
    QTest::newRow("left") << QPoint(0, 300) << QPoint(1, 0);
    QTest::newRow("right") << QPoint(798, 300) << QPoint(-1, 0);
    QTest::newRow("top") << QPoint(600, 0) << QPoint(0, 1);
    QTest::newRow("bottom") << QPoint(600, 597) << QPoint(0, -1);
    QTest::newRow("top-left corner") << QPoint(0, 0) << QPoint(1, 1);
    QTest::newRow("bottom-right corner") << QPoint(798, 597) << QPoint(-1, -1);
}

void tst_Assets::panelShadow()
{
    QFETCH(QPoint, outermost);
    QFETCH(QPoint, inward);

    const QImage panel = load(PanelPicturePath);
    QCOMPARE(panel.pixel(outermost), PanelEdge);
    QRgb previous = PanelEdge;
    for (int step = 1; step <= 10; ++step) {
        const QRgb colour = panel.pixel(outermost + step * inward);
        QVERIFY2(qRed(colour) > qRed(previous) && qGreen(colour) > qGreen(previous) && qBlue(colour) > qBlue(previous),
                 qPrintable(QStringLiteral("no lighter at step %1").arg(step)));
        previous = colour;
    }
    QCOMPARE(previous, PanelGreen);
    QCOMPARE(panel.pixel(outermost + 20 * inward), PanelGreen);
}

// Outside the title band the panel's colour depends only on the distance to
// the nearest edge: flat green inside, the same shade all round the edge.
void tst_Assets::panelIsPlainOutsideTitle()
{
    const QImage panel = load(PanelPicturePath);
    const QRect title(QPoint(37, 31), QPoint(406, 60));
    QCOMPARE(panel.pixel(panel.width() / 2, panel.height() / 2), PanelGreen);

    std::map<int, QRgb> shade;
    for (int x = 0; x < 10; ++x)
        shade[x] = panel.pixel(x, 300);
    for (int y = 0; y < panel.height(); ++y) {
        for (int x = 0; x < panel.width(); ++x) {
            if (title.contains(x, y))
                continue;
            const int distance = distanceToEdge(panel, x, y);
            const QRgb expected = distance < 10 ? shade[distance] : PanelGreen;
            if (panel.pixel(x, y) != expected)
                QFAIL(qPrintable(QStringLiteral("unexpected colour at %1").arg(at(x, y))));
        }
    }
}

void tst_Assets::panelTitle()
{
    const QImage panel = load(PanelPicturePath);
    const QRect title(QPoint(37, 31), QPoint(406, 60));
    int gold = 0;
    int dark = 0;
    QRect painted;
    for (int y = title.top(); y <= title.bottom(); ++y) {
        for (int x = title.left(); x <= title.right(); ++x) {
            const QColor c = panel.pixelColor(x, y);
            if (c.rgb() != PanelGreen)
                painted |= QRect(x, y, 1, 1);
            if (c.red() > 170 && c.green() > 140 && c.blue() < c.green() - 60)
                ++gold;
            if (c.lightness() < 60)
                ++dark;
        }
    }
    // Olive-gold characters with a dark outline, across most of the band.
    QVERIFY2(gold > 400, qPrintable(QString::number(gold)));
    QVERIFY2(dark > 400, qPrintable(QString::number(dark)));
    QVERIFY2(painted.width() > 200, qPrintable(QString::number(painted.width())));
    QVERIFY(painted.height() > 18);
}

void tst_Assets::legendSwatches_data()
{
    QTest::addColumn<int>("left");
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<int>("nextLeft");

    QTest::newRow("blue, physical") << 4 << qRgb(0, 0, 255) << 52;
    QTest::newRow("yellow, emotional") << 52 << qRgb(255, 255, 0) << 99;
    QTest::newRow("red, intellectual") << 99 << qRgb(255, 0, 0) << 146;
    QTest::newRow("cyan, composite") << 146 << qRgb(0, 255, 255) << 187;
}

void tst_Assets::legendSwatches()
{
    QFETCH(int, left);
    QFETCH(QRgb, colour);
    QFETCH(int, nextLeft);

    const QImage legend = load(LegendPicturePath);
    const QRect swatch(left, 1, 9, 17);
    for (int y = 0; y < legend.height(); ++y) {
        for (int x = left - 1; x <= swatch.right() + 1; ++x) {
            const bool border = swatch.contains(x, y)
                && (x == swatch.left() || x == swatch.right() || y == swatch.top() || y == swatch.bottom());
            const QRgb expected = !swatch.contains(x, y) ? PanelGreen : border ? Black : colour;
            if (legend.pixel(x, y) != expected)
                QFAIL(qPrintable(QStringLiteral("unexpected colour at %1").arg(at(x, y))));
        }
    }

    // The word: black 12-pixel glyphs of two characters between this
    // swatch and the next, on the plain green.
    const QRect room(QPoint(swatch.right() + 2, 0), QPoint(nextLeft - 2, legend.height() - 1));
    for (int y = room.top(); y <= room.bottom(); ++y)
        for (int x = room.left(); x <= room.right(); ++x)
            QVERIFY2(legend.pixel(x, y) == Black || legend.pixel(x, y) == PanelGreen, qPrintable(at(x, y)));
    const QRect word = inkBox(legend, room, Black);
    QVERIFY2(word.width() >= 18 && word.width() <= 24, qPrintable(QString::number(word.width())));
    QVERIFY2(word.height() >= 9 && word.height() <= 12, qPrintable(QString::number(word.height())));
    QVERIFY(word.left() - swatch.right() <= 8);
    // Centred on the swatch, within a pixel or two.
    QVERIFY2(std::abs(word.center().y() - swatch.center().y()) <= 2, qPrintable(QString::number(word.center().y())));
}

void tst_Assets::legendBackground()
{
    const QImage legend = load(LegendPicturePath);
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < legend.height(); ++y)
            QCOMPARE(legend.pixel(x, y), PanelGreen);
    for (int x = 0; x < legend.width(); ++x) {
        QCOMPARE(legend.pixel(x, 0), PanelGreen);
        QCOMPARE(legend.pixel(x, 18), PanelGreen);
    }
    QCOMPARE(legend.pixel(186, 9), PanelGreen);
}

void tst_Assets::guideGridLines()
{
    const QImage guide = load(GuidePicturePath);
    for (const int x : GuideColumns)
        for (int y = GuideRows[0]; y <= GuideRows[4]; ++y)
            QVERIFY2(guide.pixel(x, y) == GuideLine, qPrintable(at(x, y)));
    for (const int y : GuideRows)
        for (int x = GuideColumns[0]; x <= GuideColumns[4]; ++x)
            QVERIFY2(guide.pixel(x, y) == GuideLine, qPrintable(at(x, y)));
}

// Lines only where the grid is, and elsewhere nothing but white paper and
// the text colour: no text touches a line or lies outside the table.
void tst_Assets::guideColours()
{
    const QImage guide = load(GuidePicturePath);
    for (int y = 0; y < guide.height(); ++y) {
        for (int x = 0; x < guide.width(); ++x) {
            const QRgb c = guide.pixel(x, y);
            const bool inside = x > GuideColumns[0] && x < GuideColumns[4] && y > GuideRows[0] && y < GuideRows[4];
            if (onGuideLine(x, y))
                continue;
            if (!(c == White || (inside && c == GuideText)))
                QFAIL(qPrintable(QStringLiteral("unexpected colour at %1").arg(at(x, y))));
        }
    }
}

void tst_Assets::guideCells_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("minLines");
    QTest::addColumn<int>("maxLines");
    QTest::addColumn<bool>("centred");

    QTest::newRow("corner") << 0 << 0 << 0 << 0 << false;
    const char *phases[] = {"high", "critical", "low"};
    const char *rhythms[] = {"physical", "emotional", "intellectual"};
    for (int column = 1; column <= 3; ++column)
        QTest::addRow("heading %s", phases[column - 1]) << column << 0 << 1 << 1 << true;
    for (int row = 1; row <= 3; ++row) {
        // Four characters, stacked one or two to a line.
        QTest::addRow("label %s", rhythms[row - 1]) << 0 << row << 2 << 4 << true;
        for (int column = 1; column <= 3; ++column)
            QTest::addRow("%s %s", rhythms[row - 1], phases[column - 1]) << column << row << 3 << 8 << false;
    }
}

void tst_Assets::guideCells()
{
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(int, minLines);
    QFETCH(int, maxLines);
    QFETCH(bool, centred);

    const QImage guide = load(GuidePicturePath);
    const QRect cell = guideCell(column, row);
    const int lines = textLines(guide, cell, GuideText);
    QVERIFY2(lines >= minLines && lines <= maxLines, qPrintable(QString::number(lines)));
    if (lines == 0)
        return;

    // Some white space between the text and the lines all round.
    const QRect text = inkBox(guide, cell, GuideText);
    QVERIFY2(cell.adjusted(2, 2, -2, -2).contains(text), qPrintable(QStringLiteral("text %1,%2 %3x%4")
                                                                    .arg(text.x()).arg(text.y())
                                                                    .arg(text.width()).arg(text.height())));
    if (centred)
        QVERIFY2(std::abs(text.center().x() - cell.center().x()) <= 2, qPrintable(QString::number(text.center().x())));
}

void tst_Assets::icons_data()
{
    QTest::addColumn<int>("size");

    for (const int size : IconSizes)
        QTest::addRow("%d", size) << size;
}

// Each size shows a small chart: the three curves in their chart colours,
// each a wave across the whole black ground, in a green frame with rounded
// corners on a transparent ground.
void tst_Assets::icons()
{
    QFETCH(int, size);

    const QString path = QStringLiteral(QUORVEL_ASSETS_DIR "/icon%1.png").arg(size);
    const QImage icon = QImage(path).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(icon.size(), QSize(size, size));

    const int last = size - 1;
    for (const QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
        QCOMPARE(qAlpha(icon.pixel(corner)), 0);
    for (const QPoint edge : {QPoint(size / 2, 0), QPoint(0, size / 2), QPoint(last, size / 2), QPoint(size / 2, last)})
        QCOMPARE(icon.pixel(edge), PanelGreen);

    const QRect ground(size / 8, size / 8, size - size / 4, size - size / 4);
    int black = 0;
    QRect curves[3];
    for (int y = ground.top(); y <= ground.bottom(); ++y) {
        for (int x = ground.left(); x <= ground.right(); ++x) {
            const QRgb c = icon.pixel(x, y);
            black += c == Black;
            if (const int curve = iconCurve(c); curve >= 0)
                curves[curve] |= QRect(x, y, 1, 1);
        }
    }
    // Even where the curves crowd the small sizes, a quarter of the ground
    // shows between them.
    QVERIFY2(black > ground.width() * ground.height() / 4, qPrintable(QString::number(black)));
    const char *names[] = {"blue", "yellow", "red"};
    for (int curve = 0; curve < 3; ++curve) {
        const QRect &box = curves[curve];
        const char *name = names[curve];
        QVERIFY2(box.left() <= ground.left() + ground.width() / 8 && box.right() >= ground.right() - ground.width() / 8,
                 name);
        QVERIFY2(box.height() > ground.height() / 2, name);
    }

    // Unsmoothed at 16 pixels: nothing but the frame, the ground and the
    // curves' own colours.
    if (size == 16) {
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QRgb c = icon.pixel(x, y);
                const bool curve = c == qRgb(0, 0, 255) || c == qRgb(255, 255, 0) || c == qRgb(255, 0, 0);
                if (qAlpha(c) != 0 && c != PanelGreen && c != Black && !curve)
                    QFAIL(qPrintable(QStringLiteral("unexpected colour at %1").arg(at(x, y))));
            }
        }
    }
}

// The scalable icon is well-formed SVG on the same 16-unit square, with the
// three curves in their colours.
void tst_Assets::scalableIcon()
{
    QFile file(QStringLiteral(QUORVEL_ASSETS_DIR "/icon.svg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader svg(&file);
    QVERIFY(svg.readNextStartElement());
    QCOMPARE(svg.name(), u"svg"_qs);
    QCOMPARE(svg.attributes().value(u"viewBox"_qs), u"0 0 16 16"_qs);
    QStringList strokes;
    while (!svg.atEnd()) {
        if (svg.readNext() == QXmlStreamReader::StartElement && svg.name() == u"polyline"_qs)
            strokes << svg.attributes().value(u"stroke"_qs).toString();
    }
    QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
    QCOMPARE(strokes, QStringList({u"#0000ff"_qs, u"#ffff00"_qs, u"#ff0000"_qs}));
}

void tst_Assets::windowIconSizes()
{
    const QList<QSize> sizes = windowIcon().availableSizes();
    for (const int side : {16, 32, 48, 256})
        QVERIFY2(sizes.contains(QSize(side, side)), qPrintable(QString::number(side)));
}

void tst_Assets::doubledPictures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("doubledPath");

    QTest::newRow("panel") << QString::fromLatin1(PanelPicturePath) << u":/panel@2x.png"_qs;
    QTest::newRow("legend") << QString::fromLatin1(LegendPicturePath) << u":/legend@2x.png"_qs;
    QTest::newRow("guide") << QString::fromLatin1(GuidePicturePath) << u":/guide@2x.png"_qs;
    // The icon's 32-pixel size serves the 16-pixel one on a doubled screen.
    QTest::newRow("icon") << QString::fromLatin1(Icon16Path) << QString::fromLatin1(Icon32Path);
}

// Each picture exists painted at twice the resolution: twice as wide and
// high, true colour like the picture, and neither the picture enlarged pixel
// by pixel (its 2 x 2 blocks would all be one colour) nor smoothly.
void tst_Assets::doubledPictures()
{
    QFETCH(QString, path);
    QFETCH(QString, doubledPath);

    const QImage normal = QImage(path).convertToFormat(QImage::Format_ARGB32);
    const QImage doubled = QImage(doubledPath).convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(!doubled.isNull(), qPrintable(doubledPath));
    QCOMPARE(doubled.size(), normal.size() * 2);
    QCOMPARE(QImage(doubledPath).hasAlphaChannel(), QImage(path).hasAlphaChannel());

    int mixedBlocks = 0;
    for (int y = 0; y + 1 < doubled.height(); y += 2)
        for (int x = 0; x + 1 < doubled.width(); x += 2) {
            const QRgb c = doubled.pixel(x, y);
            mixedBlocks += doubled.pixel(x + 1, y) != c || doubled.pixel(x, y + 1) != c || doubled.pixel(x + 1, y + 1) != c;
        }
    QVERIFY2(mixedBlocks > 40, qPrintable(QString::number(mixedBlocks)));
    QVERIFY(doubled != normal.scaled(doubled.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

// The shadow is twenty device pixels deep, each a shade lighter than the
// one outside it, from the same darkest shade to the flat green.
void tst_Assets::doubledPanelShadow()
{
    const QImage panel(u":/panel@2x.png"_qs);
    QCOMPARE(panel.pixel(0, 600), PanelEdge);
    QRgb previous = PanelEdge;
    for (int x = 1; x <= 20; ++x) {
        const QRgb colour = panel.pixel(x, 600);
        QVERIFY2(qRed(colour) > qRed(previous) && qGreen(colour) > qGreen(previous) && qBlue(colour) > qBlue(previous),
                 qPrintable(QString::number(x)));
        previous = colour;
    }
    QCOMPARE(previous, PanelGreen);
    QCOMPARE(panel.pixel(1597, 1195), PanelEdge);
}

// The guide's lines are two device pixels wide where the picture's are
// one, and the text, unsmoothed, stays in the text colour and off the lines.
void tst_Assets::doubledGuideLines()
{
    const QImage guide(u":/guide@2x.png"_qs);
    for (int y = 0; y < guide.height(); ++y) {
        for (int x = 0; x < guide.width(); ++x) {
            const QRgb c = guide.pixel(x, y);
            const bool inside = x / 2 > GuideColumns[0] && x / 2 < GuideColumns[4] && y / 2 > GuideRows[0]
                && y / 2 < GuideRows[4];
            if (onGuideLine(x / 2, y / 2)) {
                if (c != GuideLine)
                    QFAIL(qPrintable(QStringLiteral("no line at %1").arg(at(x, y))));
            } else if (!(c == White || (inside && c == GuideText))) {
                QFAIL(qPrintable(QStringLiteral("unexpected colour at %1").arg(at(x, y))));
            }
        }
    }
    const QRect text = inkBox(guide, QRect(QPoint(2 * 70 + 2, 2 * 22 + 2), QPoint(2 * 263 - 2, 2 * 168 - 2)), GuideText);
    QVERIFY2(text.height() > 2 * 3 * 12, qPrintable(QString::number(text.height())));
}

// The committed pictures are what the generator paints: run again, it
// writes the same pixels (and the same SVG text).
void tst_Assets::generatorRepaintsTheCommittedPictures()
{
    QTemporaryDir out;
    QVERIFY(out.isValid());
    QProcess generator;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
    generator.setProcessEnvironment(environment);
    generator.start(QStringLiteral(QUORVEL_MAKEASSETS), {out.path()});
    QVERIFY(generator.waitForFinished(120000));
    QVERIFY2(generator.exitCode() == 0, generator.readAllStandardError().constData());

    const QDir committed(QStringLiteral(QUORVEL_ASSETS_DIR));
    const QStringList written = QDir(out.path()).entryList(QDir::Files, QDir::Name);
    QCOMPARE(written, committed.entryList({u"*.png"_qs, u"*.svg"_qs}, QDir::Files, QDir::Name));
    for (const QString &name : written) {
        if (name.endsWith(u".svg")) {
            QFile a(committed.filePath(name)), b(QDir(out.path()).filePath(name));
            QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
            QVERIFY2(a.readAll() == b.readAll(), qPrintable(name));
            continue;
        }
        const QImage before(committed.filePath(name));
        const QImage after(QDir(out.path()).filePath(name));
        QVERIFY2(!after.isNull() && before.convertToFormat(QImage::Format_ARGB32) == after.convertToFormat(QImage::Format_ARGB32),
                 qPrintable(name));
    }
}

QTEST_MAIN(tst_Assets)
#include "tst_assets.moc"
