// SPDX-License-Identifier: GPL-3.0-or-later
#include "companion/commandline.h"
#include "companion/companion.h"

#include "chart/query.h"
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

Outcome chartCommand(const QStringList &arguments, Date now)
{
    CommandLine line(QStringLiteral("chart"),
                     {dateOption(QStringLiteral("birth"), QStringLiteral("出生日期")), personOption(QStringLiteral("birth")),
                      dateOption(QStringLiteral("query"), QStringLiteral("查询日期")),
                      dateOption(QStringLiteral("with"), QStringLiteral("对比的第二个人的出生日期：用点线画在同一张图上")),
                      personOption(QStringLiteral("with")),
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
        return line.showHelp();
    ChartControls request;
    request.birthText = line.text(QStringLiteral("birth"));
    const Date birth = line.date(QStringLiteral("birth"));
    request.queryText = line.text(QStringLiteral("query"));
    line.date(QStringLiteral("query"));
    if (line.has(QStringLiteral("with"))) {
        request.comparison = Comparison{line.personName(QStringLiteral("birth")), line.personName(QStringLiteral("with")),
                                        line.date(QStringLiteral("with"))};
    }
    request.span = line.number(QStringLiteral("span"), MinSpan, MaxSpan, MinSpan);
    const int scale = line.number(QStringLiteral("scale"), 1, 2, 1);
    const Date made = madeDate(line, now);
    const QString path = line.has(QStringLiteral("o")) ? line.output() : line.text(QStringLiteral("o"));
    const std::optional<ChartFormat> format = fileFormat(line, path);
    if (const auto problem = line.problem())
        return *problem;

    // As the window's query command plans it, for a window whose birth box
    // holds the birth date.
    const QueryPlan plan = planQuery(request.queryText, request.birthText, birth, request.span, MaxPosition, now);
    if (plan.todayText)
        request.queryText = *plan.todayText;
    request.position = plan.position.value_or(0);

    DrawingSurface surface(ChartPixelSize);
    SharedValues shared{plan.query, birth, ProgramCriticalLevel};
    // As the window redraws it: Cls, DrawBackground, DrawPicBack; where the
    // query draws nothing, the window shows the empty frame.
    surface.Cls();
    DrawnChart chart = DrawBackground(surface, request);
    if (plan.position)
        chart = DrawPicBack(surface, request, shared);
    // With the frame alone, the sheet still tells the dates asked for, in
    // both forms where typed as lunar dates (a query after today is today's
    // Gregorian date).
    chart.birthDate = birth;
    chart.queryDate = plan.query;
    chart.birthTypedLunar = isLunarDate(request.birthText);
    chart.queryTypedLunar = isLunarDate(request.queryText);

    // Made whole in memory first: a file that cannot take it then fails in
    // one place, and no encoder is left half-way through a failed write.
    const QByteArray bytes = chartFile(*format, surface, chart, scale, made);
    if (bytes.isEmpty())
        return {StatusWriteFailed, QStringLiteral("无法生成图表文件“%1”").arg(path)};
    const Outcome written = writeText(path, bytes);
    if (written.status != StatusDone || plan.position)
        return written;
    return {StatusDone, refusalText(plan, request.span) + QStringLiteral("只画出了图框。")};
}

} // namespace quorvel::companion
