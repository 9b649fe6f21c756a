// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dates/datetime.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The people a user keeps, so that a chart is opened again without typing a
// birth date: their list as the text of its file. The file is the user's to
// read, edit and back up: a line a person, "birth date = name", the date in
// any form the date boxes take, its time of day included; a line starting
// with "#" is a comment. Changing the list changes the one line concerned,
// and keeps every other line as it stood, comments and entries the program
// does not take included. Qt Core only.

namespace quorvel {

struct Person {
    QString name;
    Date birth = 0.0;
};

// A name is 1 to 40 characters, without control characters; blanks around it
// do not count and are dropped.
inline constexpr int MaxNameLength = 40;
QString trimmedName(const QString &name);
// Why the (trimmed) name cannot be kept, in Chinese; empty when it can.
QString nameProblem(const QString &name);

// A person as the menus show them: the name, then the birth date as the
// birth box would show it typed.
QString personText(const Person &person);

// The list a file's text holds.
struct PeopleList {
    // In the file's order, each name once.
    std::vector<Person> people;
    // The entries not taken, each with its line number and why.
    QStringList skipped;

    const Person *find(const QString &name) const;
    QStringList names() const;
};

// A file's text read as a list; nothing when it is no such text (not UTF-8,
// NUL bytes, larger than MaxPeopleFileSize), why in `problem`.
inline constexpr qsizetype MaxPeopleFileSize = 1024 * 1024;
std::optional<PeopleList> parsePeople(QByteArrayView text, QString *problem);

// The text with the person kept: the line of the entry of that name
// replaced, else a line added at the end. An empty text becomes a new file,
// whose first lines say what it is. The text must parse.
QByteArray withPerson(QByteArrayView text, const Person &person);
// The text without the entry of that name; unchanged when there is none.
QByteArray withoutPerson(QByteArrayView text, const QString &name);

} // namespace quorvel
