// Conversion of the fit tools from archives of the previous product generation: the
// framework part, then the input image and the run parameters; the tools have nothing of
// their own.
#include <Geometry/FitCircleTool.h>
#include <Geometry/FitEllipseTool.h>
#include <Geometry/FitLineTool.h>
#include <Ostrel/Vision/Legacy.h>

namespace Ostrel::Vision::Geometry {

using namespace Vision::Implementation::Internal;

void Implementation::FitToolBase::Orv9xConvert(long long handle, void* context)
{
    const ObjectInfo& info = LookUpObjectInfo(context, handle);
    ToolBase::Orv9xConvert(handle, context);
    FetchObjectGuarded(info, "InputImage", context, inputImage_);
    std::shared_ptr<FitBase> runParams = runParams_;
    if (FetchObjectGuarded(info, "RunParams", context, runParams)) {
        if (runParams && !IsOwnRunParams(*runParams)) {
            info.Log(LogHeaderConstants::Warning,
                     "The run parameters belong to another fit, error for field: RunParams");
            runParams = nullptr;
        }
        runParams_ = std::move(runParams);
    }
    DropManipPoints();
    OnFinalConstruct();
}

[[maybe_unused]] const bool fitToolLegacyTypesRegistered = [] {
    Orv9xConverter::Register<FitLineTool>("FitLineTool");
    Orv9xConverter::Register<FitCircleTool>("FitCircleTool");
    Orv9xConverter::Register<FitEllipseTool>("FitEllipseTool");
    return true;
}();

} // namespace Ostrel::Vision::Geometry
