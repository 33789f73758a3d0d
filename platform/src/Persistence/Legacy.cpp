#include <algorithm>
#include <cmath>
#include <exception>
#include <stdexcept>

#include <fmt/format.h>
#include <rttr/type>

#include <Ostrel/Vision/Cereal.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Legacy.h>
#include <Ostrel/Vision/Strings.h>

namespace Ostrel::Vision::Implementation::Internal {

namespace {

// The message of every lookup of a missing handle or property name, as callers and logs
// of converted archives know it.
constexpr const char* MissingKey = "invalid map<K, T> key";
// The message of a value fetch of a null value or of a kind that is not a number.
constexpr const char* BadFetch = "Bad Fetch, null variant";

// Every registration, whatever its form, as one function that makes and fills the object.
std::map<std::string, Orv9xConverter::Maker>& Registry()
{
    static std::map<std::string, Orv9xConverter::Maker> registry;
    return registry;
}

std::string ValueText(const rttr::variant& value)
{
    switch (KindOf(value)) {
    case LegacyValueKind::Null:
        return "null";
    case LegacyValueKind::Bool:
        return value.get_value<bool>() ? "true" : "false";
    case LegacyValueKind::Integer:
        return std::to_string(value.get_value<std::int64_t>());
    case LegacyValueKind::Double:
        return fmt::format("{}", value.get_value<double>());
    case LegacyValueKind::String:
        return "\"" + value.get_value<std::string>() + "\"";
    case LegacyValueKind::Handle:
        return fmt::format("handle {}", value.get_value<LegacyHandle>().Value);
    case LegacyValueKind::Color:
        return fmt::format("0x{:08X}", value.get_value<Color32>().ToUInt32());
    }
    return {};
}

[[noreturn]] void ThrowDoesNotFit(const ObjectInfo& info, const std::string& name, const rttr::variant& value,
                                  const std::string& why)
{
    throw std::runtime_error(
        fmt::format("Bad Fetch, \"{}\" of {} holds {}, {}", name, info.Description(), ValueText(value), why));
}

// The number a numeric kind holds; BadFetch for the other kinds.
double NumberOf(const rttr::variant& value)
{
    switch (KindOf(value)) {
    case LegacyValueKind::Bool:
        return value.get_value<bool>() ? 1.0 : 0.0;
    case LegacyValueKind::Integer:
        return static_cast<double>(value.get_value<std::int64_t>());
    case LegacyValueKind::Double:
        return value.get_value<double>();
    default:
        throw std::runtime_error(BadFetch);
    }
}

// Pops the handle of the object being converted when its conversion ends, also by an
// exception.
class InProgress {
public:
    InProgress(std::vector<std::int64_t>& stack, std::int64_t handle) : stack_(stack)
    {
        stack_.push_back(handle);
    }
    ~InProgress() { stack_.pop_back(); }
    InProgress(const InProgress&) = delete;
    InProgress& operator=(const InProgress&) = delete;

private:
    std::vector<std::int64_t>& stack_;
};

} // namespace

LegacyValueKind KindOf(const rttr::variant& value)
{
    if (!value.is_valid())
        return LegacyValueKind::Null;
    if (value.is_type<bool>())
        return LegacyValueKind::Bool;
    if (value.is_type<std::int64_t>())
        return LegacyValueKind::Integer;
    if (value.is_type<double>())
        return LegacyValueKind::Double;
    if (value.is_type<std::string>())
        return LegacyValueKind::String;
    if (value.is_type<LegacyHandle>())
        return LegacyValueKind::Handle;
    if (value.is_type<Color32>())
        return LegacyValueKind::Color;
    throw ArgumentException(fmt::format("A legacy property cannot hold a value of type {}.",
                                        value.get_type().get_name().to_string()));
}

const char* KindName(LegacyValueKind kind)
{
    switch (kind) {
    case LegacyValueKind::Null:
        return "null";
    case LegacyValueKind::Bool:
        return "boolean";
    case LegacyValueKind::Integer:
        return "integer";
    case LegacyValueKind::Double:
        return "number";
    case LegacyValueKind::String:
        return "text";
    case LegacyValueKind::Handle:
        return "object reference";
    case LegacyValueKind::Color:
        return "colour";
    }
    return "unknown";
}

// ---- ObjectInfo ----

ObjectInfo::ObjectInfo(std::string typeName, std::map<std::string, rttr::variant> properties)
    : typeName_(std::move(typeName))
{
    for (auto& [name, value] : properties)
        SetProperty(name, std::move(value));
}

void ObjectInfo::SetProperty(const std::string& name, rttr::variant value)
{
    const rttr::type type = value.get_type();
    if (value.is_valid() && type != rttr::type::get<bool>() && type.is_arithmetic()) {
        bool ok = false;
        if (type == rttr::type::get<float>() || type == rttr::type::get<double>() ||
            type == rttr::type::get<long double>()) {
            value = value.to_double(&ok);
        } else if (type == rttr::type::get<std::uint64_t>() ||
                   type == rttr::type::get<unsigned long long>() ||
                   type == rttr::type::get<unsigned long>()) {
            const std::uint64_t wide = value.to_uint64(&ok);
            if (wide > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
                throw ArgumentOutOfRangeException(fmt::format(
                    "The legacy property \"{}\" of {} cannot hold {}: integers are 64-bit signed.", name,
                    Description(), wide));
            value = static_cast<std::int64_t>(wide);
        } else {
            value = value.to_int64(&ok);
        }
        if (!ok)
            throw ArgumentException(fmt::format(
                "The value given for the legacy property \"{}\" of {} is no number.", name, Description()));
    } else if (value.is_type<const char*>()) {
        const char* text = value.get_value<const char*>();
        value = text ? std::string(text) : rttr::variant();
    }
    KindOf(value); // rejects any other type
    properties_[name] = std::move(value);
}

bool ObjectInfo::HasProperty(const std::string& name) const
{
    return properties_.count(name) != 0;
}

const rttr::variant& ObjectInfo::Property(const std::string& name) const
{
    const auto found = properties_.find(name);
    if (found == properties_.end())
        throw std::out_of_range(MissingKey);
    return found->second;
}

Color32 ObjectInfo::FetchColor32(const std::string& name) const
{
    const rttr::variant& value = Property(name);
    std::int64_t number = 0;
    switch (KindOf(value)) {
    case LegacyValueKind::Color:
        return value.get_value<Color32>();
    case LegacyValueKind::Integer:
        number = value.get_value<std::int64_t>();
        break;
    case LegacyValueKind::Double: {
        const double d = value.get_value<double>();
        if (!(std::abs(d) <= 4294967295.0) || d != std::floor(d))
            ThrowDoesNotFit(*this, name, value, "which is not a colour 0xAARRGGBB");
        number = static_cast<std::int64_t>(d);
        break;
    }
    default:
        throw std::runtime_error(BadFetch);
    }
    if (number < std::numeric_limits<std::int32_t>::min() ||
        number > std::numeric_limits<std::uint32_t>::max())
        ThrowDoesNotFit(*this, name, value, "which is not a colour 0xAARRGGBB");
    return Color32::FromUInt32(static_cast<std::uint32_t>(number));
}

void ObjectInfo::Log(LogHeaderConstants header, const std::string& text) const
{
    if (!context_)
        throw InvalidOperationException(
            fmt::format("The {} belongs to no legacy table, so it has no conversion log.", Description()));
    context_->Log(header, text);
}

std::string ObjectInfo::Description() const
{
    return fmt::format("legacy object {} ({})", handle_, typeName_);
}

// ---- ConversionContext ----

void ConversionContext::Add(std::int64_t handle, ObjectInfo info)
{
    const auto [at, added] = objects_.emplace(handle, std::move(info));
    if (!added)
        throw ArgumentException(fmt::format("The legacy table already holds an object with handle {} ({}).",
                                            handle, at->second.TypeName()));
    at->second.handle_ = handle;
    at->second.context_ = this;
}

const ObjectInfo& ConversionContext::At(std::int64_t handle) const
{
    const auto found = objects_.find(handle);
    if (found == objects_.end())
        throw std::out_of_range(MissingKey);
    return found->second;
}

bool ConversionContext::Contains(std::int64_t handle) const
{
    return objects_.count(handle) != 0;
}

void ConversionContext::Log(LogHeaderConstants header, std::string text)
{
    log_.push_back(LogEntry{header, std::move(text)});
}

std::shared_ptr<Quill::IObject> ConversionContext::Converted(std::int64_t handle) const
{
    const auto found = converted_.find(handle);
    return found == converted_.end() ? nullptr : found->second;
}

ConversionContext& AsConversionContext(void* context)
{
    if (!context)
        throw ArgumentNullException(Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {"context"}));
    return *static_cast<ConversionContext*>(context);
}

const ObjectInfo& LookUpObjectInfo(void* context, long long handle)
{
    return AsConversionContext(context).At(handle);
}

// ---- Orv9xConverter ----

void Orv9xConverter::Register(const std::string& legacyTypeName, Factory factory, Filler fill)
{
    if (!factory)
        throw ArgumentNullException(Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {"factory"}));
    RegisterMaker(legacyTypeName, [legacyTypeName, factory = std::move(factory),
                                   fill = std::move(fill)](long long handle, void* context) {
        auto object = factory();
        if (!object)
            throw InternalErrorException(
                fmt::format("The factory of the legacy type \"{}\" made no object.", legacyTypeName));
        if (fill)
            fill(*object, handle, context);
        else if (auto* convertible = dynamic_cast<ILegacyConvertible*>(object.get()))
            convertible->Orv9xConvert(handle, context);
        return object;
    });
}

void Orv9xConverter::RegisterMaker(const std::string& legacyTypeName, Maker make)
{
    if (legacyTypeName.empty())
        throw ArgumentException("A legacy type name must not be empty.");
    if (!make)
        throw ArgumentNullException(Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {"make"}));
    Registry()[legacyTypeName] = std::move(make);
}

void Orv9xConverter::Unregister(const std::string& legacyTypeName)
{
    Registry().erase(legacyTypeName);
}

bool Orv9xConverter::IsRegistered(const std::string& legacyTypeName)
{
    return Registry().count(legacyTypeName) != 0;
}

std::shared_ptr<Quill::IObject> Orv9xConverter::Orv9xConvert(std::int64_t handle, void* context)
{
    ConversionContext& table = AsConversionContext(context);
    if (auto done = table.Converted(handle))
        return done;
    const ObjectInfo& info = table.At(handle);

    const auto cycle = std::find(table.inProgress_.begin(), table.inProgress_.end(), handle);
    if (cycle != table.inProgress_.end()) {
        std::string chain;
        for (auto at = cycle; at != table.inProgress_.end(); ++at)
            chain += fmt::format("{} ({}) -> ", *at, table.At(*at).TypeName());
        throw InvalidOperationException(
            fmt::format("The legacy object {} refers back to itself while it is converted: {}{}.", handle,
                        chain, handle));
    }

    // Objects converted within one another recurse; a chain of references as long as a
    // hostile table likes would overflow the stack, so it is bounded like the nesting of
    // objects in a binary archive.
    if (table.inProgress_.size() >= static_cast<std::size_t>(Private::MaxObjectNesting))
        throw SerializationException(
            fmt::format("The {} is reached through a chain of more than {} legacy objects converted within "
                        "one another, more than any object graph holds.",
                        info.Description(), Private::MaxObjectNesting));

    const auto found = Registry().find(info.TypeName());
    if (found == Registry().end())
        throw InvalidOperationException(fmt::format(
            "No class is registered for the legacy type \"{}\" of {}.", info.TypeName(), info.Description()));
    const Maker make = found->second;

    std::shared_ptr<Quill::IObject> object;
    {
        InProgress converting(table.inProgress_, handle);
        object = make(handle, context);
    }
    if (!object)
        throw InternalErrorException(
            fmt::format("The conversion of the legacy type \"{}\" made no object.", info.TypeName()));
    table.converted_[handle] = object;
    return object;
}

// ---- Fetch operations ----

bool FetchBoolean(const ObjectInfo& info, const std::string& name)
{
    const rttr::variant& value = info.Property(name);
    if (KindOf(value) == LegacyValueKind::Bool)
        return value.get_value<bool>();
    const double number = NumberOf(value);
    if (std::isnan(number))
        ThrowDoesNotFit(info, name, value, "which is neither true nor false");
    return number != 0.0;
}

std::int64_t FetchInteger(const ObjectInfo& info, const std::string& name, std::int64_t min, std::int64_t max)
{
    const rttr::variant& value = info.Property(name);
    std::int64_t number = 0;
    if (KindOf(value) == LegacyValueKind::Integer) {
        number = value.get_value<std::int64_t>();
    } else {
        const double d = NumberOf(value);
        // 2^63 is the first double beyond the int64 range; the bounds below are exact.
        if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0))
            ThrowDoesNotFit(info, name, value, fmt::format("outside the range {} to {}", min, max));
        if (d != std::floor(d))
            ThrowDoesNotFit(info, name, value, "which is not a whole number");
        number = static_cast<std::int64_t>(d);
    }
    if (number < min || number > max)
        ThrowDoesNotFit(info, name, value, fmt::format("outside the range {} to {}", min, max));
    return number;
}

double FetchDouble(const ObjectInfo& info, const std::string& name)
{
    const rttr::variant& value = info.Property(name);
    const double number = NumberOf(value);
    if (!std::isfinite(number))
        ThrowDoesNotFit(info, name, value, "which is not a finite number");
    return number;
}

std::string FetchString(const ObjectInfo& info, const std::string& name)
{
    const rttr::variant& value = info.Property(name);
    switch (KindOf(value)) {
    case LegacyValueKind::String:
        return value.get_value<std::string>();
    case LegacyValueKind::Null:
        throw std::runtime_error(BadFetch);
    default:
        ThrowDoesNotFit(info, name, value, "not a text");
    }
}

std::shared_ptr<Quill::IObject> FetchObject(const ObjectInfo& info, const std::string& name, void* context)
{
    const rttr::variant& value = info.Property(name);
    switch (KindOf(value)) {
    case LegacyValueKind::Null:
        return nullptr;
    case LegacyValueKind::Handle:
        return Orv9xConverter::Orv9xConvert(value.get_value<LegacyHandle>().Value, context);
    default:
        ThrowDoesNotFit(info, name, value, "not an object reference");
    }
}

void LogFetchFailure(void* context, const std::exception& failure, const std::string& name)
{
    AsConversionContext(context).Log(LogHeaderConstants::Warning,
                                     std::string(failure.what()) + ", error for field: " + name);
}

} // namespace Ostrel::Vision::Implementation::Internal

namespace Ostrel::Vision::Serialization {

using Implementation::Internal::ConversionContext;
using Implementation::Internal::Orv9xConverter;

namespace {

std::string Describe(const ConversionContext& table, std::int64_t handle)
{
    return table.Contains(handle) ? table.At(handle).Description() : fmt::format("legacy object {}", handle);
}

} // namespace

std::shared_ptr<Quill::IObject> ConvertLegacyObject(ConversionContext& table, std::int64_t handle)
{
    try {
        return Orv9xConverter::Orv9xConvert(handle, &table);
    } catch (const std::exception& failure) {
        std::throw_with_nested(SerializationException(
            fmt::format("The {} cannot be converted: {}", Describe(table, handle), failure.what())));
    }
}

void ThrowConvertedToOtherClass(const ConversionContext& table, std::int64_t handle,
                                const Quill::IObject& object, const std::string& wanted)
{
    throw SerializationException(fmt::format("The {} converts to {}, not to the {} wanted.",
                                             Describe(table, handle),
                                             rttr::type::get(object).get_name().to_string(), wanted));
}

std::vector<ConvertedObject> ConvertLegacyTable(ConversionContext& table)
{
    std::vector<ConvertedObject> converted;
    converted.reserve(table.Objects().size());
    for (const auto& [handle, info] : table.Objects())
        converted.push_back({handle, info.TypeName(), ConvertLegacyObject(table, handle)});
    return converted;
}

} // namespace Ostrel::Vision::Serialization
