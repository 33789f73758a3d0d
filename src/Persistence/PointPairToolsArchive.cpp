// Archives of the point-pair tools: the base part, the two markers, then the last run's
// record copies and outputs (real only with the last-run option).
#include <Geometry/AnglePointPointTool.h>
#include <Geometry/DistancePointPointTool.h>

#include "ArchiveSupport.h"

CEREAL_CLASS_VERSION(Ostrel::Vision::Geometry::DistancePointPointTool, 1)
CEREAL_CLASS_VERSION(Ostrel::Vision::Geometry::AnglePointPointTool, 1)

namespace Ostrel::Vision::Geometry {

using Persistence::OptionalField;
using Persistence::RequireLoaded;

template <class Archive>
void DistancePointPointTool::serialize(Archive& ar, std::uint32_t version)
{
    if constexpr (Archive::is_loading::value)
        CheckSerializationVersionMismatch(version, 1, "DistancePointPointTool::serialize()");
    ar(cereal::base_class<Implementation::GeometryToolBase>(this));
    const bool lastRun = Options(ar) & ArchiveOptions::LastRunResults;
    ar(startPoint_, endPoint_);
    OptionalField(ar, lastRun, startPointCopy_);
    OptionalField(ar, lastRun, endPointCopy_);
    OptionalField(ar, lastRun, distance_);
    OptionalField(ar, lastRun, angle_);
    if constexpr (Archive::is_loading::value) {
        RequireLoaded(startPoint_, "start point", "DistancePointPointTool");
        RequireLoaded(endPoint_, "end point", "DistancePointPointTool");
        OnFinalConstruct();  // follow the markers just read
    }
}

template <class Archive>
void AnglePointPointTool::serialize(Archive& ar, std::uint32_t version)
{
    if constexpr (Archive::is_loading::value)
        CheckSerializationVersionMismatch(version, 1, "AnglePointPointTool::serialize()");
    ar(cereal::base_class<Implementation::GeometryToolBase>(this));
    const bool lastRun = Options(ar) & ArchiveOptions::LastRunResults;
    ar(startPoint_, endPoint_);
    OptionalField(ar, lastRun, startPointCopy_);
    OptionalField(ar, lastRun, endPointCopy_);
    OptionalField(ar, lastRun, angle_);
    if constexpr (Archive::is_loading::value) {
        RequireLoaded(startPoint_, "start point", "AnglePointPointTool");
        RequireLoaded(endPoint_, "end point", "AnglePointPointTool");
        OnFinalConstruct();
    }
}

} // namespace Ostrel::Vision::Geometry

CEREAL_REGISTER_TYPE_WITH_NAME(Ostrel::Vision::Geometry::DistancePointPointTool,
                               "Ostrel::Vision::Geometry::DistancePointPointTool")
CEREAL_REGISTER_TYPE_WITH_NAME(Ostrel::Vision::Geometry::AnglePointPointTool,
                               "Ostrel::Vision::Geometry::AnglePointPointTool")
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Vision::Geometry::Implementation::GeometryToolBase,
                                     Ostrel::Vision::Geometry::DistancePointPointTool)
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Vision::Geometry::Implementation::GeometryToolBase,
                                     Ostrel::Vision::Geometry::AnglePointPointTool)
