#pragma once

#include <string>

namespace Ostrel::Vision::Private::MiscUtils {

// `value` in fixed notation with `decimals` digits after the point ("12.500000" for 12.5
// and 6). Negative zero is written as zero; non-finite values as "NaN", "Inf", "-Inf".
std::string GetFixedPrecisionNumericString(double value, int decimals);

} // namespace Ostrel::Vision::Private::MiscUtils
