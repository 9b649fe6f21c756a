// SPDX-License-Identifier: GPL-3.0-or-later
#include "companion/commandline.h"
#include "companion/companion.h"

#include "chart/chart.h"
#include "exports/chartexports.h"
#include "platform/dates/conversions.h"

#include <QIODevice>

#include <cmath>
#include <cstdio>

namespace quorvel::companion {
namespace {

// The calendar day of a date: the commands over days ignore a time of day.
Date calendarDay(Date date) { return std::floor(date); }

// The first day, the last and the birth date of a command over days, which
// ignore a time of day.
struct Days {
    Date birth;
    Date from;
    Date to;

    // The critical days from `from` to `to`, as day offsets.
    std::vector<int> critical() const
    {
        return criticalDaysBetween(int(from - birth), int(to - birth), ProgramCriticalLevel);
    }
};

Days readDays(CommandLine &line)
{
    const Days days{calendarDay(line.date(QStringLiteral("birth"))), calendarDay(line.date(QStringLiteral("from"))),
                    calendarDay(line.date(QStringLiteral("to")))};
    if (days.to < days.from)
        line.fail(QStringLiteral("--to：%1 在 --from %2 之前")
                      .arg(Format(days.to, u"yyyy-mm-dd"), Format(days.from, u"yyyy-mm-dd")));
    return days;
}

QList<QCommandLineOption> dayOptions()
{
    return {dateOption(QStringLiteral("birth"), QStringLiteral("出生日期")), personOption(QStringLiteral("birth")),
            dateOption(QStringLiteral("from"), QStringLiteral("第一天")),
            dateOption(QStringLiteral("to"), QStringLiteral("最后一天（含这一天）"))};
}

Outcome programOptions(const QStringList &arguments)
{
    CommandLine line(QString(), {QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                                                    QStringLiteral("显示版本后退出"))},
                     arguments);
    if (const auto problem = line.problem())
        return *problem;
    if (line.helpAsked())
        return line.showHelp();
    if (line.has(QStringLiteral("version")))
        return writeText(QStringLiteral("-"), "quorvel-chart " QUORVEL_VERSION "\n");
    return {StatusInvalid, QStringLiteral("没有给出命令（见 quorvel-chart --help）")};
}

struct Command {
    const char16_t *name;
    Outcome (*run)(const QStringList &arguments, Date now);
};

constexpr Command Commands[] = {
    {u"chart", chartCommand},       {u"table", tableCommand},     {u"critical", criticalCommand},
    {u"calendar", calendarCommand}, {u"compare", compareCommand},
};

Outcome runCommand(const QStringList &arguments, Date now)
{
    const QString commands = QStringLiteral("命令有 chart、table、critical、calendar 和 compare（见 quorvel-chart --help）");
    if (arguments.isEmpty())
        return {StatusInvalid, QStringLiteral("没有给出命令；") + commands};
    if (arguments.constFirst().startsWith(u'-'))
        return programOptions(arguments);
    for (const Command &command : Commands) {
        if (arguments.constFirst() == QStringView(command.name))
            return command.run(arguments.mid(1), now);
    }
    return {StatusInvalid, QStringLiteral("未知命令“%1”；").arg(arguments.constFirst()) + commands};
}

} // namespace

Date madeDate(CommandLine &line, Date now)
{
    return calendarDay(line.has(QStringLiteral("made")) ? line.date(QStringLiteral("made")) : now);
}

Outcome tableCommand(const QStringList &arguments, Date)
{
    CommandLine line(QStringLiteral("table"),
                     dayOptions() << outputOption(QStringLiteral("写入的 CSV 文件；- 为标准输出（默认）")),
                     arguments);
    if (line.helpAsked() && !line.problem())
        return line.showHelp();
    const Days days = readDays(line);
    const QString path = line.output();
    if (const auto problem = line.problem())
        return *problem;

    return writeTo(path, [&](QIODevice &device) {
        std::string buffer;
        constexpr std::size_t Chunk = 256 * 1024;
        buffer.reserve(Chunk + 1024);
        appendTableHeader(buffer);
        for (Date date = days.from; date <= days.to; date += 1.0) {
            appendTableRow(buffer, days.birth, date);
            if (buffer.size() >= Chunk) {
                if (device.write(buffer.data(), qint64(buffer.size())) < 0)
                    return; // the rest could not be written either
                buffer.clear();
            }
        }
        device.write(buffer.data(), qint64(buffer.size()));
    });
}

Outcome criticalCommand(const QStringList &arguments, Date)
{
    CommandLine line(QStringLiteral("critical"), dayOptions(), arguments);
    if (line.helpAsked() && !line.problem())
        return line.showHelp();
    const Days days = readDays(line);
    if (const auto problem = line.problem())
        return *problem;

    QByteArray lines;
    for (const int day : days.critical())
        lines += dateText(days.birth + day).toLatin1() + '\n';
    return writeText(QStringLiteral("-"), lines);
}

Outcome calendarCommand(const QStringList &arguments, Date now)
{
    CommandLine line(QStringLiteral("calendar"),
                     dayOptions() << dateOption(QStringLiteral("made"), QStringLiteral("时间戳的日期，默认今天"))
                                  << outputOption(QStringLiteral("写入的 iCalendar 文件；- 为标准输出（默认）")),
                     arguments);
    if (line.helpAsked() && !line.problem())
        return line.showHelp();
    const Days days = readDays(line);
    const Date made = madeDate(line, now);
    const QString path = line.output();
    if (const auto problem = line.problem())
        return *problem;
    const std::vector<int> critical = days.critical();
    const Outcome written = writeText(path, criticalDaysCalendar(days.birth, critical, made));
    if (written.status != StatusDone || !critical.empty())
        return written;
    return {StatusDone, QStringLiteral("从 %1 到 %2 没有临界日，写出的日历是空的")
                            .arg(Format(days.from, u"yyyy-mm-dd"), Format(days.to, u"yyyy-mm-dd"))};
}

Outcome compareCommand(const QStringList &arguments, Date)
{
    CommandLine line(QStringLiteral("compare"),
                     {dateOption(QStringLiteral("birth"), QStringLiteral("第一个人的出生日期")),
                      personOption(QStringLiteral("birth")),
                      dateOption(QStringLiteral("other"), QStringLiteral("第二个人的出生日期")),
                      personOption(QStringLiteral("other")),
                      dateOption(QStringLiteral("on"), QStringLiteral("也给出两人在这一天的数"))},
                     arguments);
    if (line.helpAsked() && !line.problem())
        return line.showHelp();
    const Date birth = calendarDay(line.date(QStringLiteral("birth")));
    const Date other = calendarDay(line.date(QStringLiteral("other")));
    const bool on = line.has(QStringLiteral("on"));
    const Date day = on ? calendarDay(line.date(QStringLiteral("on"))) : 0.0;
    if (const auto problem = line.problem())
        return *problem;

    const PhaseAgreement agreement = synchronyOf(birth, other);
    QString text;
    const std::array<long long, 4> firstNumbers = readoutNumbers(AllCycleValues(day - birth));
    const std::array<long long, 4> secondNumbers = readoutNumbers(AllCycleValues(day - other));
    for (std::size_t i = 0; i < agreement.cycles.size(); ++i) {
        text += QString::fromUtf16(Curves[i].name) + u'\t' + percentText(agreement.cycles[i]);
        if (on)
            text += u'\t' + CStr(firstNumbers[i]) + u'\t' + CStr(secondNumbers[i]);
        text += u'\n';
    }
    if (on)
        text += QString::fromUtf16(Curves[3].name) + QStringLiteral("\t-\t") + CStr(firstNumbers[3]) + u'\t'
                + CStr(secondNumbers[3]) + u'\n';
    text += QStringLiteral("平均\t") + percentText(agreement.mean) + u'\n';
    return writeText(QStringLiteral("-"), text.toUtf8());
}

int run(const QList<QByteArray> &arguments, Date now)
{
    QStringList texts;
    for (const QByteArray &argument : arguments)
        texts << argumentText(argument);
    const Outcome outcome = runCommand(texts, now);
    if (!outcome.message.isEmpty()) {
        const QByteArray line = argumentBytes(QString(QStringLiteral("quorvel-chart：") + outcome.message + u'\n'));
        std::fwrite(line.constData(), 1, std::size_t(line.size()), stderr);
    }
    return outcome.status;
}

} // namespace quorvel::companion
