#pragma once
// Conversion of archives saved by the previous product generation. A legacy archive is
// decoded into a table of objects, each a legacy type name and named properties (plain
// values, or handles of other legacy objects); the converter creates the new object
// registered for each legacy type and lets it copy the old properties into itself.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
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
    const std::map<std::string, rttr::variant>& Properties() const { return properties_; }
    void SetProperty(const std::string& name, rttr::variant value);
    bool HasProperty(const std::string& name) const;
    // Throws std::out_of_range("invalid map<K, T> key") for a name the object lacks.
    const rttr::variant& Property(const std::string& name) const;

    // The property as a colour: a Color32 or an integer 0xAARRGGBB. Throws
    // std::runtime_error for a null or non-numeric value.
    Color32 FetchColor32(const std::string& name) const;
    // Appends a line to the conversion log of the table this object belongs to.
    void Log(LogHeaderConstants header, const std::string& text) const;

private:
    friend class ConversionContext;
    std::string typeName_;
    std::map<std::string, rttr::variant> properties_;
    ConversionContext* context_ = nullptr;
};

// The table of one legacy archive, its conversion log and the objects converted so far.
// This is what `void* context` points to in every Orv9xConvert.
class ConversionContext {
public:
    ConversionContext() = default;
    ConversionContext(const ConversionContext&) = delete;
    ConversionContext& operator=(const ConversionContext&) = delete;

    void Add(std::int64_t handle, ObjectInfo info);
    // Throws std::out_of_range("invalid map<K, T> key") for a handle the table lacks.
    const ObjectInfo& At(std::int64_t handle) const;
    bool Contains(std::int64_t handle) const;
    const std::map<std::int64_t, ObjectInfo>& Objects() const { return objects_; }

    void Log(LogHeaderConstants header, std::string text);
    const std::vector<LogEntry>& LogEntries() const { return log_; }

    // Reads the documented text (JSON) form of a legacy table.
    static std::unique_ptr<ConversionContext> FromJson(std::istream& stream);

private:
    friend class Orv9xConverter;
    std::map<std::int64_t, ObjectInfo> objects_;
    std::map<std::int64_t, std::shared_ptr<Quill::IObject>> converted_;
    std::vector<std::int64_t> inProgress_;
    std::vector<LogEntry> log_;
};

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

    // Registers the class that replaces a legacy type. The factory makes a fresh object;
    // if it is an ILegacyConvertible, its Orv9xConvert fills it.
    static void Register(const std::string& legacyTypeName, Factory factory);
    static bool IsRegistered(const std::string& legacyTypeName);

    // Converts object `handle` of `context` (a ConversionContext*). Each handle is
    // converted once per table: later calls return the same object. Throws
    // std::out_of_range for an unknown handle and InvalidOperationException for an
    // unregistered legacy type or a cycle of references.
    static std::shared_ptr<Quill::IObject> Orv9xConvert(std::int64_t handle, void* context);
};

// The ObjectInfo of `handle` in a context; std::out_of_range("invalid map<K, T> key") if absent.
const ObjectInfo& LookUpObjectInfo(void* context, long long handle);

} // namespace Ostrel::Vision::Implementation::Internal
