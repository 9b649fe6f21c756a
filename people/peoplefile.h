// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "people/peoplelist.h"

#include <QString>

#include <functional>

// The file of the people kept, $XDG_CONFIG_HOME/quorvel/people.txt (by
// default ~/.config/quorvel/people.txt). Nothing reads it before a list is
// asked for, and nothing writes it, or makes its folder, before a person is
// remembered. It is written through the program's own writer, whole or not
// at all; each change is made under a lock on its folder, from the file as
// it stands then, so that programs changing it at once keep each other's
// changes. A file that cannot be read or understood is never written.

namespace quorvel {

// Where the list is kept, for the environment the program runs in.
QString peopleFilePath();

// The file read: the list, or why it cannot be used. A file that does not
// exist is the empty list.
struct PeopleRead {
    PeopleList list;
    QString problem; // empty when the list holds the file
};

class PeopleFile
{
public:
    explicit PeopleFile(QString path = peopleFilePath());

    const QString &path() const { return m_path; }
    PeopleRead read() const;

    // Keeps the person, replacing one of the same name; forgets the one of
    // that name. Each gives why the file was not changed, empty when it was
    // (or, for a name not kept, had nothing to change).
    QString remember(const Person &person) const;
    QString forget(const QString &name) const;

private:
    // Reads the file under the lock, hands its text to `edit` and writes
    // what that gives back, when that differs.
    QString change(const std::function<QByteArray(const QByteArray &)> &edit) const;

    QString m_path;
};

} // namespace quorvel
