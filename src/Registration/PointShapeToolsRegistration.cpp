// Reflection of the point-to-shape distance tools: the point's coordinates, the shape, the
// distance and the closest point.
#include <Geometry/DistancePointCircleTool.h>
#include <Geometry/DistancePointEllipseTool.h>
#include <Geometry/DistancePointLineTool.h>
#include <Geometry/DistancePointSegmentTool.h>

#include "RegistrationSupport.h"

#define OSTREL_POINT_SHAPE_TOOL_REFLECTION(Tool, Shape, ShapeX, ShapeY)                                             \
    RegisterTool<Tool>(#Tool)                                                                                       \
        .property("X", Own<Tool>(&Tool::X), Own<Tool>(&Tool::setX))                                                 \
        .property("Y", Own<Tool>(&Tool::Y), Own<Tool>(&Tool::setY))                                                 \
        .property(#Shape, &Tool::Shape, &Tool::set##Shape)                                                          \
        .property_readonly("Distance", Own<Tool>(&Tool::Distance))                                                  \
        .property_readonly(#ShapeX, &Tool::ShapeX)                                                                  \
        .property_readonly(#ShapeY, &Tool::ShapeY);

RTTR_REGISTRATION
{
    using namespace Ostrel::Vision::Geometry;
    using namespace Registration;
    OSTREL_POINT_SHAPE_TOOL_REFLECTION(DistancePointCircleTool, InputCircle, CircleX, CircleY)
    OSTREL_POINT_SHAPE_TOOL_REFLECTION(DistancePointLineTool, Line, LineX, LineY)
    OSTREL_POINT_SHAPE_TOOL_REFLECTION(DistancePointSegmentTool, Segment, SegmentX, SegmentY)
    OSTREL_POINT_SHAPE_TOOL_REFLECTION(DistancePointEllipseTool, Ellipse, EllipseX, EllipseY)
}
