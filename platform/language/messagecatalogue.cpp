// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/language/messagecatalogue.h"

#include <QFile>
#include <QtEndian>

#include <optional>

namespace quorvel {
namespace {

// The file's layout (GNU gettext's format): a magic number, which also
// gives the byte order, a revision, the number of strings, and where the
// tables of originals and of translations start. Each table entry is a
// length and an offset; the originals are sorted byte by byte.
constexpr quint32 Magic = 0x950412de;
constexpr qsizetype CountAt = 8;
constexpr qsizetype OriginalsAt = 12;
constexpr qsizetype TranslationsAt = 16;
constexpr qsizetype HeaderSize = 28;

class Reader
{
public:
    explicit Reader(const QByteArray &bytes) : m_bytes(bytes)
    {
        m_bigEndian = bytes.size() >= HeaderSize && qFromBigEndian<quint32>(bytes.constData()) == Magic;
    }

    bool valid() const { return m_bytes.size() >= HeaderSize && (m_bigEndian || number(0) == Magic); }

    std::optional<quint32> number(qsizetype at) const
    {
        if (at < 0 || at + 4 > m_bytes.size())
            return std::nullopt;
        const char *bytes = m_bytes.constData() + at;
        return m_bigEndian ? qFromBigEndian<quint32>(bytes) : qFromLittleEndian<quint32>(bytes);
    }

    // String `index` of the table that starts at offset `table`, without
    // its terminating zero; empty when the file does not hold it.
    std::optional<QByteArrayView> string(quint32 table, quint32 index) const
    {
        const qsizetype entry = qsizetype(table) + qsizetype(index) * 8;
        const auto length = number(entry);
        const auto offset = number(entry + 4);
        if (!length || !offset || qsizetype(*offset) + qsizetype(*length) > m_bytes.size())
            return std::nullopt;
        return QByteArrayView(m_bytes.constData() + *offset, qsizetype(*length));
    }

private:
    const QByteArray &m_bytes;
    bool m_bigEndian = false;
};

} // namespace

MessageCatalogue MessageCatalogue::read(const QString &path)
{
    MessageCatalogue catalogue;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        catalogue.m_bytes = file.readAll();
    if (!Reader(catalogue.m_bytes).valid())
        catalogue.m_bytes.clear();
    return catalogue;
}

QString MessageCatalogue::translate(QByteArrayView original) const
{
    const Reader reader(m_bytes);
    if (!reader.valid())
        return {};
    const quint32 count = reader.number(CountAt).value_or(0);
    const quint32 originals = reader.number(OriginalsAt).value_or(0);
    const quint32 translations = reader.number(TranslationsAt).value_or(0);
    // A binary search, the originals compared as unsigned bytes, as the
    // catalogue's maker sorted them.
    quint32 low = 0;
    quint32 high = count;
    while (low < high) {
        const quint32 middle = low + (high - low) / 2;
        const auto candidate = reader.string(originals, middle);
        if (!candidate)
            return {};
        const int order = candidate->compare(original);
        if (order == 0) {
            const auto translation = reader.string(translations, middle);
            return translation ? QString::fromUtf8(*translation) : QString();
        }
        if (order < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return {};
}

} // namespace quorvel
