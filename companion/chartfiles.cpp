#include "companion/companion.h"

#include "chart/chart.h"

#include <QHash>
#include <QImageWriter>
#include <QPainter>

namespace quorvel::companion {
namespace {

// The window's picture box as far as the chart reads it: fixed dates and
// scroll values; the span labels are not part of the picture.
class FixedControls final : public ChartControls
{
public:
    explicit FixedControls(const ChartRequest &request) : m_request(request) {}

    int positionValue() const override { return m_request.view.position; }
    int proptionValue() const override { return m_request.view.span; }
    QString birthText() const override { return m_request.birthText; }
    QString queryText() const override { return m_request.queryText; }
    void setStartLabel(const QString &) override {}
    void setSpanLabel(const QString &) override {}
    void refreshSpanLabels() override {}

private:
    const ChartRequest &m_request;
};

QString svgColor(VbColor color) { return QColor::fromRgb(resolveColor(color)).name(); }

// Enough digits that every point lies in the very pixel the surface fills.
QString number(double value) { return QString::number(value, 'g', 9); }

QString escaped(const QString &text) { return text.toHtmlEscaped(); }

// The labels' colours on the window's chart.
constexpr VbColor StartLabelColor = 0x00CFF5DB;
constexpr VbColor SpanLabelColor = 0x009AE9C4;
constexpr VbColor LegendTextColor = 0x00FFFFFF;
constexpr int LegendHeight = 24;
const char *const FontFamily = "SimSun, 宋体, NSimSun, serif";

} // namespace

QImage chartImage(const ChartRequest &request, int scale)
{
    if (scale == 1) {
        DrawingSurface surface(ChartPixelSize, SystemMenuText, SystemButtonText);
        FixedControls controls(request);
        SharedValues shared{0.0, 0.0, CriticalLevel};
        surface.Cls();
        DrawBackground(surface, controls);
        DrawPicBack(surface, controls, shared);
        return surface.image();
    }
    QImage image(ChartPixelSize * scale, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.scale(scale, scale);
    paintChart(painter, request.view, QSizeF(ChartPixelSize));
    painter.end();
    return image;
}

bool writePng(const QImage &image, QIODevice *device)
{
    QImage stored = image.convertToFormat(QImage::Format_RGB32);
    QImage indexed(stored.size(), QImage::Format_Indexed8);
    QList<QRgb> palette;
    QHash<QRgb, uchar> index;
    for (int y = 0; y < stored.height() && !indexed.isNull(); ++y) {
        const QRgb *in = reinterpret_cast<const QRgb *>(stored.constScanLine(y));
        uchar *out = indexed.scanLine(y);
        QRgb last = ~in[0];
        uchar lastIndex = 0;
        for (int x = 0; x < stored.width(); ++x) {
            if (in[x] != last) {
                last = in[x];
                auto found = index.constFind(last);
                if (found == index.constEnd()) {
                    if (palette.size() == 256) {
                        indexed = QImage(); // too many colours: stored as they are
                        break;
                    }
                    found = index.insert(last, uchar(palette.size()));
                    palette.append(last);
                }
                lastIndex = *found;
            }
            out[x] = lastIndex;
        }
    }
    if (!indexed.isNull()) {
        indexed.setColorTable(palette);
        stored = indexed;
    }
    QImageWriter writer(device, "PNG");
    writer.setQuality(50); // a moderate deflate level: fast, and small still
    return writer.write(stored);
}

QByteArray chartSvg(const ChartRequest &request, int scale)
{
    const QSizeF size(ChartPixelSize);
    const ChartGeometry chart = chartGeometry(request.view, size);
    const double width = size.width();
    const double height = size.height() + LegendHeight;

    QString svg;
    svg.reserve(64 * 1024);
    svg += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    svg += QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" viewBox=\"0 0 %3 %4\">\n")
               .arg(number(width * scale), number(height * scale), number(width), number(height));
    svg += QStringLiteral("<defs><clipPath id=\"chart\"><rect width=\"%1\" height=\"%2\"/></clipPath></defs>\n")
               .arg(number(size.width()), number(size.height()));
    svg += QStringLiteral("<rect width=\"%1\" height=\"%2\" fill=\"%3\"/>\n")
               .arg(number(width), number(height), svgColor(SystemMenuText));
    svg += QStringLiteral("<g clip-path=\"url(#chart)\" stroke-width=\"1\" fill=\"none\">\n");

    QString grid;
    for (const double x : chart.gridLines)
        grid += QStringLiteral("M%1 0V%2").arg(number(x), number(size.height()));
    svg += QStringLiteral("<path d=\"%1\" stroke=\"%2\"/>\n").arg(grid, svgColor(GridColor));
    svg += QStringLiteral("<path d=\"M0 %1H%2\" stroke=\"%3\"/>\n")
               .arg(number(chart.zeroLine), number(size.width()), svgColor(ZeroLineColor));

    const auto bar = [&](const QRectF &rect, VbColor color) {
        svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\"/>\n")
                   .arg(number(rect.x()), number(rect.y()), number(rect.width()), number(rect.height()),
                        svgColor(color));
    };
    if (chart.queryDayBar)
        bar(*chart.queryDayBar, QueryDayColor);
    for (const QRectF &rect : chart.criticalDayBars)
        bar(rect, CriticalDayColor);

    for (std::size_t i = 0; i < chart.curves.size(); ++i) {
        if (chart.curves[i].isEmpty())
            continue;
        QString points;
        points.reserve(chart.curves[i].size() * 16);
        for (const QPointF &p : chart.curves[i]) {
            points += number(p.x());
            points += u',';
            points += number(p.y());
            points += u' ';
        }
        points.chop(1);
        svg += QStringLiteral("<polyline points=\"%1\" stroke=\"%2\" stroke-linejoin=\"round\" stroke-linecap=\"round\"/>\n")
                   .arg(points, svgColor(CurveColors[i]));
    }
    svg += QStringLiteral("</g>\n");

    // The span labels where the window shows them on the chart.
    const auto text = [&](double x, double y, VbColor color, const QString &caption) {
        svg += QStringLiteral("<text x=\"%1\" y=\"%2\" fill=\"%3\" font-family=\"%4\" font-size=\"12\">%5</text>\n")
                   .arg(number(x), number(y), svgColor(color), QString::fromUtf8(FontFamily), escaped(caption));
    };
    if (request.view.birthDate)
        text(8, 14, StartLabelColor, startLabelText(*request.view.birthDate, request.view.position));
    text(680, 18, SpanLabelColor, spanLabelText(request.view.span));

    // The legend: a swatch in each curve's colour and the curve's name.
    static const std::array<QString, 4> names{QStringLiteral("体力"), QStringLiteral("情绪"), QStringLiteral("智力"),
                                              QStringLiteral("综合")};
    const double legendTop = size.height() + 6;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const double left = 8 + 72 * double(i);
        svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"16\" height=\"12\" fill=\"%3\"/>\n")
                   .arg(number(left), number(legendTop), svgColor(CurveColors[i]));
        text(left + 22, legendTop + 11, LegendTextColor, names[i]);
    }
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

} // namespace quorvel::companion
