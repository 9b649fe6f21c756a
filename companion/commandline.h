// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dates/datetime.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QIODevice;

// The parts of quorvel-chart behind run(): one command's options read by
// Qt's parser, where a command's output goes, the commands and their help.

namespace quorvel::companion {

inline constexpr int StatusDone = 0;
inline constexpr int StatusWriteFailed = 1;
inline constexpr int StatusInvalid = 2;

// How a command ended: its exit status and the one line it leaves on
// standard error (a note when it succeeded, else what went wrong). run()
// alone writes it.
struct Outcome {
    int status = StatusDone;
    QString message;
};

// The system passes arguments as bytes, mostly UTF-8. A byte that is not
// part of valid UTF-8 becomes the lone surrogate U+DC00 + byte (as Python's
// "surrogateescape" does), so that a file name reaches the system again
// byte for byte, and a message shows it as it was typed.
QString argumentText(QByteArrayView bytes);
QByteArray argumentBytes(QStringView text);

// How to write a day: the forms the window's date boxes accept, Gregorian
// and lunar, and the time of day after them; a clause each, joined by
// `joint` (one line for a message, a line each in the help).
QString dateForms(const QString &joint = QStringLiteral("；"));

// One command's options as Qt's parser reads them, with -h/--help for every
// command. The command name is empty for the program's own options. Reading
// the options keeps the first thing wrong with them, which problem() gives
// back; a value that cannot be read reads as a placeholder meanwhile.
class CommandLine
{
public:
    CommandLine(const QString &command, const QList<QCommandLineOption> &options, const QStringList &arguments);

    bool helpAsked() const { return m_parser.isSet(QStringLiteral("help")); }
    // The command's help (the program's when the command is empty) on
    // standard output: its usage, what it does, and its options as the
    // parser lists them.
    Outcome showHelp();

    bool has(const QString &name) const { return m_parser.isSet(name) || m_personDates.contains(name); }
    QString text(const QString &name);
    Date date(const QString &name);
    // The name of the person kept whose date a person option gave for the
    // date option; empty when the date was given as a date.
    QString personName(const QString &dateName) const { return m_personNames.value(dateName); }
    // A whole number low..high in ASCII or full-width digits; the fallback
    // when the option is not given.
    int number(const QString &name, int low, int high, int fallback);
    // Where -o names: a file, or "-" for standard output, which is also
    // where the output goes without -o.
    QString output();

    void fail(const QString &message);
    std::optional<Outcome> problem() const;

private:
    QString seeHelp() const;
    // Reads the date a person option given stands for.
    void readPerson(const QString &personName, const QString &dateName);

    QCommandLineParser m_parser;
    QString m_command;
    QString m_problem;
    // The names of the options the command takes.
    QStringList m_names;
    // The birth dates named by a person option, by their date option.
    QHash<QString, QString> m_personDates;
    QHash<QString, QString> m_personNames;
};

QCommandLineOption dateOption(const QString &name, const QString &description);
// --person NAME for the date option --birth, --other-person for --other: the
// birth date of the person kept under that name stands for the date, which
// is then not to be given too. The list of people is read only when one is
// named.
QCommandLineOption personOption(const QString &dateOptionName);
QCommandLineOption outputOption(const QString &description);

// Writes an output to the file named `path` as argumentText gives it, or to
// standard output for "-".
Outcome writeTo(const QString &path, const std::function<void(QIODevice &)> &write);
Outcome writeText(const QString &path, const QByteArray &bytes);

// The date a sheet or a calendar says it was made: --made, or today.
Date madeDate(CommandLine &line, Date now);

// The commands, each given the arguments after its name and the moment the
// program takes as now.
Outcome chartCommand(const QStringList &arguments, Date now);
Outcome tableCommand(const QStringList &arguments, Date now);
Outcome criticalCommand(const QStringList &arguments, Date now);
Outcome calendarCommand(const QStringList &arguments, Date now);
Outcome compareCommand(const QStringList &arguments, Date now);

} // namespace quorvel::companion
