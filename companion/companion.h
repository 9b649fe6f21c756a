// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dates/datetime.h"

#include <QByteArray>
#include <QList>

#include <string>

// quorvel-chart, the program's companion on the command line: the chart of
// two dates as a PNG, SVG or PDF file, a table of the values of every day in
// a range, the critical days in a range (as lines or as a calendar) and how
// far two people's cycles run in phase. It reads dates with the window's own
// date reader, draws with the window's own chart code and writes the
// window's own files, so that its files show what the window shows. Links
// the model, platform, chart and exports layers and nothing of the windows.

namespace quorvel::companion {

// The table as CSV (RFC 4180: comma separated, CRLF line ends), UTF-8. A
// row is one day of life: the values its chart column shows, taken at the
// day offset itself (the middle of the column). Both dates are calendar days
// (whole day counts).
void appendTableHeader(std::string &out);
void appendTableRow(std::string &out, Date birthDay, Date date);

// The whole program: the arguments after the program's name, as the system
// passed them, and the moment it takes as now (the date of a sheet or a
// calendar made, and the today a query in the future becomes); returns the
// exit status (0 done, 1 an output could not be written, 2 invalid
// arguments).
int run(const QList<QByteArray> &arguments, Date now);

} // namespace quorvel::companion
