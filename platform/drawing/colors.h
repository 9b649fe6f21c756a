#pragma once

#include <QRgb>

#include <cstdint>

// Colours as the program gives them: 0x00BBGGRR values, or 0x800000nn for the
// system colour with index nn, which follows the user's colour scheme.

namespace quorvel {

using VbColor = std::uint32_t;

inline constexpr VbColor SystemWindowBackground = 0x80000005;
inline constexpr VbColor SystemMenuText = 0x80000007;
inline constexpr VbColor SystemWindowText = 0x80000008;
inline constexpr VbColor SystemButtonText = 0x80000012;

// The colour a 0x00BBGGRR value or a system colour stands for, opaque.
// System colours come from the application's palette; without an
// application, from the standard scheme.
QRgb resolveColor(VbColor color);

} // namespace quorvel
