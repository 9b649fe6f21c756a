// SPDX-License-Identifier: GPL-3.0-or-later
#include "exports/chartexports.h"

// The critical days as an iCalendar file (RFC 5545): UTF-8, CRLF line ends,
// content lines folded at 75 octets, text values escaped.

namespace quorvel {
namespace {

constexpr qsizetype FoldAt = 75;

// yyyymmdd, the form of a DATE value.
QString compactDate(Date date) { return Format(date, u"yyyy-mm-dd").remove(u'-'); }

// TEXT values escape the backslash, the semicolon, the comma and the line
// break.
QString escaped(QString text)
{
    text.replace(u'\\', QStringLiteral("\\\\"));
    text.replace(u';', QStringLiteral("\\;"));
    text.replace(u',', QStringLiteral("\\,"));
    text.replace(u'\n', QStringLiteral("\\n"));
    return text;
}

// One content line, folded: a line longer than 75 octets goes on after a
// line break and a blank, never inside a character's UTF-8 bytes.
void appendLine(QByteArray &out, const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    qsizetype start = 0;
    qsizetype room = FoldAt;
    while (bytes.size() - start > room) {
        qsizetype end = start + room;
        // Back to the first byte of a character (continuation bytes are 10xxxxxx).
        while ((uchar(bytes[end]) & 0xC0) == 0x80)
            --end;
        out += bytes.mid(start, end - start);
        out += "\r\n ";
        start = end;
        room = FoldAt - 1; // the blank counts
    }
    out += bytes.mid(start);
    out += "\r\n";
}

} // namespace

QByteArray criticalDaysCalendar(Date birthDate, const std::vector<int> &criticalDays, Date made)
{
    QByteArray out;
    appendLine(out, QStringLiteral("BEGIN:VCALENDAR"));
    appendLine(out, QStringLiteral("VERSION:2.0"));
    appendLine(out, QStringLiteral("PRODID:-//Quorvel//Quorvel//ZH"));
    appendLine(out, QStringLiteral("CALSCALE:GREGORIAN"));
    const QString stamp = compactDate(made) + QStringLiteral("T000000Z");
    const QString birth = compactDate(birthDate);
    for (const int offset : criticalDays) {
        const auto day = CDate(dayDate(birthDate, offset));
        if (!day)
            continue;
        const std::array<long long, 4> values = readoutNumbers(AllCycleValues(offset));
        appendLine(out, QStringLiteral("BEGIN:VEVENT"));
        appendLine(out, QStringLiteral("UID:%1-%2-critical@quorvel.org").arg(birth, compactDate(*day)));
        appendLine(out, QStringLiteral("DTSTAMP:") + stamp);
        appendLine(out, QStringLiteral("DTSTART;VALUE=DATE:") + compactDate(*day));
        // A day long, rather than up to the next day: 9999-12-31 has none.
        appendLine(out, QStringLiteral("DURATION:P1D"));
        appendLine(out, QStringLiteral("SUMMARY:") + escaped(QStringLiteral("生物节律") + CriticalDayWord));
        appendLine(out, QStringLiteral("DESCRIPTION:")
                            + escaped(QStringList{valueCaption(0, values[0]), valueCaption(1, values[1]),
                                                  valueCaption(2, values[2])}
                                          .join(QStringLiteral("，"))));
        appendLine(out, QStringLiteral("TRANSP:TRANSPARENT"));
        appendLine(out, QStringLiteral("END:VEVENT"));
    }
    appendLine(out, QStringLiteral("END:VCALENDAR"));
    return out;
}

} // namespace quorvel
