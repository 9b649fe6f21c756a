// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Number conversions with the program's rounding rules: conversion to a 16-
// or 32-bit integer rounds to the nearest whole number with halves to the
// even neighbour, and reports an overflow as an empty result; Int rounds down.

namespace quorvel {

std::optional<std::int16_t> CInt(double value);
std::optional<std::int32_t> CLng(double value);

// The largest whole number not greater than value.
double Int(double value);

// Decimal digits, "-" when negative, no blank, no plus sign.
QString CStr(long long value);

} // namespace quorvel
