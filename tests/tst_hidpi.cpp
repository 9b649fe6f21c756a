// SPDX-License-Identifier: GPL-3.0-or-later
// The windows on a screen with more device pixels than pixels. Run with
// QT_SCALE_FACTOR set (2, or 1.5), so that the offscreen screen has that
// device pixel ratio: the chart is painted at the screen's resolution, the
// pointer reads out what those device pixels show, and the pictures are
// their twice-resolution paintings.

#include "programtest.h"

#include "chart/chart.h"
#include "exports/chartexports.h"
#include "platform/drawing/picture.h"
#include "startup/frmd.h"

#include <QMouseEvent>
#include <QScreen>

#include <cmath>
#include <set>

using namespace quorvel;
using namespace quorvel::test;

namespace {

const QRgb Background = qRgb(0, 0, 0);
const QRgb Cyan = qRgb(0, 0xFF, 0xFF);

QImage shot(QWidget *widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The pointer on device pixel (column, row) of the chart, as a real pointer
// there reports it: a logical position inside that device pixel.
void pointAt(PictureBox *chart, int column, int row, double ratio)
{
    const QPointF local((column + 0.25) / ratio, (row + 0.25) / ratio);
    QMouseEvent move(QEvent::MouseMove, local, chart->mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(chart, &move);
}

// Runs of one colour along a row: their widths.
QList<int> runs(const QImage &image, int row, QRgb colour)
{
    QList<int> widths;
    int run = 0;
    for (int x = 0; x <= image.width(); ++x) {
        if (x < image.width() && image.pixel(x, row) == colour) {
            ++run;
        } else if (run > 0) {
            widths << run;
            run = 0;
        }
    }
    return widths;
}

} // namespace

class tst_HiDpi : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startupFrameLines();
    void curvesAreSmoothAndSharp();
    void everyDeviceColumnReadsTheDayItShows_data();
    void everyDeviceColumnReadsTheDayItShows();
    void pictureAtTwiceTheSize();
    void picturesAtScreenResolution();

private:
    SharedValues m_shared;
    Runtime m_runtime;
    double m_ratio = 1.0;
    int m_lineWidth = 1;
};

void tst_HiDpi::initTestCase()
{
    initAssets();
    m_ratio = qApp->devicePixelRatio();
    // Run at one device pixel a pixel, every check here would hold trivially.
    QVERIFY2(m_ratio > 1.0, "needs a screen with a device pixel ratio above 1: set QT_SCALE_FACTOR");
    m_lineWidth = std::max(1, int(std::lround(m_ratio)));
}

// The start-up frame, drawn with the exclusive-or pen: grid lines and the
// zero line one pixel, that is m_lineWidth device pixels, wide, and where
// they cross the two greys combine.
void tst_HiDpi::startupFrameLines()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        // The whole device pixels of the chart: at one and a half, the last
        // column is half outside it.
        const QImage shown = shot(w.PicBack);
        QVERIFY2(shown.width() >= int(ChartSize.width() * m_ratio), qPrintable(QString::number(shown.width())));
        const QImage chart = shown.copy(0, 0, int(ChartSize.width() * m_ratio), shown.height());
        const int row = int(425 * m_ratio);
        // 41 lines at 0, 1, ..., 40 days; the last on the right edge, outside.
        const QList<int> lines = runs(chart, row, GridColour);
        QCOMPARE(lines.size(), 40);
        for (const int width : lines)
            QCOMPARE(width, m_lineWidth);
        QCOMPARE(chart.pixel(0, row), GridColour);

        // The zero line, between the first two grid lines.
        const int column = int(10 * m_ratio);
        int first = -1;
        int rows = 0;
        for (int y = 0; y < chart.height(); ++y) {
            if (chart.pixel(column, y) == ZeroLineColour) {
                first = first < 0 ? y : first;
                ++rows;
            }
        }
        QCOMPARE(rows, m_lineWidth);
        QVERIFY2(std::abs(first - chart.height() / 2) <= m_lineWidth, qPrintable(QString::number(first)));
        // Exclusive or of 0x808080 and 0xA0A0A0 where the lines cross.
        QCOMPARE(chart.pixel(0, first), qRgb(0x20, 0x20, 0x20));
        QCOMPARE(chart.pixel(m_lineWidth, first), ZeroLineColour);
        QCOMPARE(chart.pixel(m_lineWidth, first - 1), Background);
    });
}

// A drawn chart: the same colours as at one device pixel a pixel, curves
// smoothed (shades between a curve's colour and what lies under it) where
// the pixel picture has none, and not the pixel picture enlarged.
void tst_HiDpi::curvesAreSmoothAndSharp()
{
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        w.TXTCSRQ->setText(u"1980-01-01"_qs);
        w.txtCXRQ->setText(u"2009-11-03"_qs);
        w.CMDcx_Click();
        const QImage chart = shot(w.PicBack);
        const QImage &pixels = w.PicBack->surface().image();

        // What the window shows on the screen (offscreen: its backing
        // store), not only what a fresh rendering of it would: the chart
        // with its curves, as the rendering has it.
        QTest::qWait(50);
        const QImage screen = w.screen()->grabWindow(w.winId()).toImage().convertToFormat(QImage::Format_RGB32);
        // Above the scroll bars, which overlap the chart's lowest pixels, and
        // as far as the small offscreen screen shows the window.
        const QPoint origin = w.PicBack->pos() * m_ratio;
        const QRect area = QRect(origin, QSize(chart.width(), int((ChartSize.height() - 4) * m_ratio)))
                               .intersected(screen.rect());
        QVERIFY(area.width() > 200 && area.height() > 200);
        QVERIFY2(screen.copy(area) == chart.copy(area.translated(-origin)), "the screen shows another chart");

        std::set<QRgb> pixelColours;
        for (int y = 0; y < pixels.height(); ++y)
            for (int x = 0; x < pixels.width(); ++x)
                pixelColours.insert(pixels.pixel(x, y));
        int shades = 0;
        std::set<QRgb> pure;
        // Clear of the span labels at the top.
        for (int y = int(30 * m_ratio); y < chart.height(); ++y) {
            for (int x = 0; x < chart.width(); ++x) {
                const QRgb c = chart.pixel(x, y);
                if (pixelColours.count(c))
                    pure.insert(c);
                else
                    ++shades;
            }
        }
        QCOMPARE(pure, pixelColours);
        QVERIFY2(shades > 2000, qPrintable(QString::number(shades)));
        const QImage enlarged = pixels.scaled(chart.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
        QVERIFY(chart != enlarged);

        // The Composite passes where the pixel picture's does: each cyan pixel
        // of the pixel picture has cyan device pixels within a pixel of it.
        for (int x = 0; x < pixels.width(); x += 7) {
            for (int y = 40; y < pixels.height() - 40; ++y) {
                if (pixels.pixel(x, y) != Cyan)
                    continue;
                bool near = false;
                for (int dy = -int(2 * m_ratio); dy <= int(2 * m_ratio) && !near; ++dy)
                    for (int dx = -int(2 * m_ratio); dx <= int(2 * m_ratio) && !near; ++dx) {
                        const QPoint p(int((x + 0.5) * m_ratio) + dx, int((y + 0.5) * m_ratio) + dy);
                        near = chart.rect().contains(p) && qGreen(chart.pixel(p)) > 0xC0 && qBlue(chart.pixel(p)) > 0xC0
                            && qRed(chart.pixel(p)) < 0x40;
                    }
                QVERIFY2(near, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
        }
    });
}

void tst_HiDpi::everyDeviceColumnReadsTheDayItShows_data()
{
    QTest::addColumn<int>("span");
    QTest::addColumn<int>("position");
    // 1980-01-01 to 2009-11-03 is 10899 days; the query day lies in each span.
    QTest::newRow("40 days") << 40 << 5440;
    QTest::newRow("59 days") << 59 << 5425;
    QTest::newRow("236 days, edges on device pixel borders") << 236 << 5400;
    QTest::newRow("365 days") << 365 << 5300;
}

// The pointer on each device column reads out the day whose bar covers that
// column: the query-day bar's columns read the query day and no others do,
// and each grid line begins a new day.
void tst_HiDpi::everyDeviceColumnReadsTheDayItShows()
{
    QFETCH(int, span);
    QFETCH(int, position);
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        showQueriedSpan(w, span, position);
        const QImage chart = shot(w.PicBack);
        const int row = int(425 * m_ratio);
        const QString queryDay = u"当前日期：2009-11-03"_qs;
        const int width = int(ChartSize.width() * m_ratio);

        QString previous;
        int queryColumns = 0;
        for (int column = 0; column < width; ++column) {
            pointAt(w.PicBack, column, row, m_ratio);
            const QString day = w.LBLrq->Caption();
            const QRgb shown = chart.pixel(column, row);
            const QString where = QString::number(column);
            QVERIFY2((shown == QueryBarColour) == (day == queryDay), qPrintable(where + u' ' + day));
            queryColumns += day == queryDay;
            const bool lineStarts = shown == GridColour && (column == 0 || chart.pixel(column - 1, row) != GridColour);
            if (column > 0 && lineStarts)
                QVERIFY2(day != previous, qPrintable(where));
            if (shown == GridColour && !lineStarts)
                QVERIFY2(day == previous, qPrintable(where));
            previous = day;
        }
        // One day's column, in device pixels, give or take one.
        QVERIFY2(std::abs(queryColumns - width / span) <= 1, qPrintable(QString::number(queryColumns)));
    });
}

// The chart's picture at twice the size is the chart area as a screen of
// twice the density shows it, span labels and all.
void tst_HiDpi::pictureAtTwiceTheSize()
{
    if (m_ratio != 2.0)
        QSKIP("the picture at twice the size is compared with the screen at twice the density");
    withLoadedWindow(m_shared, m_runtime, [&](frmQORVEL &w) {
        showQueriedSpan(w, 100, 5420);
        QImage shown = shot(w.PicBack);
        shown.setDevicePixelRatio(1.0); // compared device pixel for device pixel
        ChartFixture chart;
        chart.show(u"1980-01-01"_qs, u"2009-11-03"_qs, 5420, 100);
        const QImage picture = chartImage(chart.surface, chart.drawn, 2);
        QCOMPARE(picture.size(), chartPictureSize(chart.surface) * 2);
        QCOMPARE(picture.copy(QRect(QPoint(), shown.size())), shown);
    });
}

// The panel with its title, the legend and the guide are their
// twice-resolution paintings, device pixel for device pixel.
void tst_HiDpi::picturesAtScreenResolution()
{
    if (m_ratio != 2.0)
        QSKIP("the pictures are compared device pixel for device pixel at twice the density");
    const QImage panel = doubledPicture(QString::fromLatin1(PanelPicturePath)).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage legend = doubledPicture(QString::fromLatin1(LegendPicturePath)).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage guidePicture = doubledPicture(QString::fromLatin1(GuidePicturePath)).toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(panel.size(), QSize(1598, 1196));
    runProgram(m_runtime, [&](Global &, frmQORVEL &w) {
        const QImage window = shot(&w);
        QCOMPARE(window.size(), QSize(1596, 1196));
        const QRect title(QPoint(74, 62), QPoint(813, 121));
        QCOMPARE(window.copy(title), panel.copy(title));
        // The shadow along the left edge, in twenty steps.
        QCOMPARE(window.copy(0, 600, 24, 1), panel.copy(0, 600, 24, 1));
        const QRect legendArea(w.Image1->pos() * 2, legend.size());
        QCOMPARE(window.copy(legendArea), legend);

        FrmD guide(&w);
        guide.show();
        QVERIFY(QTest::qWaitForWindowExposed(&guide));
        const QImage guideShot = shot(&guide);
        QCOMPARE(guideShot.copy(QRect(QPoint(), guidePicture.size())), guidePicture);
        guide.close();
    });
}

QTEST_MAIN(tst_HiDpi)
#include "tst_hidpi.moc"
