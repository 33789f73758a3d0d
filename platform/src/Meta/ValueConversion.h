#pragma once
// Conversion of a value to the type of the property or method parameter it is written to,
// shared by fake properties and tool pins.

#include <optional>
#include <string>

#include <rttr/type>
#include <rttr/variant.h>

#include <Ostrel/Vision/Meta/NullPointer.h>

namespace Ostrel::Vision::Meta::Private {

// The value as `target`, or nothing when it cannot be converted: an invalid value, types
// reflection cannot convert, a fractional or non-finite number written to an integer
// (which would otherwise be cut silently), and a null pointer of another type than the
// target (a typed null cannot be made by reflection).
std::optional<rttr::variant> ConvertForWrite(const rttr::variant& value, const rttr::type& target);

using Meta::IsNullPointer;

// "a value of type double", "no value": for messages.
std::string DescribeValue(const rttr::variant& value);

} // namespace Ostrel::Vision::Meta::Private
