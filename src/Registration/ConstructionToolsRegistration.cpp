// Reflection of the construction tools and the graphic label tool: their inputs, and the
// output getters that the output pins call.
#include <Geometry/CreateCircleTool.h>
#include <Geometry/CreateGraphicLabelTool.h>
#include <Geometry/CreateEllipseTool.h>
#include <Geometry/CreateLineBisectPointsTool.h>
#include <Geometry/CreateLineParallelTool.h>
#include <Geometry/CreateLinePerpendicularTool.h>
#include <Geometry/CreateLineTool.h>
#include <Geometry/CreateSegmentAvgSegsTool.h>
#include <Geometry/CreateSegmentTool.h>

#include "RegistrationSupport.h"

RTTR_REGISTRATION
{
    using namespace Ostrel::Vision::Geometry;
    using Registration::RegisterTool;
    RegisterTool<CreateSegmentTool>("CreateSegmentTool")
        .property("Segment", &CreateSegmentTool::Segment, &CreateSegmentTool::setSegment)
        .method("GetOutputSegment", &CreateSegmentTool::GetOutputSegment);
    RegisterTool<CreateLineTool>("CreateLineTool")
        .property("Line", &CreateLineTool::Line, &CreateLineTool::setLine)
        .method("GetOutputLine", &CreateLineTool::GetOutputLine);
    RegisterTool<CreateCircleTool>("CreateCircleTool")
        .property("Circle", &CreateCircleTool::Circle, &CreateCircleTool::setCircle)
        .method("GetOutputCircle", &CreateCircleTool::GetOutputCircle);
    RegisterTool<CreateEllipseTool>("CreateEllipseTool")
        .property("Ellipse", &CreateEllipseTool::Ellipse, &CreateEllipseTool::setEllipse)
        .method("GetOutputEllipse", &CreateEllipseTool::GetOutputEllipse);
    RegisterTool<CreateLineParallelTool>("CreateLineParallelTool")
        .property("X", &CreateLineParallelTool::X, &CreateLineParallelTool::setX)
        .property("Y", &CreateLineParallelTool::Y, &CreateLineParallelTool::setY)
        .property("Line", &CreateLineParallelTool::Line, &CreateLineParallelTool::setLine)
        .method("GetOutputLine", &CreateLineParallelTool::GetOutputLine);
    RegisterTool<CreateLinePerpendicularTool>("CreateLinePerpendicularTool")
        .property("X", &CreateLinePerpendicularTool::X, &CreateLinePerpendicularTool::setX)
        .property("Y", &CreateLinePerpendicularTool::Y, &CreateLinePerpendicularTool::setY)
        .property("Line", &CreateLinePerpendicularTool::Line, &CreateLinePerpendicularTool::setLine)
        .method("GetOutputLine", &CreateLinePerpendicularTool::GetOutputLine);
    using Bisect = CreateLineBisectPointsTool;
    RegisterTool<Bisect>("CreateLineBisectPointsTool")
        .property("StartX", &Bisect::StartX, &Bisect::setStartX)
        .property("StartY", &Bisect::StartY, &Bisect::setStartY)
        .property("EndX", &Bisect::EndX, &Bisect::setEndX)
        .property("EndY", &Bisect::EndY, &Bisect::setEndY)
        .method("GetOutputLine", &Bisect::GetOutputLine);
    using Average = CreateSegmentAvgSegsTool;
    RegisterTool<Average>("CreateSegmentAvgSegsTool")
        .property("SegmentA", &Average::SegmentA, &Average::setSegmentA)
        .property("SegmentB", &Average::SegmentB, &Average::setSegmentB)
        .method("GetOutputSegment", &Average::GetOutputSegment);

    using Label = CreateGraphicLabelTool;
    using Selector = CreateGraphicLabelSourceSelectorConstants;
    rttr::registration::enumeration<Selector>("Ostrel::Vision::Geometry::CreateGraphicLabelSourceSelectorConstants")(
        rttr::value("InputGraphicLabelText", Selector::InputGraphicLabelText),
        rttr::value("InputBoolean", Selector::InputBoolean), rttr::value("InputDouble", Selector::InputDouble),
        rttr::value("InputInteger", Selector::InputInteger),
        rttr::value("InputToolResultConstant", Selector::InputToolResultConstant),
        rttr::value("FormattedText", Selector::FormattedText));
    RegisterTool<Label>("CreateGraphicLabelTool")
        .property("InputGraphicLabel", &Label::InputGraphicLabel, &Label::setInputGraphicLabel)
        .property("InputBoolean", &Label::InputBoolean, &Label::setInputBoolean)
        .property("InputDouble", &Label::InputDouble, &Label::setInputDouble)
        .property("InputInteger", &Label::InputInteger, &Label::setInputInteger)
        .property("InputToolResultConstant", &Label::InputToolResultConstant, &Label::setInputToolResultConstant)
        .property("SourceSelector", &Label::SourceSelector, &Label::setSourceSelector)
        .property("OutputColor", &Label::OutputColor, &Label::setOutputColor)
        .method("GetOutputGraphicLabel", &Label::GetOutputGraphicLabel);
}
