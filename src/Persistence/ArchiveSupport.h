#pragma once
// What every archive of the library shares: the class versions of the bases and the rule
// for fields that carry real values only under an archive option.

#include <cstdint>

#include <Geometry/Implementation/GeometryToolBase.h>
#include <Geometry/Implementation/GeometryToolBaseOutputStyle.h>
#include <Ostrel/Vision/Archive.h>

#include "ClassVersions.h"

OSTREL_GEOMETRY_CLASS_VERSION(Implementation::GeometryToolBase)
OSTREL_GEOMETRY_CLASS_VERSION(Implementation::GeometryToolBaseOutputStyle)

// Every shareable object holds its std::enable_shared_from_this in ShareableBase, whatever
// its own shared_from_this() returns (a tool's returns the tool's type): cereal must look
// there when it saves a polymorphic shared pointer.
namespace cereal::traits {
template <class T>
    requires std::is_base_of_v<Ostrel::Quill::ShareableBase, T>
struct get_shared_from_this_base<T> {
    using type = Ostrel::Quill::ShareableBase;
};
} // namespace cereal::traits


namespace Ostrel::Vision::Geometry::Persistence {

// A field whose value the archive carries only when `real` (an option is set). Otherwise
// the field's empty value (null, false, 0, "") takes its place when writing, and the value
// read is discarded, so that an archive has the same shape whatever its options.
template <class Archive, class T>
void OptionalField(Archive& ar, bool real, T& field)
{
    if constexpr (Archive::is_saving::value) {
        if (real) {
            ar(field);
        } else {
            T empty{};
            ar(empty);
        }
    } else {
        T value{};
        ar(value);
        if (real)
            field = std::move(value);
    }
}

// A member that must never be null (a tool's own marker, say): a null read from a damaged
// archive is refused.
template <class T>
void RequireLoaded(const std::shared_ptr<T>& member, const char* what, const char* className)
{
    if (!member)
        throw SerializationException(Strings::Substitute("The archive of %1 holds no %2.", {className, what}));
}

// The version check every loader starts with, against the class's version;
// the name in its message is the class's own name followed by "::serialize()".
template <class T>
void CheckVersion(std::uint32_t version, std::string_view className)
{
    CheckSerializationVersionMismatch(version, ClassVersion<T>,
                                      std::string(className) + "::serialize()");
}

// The fields of a tool after its base part, in the tool's archive order: first its inputs
// and settings, always real (a marker input must load a marker), then what its last run
// left, real only with the archive option that keeps last-run results.
//
//   ToolFields(ar, version, *this, "DistancePointCircleTool")
//       .Inputs(point_, shape_)
//       .LastRun(result_.distance, result_.x, result_.y);
template <class Archive, class Tool>
class ToolFields {
public:
    ToolFields(Archive& ar, std::uint32_t version, Tool& tool, const char* className)
        : ar_(ar), className_(className)
    {
        if constexpr (Archive::is_loading::value)
            CheckVersion<Tool>(version, className);
        ar(cereal::base_class<typename Tool::BaseTool>(&tool));
        lastRun_ = Options(ar) & ArchiveOptions::LastRunResults;
    }

    template <class... Fields>
    ToolFields& Inputs(Fields&... fields)
    {
        (Input(fields), ...);
        return *this;
    }
    template <class... Fields>
    ToolFields& LastRun(Fields&... fields)
    {
        (OptionalField(ar_, lastRun_, fields), ...);
        return *this;
    }

private:
    template <class T>
    void Input(T& field)
    {
        ar_(field);
    }
    void Input(Implementation::MarkerInput& input)
    {
        if constexpr (Archive::is_saving::value) {
            ar_(input.Marker());
        } else {
            std::shared_ptr<PointMarker> marker;
            ar_(marker);
            RequireLoaded(marker, "point marker", className_);
            input.Replace(std::move(marker));
        }
    }

    Archive& ar_;
    const char* className_;
    bool lastRun_ = false;
};

template <class Archive, class Tool>
ToolFields(Archive&, std::uint32_t, Tool&, const char*) -> ToolFields<Archive, Tool>;

} // namespace Ostrel::Vision::Geometry::Persistence

// The archive registration of a concrete tool: its qualified name and its relation to its
// base, so that a pointer to a base may hold it. At global scope, one row per tool.
#define OSTREL_GEOMETRY_REGISTER_TOOL(Tool)                                                                          \
    CEREAL_REGISTER_TYPE_WITH_NAME(Ostrel::Vision::Geometry::Tool, "Ostrel::Vision::Geometry::" #Tool)             \
    CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Vision::Geometry::Tool::BaseTool, Ostrel::Vision::Geometry::Tool)
