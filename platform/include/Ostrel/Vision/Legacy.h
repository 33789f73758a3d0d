#pragma once
// Conversion of archives saved by the previous product generation. A legacy archive is
// decoded into a table of objects (a ConversionContext), each a legacy type name and named
// properties; the converter creates the new object registered for each legacy type and
// lets it copy the old properties into itself.
//
// A property value is an rttr::variant of one of seven kinds (LegacyValueKind): null (an
// invalid variant), bool, integer (std::int64_t), double, text (std::string), a handle of
// another object of the same table (LegacyHandle) or a colour (Color32). ObjectInfo stores
// every value in these types, whatever integer or floating type it was given.
//
// The tables are read from the text form documented in docs/legacy-table.md
// (ConversionContext::FromJson), e.g.
//   {"objects": [
//     {"handle": 1, "type": "Circle",
//      "properties": {"CenterX": 10, "Radius": 2.5, "Color": {"color": "0xFF00FF00"},
//                     "TipText": "hole", "Interactive": true, "Owner": {"handle": 2},
//                     "Missing": null}}]}

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include <rttr/variant.h>

#include <Ostrel/Quill/IObject.h>
#include <Ostrel/Vision/Color32.h>

namespace Ostrel::Vision::Implementation::Internal {

enum class LogHeaderConstants : std::int32_t { Information = 0, Warning = 1, Error = 2 };

// A property value that refers to another object of the same legacy table.
struct LegacyHandle {
    std::int64_t Value = 0;
    friend bool operator==(const LegacyHandle&, const LegacyHandle&) = default;
};

enum class LegacyValueKind { Null, Bool, Integer, Double, String, Handle, Color };

// The kind of a value as ObjectInfo stores it; ArgumentException for a variant of another
// type.
LegacyValueKind KindOf(const rttr::variant& value);
// "null", "boolean", "integer", "number", "text", "object reference", "colour".
const char* KindName(LegacyValueKind kind);

struct LogEntry {
    LogHeaderConstants Header = LogHeaderConstants::Information;
    std::string Text;
};

class ConversionContext;

// One legacy object: its type name and its named properties.
class ObjectInfo {
public:
    ObjectInfo() = default;
    explicit ObjectInfo(std::string typeName, std::map<std::string, rttr::variant> properties = {});

    const std::string& TypeName() const { return typeName_; }
    // The handle under which a table holds the object (0 until it is added to one).
    std::int64_t Handle() const { return handle_; }
    const std::map<std::string, rttr::variant>& Properties() const { return properties_; }

    // Stores a value of one of the seven kinds: integers of every width become
    // std::int64_t, float becomes double, a string literal a std::string. Throws
    // ArgumentOutOfRangeException for an unsigned value above the std::int64_t range and
    // ArgumentException for a value of any other type.
    void SetProperty(const std::string& name, rttr::variant value);
    bool HasProperty(const std::string& name) const;
    // Throws std::out_of_range("invalid map<K, T> key") for a name the object lacks.
    const rttr::variant& Property(const std::string& name) const;

    // The property as a colour: a Color32, or an integer 0xAARRGGBB (a negative one is
    // taken as its 32-bit two's complement, as the old archives stored it signed). Throws
    // std::out_of_range for a missing name, std::runtime_error("Bad Fetch, null variant")
    // for a null or non-numeric value, and std::runtime_error for an integer of more than
    // 32 bits.
    Color32 FetchColor32(const std::string& name) const;
    // Appends a line to the conversion log of the table this object belongs to; throws
    // InvalidOperationException for an object of no table.
    void Log(LogHeaderConstants header, const std::string& text) const;

    // "legacy object 3 (Circle)", for messages.
    std::string Description() const;

private:
    friend class ConversionContext;
    std::string typeName_;
    std::map<std::string, rttr::variant> properties_;
    std::int64_t handle_ = 0;
    ConversionContext* context_ = nullptr;
};

// The table of one legacy archive, its conversion log and the objects converted so far.
// This is what `void* context` points to in every Orv9xConvert.
class ConversionContext {
public:
    ConversionContext() = default;
    ConversionContext(const ConversionContext&) = delete;
    ConversionContext& operator=(const ConversionContext&) = delete;

    // Throws ArgumentException for a handle the table already holds.
    void Add(std::int64_t handle, ObjectInfo info);
    // Throws std::out_of_range("invalid map<K, T> key") for a handle the table lacks.
    const ObjectInfo& At(std::int64_t handle) const;
    bool Contains(std::int64_t handle) const;
    const std::map<std::int64_t, ObjectInfo>& Objects() const { return objects_; }

    void Log(LogHeaderConstants header, std::string text);
    const std::vector<LogEntry>& LogEntries() const { return log_; }

    // The object converted from `handle`, or null if it has not been converted.
    std::shared_ptr<Quill::IObject> Converted(std::int64_t handle) const;

    // Reads the text (JSON) form of a legacy table, documented in docs/legacy-table.md.
    // Throws SerializationException for text that is not JSON or not a legacy table,
    // naming the entry, object and property at fault.
    static std::unique_ptr<ConversionContext> FromJson(std::istream& stream);

private:
    friend class Orv9xConverter;
    std::map<std::int64_t, ObjectInfo> objects_;
    std::map<std::int64_t, std::shared_ptr<Quill::IObject>> converted_;
    std::vector<std::int64_t> inProgress_;
    std::vector<LogEntry> log_;
};

// The context behind a `void* context`; ArgumentNullException for a null one.
ConversionContext& AsConversionContext(void* context);

// Implemented by every class that converts itself from a legacy object.
class ILegacyConvertible : public virtual Quill::IObject {
public:
    // Reads the object `handle` of the table `context` (a ConversionContext*).
    virtual void Orv9xConvert(long long handle, void* context) = 0;

    RTTR_ENABLE(Quill::IObject)
};

class Orv9xConverter {
public:
    using Factory = std::function<std::shared_ptr<Quill::IObject>()>;
    // Fills a fresh object from legacy object `handle` of `context`, for classes that do
    // not convert themselves.
    using Filler = std::function<void(Quill::IObject& object, long long handle, void* context)>;
    // Makes the object of legacy object `handle` of `context` in one step, for classes
    // whose construction needs legacy values (an image's size).
    using Maker = std::function<std::shared_ptr<Quill::IObject>(long long handle, void* context)>;

    // Registers the class that replaces a legacy type; a later registration of the same
    // name replaces the earlier one. The factory makes a fresh object; `fill`, if given,
    // fills it, otherwise the object's own Orv9xConvert does if it is an
    // ILegacyConvertible. Registration happens at start-up, before any conversion runs.
    // Throws ArgumentException for an empty name and ArgumentNullException for an empty
    // factory.
    static void Register(const std::string& legacyTypeName, Factory factory, Filler fill = {});
    // Registers T, made by Quill::Create<T>() and filled by its own Orv9xConvert.
    template <class T> static void Register(const std::string& legacyTypeName)
    {
        Register(legacyTypeName, [] { return std::static_pointer_cast<Quill::IObject>(Quill::Create<T>()); });
    }
    // Registers T, made by Quill::Create<T>() and filled by `fill`.
    template <class T>
    static void Register(const std::string& legacyTypeName, std::function<void(T&, long long, void*)> fill)
    {
        Register(
            legacyTypeName, [] { return std::static_pointer_cast<Quill::IObject>(Quill::Create<T>()); },
            [fill = std::move(fill)](Quill::IObject& object, long long handle, void* context) {
                fill(dynamic_cast<T&>(object), handle, context);
            });
    }
    // Registers a maker; same rules as Register.
    static void RegisterMaker(const std::string& legacyTypeName, Maker make);
    static void Unregister(const std::string& legacyTypeName);
    static bool IsRegistered(const std::string& legacyTypeName);

    // Converts object `handle` of `context` (a ConversionContext*). Each handle is
    // converted once per table: later calls return the same object. Throws
    // std::out_of_range for an unknown handle, InvalidOperationException for an
    // unregistered legacy type or for an object that refers back to itself while it is
    // converted, SerializationException when more than MaxObjectNesting (128) objects
    // would be converted within one another, and whatever the conversion of the object
    // throws.
    static std::shared_ptr<Quill::IObject> Orv9xConvert(std::int64_t handle, void* context);
};

// The ObjectInfo of `handle` in a context; std::out_of_range("invalid map<K, T> key") if absent.
const ObjectInfo& LookUpObjectInfo(void* context, long long handle);

// ---- Fetch operations over the properties of an ObjectInfo ----
//
// Each looks the name up first: a missing name throws std::out_of_range("invalid map<K, T>
// key").

// Plain values. A null value, or one of a kind that cannot become the wanted type (a text,
// an object reference or a colour where a number is wanted), throws
// std::runtime_error("Bad Fetch, null variant"). Numbers convert between the kinds bool,
// integer and double (a bool is 0 or 1; a number is true when it is not 0); a number that
// the wanted type cannot hold (out of its range, or a fraction where a whole number is
// wanted) throws std::runtime_error naming the object, the property and the value.
bool FetchBoolean(const ObjectInfo& info, const std::string& name);
std::int64_t FetchInteger(const ObjectInfo& info, const std::string& name, std::int64_t min,
                          std::int64_t max);
double FetchDouble(const ObjectInfo& info, const std::string& name);
// A text; a value of another kind throws std::runtime_error.
std::string FetchString(const ObjectInfo& info, const std::string& name);

// The value fetch, for bool, integer, floating-point and enumeration types, std::string
// and Color32.
template <class T> T FetchValue(const ObjectInfo& info, const std::string& name)
{
    if constexpr (std::is_same_v<T, bool>) {
        return FetchBoolean(info, name);
    } else if constexpr (std::is_enum_v<T>) {
        return static_cast<T>(FetchValue<std::underlying_type_t<T>>(info, name));
    } else if constexpr (std::is_integral_v<T>) {
        constexpr auto max = static_cast<std::uint64_t>(std::numeric_limits<T>::max()) >
                                     static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())
                                 ? std::numeric_limits<std::int64_t>::max()
                                 : static_cast<std::int64_t>(std::numeric_limits<T>::max());
        return static_cast<T>(
            FetchInteger(info, name, static_cast<std::int64_t>(std::numeric_limits<T>::min()), max));
    } else if constexpr (std::is_same_v<T, float>) {
        const double value = FetchDouble(info, name);
        if (value > std::numeric_limits<float>::max() || value < std::numeric_limits<float>::lowest())
            throw std::runtime_error("Bad Fetch, \"" + name + "\" of " + info.Description() +
                                     " holds a number beyond the range of a float");
        return static_cast<float>(value);
    } else if constexpr (std::is_floating_point_v<T>) {
        return static_cast<T>(FetchDouble(info, name));
    } else if constexpr (std::is_same_v<T, std::string>) {
        return FetchString(info, name);
    } else {
        static_assert(std::is_same_v<T, Color32>,
                      "FetchValue reads numbers, booleans, enumerations, texts and colours.");
        return info.FetchColor32(name);
    }
}

// The value fetch of an optional property: nothing when the object lacks the name.
template <class T> std::optional<T> FetchOptionalValue(const ObjectInfo& info, const std::string& name)
{
    if (!info.HasProperty(name))
        return std::nullopt;
    return FetchValue<T>(info, name);
}

// The object a property refers to, converted: null for a null value, otherwise the
// referenced object converted by Orv9xConverter::Orv9xConvert. A value of another kind
// throws std::runtime_error.
std::shared_ptr<Quill::IObject> FetchObject(const ObjectInfo& info, const std::string& name, void* context);

// Plain object fetch: the referenced object cast to T; an object of another type gives
// null. Nothing is caught.
template <class T>
std::shared_ptr<T> FetchObject(const ObjectInfo& info, const std::string& name, void* context)
{
    return std::dynamic_pointer_cast<T>(FetchObject(info, name, context));
}

// Writes the log line of a guarded fetch that failed: the exception's text, then ", error
// for field: " and the property name, with header Warning (1).
void LogFetchFailure(void* context, const std::exception& failure, const std::string& name);

// Guarded object fetch: on success stores the referenced object cast to T in `value` (null
// for an object of another type) and returns true. If anything throws a std::exception,
// logs it with LogFetchFailure, leaves `value` as it was and returns false.
template <class T>
bool FetchObjectGuarded(const ObjectInfo& info, const std::string& name, void* context,
                        std::shared_ptr<T>& value)
{
    try {
        value = FetchObject<T>(info, name, context);
        return true;
    } catch (const std::exception& failure) {
        LogFetchFailure(context, failure, name);
        return false;
    }
}

} // namespace Ostrel::Vision::Implementation::Internal

namespace Ostrel::Vision::Serialization {

// One object of a converted legacy table.
struct ConvertedObject {
    std::int64_t Handle = 0;
    std::string LegacyTypeName;
    std::shared_ptr<Quill::IObject> Object;  // never null
};

// The typed entry point for hosts: converts every object of a parsed legacy table, in the
// order of their handles, with the converter underneath (Orv9xConverter::Orv9xConvert). An
// object referred to by another is converted once and appears once, as the same object.
// Conversion warnings go to the table's log (table.LogEntries()).
//
// Any failure is one SerializationException whose message names the legacy object and
// says what went wrong ("The legacy object 3 (CreateSegmentTool) cannot be converted:
// invalid map<K, T> key"); the converter's own exception (std::out_of_range for a missing
// handle or property, std::runtime_error for a value that does not fit, ...) is nested in
// it (std::rethrow_if_nested).
std::vector<ConvertedObject> ConvertLegacyTable(Implementation::Internal::ConversionContext& table);

// Converts the one object `handle` of the table (with the objects it refers to); a
// SerializationException as above.
std::shared_ptr<Quill::IObject> ConvertLegacyObject(Implementation::Internal::ConversionContext& table,
                                                    std::int64_t handle);

// The SerializationException of an object that converts to another class than the one
// wanted.
[[noreturn]] void ThrowConvertedToOtherClass(const Implementation::Internal::ConversionContext& table,
                                             std::int64_t handle, const Quill::IObject& object,
                                             const std::string& wanted);

// As ConvertLegacyObject, for an object that must be a T.
template <class T>
std::shared_ptr<T> ConvertLegacyObjectAs(Implementation::Internal::ConversionContext& table, std::int64_t handle)
{
    auto object = ConvertLegacyObject(table, handle);
    if (auto typed = std::dynamic_pointer_cast<T>(object))
        return typed;
    ThrowConvertedToOtherClass(table, handle, *object, rttr::type::get<T>().get_name().to_string());
}

} // namespace Ostrel::Vision::Serialization
