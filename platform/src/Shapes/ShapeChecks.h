#pragma once
// Argument checks of the shape setters. Each throws the framework exception for the fault
// with a message naming the argument; nothing is stored before every check has passed.

#include <cstdint>
#include <string_view>

namespace Ostrel::Vision::Private::ShapeChecks {

// ArgumentException unless `value` is finite.
void CheckFinite(double value, std::string_view name);
// As CheckFinite, then ArgumentOutOfRangeException for a negative value.
void CheckFiniteNonNegative(double value, std::string_view name);
void CheckNonNegative(std::int32_t value, std::string_view name);
// ArgumentOutOfRangeException unless first <= value <= last.
void CheckRange(std::int32_t value, std::int32_t first, std::int32_t last, std::string_view name);
// ArgumentOutOfRangeException unless 0 <= index < count; `operation` names the caller.
void CheckIndex(std::int32_t index, std::int32_t count, std::string_view operation);

template <class Enum>
void CheckEnum(Enum value, Enum first, Enum last, std::string_view name)
{
    CheckRange(static_cast<std::int32_t>(value), static_cast<std::int32_t>(first), static_cast<std::int32_t>(last),
               name);
}

} // namespace Ostrel::Vision::Private::ShapeChecks
