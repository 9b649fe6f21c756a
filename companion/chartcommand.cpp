// SPDX-License-Identifier: GPL-3.0-or-later
#include "companion/commandline.h"
#include "companion/companion.h"

#include "exports/chartexports.h"

#include <QFileInfo>

namespace quorvel::companion {
namespace {

// The file's format: --format, else the file name's suffix. A file whose
// name ends in one of the three takes no other.
std::optional<ChartFormat> fileFormat(CommandLine &line, const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (line.has(QStringLiteral("format"))) {
        const QString name = line.text(QStringLiteral("format"));
        const auto format = chartFormat(name);
        if (!format) {
            line.fail(QStringLiteral("--format：“%1”不是 png、svg 或 pdf").arg(name));
            return std::nullopt;
        }
        const auto named = path == u"-" ? std::nullopt : chartFormat(suffix);
        if (named && named != format) {
            line.fail(QStringLiteral("--format %1 与 -o “%2”不符：这个文件名以 .%3 结尾；去掉 --format，或者让文件名以 .%4 结尾")
                          .arg(name, path, suffix, name.toLower()));
            return std::nullopt;
        }
        return format;
    }
    if (path == u"-") {
        line.fail(QStringLiteral("-o -：写到标准输出时要用 --format png、svg 或 pdf 给出格式"));
        return std::nullopt;
    }
    if (const auto format = chartFormat(suffix))
        return format;
    line.fail(QStringLiteral("-o：“%1”要以 .png、.svg 或 .pdf 结尾，或者用 --format png、svg 或 pdf 给出格式")
                  .arg(path));
    return std::nullopt;
}

} // namespace

std::optional<DrawnChart> drawChart(DrawingSurface &surface, SharedValues &shared, const ChartControls &controls)
{
    surface.Cls();
    DrawBackground(surface, controls);
    return DrawPicBack(surface, controls, shared);
}

Outcome chartCommand(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("chart"),
                     {dateOption(QStringLiteral("birth"), QStringLiteral("出生日期")),
                      dateOption(QStringLiteral("query"), QStringLiteral("查询日期")),
                      QCommandLineOption(QStringLiteral("span"),
                                         QStringLiteral("范围的天数，%1 到 %2，默认 %1").arg(MinSpan).arg(MaxSpan),
                                         QStringLiteral("天数")),
                      QCommandLineOption(QStringLiteral("scale"), QStringLiteral("1 或 2，默认 1"),
                                         QStringLiteral("比例")),
                      dateOption(QStringLiteral("made"), QStringLiteral("PDF 上的制作日期，默认今天")),
                      QCommandLineOption(QStringLiteral("format"),
                                         QStringLiteral("png、svg 或 pdf；写到标准输出时必须给出，有文件名时要与扩展名一致"),
                                         QStringLiteral("格式")),
                      outputOption(QStringLiteral("写入的文件；- 为标准输出"))},
                     arguments);
    if (line.helpAsked() && !line.problem())
        return showHelp(line, QStringLiteral("chart"));
    ChartControls request;
    request.birthText = line.text(QStringLiteral("birth"));
    const Date birth = line.date(QStringLiteral("birth"));
    request.queryText = line.text(QStringLiteral("query"));
    Date query = line.date(QStringLiteral("query"));
    request.span = line.number(QStringLiteral("span"), MinSpan, MaxSpan, MinSpan);
    const int scale = line.number(QStringLiteral("scale"), 1, 2, 1);
    const Date made = madeDate(line);
    const QString path = line.has(QStringLiteral("o")) ? line.output() : line.text(QStringLiteral("o"));
    const std::optional<ChartFormat> format = fileFormat(line, path);
    if (const auto problem = line.problem())
        return *problem;

    // As the query command does.
    const Date now = systemNow();
    if (const auto today = futureQueryAsToday(query, now)) {
        request.queryText = *today;
        query = CDate(*today).value_or(calendarDay(now));
    }
    // Told in both forms when typed as lunar dates (a query after today is
    // today's Gregorian date).
    const bool birthLunar = isLunarDate(request.birthText);
    const bool queryLunar = isLunarDate(request.queryText);
    Outcome outcome;
    if (const auto position = centredSpanPosition(query, birth, request.span)) {
        request.position = *position;
    } else {
        // The window shows the empty frame at the start of life here.
        outcome.message = QStringLiteral("以 %1 为中心的 %2 天的范围会从出生日期之前开始，只画出了图框")
                              .arg(withLunarDate(Format(query, u"yyyy-mm-dd"), query, queryLunar))
                              .arg(request.span);
        request.birthText.clear();
        request.queryText.clear();
    }

    DrawingSurface surface(ChartPixelSize);
    SharedValues shared{query, birth, ProgramCriticalLevel};
    // With the frame alone, the sheet still tells the dates asked for, and
    // that there is no chart.
    const std::optional<DrawnChart> drawn = drawChart(surface, shared, request);
    DrawnChart chart = drawn ? *drawn : frameOnlyChart(birth, query, request.span);
    chart.birthTypedLunar = birthLunar;
    chart.queryTypedLunar = queryLunar;

    // Made whole in memory first: a file that cannot take it then fails in
    // one place, and no encoder is left half-way through a failed write.
    const QByteArray bytes = chartFile(*format, surface, chart, scale, made);
    if (bytes.isEmpty())
        return {StatusWriteFailed, QStringLiteral("无法生成图表文件“%1”").arg(path)};
    const Outcome written = writeText(path, bytes);
    return written.status == StatusDone ? outcome : written;
}

} // namespace quorvel::companion
