#include <cmath>

#include "ValueConversion.h"

namespace Ostrel::Vision::Meta::Private {

namespace {

bool IsFloatingPoint(const rttr::type& type)
{
    return type == rttr::type::get<float>() || type == rttr::type::get<double>() ||
           type == rttr::type::get<long double>();
}

bool IsInteger(const rttr::type& type)
{
    return type.is_arithmetic() && type != rttr::type::get<bool>() && !IsFloatingPoint(type);
}

} // namespace

std::optional<rttr::variant> ConvertForWrite(const rttr::variant& value, const rttr::type& target)
{
    if (!value.is_valid())
        return std::nullopt;
    if (value.get_type() == target)
        return value;
    if (IsNullPointer(value))
        return std::nullopt;
    if (IsInteger(target) && IsFloatingPoint(value.get_type())) {
        const double number = value.to_double();
        if (!std::isfinite(number) || number != std::trunc(number))
            return std::nullopt;
    }
    rttr::variant converted = value;
    if (!converted.convert(target))
        return std::nullopt;
    return converted;
}

std::string DescribeValue(const rttr::variant& value)
{
    if (!value.is_valid())
        return "no value";
    if (IsNullPointer(value))
        return "a null " + value.get_type().get_name().to_string();
    return "a value of type " + value.get_type().get_name().to_string();
}

} // namespace Ostrel::Vision::Meta::Private

namespace Ostrel::Vision::Meta {

bool IsNullPointer(const rttr::variant& value)
{
    const rttr::type type = value.get_type();
    if (!type.is_wrapper() && !type.is_pointer())
        return false;
    const rttr::variant pointer = type.is_wrapper() ? value.extract_wrapped_value() : value;
    return pointer == rttr::variant(nullptr);
}

} // namespace Ostrel::Vision::Meta
