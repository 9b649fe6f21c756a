// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace quorvel {

// A compiled gettext catalogue (a .mo file), read by the program itself.
// The C library finds its own translations only under a locale of their
// language that the machine has generated, which the program cannot count
// on; the catalogue's file is there wherever the translations are installed.
class MessageCatalogue
{
public:
    // The catalogue in the file; an empty one when the file cannot be read
    // or holds no catalogue.
    static MessageCatalogue read(const QString &path);

    // The translation of `original`; empty when the catalogue has none.
    QString translate(QByteArrayView original) const;

private:
    QByteArray m_bytes;
};

} // namespace quorvel
