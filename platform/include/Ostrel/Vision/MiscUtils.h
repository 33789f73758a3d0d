#pragma once

#include <string>

namespace Ostrel::Vision::Private::MiscUtils {

// `value` in fixed notation with `decimals` digits after the point ("12.500000" for 12.5
// and 6). Negative zero is written as zero; non-finite values as "NaN", "Inf", "-Inf".
std::string GetFixedPrecisionNumericString(double value, int decimals);
// The same text appended to `out`, for labels and tip texts built in one string.
void AppendFixedPrecisionNumericString(std::string& out, double value, int decimals);

} // namespace Ostrel::Vision::Private::MiscUtils
