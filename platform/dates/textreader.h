// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dates/datetime.h"
#include "platform/dates/lunar.h"

#include <QStringView>

#include <optional>

// The date reader's cursor, and the steps of it that the Gregorian and the
// lunar forms share or that the lunar forms take on their own.

namespace quorvel {

inline bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Reads the text once from left to right; every step fails rather than
// guesses, so any input costs at most one pass.
class Reader
{
public:
    explicit Reader(QStringView text) : m_text(text) {}

    bool atEnd() const { return m_pos == m_text.size(); }
    // '\0' past the end never matches anything a step asks for; an embedded
    // NUL does not match either.
    char16_t peek() const { return atEnd() ? u'\0' : halfWidth(m_text[m_pos].unicode()); }
    bool take(char16_t c)
    {
        if (atEnd() || peek() != c)
            return false;
        ++m_pos;
        return true;
    }
    // The characters of `word`, all of them, or nothing taken.
    bool take(QStringView word)
    {
        if (m_text.size() - m_pos < word.size())
            return false;
        for (qsizetype i = 0; i < word.size(); ++i) {
            if (m_text[m_pos + i] != word[i])
                return false;
        }
        m_pos += word.size();
        return true;
    }
    // minDigits to maxDigits decimal digits and no digit after them, so a long
    // run of digits fails without ever overflowing.
    std::optional<int> number(int minDigits, int maxDigits)
    {
        int value = 0;
        int digits = 0;
        while (digits < maxDigits && !atEnd() && isDigit(peek())) {
            value = value * 10 + (peek() - u'0');
            ++m_pos;
            ++digits;
        }
        if (digits < minDigits || (!atEnd() && isDigit(peek())))
            return std::nullopt;
        return value;
    }
    qsizetype skipBlanks()
    {
        const qsizetype start = m_pos;
        while (!atEnd() && peek() == u' ')
            ++m_pos;
        return m_pos - start;
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

struct MonthAndDay {
    int month;
    int day;
};

// "-m-d", "/m/d" or ".m.d" after a year, one separator throughout: the
// month's and the day's numbers, of one or two digits each.
std::optional<MonthAndDay> readSeparatedMonthAndDay(Reader &reader);

// The mark of the lunar forms, before the year or after its 年.
inline constexpr QStringView LunarMark = u"农历";

// The lunar month and day after "农历yyyy年" or "yyyy年农历": "[闰]M月D", 闰
// before a leap month; M the month's name (正 or 一 … 十二, 冬, 腊) or its
// number; D the day's name (初一 … 初十, 十一 … 十九, 二十, 廿一 … 廿九 or
// 二十一 … 二十九, 三十), with or without 日, or its number followed by 日.
// Into `day`, which need not exist; false when the text does not go on so.
bool readLunarMonthAndDay(Reader &reader, LunarDay &day);

} // namespace quorvel
