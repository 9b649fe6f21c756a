#include "companion/companion.h"

#include "chart/chart.h"
#include "chart/span.h"
#include "exports/chartexports.h"
#include "model/biorhythm.h"
#include "platform/dates/conversions.h"

#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include <cmath>
#include <cstdio>
#include <set>

namespace quorvel::companion {
namespace {

constexpr int StatusWriteFailed = 1;
constexpr int StatusInvalid = 2;

const char *const DateForms = "write a day from 0100-01-01 to 9999-12-31 as yyyy-mm-dd, yyyy/m/d, yyyy.m.d "
                              "or yyyy年m月d日, optionally followed by a time H:MM or H:MM:SS";

// Ends the command with one line on standard error and an exit status; run()
// catches it, the one place that reports.
struct Failure {
    int status;
    QString message;
};

[[noreturn]] void invalid(const QString &message) { throw Failure{StatusInvalid, message}; }

void writeStandard(FILE *stream, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
}

// The options of one command: --name value, --name=value, -o FILE.
class Options
{
public:
    Options(const QStringList &arguments, const QString &command, const std::set<QString> &known)
    {
        for (qsizetype i = 0; i < arguments.size(); ++i) {
            QString name = arguments[i];
            QString value;
            bool hasValue = false;
            if (name.startsWith(u"--") && name.contains(u'=')) {
                value = name.section(u'=', 1);
                name = name.section(u'=', 0, 0);
                hasValue = true;
            }
            if (name == u"--output")
                name = QStringLiteral("-o");
            if (!known.count(name))
                invalid(QStringLiteral("%1: unknown option \"%2\" (see quorvel-chart --help)").arg(command, name));
            if (!hasValue) {
                if (i + 1 >= arguments.size())
                    invalid(QStringLiteral("%1: %2 needs a value").arg(command, name));
                value = arguments[++i];
            }
            if (m_values.contains(name))
                invalid(QStringLiteral("%1: %2 is given twice").arg(command, name));
            m_values.insert(name, value);
        }
    }

    bool has(const QString &name) const { return m_values.contains(name); }
    QString value(const QString &name) const { return m_values.value(name); }

    QString required(const QString &name) const
    {
        if (!has(name))
            invalid(QStringLiteral("%1 is missing (see quorvel-chart --help)").arg(name));
        return value(name);
    }

    Date date(const QString &name) const
    {
        const QString text = required(name);
        const auto date = CDate(text);
        if (!date)
            invalid(QStringLiteral("%1: \"%2\" is not a date; %3").arg(name, text, QString::fromUtf8(DateForms)));
        return *date;
    }

    int number(const QString &name, int low, int high, int fallback) const
    {
        if (!has(name))
            return fallback;
        bool ok = false;
        const int value = this->value(name).trimmed().toInt(&ok);
        if (!ok || value < low || value > high)
            invalid(QStringLiteral("%1: \"%2\" is not a whole number from %3 to %4")
                        .arg(name, this->value(name))
                        .arg(low)
                        .arg(high));
        return value;
    }

private:
    QHash<QString, QString> m_values;
};

// The calendar day of a date: the commands over days ignore a time of day.
Date calendarDay(Date date) { return std::floor(date); }

// Where a command's output goes: a file written whole or not at all (a
// temporary file beside it, renamed over it on success), or standard output.
class Output
{
public:
    explicit Output(const QString &path) : m_path(path)
    {
        if (m_path.isEmpty())
            return;
        m_file.setFileName(m_path);
        if (!m_file.open(QIODevice::WriteOnly))
            fail(m_file.errorString());
    }

    QIODevice *device() { return &m_file; }

    void write(const char *data, std::size_t size)
    {
        if (m_path.isEmpty()) {
            if (std::fwrite(data, 1, size, stdout) != size)
                fail(QStringLiteral("the output was cut short"));
        } else if (m_file.write(data, qint64(size)) != qint64(size)) {
            fail(m_file.errorString());
        }
    }

    void finish()
    {
        if (m_path.isEmpty()) {
            if (std::fflush(stdout) != 0 || std::ferror(stdout))
                fail(QStringLiteral("the output was cut short"));
        } else if (!m_file.commit()) {
            fail(m_file.errorString());
        }
    }

    [[noreturn]] void fail(const QString &reason)
    {
        if (m_path.isEmpty())
            throw Failure{StatusWriteFailed, QStringLiteral("cannot write to standard output: %1").arg(reason)};
        m_file.cancelWriting();
        throw Failure{StatusWriteFailed, QStringLiteral("cannot write %1: %2").arg(m_path, reason)};
    }

private:
    QString m_path;
    QSaveFile m_file;
};

void checkRange(Date from, Date to)
{
    if (to < from)
        invalid(QStringLiteral("--to: %1 lies before --from %2")
                    .arg(Format(to, u"yyyy-mm-dd"), Format(from, u"yyyy-mm-dd")));
}

// The date a sheet or calendar says it was made: --made, or today.
Date madeDate(const Options &options)
{
    return calendarDay(options.has(QStringLiteral("--made")) ? options.date(QStringLiteral("--made")) : Now());
}

int chartCommand(const QStringList &arguments)
{
    const Options options(arguments, QStringLiteral("chart"),
                          {"--birth", "--query", "--span", "--scale", "--made", "-o"});
    ChartRequest request;
    request.birthText = options.required(QStringLiteral("--birth"));
    const Date birth = options.date(QStringLiteral("--birth"));
    request.queryText = options.required(QStringLiteral("--query"));
    Date query = options.date(QStringLiteral("--query"));
    request.span = options.number(QStringLiteral("--span"), MinSpan, MaxSpan, MinSpan);
    const int scale = options.number(QStringLiteral("--scale"), 1, 2, 1);
    const Date made = madeDate(options);
    const QString path = options.required(QStringLiteral("-o"));
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != u"png" && suffix != u"svg" && suffix != u"pdf")
        invalid(QStringLiteral("-o: \"%1\" must end in .png, .svg or .pdf").arg(path));

    // As the query command does: a date after the present moment becomes
    // today, written out as the window writes it into the box.
    const Date now = Now();
    if (query > now) {
        request.queryText = Format(now, u"YYYY-MM-DD");
        query = CDate(request.queryText).value_or(calendarDay(now));
    }

    if (const auto position = centredSpanPosition(query, birth, request.span)) {
        request.position = *position;
    } else {
        // The window shows the empty frame at the start of life here.
        std::fprintf(stderr, "quorvel-chart: a span of %d days centred on %s would begin before the birth date; "
                             "only the frame is drawn\n",
                     request.span, qPrintable(Format(query, u"yyyy-mm-dd")));
        request.position = 0;
        request.birthText.clear();
        request.queryText.clear();
    }

    DrawingSurface surface(ChartPixelSize);
    SharedValues shared{query, birth, ProgramCriticalLevel};
    drawChart(surface, shared, request);
    const DrawnChart chart{surface, shared.ChartBirthDate, shared.ChartQueryDate, request.position, request.span,
                           ProgramCriticalLevel};

    Output output(path);
    if (suffix == u"png") {
        if (!writePng(chartImage(surface, scale), output.device()))
            output.fail(QStringLiteral("the PNG could not be written"));
    } else if (suffix == u"svg") {
        const QByteArray svg = chartSvg(chart, scale);
        output.write(svg.constData(), std::size_t(svg.size()));
    } else if (!writeChartPdf(output.device(), chart, made)) {
        output.fail(QStringLiteral("the PDF could not be written"));
    }
    output.finish();
    return 0;
}

int calendarCommand(const QStringList &arguments)
{
    const Options options(arguments, QStringLiteral("calendar"), {"--birth", "--from", "--to", "--made", "-o"});
    const Date birth = calendarDay(options.date(QStringLiteral("--birth")));
    const Date from = calendarDay(options.date(QStringLiteral("--from")));
    const Date to = calendarDay(options.date(QStringLiteral("--to")));
    checkRange(from, to);
    const QByteArray calendar = criticalDaysCalendar(birth, from - birth, to - birth, ProgramCriticalLevel, madeDate(options));
    Output output(options.value(QStringLiteral("-o")));
    output.write(calendar.constData(), std::size_t(calendar.size()));
    output.finish();
    return 0;
}

int tableCommand(const QStringList &arguments)
{
    const Options options(arguments, QStringLiteral("table"), {"--birth", "--from", "--to", "-o"});
    const Date birth = calendarDay(options.date(QStringLiteral("--birth")));
    const Date from = calendarDay(options.date(QStringLiteral("--from")));
    const Date to = calendarDay(options.date(QStringLiteral("--to")));
    checkRange(from, to);

    Output output(options.value(QStringLiteral("-o")));
    std::string buffer;
    constexpr std::size_t Chunk = 256 * 1024;
    buffer.reserve(Chunk + 1024);
    appendTableHeader(buffer);
    for (Date date = from; date <= to; date += 1.0) {
        appendTableRow(buffer, dayValues(birth, date));
        if (buffer.size() >= Chunk) {
            output.write(buffer.data(), buffer.size());
            buffer.clear();
        }
    }
    output.write(buffer.data(), buffer.size());
    output.finish();
    return 0;
}

int criticalCommand(const QStringList &arguments)
{
    const Options options(arguments, QStringLiteral("critical"), {"--birth", "--from", "--to"});
    const Date birth = calendarDay(options.date(QStringLiteral("--birth")));
    const Date from = calendarDay(options.date(QStringLiteral("--from")));
    const Date to = calendarDay(options.date(QStringLiteral("--to")));
    checkRange(from, to);

    Output output{QString()};
    for (const Date day : criticalDays(birth, from, to)) {
        const QByteArray line = Format(day, u"yyyy-mm-dd").toLatin1() + '\n';
        output.write(line.constData(), std::size_t(line.size()));
    }
    output.finish();
    return 0;
}

QString percent(double value) { return CStr(CInt(value).value_or(0)) + u'%'; }

int compareCommand(const QStringList &arguments)
{
    const Options options(arguments, QStringLiteral("compare"), {"--birth", "--other", "--on"});
    const Date birth = calendarDay(options.date(QStringLiteral("--birth")));
    const Date other = calendarDay(options.date(QStringLiteral("--other")));
    const bool on = options.has(QStringLiteral("--on"));
    const Date day = on ? calendarDay(options.date(QStringLiteral("--on"))) : 0.0;

    const PhaseAgreement agreement = phaseAgreement(static_cast<long long>(other - birth));
    const DayValues first = dayValues(birth, day);
    const DayValues second = dayValues(other, day);

    QString text;
    for (std::size_t i = 0; i < agreement.cycles.size(); ++i) {
        text += QString::fromUtf16(Curves[i].name) + u'\t' + percent(agreement.cycles[i]);
        if (on)
            text += u'\t' + CStr(readoutNumber(first.cycles[i])) + u'\t' + CStr(readoutNumber(second.cycles[i]));
        text += u'\n';
    }
    if (on)
        text += QString::fromUtf16(Curves[3].name) + QStringLiteral("\t-\t") + CStr(readoutComposite(first.composite)) + u'\t'
                + CStr(readoutComposite(second.composite)) + u'\n';
    text += QStringLiteral("平均\t") + percent(agreement.mean) + u'\n';

    Output output{QString()};
    const QByteArray bytes = text.toUtf8();
    output.write(bytes.constData(), std::size_t(bytes.size()));
    output.finish();
    return 0;
}

} // namespace

QString usageText()
{
    return QStringLiteral(R"(Usage: quorvel-chart COMMAND OPTIONS

Commands:
  chart --birth B --query Q [--span S] [--scale 1|2] [--made D] -o FILE.png|FILE.svg|FILE.pdf
      The chart the analysis window draws after a query for these dates: the
      span of S days (40 to 365, default 40) centred on the query date, a
      query date after the present moment taken as today. When such a span
      would begin on or before the birth date, only the empty frame is drawn
      (as in the window) and a note goes to standard error. Scale 1 gives the
      window's own 767 x 449 picture; scale 2 draws it at 1534 x 898, and an
      SVG at twice the size. The SVG has the legend and the span labels too.
      A PDF is the chart sheet: one A4 page with the dates, the chart and its
      legend, the query day's values, the span's critical days and the date
      it was made (today, or D).

  table --birth B --from D1 --to D2 [-o FILE.csv]
      One CSV row (RFC 4180, UTF-8, CRLF line ends, header row) per day from
      D1 to D2, both included; standard output without -o. Columns:
        date            yyyy-mm-dd
        day             day of life: days since the birth date
        physical, emotional, intellectual, composite
                        the numbers the pointer readout shows for the day:
                        cycle value x 100 and the Composite, rounded down
        physical_value, emotional_value, intellectual_value
                        the cycle values (-1 to 1) at full precision (the
                        shortest text that reads back as the same number)
        composite_value the Composite (0 to 100) at full precision
        critical        1 on a critical day, else 0
      The values of a day are those at its day of life, which the chart's
      curves show in the middle of the day's column. Days before the birth
      date are listed with a negative day of life and the values the same
      formulas give there (the cycles run backwards from birth).

  critical --birth B --from D1 --to D2
      The critical days from D1 to D2, both included, one yyyy-mm-dd a line:
      the days on which all three cycles lie within 0.2 of zero, as the chart
      marks them. Days before the birth date follow the same rule.

  calendar --birth B --from D1 --to D2 [--made D] [-o FILE.ics]
      The critical days from D1 to D2, both included, as an iCalendar file
      that calendar programs import: one all-day event "生物节律临界日" a day,
      with the three cycle values of that day; standard output without -o.
      Its time stamps are the date it was made (today, or D).

  compare --birth B --other B2 [--on D]
      For each cycle (体力, 情绪, 智力) how far the two people run in phase, as
      a whole percentage: 100 x (1 + cos(2 pi d / period)) / 2, d being the
      days between the two birth dates (100 together, 0 opposite), rounded to
      the nearest whole number, halves to even; then 平均, the mean of the
      three unrounded values, rounded the same way. With --on D each cycle
      line also gives both people's numbers on day D (first B, then B2) as
      the table shows them, and a line 综合 gives their Composite numbers.
      Fields are separated by tabs.

Dates: any form the analysis window's date boxes accept: yyyy-mm-dd,
yyyy/m/d, yyyy.m.d or yyyy年m月d日, from 0100-01-01 to 9999-12-31, optionally
with a time H:MM or H:MM:SS. The chart counts with the time of day as the
window does; table, critical and compare count whole calendar days.
Options take their value as the next argument or after '=' (--birth=B);
--output is the same as -o. A file is written whole or not at all.

Exit status: 0 done, 1 an output could not be written, 2 invalid arguments.
)");
}

int run(const QStringList &arguments)
{
    if (arguments.contains(u"--help") || arguments.contains(u"-h")) {
        writeStandard(stdout, usageText().toUtf8());
        return 0;
    }
    try {
        if (arguments.isEmpty())
            invalid(QStringLiteral("no command given; the commands are chart, table, critical, calendar and compare "
                                   "(see quorvel-chart --help)"));
        const QString command = arguments.first();
        const QStringList rest = arguments.mid(1);
        if (command == u"chart")
            return chartCommand(rest);
        if (command == u"table")
            return tableCommand(rest);
        if (command == u"critical")
            return criticalCommand(rest);
        if (command == u"compare")
            return compareCommand(rest);
        if (command == u"calendar")
            return calendarCommand(rest);
        invalid(QStringLiteral("unknown command \"%1\"; the commands are chart, table, critical, calendar and compare "
                               "(see quorvel-chart --help)")
                    .arg(command));
    } catch (const Failure &failure) {
        writeStandard(stderr, (QStringLiteral("quorvel-chart: ") + failure.message + u'\n').toUtf8());
        return failure.status;
    }
    return StatusInvalid;
}

} // namespace quorvel::companion
