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

// A pass-through tool: its shape, and the output getter.
#define OSTREL_PASS_THROUGH_TOOL_REFLECTION(Tool, Shape)                                                            \
    RegisterTool<Tool>(#Tool)                                                                                       \
        .property(#Shape, &Tool::Shape, &Tool::set##Shape)                                                          \
        .method("GetOutput" #Shape, &Tool::GetOutput##Shape);

// A line-through-point tool: the point's coordinates, the line, and the output getter, all
// from the family's frame.
#define OSTREL_LINE_THROUGH_POINT_TOOL_REFLECTION(Tool)                                                             \
    RegisterTool<Tool>(#Tool)                                                                                       \
        .property("X", Own<Tool>(&Tool::X), Own<Tool>(&Tool::setX))                                                 \
        .property("Y", Own<Tool>(&Tool::Y), Own<Tool>(&Tool::setY))                                                 \
        .property("Line", Own<Tool>(&Tool::Line), Own<Tool>(&Tool::setLine))                                        \
        .method("GetOutputLine", Own<Tool>(&Tool::GetOutputLine));

RTTR_REGISTRATION
{
    using namespace Ostrel::Vision::Geometry;
    using namespace Registration;
    OSTREL_PASS_THROUGH_TOOL_REFLECTION(CreateSegmentTool, Segment)
    OSTREL_PASS_THROUGH_TOOL_REFLECTION(CreateLineTool, Line)
    OSTREL_PASS_THROUGH_TOOL_REFLECTION(CreateCircleTool, Circle)
    OSTREL_PASS_THROUGH_TOOL_REFLECTION(CreateEllipseTool, Ellipse)
    OSTREL_LINE_THROUGH_POINT_TOOL_REFLECTION(CreateLineParallelTool)
    OSTREL_LINE_THROUGH_POINT_TOOL_REFLECTION(CreateLinePerpendicularTool)
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
