// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dates/conversions.h"

#include <cmath>
#include <limits>

namespace quorvel {
namespace {

// Nearest whole number, halves to the even neighbour. Done by hand rather
// than with nearbyint so that it does not depend on the rounding mode of the
// floating-point environment. The magnitude is rounded because for it
// magnitude - floor(magnitude) is exact, which it need not be for a negative
// value.
double roundHalfEven(double value)
{
    const double magnitude = std::fabs(value);
    double rounded = std::floor(magnitude);
    const double rest = magnitude - rounded;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(rounded, 2.0) != 0.0))
        rounded += 1.0;
    return std::copysign(rounded, value);
}

// The range is checked after rounding: 32767.4 still fits a 16-bit integer,
// 32767.5 (which rounds to 32768) does not.
template <typename Integer>
std::optional<Integer> roundToInteger(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = roundHalfEven(value);
    if (rounded < double(std::numeric_limits<Integer>::min())
        || rounded > double(std::numeric_limits<Integer>::max()))
        return std::nullopt;
    return static_cast<Integer>(rounded);
}

} // namespace

std::optional<std::int16_t> CInt(double value) { return roundToInteger<std::int16_t>(value); }
std::optional<std::int32_t> CLng(double value) { return roundToInteger<std::int32_t>(value); }

double Int(double value) { return std::floor(value); }

// QString::number is locale independent: ASCII digits, '-' only when negative.
QString CStr(long long value) { return QString::number(value); }

} // namespace quorvel
