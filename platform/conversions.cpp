#include "platform/conversions.h"

#include <cmath>
#include <limits>

namespace quorvel {
namespace {

// Round to nearest, halves to even, then check the range of the target type.
template <typename Integer>
std::optional<Integer> roundToInteger(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value); // default rounding: ties to even
    if (rounded < double(std::numeric_limits<Integer>::min())
        || rounded > double(std::numeric_limits<Integer>::max()))
        return std::nullopt;
    return static_cast<Integer>(rounded);
}

} // namespace

std::optional<std::int16_t> CInt(double value) { return roundToInteger<std::int16_t>(value); }
std::optional<std::int32_t> CLng(double value) { return roundToInteger<std::int32_t>(value); }

double Int(double value) { return std::floor(value); }

QString CStr(long long value) { return QString::number(value); }

} // namespace quorvel
