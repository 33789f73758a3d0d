#include <fmt/format.h>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Meta/FakePropertyMeta.h>
#include <Ostrel/Vision/Meta/MethodMeta.h>

#include "ValueConversion.h"

namespace Ostrel::Vision::Meta {

namespace {

std::string MethodName(const rttr::method& method)
{
    return method.get_name().to_string();
}

} // namespace

FakePropertyMeta::FakePropertyMeta(ObjectCreateAccessToken, const rttr::method& getter,
                                   std::optional<rttr::method> setter, int index)
    : getter_(getter), setter_(std::move(setter)), index_(index < 0 ? -1 : index)
{
    if (!getter_.is_valid())
        throw ArgumentException("A fake property needs a registered getter method.");
    getterName_ = MethodName(getter_);
    const std::size_t indexArguments = index_ >= 0 ? 1 : 0;
    if (getter_.get_parameter_infos().size() != indexArguments || getter_.get_return_type() == rttr::type::get<void>())
        throw ArgumentException("The getter " + getterName_ + " of a fake property must return a value and take " +
                                (indexArguments ? "the index alone." : "no argument."));
    if (setter_) {
        if (!setter_->is_valid())
            throw ArgumentException("The setter of the fake property " + getterName_ + " is not a registered method.");
        setterName_ = MethodName(*setter_);
        if (setter_->get_parameter_infos().size() != indexArguments + 1)
            throw ArgumentException("The setter " + setterName_ + " of a fake property must take " +
                                    (indexArguments ? "the index and the value." : "the value alone."));
    }
    displayName_ = index_ >= 0 ? fmt::format("{}({})", getterName_, index_) : getterName_ + "()";
}

rttr::variant FakePropertyMeta::Get(const rttr::instance& object) const
{
    rttr::variant result;
    if (index_ >= 0) {
        auto index = ConvertIndex(getter_);
        result = getter_.invoke(object, index);
    } else {
        result = getter_.invoke(object);
    }
    if (!result.is_valid())
        throw InvalidOperationException("The fake property " + displayName_ + " cannot be read from this object.");
    return result;
}

void FakePropertyMeta::Set(const rttr::instance& object, const rttr::variant& value) const
{
    if (!setter_)
        throw InvalidOperationException("The fake property " + displayName_ + " is read-only.");
    rttr::type valueType = rttr::type::get<void>();
    for (const auto& parameter : setter_->get_parameter_infos())
        valueType = parameter.get_type();  // the value is the last parameter
    auto converted = Private::ConvertForWrite(value, valueType);
    if (!converted)
        throw ArgumentException("The fake property " + displayName_ + " cannot be set to " +
                                Private::DescribeValue(value) + ": it takes " + valueType.get_name().to_string() +
                                ".");
    rttr::variant result;
    if (index_ >= 0) {
        auto index = ConvertIndex(*setter_);
        result = setter_->invoke(object, index, *converted);
    } else {
        result = setter_->invoke(object, *converted);
    }
    if (!result.is_valid())
        throw InvalidOperationException("The fake property " + displayName_ + " cannot be written on this object.");
}

rttr::variant FakePropertyMeta::ConvertIndex(const rttr::method& method) const
{
    rttr::variant index = index_;
    const rttr::type indexType = method.get_parameter_infos().begin()->get_type();
    if (!index.convert(indexType))
        throw InvalidOperationException("The index of the fake property " + displayName_ + " cannot be passed as " +
                                        indexType.get_name().to_string() + ".");
    return index;
}

std::shared_ptr<FakePropertyMeta> FakePropertyMeta::WithIndex(int index) const
{
    if (index_ < 0)
        throw InvalidOperationException("The fake property " + displayName_ + " has no index.");
    return Quill::Create<FakePropertyMeta>(getter_, setter_, index);
}

FakePropertyList GetFakePropertiesForNoArgMethods(const rttr::type& type)
{
    FakePropertyList properties;
    for (const auto& method : GetNoArgMethods(type))
        properties.push_back(Quill::Create<FakePropertyMeta>(method->Method(), std::nullopt, -1));
    return properties;
}

namespace {

// The registered method `name` of `type` taking `arguments` arguments, the first an index.
rttr::method FindIndexedMethod(const rttr::type& type, std::string_view name, std::size_t arguments)
{
    for (const auto& method : type.get_methods()) {
        if (method.get_name() != rttr::string_view(name.data(), name.size()))
            continue;
        const auto parameters = method.get_parameter_infos();
        if (parameters.size() == arguments && parameters.begin()->get_type().is_arithmetic())
            return method;
    }
    throw InvalidOperationException(type.get_name().to_string() + " has no registered method " + std::string(name) +
                                    " taking an index" + (arguments > 1 ? " and a value." : "."));
}

} // namespace

void AppendIndexedFakeProperties(FakePropertyList& properties, const rttr::type& type, std::string_view getterName,
                                 std::string_view setterName, int count)
{
    const rttr::method getter = FindIndexedMethod(type, getterName, 1);
    std::optional<rttr::method> setter;
    if (!setterName.empty())
        setter = FindIndexedMethod(type, setterName, 2);
    for (int i = 0; i < count; ++i)
        properties.push_back(Quill::Create<FakePropertyMeta>(getter, setter, i));
}

} // namespace Ostrel::Vision::Meta
