#include "ShapeChecks.h"

#include <cmath>
#include <string>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Strings.h>

namespace Ostrel::Vision::Private::ShapeChecks {

void CheckFinite(double value, std::string_view name)
{
    if (!std::isfinite(value))
        throw ArgumentException(Strings::Substitute(Strings::IDS_Ost_InvalidArgNotFinite_1, {std::string(name)}));
}

void CheckFiniteNonNegative(double value, std::string_view name)
{
    CheckFinite(value, name);
    if (value < 0)
        throw ArgumentOutOfRangeException(
            Strings::Substitute(Strings::IDS_Ost_InvalidArgGE_2, {std::string(name), "0"}));
}

void CheckNonNegative(std::int32_t value, std::string_view name)
{
    if (value < 0)
        throw ArgumentOutOfRangeException(
            Strings::Substitute(Strings::IDS_Ost_InvalidArgGE_2, {std::string(name), "0"}));
}

void CheckRange(std::int32_t value, std::int32_t first, std::int32_t last, std::string_view name)
{
    if (value < first || value > last)
        throw ArgumentOutOfRangeException(Strings::Substitute(
            Strings::IDS_Ost_InvalidArgRange_3, {std::string(name), std::to_string(first), std::to_string(last)}));
}

void CheckIndex(std::int32_t index, std::int32_t count, std::string_view operation)
{
    if (index < 0 || index >= count)
        throw ArgumentOutOfRangeException(Strings::Substitute(
            Strings::IDS_Ost_InvalidArgGEandLT_3, {std::string(operation), "0", std::to_string(count)}));
}

} // namespace Ostrel::Vision::Private::ShapeChecks
