// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/drawing/surface.h"

#include <QRandomGenerator>
#include <QTest>

using namespace quorvel;

namespace {

constexpr QSize ChartSize(767, 449);
const QRgb Black = qRgb(0, 0, 0);

QRgb pixel(const DrawingSurface &surface, int x, int y) { return surface.image().pixel(x, y); }

DrawingSurface chartSurface(float start, float end)
{
    DrawingSurface surface(ChartSize, 0x00000000, 0x00000000);
    surface.Cls();
    surface.Scale(start, 120.0f, end, -120.0f);
    return surface;
}

} // namespace

class tst_Surface : public QObject
{
    Q_OBJECT

private slots:
    void colours_data();
    void colours();
    void scaleMapsCornersAndCentre();
    void pixelMappingRoundTrips_data();
    void pixelMappingRoundTrips();
    void filledBoxCoversExactlyItsColumn_data();
    void filledBoxCoversExactlyItsColumn();
    void lineLeavesItsLastPixel();
    void joinedSegmentsMeetOnce();
    void psetUsesForeColourAndMovesCurrentPoint();
    void xorFrameOverBlack();
    void xorTwiceRestores();
    void clsRestoresBackground();
    void farAwayLinesAreClipped();
    void linesWhollyOutsideLeaveTheImage();
    void degenerateScaleIsIgnored();
    void aPictureTakenKeepsItsPixels();
    void fastPathsDrawTheSamePixels_data();
    void fastPathsDrawTheSamePixels();
    void chainsOfShortLinesDrawTheSamePixels_data();
    void chainsOfShortLinesDrawTheSamePixels();
};

void tst_Surface::colours_data()
{
    QTest::addColumn<quint32>("color");
    QTest::addColumn<QRgb>("expected");
    QTest::newRow("blue") << quint32(0x00FF0000) << qRgb(0, 0, 255);
    QTest::newRow("yellow") << quint32(0x0000FFFF) << qRgb(255, 255, 0);
    QTest::newRow("light magenta") << quint32(16744703) << qRgb(255, 128, 255);
    QTest::newRow("grid grey") << quint32(8421504) << qRgb(128, 128, 128);
    QTest::newRow("button face") << quint32(0x009AE9C4) << qRgb(0xC4, 0xE9, 0x9A);
    QTest::newRow("menu text is black") << quint32(SystemMenuText) << Black;
}

void tst_Surface::colours()
{
    QFETCH(quint32, color);
    QFETCH(QRgb, expected);
    QCOMPARE(resolveColor(color), expected);
}

void tst_Surface::scaleMapsCornersAndCentre()
{
    const DrawingSurface surface = chartSurface(0, 40);
    QCOMPARE(surface.toPixel({0, 120}), QPoint(0, 0));
    QCOMPARE(surface.toPixel({40, -120}), QPoint(767, 449));
    // 383.5 and 224.5 are the centres of pixels 383 and 224: the middle of
    // the chart is the middle of a pixel, with 224 rows above and below it.
    QCOMPARE(surface.toPixel({20, 0}), QPoint(383, 224));
    QCOMPARE(surface.toPixel({1, 120}), QPoint(19, 0)); // 19.175
    QCOMPARE(surface.toPixel({0.99f, 120}), QPoint(19, 0)); // 18.98: pixel 18's centre lies before it
    QCOMPARE(surface.toPixel({0.96f, 120}), QPoint(18, 0)); // 18.41
    // A pixel reports its centre.
    const QPointF corner = surface.toUser({0, 0});
    QVERIFY(qAbs(corner.x() - 0.5 * 40 / 767) < 1e-6 && qAbs(corner.y() - (120 - 0.5 * 240 / 449)) < 1e-5);
    QCOMPARE(float(surface.toUser({383, 224}).x()), 20.0f);
    QCOMPARE(float(surface.toUser({383, 224}).y()), 0.0f);
}

void tst_Surface::pixelMappingRoundTrips_data()
{
    QTest::addColumn<float>("start");
    QTest::addColumn<float>("end");
    QTest::newRow("span 40 at birth") << 0.0f << 40.0f;
    QTest::newRow("span 41") << 10.0f << 51.0f;
    QTest::newRow("span 365 at the far end") << 36500.0f << 36865.0f;
}

void tst_Surface::pixelMappingRoundTrips()
{
    QFETCH(float, start);
    QFETCH(float, end);
    const DrawingSurface surface = chartSurface(start, end);
    for (int x = 0; x < ChartSize.width(); ++x) {
        const QPointF user = surface.toUser(QPoint(x, x % ChartSize.height()));
        // The pointer readout gets single-precision coordinates.
        const QPoint back = surface.toPixel(QPointF(float(user.x()), float(user.y())));
        QCOMPARE(back, QPoint(x, x % ChartSize.height()));
    }
}

void tst_Surface::filledBoxCoversExactlyItsColumn_data()
{
    QTest::addColumn<float>("start");
    QTest::addColumn<float>("end");
    QTest::addColumn<float>("day");
    QTest::newRow("first column of 40") << 0.0f << 40.0f << 0.0f;
    QTest::newRow("middle column of 40") << 0.0f << 40.0f << 19.0f;
    QTest::newRow("last column of 40") << 0.0f << 40.0f << 39.0f;
    QTest::newRow("narrow column of 365") << 36500.0f << 36865.0f << 36700.0f;
}

void tst_Surface::filledBoxCoversExactlyItsColumn()
{
    QFETCH(float, start);
    QFETCH(float, end);
    QFETCH(float, day);
    DrawingSurface surface = chartSurface(start, end);
    surface.LineBoxFilled(day, 120, day + 1, -120, 0x00FFFFFF);
    const int left = surface.toPixel({day, 0}).x();
    const int right = surface.toPixel({day + 1, 0}).x();
    QVERIFY(right > left);
    for (int y = 0; y < ChartSize.height(); ++y) {
        for (int x = std::max(0, left - 2); x < std::min(ChartSize.width(), right + 2); ++x) {
            const bool inside = x >= left && x < right;
            QCOMPARE(pixel(surface, x, y), inside ? qRgb(255, 255, 255) : Black);
        }
    }
}

void tst_Surface::lineLeavesItsLastPixel()
{
    DrawingSurface surface(QSize(20, 20), 0, 0);
    surface.Scale(0, 0, 20, 20);
    surface.Line(2, 5, 10, 5, 0x000000FF);
    for (int x = 0; x < 20; ++x)
        QCOMPARE(pixel(surface, x, 5), x >= 2 && x < 10 ? qRgb(255, 0, 0) : Black);
    surface.Line(3, 15, 3, 8, 0x0000FF00); // upwards: from 15 down to 9
    for (int y = 0; y < 20; ++y)
        QCOMPARE(pixel(surface, 3, y), y > 8 && y <= 15 ? qRgb(0, 255, 0) : (y == 5 ? qRgb(255, 0, 0) : Black));
    QCOMPARE(surface.currentPoint(), QPointF(3, 8));
}

void tst_Surface::joinedSegmentsMeetOnce()
{
    // With the exclusive-or pen a pixel drawn twice would vanish: a polyline
    // must touch each joint exactly once.
    DrawingSurface surface(QSize(40, 40), 0, 0);
    surface.Scale(0, 0, 40, 40);
    surface.setDrawMode(DrawMode::XorPen);
    surface.PSet(1, 1, 0);
    surface.LineTo(10, 20, 0x00FFFFFF);
    surface.LineTo(30, 5, 0x00FFFFFF);
    surface.LineTo(35, 35, 0x00FFFFFF);
    QCOMPARE(pixel(surface, 10, 20), qRgb(255, 255, 255));
    QCOMPARE(pixel(surface, 30, 5), qRgb(255, 255, 255));
    QCOMPARE(pixel(surface, 1, 1), qRgb(255, 255, 255));
    QCOMPARE(pixel(surface, 35, 35), Black);
}

void tst_Surface::psetUsesForeColourAndMovesCurrentPoint()
{
    DrawingSurface surface(QSize(10, 10), 0, 0x00FF8040);
    surface.Scale(0, 0, 10, 10);
    surface.PSet(4.4f, 6.6f);
    QCOMPARE(pixel(surface, 4, 7), qRgb(0x40, 0x80, 0xFF));
    QCOMPARE(surface.currentPoint(), QPointF(4.4f, 6.6f));
    surface.PSet(1, 1, 0x000000FF);
    QCOMPARE(pixel(surface, 1, 1), qRgb(255, 0, 0));
}

void tst_Surface::xorFrameOverBlack()
{
    DrawingSurface surface = chartSurface(0, 40);
    surface.setDrawMode(DrawMode::XorPen);
    surface.Line(10, 120, 10, -120, 8421504);
    surface.Line(0, 0, 40, 0, 10526880);
    const int x = surface.toPixel({10, 0}).x();
    const int y = surface.toPixel({0, 0}).y();
    QCOMPARE(pixel(surface, x, 3), qRgb(0x80, 0x80, 0x80));
    QCOMPARE(pixel(surface, x + 5, y), qRgb(0xA0, 0xA0, 0xA0));
    // Where the two greys cross, exclusive-or leaves a near-black pixel.
    QCOMPARE(pixel(surface, x, y), qRgb(0x20, 0x20, 0x20));
}

void tst_Surface::xorTwiceRestores()
{
    DrawingSurface surface = chartSurface(0, 40);
    const QImage before = surface.image();
    surface.setDrawMode(DrawMode::XorPen);
    for (int pass = 0; pass < 2; ++pass) {
        surface.LineBoxFilled(3, 120, 5, -120, 0x00123456);
        surface.PSet(0.5f, 50.0f, 0x00FFFFFF);
        surface.LineTo(20.5f, -80.0f, 0x00FFFFFF);
    }
    QCOMPARE(surface.image(), before);
}

void tst_Surface::clsRestoresBackground()
{
    DrawingSurface surface(QSize(30, 30), 0x00336699, 0);
    surface.Scale(0, 0, 30, 30);
    surface.LineBoxFilled(0, 0, 30, 30, 0x00FFFFFF);
    surface.PSet(7, 7);
    surface.Cls();
    QCOMPARE(surface.currentPoint(), QPointF(0, 0));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            QCOMPARE(pixel(surface, x, y), qRgb(0x99, 0x66, 0x33));
}

void tst_Surface::farAwayLinesAreClipped()
{
    DrawingSurface surface = chartSurface(0, 40);
    surface.Line(-1e30f, 0, 1e30f, 0, 0x00FFFFFF);
    surface.Line(-1e9f, -1e9f, 1e9f, 1e9f, 0x00FFFFFF);
    surface.LineBoxFilled(-1e30f, 1e30f, 1e30f, -1e30f, 0x000000FF);
    surface.PSet(std::numeric_limits<float>::quiet_NaN(), 0);
    surface.LineTo(std::numeric_limits<float>::infinity(), 5, 0x00FFFFFF);
    QCOMPARE(pixel(surface, 100, 100), qRgb(255, 0, 0));
}

void tst_Surface::linesWhollyOutsideLeaveTheImage()
{
    DrawingSurface surface = chartSurface(0, 40);
    const QImage before = surface.image();
    surface.Line(10, -200, 10, -1e9f, 0x00FFFFFF);         // a column below the image
    surface.Line(10, 200, 10, 1e9f, 0x00FFFFFF);           // and one above it
    surface.LineBoxFilled(-100, 50, -50, -50, 0x00FFFFFF); // left of it
    surface.LineBoxFilled(50, 50, 100, -50, 0x00FFFFFF);   // right of it
    surface.LineBoxFilled(5, -130, 6, -1e9f, 0x00FFFFFF);  // under it
    surface.Line(-5, -200, 50, -300, 0x00FFFFFF);
    QCOMPARE(surface.image(), before);
}

void tst_Surface::degenerateScaleIsIgnored()
{
    DrawingSurface surface = chartSurface(0, 40);
    surface.Scale(5, 120, 5, -120);
    QCOMPARE(surface.scaleRect(), QRectF(QPointF(0, 120), QPointF(40, -120)));
}

// A chart copied to the clipboard keeps the picture it was given there;
// drawing on afterwards must not reach into it.
void tst_Surface::aPictureTakenKeepsItsPixels()
{
    DrawingSurface surface = chartSurface(0, 40);
    for (DrawMode mode : {DrawMode::CopyPen, DrawMode::XorPen}) {
        surface.setDrawMode(mode);
        surface.Line(0, 100, 40, -100, 0x000000FF);
        const QImage taken = surface.image();
        const QImage before = taken.copy();
        surface.Line(0, -100, 40, 100, 0x0000FF00);
        surface.LineBoxFilled(10, 50, 20, -50, 0x00FF0000);
        surface.PSet(30, 0, 0x00FFFFFF);
        QCOMPARE(taken, before);
        QVERIFY(surface.image() != before);
    }
}

// Random drawing, run twice: as the program draws (rectangles after Cls held
// back and written a row at a time, lines on the image written unclipped) and
// by the plain per-pixel path. Every pixel must agree. The coordinates come
// from a few values in and around the scale, so lines along an axis, full
// heights, shared edges and lines off the image are common.
void tst_Surface::fastPathsDrawTheSamePixels_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("operations");
    QTest::addColumn<int>("clsOneIn");
    QTest::addColumn<bool>("rectanglesOnly");
    QTest::addColumn<bool>("fewRows");
    for (quint32 seed = 1; seed <= 8; ++seed)
        QTest::addRow("small, seed %u", seed) << QSize(61, 37) << seed << 2000 << 40 << false << false;
    QTest::newRow("chart size") << ChartSize << quint32(99) << 4000 << 400 << false << false;
    QTest::newRow("one pixel") << QSize(1, 1) << quint32(3) << 500 << 20 << false << false;
    // Copy-pen rectangles alone, more of them after one Cls, or over more
    // rows, than are held back.
    QTest::newRow("many rectangles") << QSize(50, 40) << quint32(7) << 12000 << 6000 << true << true;
    QTest::newRow("rectangles over many rows") << QSize(50, 40) << quint32(8) << 3000 << 300 << true << false;
}

void tst_Surface::fastPathsDrawTheSamePixels()
{
    QFETCH(QSize, size);
    QFETCH(quint32, seed);
    QFETCH(int, operations);
    QFETCH(int, clsOneIn);
    QFETCH(bool, rectanglesOnly);
    QFETCH(bool, fewRows);
    QRandomGenerator random(seed);
    DrawingSurface fast(size, 0x00000000, 0x00FFFFFF);
    DrawingSurface plain(size, 0x00000000, 0x00FFFFFF);
    plain.setFastPaths(false);
    const auto both = [&](auto &&operation) {
        operation(fast);
        operation(plain);
    };
    const auto between = [&](double low, double high) { return float(low + random.generateDouble() * (high - low)); };
    const float edges[] = {-1e9f, -3.0f, -0.5f, 0.0f, 0.25f, 1.0f, 2.5f, 10.0f, 19.75f, 20.0f, 21.0f, 1e9f};
    const auto coordinate = [&] {
        // Mostly a value near the scale, sometimes anywhere around it.
        if (!fewRows && random.bounded(4) == 0)
            return between(-5.0, 25.0);
        return edges[random.bounded(int(std::size(edges)))];
    };
    const auto colour = [&]() -> VbColor {
        return random.bounded(8) == 0 ? SystemWindowBackground : VbColor(random.bounded(0x01000000u));
    };
    both([](DrawingSurface &s) { s.Scale(0, 0, 20, 20); });
    for (int i = 0; i < operations; ++i) {
        const int kind = rectanglesOnly ? random.bounded(8, 65) : random.bounded(100);
        if (random.bounded(clsOneIn) == 0) {
            const VbColor back = colour();
            both([&](DrawingSurface &s) {
                s.setBackColor(back);
                s.Cls();
            });
        } else if (kind < 3) {
            // Mostly scales on which the values above fall on the image's
            // edges, either way round.
            const QRectF scales[] = {{0, 0, 20, 20}, {20, 20, -20, -20}, {0, 20, 20, -20}, {-0.5, 21, 20.25, -24}};
            QRectF scale = scales[random.bounded(int(std::size(scales)))];
            if (random.bounded(4) == 0)
                scale = QRectF(between(-10.0, 10.0), between(-10.0, 10.0),
                               between(1.0, 30.0) * (random.bounded(2) ? 1.0f : -1.0f),
                               between(1.0, 30.0) * (random.bounded(2) ? 1.0f : -1.0f));
            const float left = float(scale.left()), top = float(scale.top());
            const float right = float(scale.left() + scale.width()), bottom = float(scale.top() + scale.height());
            both([&](DrawingSurface &s) { s.Scale(left, top, right, bottom); });
        } else if (kind < 8) {
            const DrawMode mode = random.bounded(3) == 0 ? DrawMode::XorPen : DrawMode::CopyPen;
            both([&](DrawingSurface &s) { s.setDrawMode(mode); });
        } else if (kind < 40) {
            const float x1 = coordinate(), y1 = coordinate();
            const int axis = random.bounded(rectanglesOnly ? 2 : 3);
            const float x2 = axis == 0 ? x1 : coordinate();
            const float y2 = axis == 1 ? y1 : coordinate();
            const VbColor c = colour();
            both([&](DrawingSurface &s) { s.Line(x1, y1, x2, y2, c); });
        } else if (kind < 65) {
            const float x1 = coordinate(), y1 = coordinate(), x2 = coordinate(), y2 = coordinate();
            const VbColor c = colour();
            both([&](DrawingSurface &s) { s.LineBoxFilled(x1, y1, x2, y2, c); });
        } else if (kind < 85) {
            const float x = coordinate(), y = coordinate();
            const VbColor c = colour();
            both([&](DrawingSurface &s) { s.LineTo(x, y, c); });
        } else if (kind < 95) {
            const float x = coordinate(), y = coordinate();
            const VbColor c = colour();
            both([&](DrawingSurface &s) { s.PSet(x, y, c); });
        } else if (kind < 97) {
            const float x = coordinate(), y = coordinate();
            both([&](DrawingSurface &s) { s.PSet(x, y); });
        } else {
            // Looking at the picture part way through.
            QCOMPARE(fast.image(), plain.image());
        }
        QCOMPARE(fast.currentPoint(), plain.currentPoint());
    }
    QCOMPARE(fast.image(), plain.image());
}

// Curves as the chart draws them: long chains of short lines, mostly steep
// or flat, with either pen, by the program's path, by the plain one, and
// point by point or a run of points at a time.
void tst_Surface::chainsOfShortLinesDrawTheSamePixels_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<double>("widestStep");
    QTest::newRow("steep, chart size") << ChartSize << 1.5;
    QTest::newRow("any slope, chart size") << ChartSize << 40.0;
    QTest::newRow("steep, small") << QSize(23, 180) << 2.0;
}

void tst_Surface::chainsOfShortLinesDrawTheSamePixels()
{
    QFETCH(QSize, size);
    QFETCH(double, widestStep);
    QRandomGenerator random(11);
    for (const DrawMode mode : {DrawMode::CopyPen, DrawMode::XorPen}) {
        DrawingSurface fast(size, 0x00000000, 0x00FFFFFF);
        DrawingSurface plain(size, 0x00000000, 0x00FFFFFF);
        plain.setFastPaths(false);
        DrawingSurface batched(size, 0x00000000, 0x00FFFFFF);
        std::vector<QPointF> run;
        VbColor c = 0;
        const auto drawRun = [&] {
            batched.LineTo(run, c);
            run.clear();
        };
        float x = 0.0f;
        float y = size.height() / 2.0f;
        for (DrawingSurface *s : {&fast, &plain, &batched}) {
            s->Scale(0.0f, 0.0f, float(size.width()), float(size.height()));
            s->Cls();
            s->setDrawMode(mode);
            s->PSet(x, y);
        }
        for (int i = 0; i < 5000; ++i) {
            x += float(random.generateDouble() * widestStep);
            y = std::clamp(y + float(random.generateDouble() * 80.0 - 40.0), 0.0f, float(size.height()));
            if (x > size.width())
                x -= size.width();
            if (i % 50 == 0) {
                drawRun();
                c = random.bounded(0x01000000u);
            }
            fast.LineTo(x, y, c);
            plain.LineTo(x, y, c);
            run.emplace_back(x, y);
        }
        drawRun();
        QCOMPARE(fast.image(), plain.image());
        QCOMPARE(batched.image(), plain.image());
        QCOMPARE(batched.currentPoint(), plain.currentPoint());
    }
}

QTEST_APPLESS_MAIN(tst_Surface)
#include "tst_surface.moc"
