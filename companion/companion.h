#pragma once

#include "chart/vectorchart.h"
#include "platform/dates/datetime.h"

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QString>
#include <QStringList>

#include <array>
#include <string>
#include <vector>

// quorvel-chart, the program's companion on the command line: the chart of
// two dates as a PNG or SVG file, a table of the values of every day in a
// range, the critical days in a range and how far two people's cycles run in
// phase. It reads dates with the window's own date reader and draws with the
// window's own chart code, so that its files show what the window shows.
// Links the model, platform and chart layers and nothing of the windows.

namespace quorvel::companion {

// The program's critical-day threshold, as the window uses it.
inline constexpr float CriticalLevel = 0.2f;

// One day of life: the values its chart column shows, taken at the day
// offset itself (the middle of the column).
struct DayValues {
    Date date = 0.0;        // the calendar day, a whole day count
    long long day = 0;      // days since the birth date, negative before it
    std::array<double, 3> cycles{}; // Physical, Emotional, Intellectual, -1..1
    double composite = 0.0; // 0..100
    bool critical = false;
};

// Both dates are calendar days (whole day counts).
DayValues dayValues(Date birthDay, Date date);

// The whole number the readout shows for a cycle value and for a Composite.
long long readoutNumber(double cycleValue);
long long readoutComposite(double composite);

// The table as CSV (RFC 4180: comma separated, CRLF line ends), UTF-8.
void appendTableHeader(std::string &out);
void appendTableRow(std::string &out, const DayValues &row);

// The calendar days from `from` to `to`, both included, that are critical.
std::vector<Date> criticalDays(Date birthDay, Date from, Date to);

// How far two people's cycles run in phase, 0 (opposite) to 100 (together),
// for birth dates `days` days apart: 100 * (1 + cos(2 * CyclePi * days /
// period)) / 2, unrounded; mean is the mean of the three.
struct PhaseAgreement {
    std::array<double, 3> cycles{};
    double mean = 0.0;
};
PhaseAgreement phaseAgreement(long long days);

// What the chart command draws: the texts as the window's boxes would hold
// them (empty when only the frame is drawn) and the same chart as a view.
struct ChartRequest {
    QString birthText;
    QString queryText;
    ChartView view;
};

// Scale 1: the window's own pixel drawing. Scale 2: the same chart drawn as
// vectors at twice the size.
QImage chartImage(const ChartRequest &request, int scale);

// Writes a PNG that reads back pixel for pixel as the image. A chart has few
// colours: it is stored with a palette, which encodes several times faster.
bool writePng(const QImage &image, QIODevice *device);

// The chart as SVG, with the legend below it and the span labels on it.
QByteArray chartSvg(const ChartRequest &request, int scale);

// The whole program: arguments without the program name; returns the exit
// status (0 done, 1 an output could not be written, 2 invalid arguments).
int run(const QStringList &arguments);

QString usageText();

} // namespace quorvel::companion
