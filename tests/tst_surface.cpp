// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/drawing/surface.h"

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
    surface.PSet(1, 1);
    const QPointF joints[] = {{10, 20}, {30, 5}, {35, 35}};
    surface.LineTo(joints, 0x00FFFFFF);
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
        surface.PSet(0.5f, 50.0f);
        const QPointF to[] = {{20.5f, -80.0f}};
        surface.LineTo(to, 0x00FFFFFF);
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
    const QPointF far[] = {{std::numeric_limits<float>::infinity(), 5}};
    surface.LineTo(far, 0x00FFFFFF);
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
        surface.PSet(30, 0);
        QCOMPARE(taken, before);
        QVERIFY(surface.image() != before);
    }
}

QTEST_APPLESS_MAIN(tst_Surface)
#include "tst_surface.moc"
