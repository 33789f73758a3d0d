// Archives of the fit tools: the framework part, the run parameters (always), the input
// image (with the input-image option), then the result and the kept image of the last run
// (with the last-run option). The tools add nothing of their own.
#include <Geometry/FitCircleTool.h>
#include <Geometry/FitEllipseTool.h>
#include <Geometry/FitLineTool.h>

#include "ArchiveSupport.h"
#include "FitClassVersions.h"

OSTREL_GEOMETRY_CLASS_VERSION(Implementation::FitToolBase)
OSTREL_GEOMETRY_CLASS_VERSION(FitLineTool)
OSTREL_GEOMETRY_CLASS_VERSION(FitCircleTool)
OSTREL_GEOMETRY_CLASS_VERSION(FitEllipseTool)

namespace Ostrel::Vision::Geometry {

using Persistence::OptionalField;
using Persistence::ToolFields;

namespace Implementation {

template <class Archive> void FitToolBase::serialize(Archive& ar, std::uint32_t version)
{
    if constexpr (Archive::is_loading::value)
        Persistence::CheckVersion<FitToolBase>(version, "FitToolBase");
    ar(cereal::base_class<Vision::Implementation::ToolBase>(this));
    const std::uint32_t options = Options(ar);
    ar(runParams_);
    OptionalField(ar, options & ArchiveOptions::InputImages, inputImage_);
    OptionalField(ar, options & ArchiveOptions::LastRunResults, result_);
    OptionalField(ar, options & ArchiveOptions::LastRunResults, lastRunImage_);
    if constexpr (Archive::is_loading::value) {
        // Run parameters and a result of another fit would be read through the wrong class.
        if ((runParams_ && !IsOwnRunParams(*runParams_)) || (result_ && !IsOwnResult(*result_)))
            throw SerializationException(
                "The archive of a fit tool holds run parameters or a result of another fit.");
        DropManipPoints();
        HookOperatorChangedEvent();
    }
}

} // namespace Implementation

// A fit tool archives nothing beyond its base.
#define OSTREL_GEOMETRY_FIT_TOOL_SERIALIZE(Tool)                                                             \
    template <class Archive> void Tool::serialize(Archive& ar, std::uint32_t version)                        \
    {                                                                                                        \
        ToolFields(ar, version, *this, #Tool);                                                               \
    }
OSTREL_GEOMETRY_FIT_TOOL_SERIALIZE(FitLineTool)
OSTREL_GEOMETRY_FIT_TOOL_SERIALIZE(FitCircleTool)
OSTREL_GEOMETRY_FIT_TOOL_SERIALIZE(FitEllipseTool)

} // namespace Ostrel::Vision::Geometry

CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Vision::Implementation::ToolBase,
                                     Ostrel::Vision::Geometry::Implementation::FitToolBase)
OSTREL_GEOMETRY_REGISTER_TOOL(FitLineTool)
OSTREL_GEOMETRY_REGISTER_TOOL(FitCircleTool)
OSTREL_GEOMETRY_REGISTER_TOOL(FitEllipseTool)
