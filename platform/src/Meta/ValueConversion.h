#pragma once
// Conversion of a value to the type of the property or method parameter it is written to,
// shared by fake properties and tool pins.

#include <optional>
#include <string>

#include <rttr/type>
#include <rttr/variant.h>

namespace Ostrel::Vision::Meta::Private {

// The value as `target`, or nothing when it cannot be converted: an invalid value, types
// reflection cannot convert, and a fractional or non-finite number written to an integer
// (which would otherwise be cut silently).
std::optional<rttr::variant> ConvertForWrite(const rttr::variant& value, const rttr::type& target);

// "a value of type double", "no value": for messages.
std::string DescribeValue(const rttr::variant& value);

} // namespace Ostrel::Vision::Meta::Private
