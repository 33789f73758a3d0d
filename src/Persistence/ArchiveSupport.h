#pragma once
// What every archive of the library shares: the class versions of the bases and the rule
// for fields that carry real values only under an archive option.

#include <cstdint>

#include <Geometry/Implementation/GeometryToolBase.h>
#include <Geometry/Implementation/GeometryToolBaseOutputStyle.h>
#include <Ostrel/Vision/Archive.h>

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

CEREAL_CLASS_VERSION(Ostrel::Vision::Geometry::Implementation::GeometryToolBase, 1)
CEREAL_CLASS_VERSION(Ostrel::Vision::Geometry::Implementation::GeometryToolBaseOutputStyle, 1)

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

} // namespace Ostrel::Vision::Geometry::Persistence
