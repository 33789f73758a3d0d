// Reflection of the intersection tools and the line-angle tool: each tool's two shapes, then
// the outputs of its kind.
#include <Geometry/AngleLineLineTool.h>
#include <Geometry/IntersectCircleCircleTool.h>
#include <Geometry/IntersectLineCircleTool.h>
#include <Geometry/IntersectLineEllipseTool.h>
#include <Geometry/IntersectLineLineTool.h>
#include <Geometry/IntersectSegmentCircleTool.h>
#include <Geometry/IntersectSegmentEllipseTool.h>
#include <Geometry/IntersectSegmentLineTool.h>
#include <Geometry/IntersectSegmentSegmentTool.h>

#include "RegistrationSupport.h"

using namespace Ostrel::Vision::Geometry;
using Registration::RegisterTool;

namespace {

template <class T, class Class> void OnePointOutputs(Class&& tool)
{
    tool.property_readonly("NumPoints", &T::NumPoints)
        .property_readonly("X", &T::X)
        .property_readonly("Y", &T::Y)
        .property_readonly("Intersects", &T::Intersects);
}

template <class T, class Class> void TwoPointOutputs(Class&& tool)
{
    tool.property_readonly("NumPoints", &T::NumPoints)
        .property_readonly("X0", &T::X0)
        .property_readonly("Y0", &T::Y0)
        .property_readonly("X1", &T::X1)
        .property_readonly("Y1", &T::Y1)
        .property_readonly("Intersects", &T::Intersects);
}

} // namespace

RTTR_REGISTRATION
{
    using LineLine = IntersectLineLineTool;
    OnePointOutputs<LineLine>(RegisterTool<LineLine>("IntersectLineLineTool")
                                  .property("LineA", &LineLine::LineA, &LineLine::setLineA)
                                  .property("LineB", &LineLine::LineB, &LineLine::setLineB)
                                  .property_readonly("Angle", &LineLine::Angle));
    using SegmentLine = IntersectSegmentLineTool;
    OnePointOutputs<SegmentLine>(RegisterTool<SegmentLine>("IntersectSegmentLineTool")
                                     .property("Segment", &SegmentLine::Segment, &SegmentLine::setSegment)
                                     .property("Line", &SegmentLine::Line, &SegmentLine::setLine));
    using SegmentSegment = IntersectSegmentSegmentTool;
    OnePointOutputs<SegmentSegment>(
        RegisterTool<SegmentSegment>("IntersectSegmentSegmentTool")
            .property("SegmentA", &SegmentSegment::SegmentA, &SegmentSegment::setSegmentA)
            .property("SegmentB", &SegmentSegment::SegmentB, &SegmentSegment::setSegmentB));
    using LineCircle = IntersectLineCircleTool;
    TwoPointOutputs<LineCircle>(
        RegisterTool<LineCircle>("IntersectLineCircleTool")
            .property("Line", &LineCircle::Line, &LineCircle::setLine)
            .property("InputCircle", &LineCircle::InputCircle, &LineCircle::setInputCircle));
    using LineEllipse = IntersectLineEllipseTool;
    TwoPointOutputs<LineEllipse>(RegisterTool<LineEllipse>("IntersectLineEllipseTool")
                                     .property("Line", &LineEllipse::Line, &LineEllipse::setLine)
                                     .property("Ellipse", &LineEllipse::Ellipse, &LineEllipse::setEllipse));
    using SegmentCircle = IntersectSegmentCircleTool;
    TwoPointOutputs<SegmentCircle>(
        RegisterTool<SegmentCircle>("IntersectSegmentCircleTool")
            .property("Segment", &SegmentCircle::Segment, &SegmentCircle::setSegment)
            .property("InputCircle", &SegmentCircle::InputCircle, &SegmentCircle::setInputCircle));
    using SegmentEllipse = IntersectSegmentEllipseTool;
    TwoPointOutputs<SegmentEllipse>(
        RegisterTool<SegmentEllipse>("IntersectSegmentEllipseTool")
            .property("Segment", &SegmentEllipse::Segment, &SegmentEllipse::setSegment)
            .property("Ellipse", &SegmentEllipse::Ellipse, &SegmentEllipse::setEllipse));
    using CircleCircle = IntersectCircleCircleTool;
    TwoPointOutputs<CircleCircle>(
        RegisterTool<CircleCircle>("IntersectCircleCircleTool")
            .property("CircleA", &CircleCircle::CircleA, &CircleCircle::setCircleA)
            .property("CircleB", &CircleCircle::CircleB, &CircleCircle::setCircleB));

    using AngleTool = AngleLineLineTool;
    RegisterTool<AngleTool>("AngleLineLineTool")
        .property("LineA", &AngleTool::LineA, &AngleTool::setLineA)
        .property("LineB", &AngleTool::LineB, &AngleTool::setLineB)
        .property_readonly("Angle", &AngleTool::Angle);
}
