// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dates/textreader.h"

namespace quorvel {
namespace {

// 一 to 九 as 1 to 9, 十 as 10; 0 for anything else.
int numeral(char16_t c)
{
    constexpr QStringView Numerals = u"一二三四五六七八九十";
    const qsizetype at = Numerals.indexOf(QChar(c));
    return at < 0 ? 0 : int(at) + 1;
}

// The numeral at the cursor, taken when it is one of 1 to `highest`.
int takeNumeral(Reader &reader, int highest)
{
    const int value = numeral(reader.peek());
    if (value == 0 || value > highest)
        return 0;
    reader.take(reader.peek());
    return value;
}

// 正, 冬, 腊, or 一 to 十二.
std::optional<int> monthName(Reader &reader)
{
    if (reader.take(u'正'))
        return 1;
    if (reader.take(u'冬'))
        return 11;
    if (reader.take(u'腊'))
        return 12;
    const int value = takeNumeral(reader, 10);
    if (value == 0)
        return std::nullopt;
    return value == 10 ? 10 + takeNumeral(reader, 2) : value;
}

// 初一 to 初十, 十一 to 十九, 二十, 廿一 to 廿九 (also 二十一 to 二十九), 三十.
std::optional<int> dayName(Reader &reader)
{
    int tens;
    int highest = 9;
    if (reader.take(u'初')) {
        tens = 0;
        highest = 10;
    } else if (reader.take(u'十')) {
        tens = 10;
    } else if (reader.take(u'廿')) {
        tens = 20;
    } else if (reader.take(u"二十")) {
        return 20 + takeNumeral(reader, 9);
    } else if (reader.take(u"三十")) {
        return 30;
    } else {
        return std::nullopt;
    }
    // 初, 十 and 廿 alone name no day.
    const int units = takeNumeral(reader, highest);
    return units ? std::optional(tens + units) : std::nullopt;
}

} // namespace

bool readLunarMonthAndDay(Reader &reader, LunarDay &day)
{
    day.leap = reader.take(u'闰');
    const auto month = isDigit(reader.peek()) ? reader.number(1, 2) : monthName(reader);
    if (!month || !reader.take(u'月'))
        return false;
    const auto number = isDigit(reader.peek()) ? reader.number(1, 2) : std::nullopt;
    const auto named = number ? number : dayName(reader);
    // 日 after a number, as in the Gregorian form; after a day's name it may
    // stand or not.
    const bool daySign = named && reader.take(u'日');
    if (!named || (number && !daySign))
        return false;
    day.month = *month;
    day.day = *named;
    return true;
}

} // namespace quorvel
