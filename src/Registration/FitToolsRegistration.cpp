// Reflection of the fit tools: the base with its input image, each tool with its record
// switches, its run parameters (whose indexed point properties the point pins reach) and
// its result (whose shape the output pins reach).
#include <Geometry/FitCircleTool.h>
#include <Geometry/FitEllipseTool.h>
#include <Geometry/FitLineTool.h>

#include "RegistrationSupport.h"

namespace {

template <class Tool> void RegisterFitTool(std::string_view className)
{
    Ostrel::Vision::Geometry::Registration::RegisterTool<Tool>(className)
        .property("RunParams", &Tool::RunParams, &Tool::setRunParams)
        .property_readonly("Result", &Tool::Result);
}

} // namespace

RTTR_REGISTRATION
{
    using namespace Ostrel::Vision::Geometry;
    using Implementation::FitToolBase;
    rttr::registration::class_<FitToolBase>("Ostrel::Vision::Geometry::Implementation::FitToolBase")
        .property("InputImage", &FitToolBase::InputImage, &FitToolBase::setInputImage);
    RegisterFitTool<FitLineTool>("FitLineTool");
    RegisterFitTool<FitCircleTool>("FitCircleTool");
    RegisterFitTool<FitEllipseTool>("FitEllipseTool");
}
