// Reflection of the shape-to-shape distance tools: both shapes, the distance and the two
// closest points.
#include <Geometry/DistanceCircleCircleTool.h>
#include <Geometry/DistanceLineCircleTool.h>
#include <Geometry/DistanceLineEllipseTool.h>
#include <Geometry/DistanceSegmentCircleTool.h>
#include <Geometry/DistanceSegmentEllipseTool.h>
#include <Geometry/DistanceSegmentLineTool.h>
#include <Geometry/DistanceSegmentSegmentTool.h>

#include "RegistrationSupport.h"

#define OSTREL_SHAPE_PAIR_TOOL_REFLECTION(Tool, A, B, AX, AY, BX, BY)                                              \
    RegisterTool<Tool>(#Tool)                                                                                       \
        .property(#A, &Tool::A, &Tool::set##A)                                                                      \
        .property(#B, &Tool::B, &Tool::set##B)                                                                      \
        .property_readonly("Distance", Own<Tool>(&Tool::Distance))                                                  \
        .property_readonly(#AX, &Tool::AX)                                                                          \
        .property_readonly(#AY, &Tool::AY)                                                                          \
        .property_readonly(#BX, &Tool::BX)                                                                          \
        .property_readonly(#BY, &Tool::BY);

RTTR_REGISTRATION
{
    using namespace Ostrel::Vision::Geometry;
    using namespace Registration;
    OSTREL_SHAPE_PAIR_TOOL_REFLECTION(DistanceCircleCircleTool, CircleA, CircleB, CircleAX, CircleAY, CircleBX, CircleBY)
    OSTREL_SHAPE_PAIR_TOOL_REFLECTION(DistanceLineCircleTool, Line, InputCircle, LineX, LineY, CircleX, CircleY)
    OSTREL_SHAPE_PAIR_TOOL_REFLECTION(DistanceLineEllipseTool, Line, Ellipse, LineX, LineY, EllipseX, EllipseY)
    OSTREL_SHAPE_PAIR_TOOL_REFLECTION(DistanceSegmentLineTool, Segment, Line, SegmentX, SegmentY, LineX, LineY)
    OSTREL_SHAPE_PAIR_TOOL_REFLECTION(DistanceSegmentSegmentTool, SegmentA, SegmentB, SegmentAX, SegmentAY, SegmentBX,
                                      SegmentBY)
    OSTREL_SHAPE_PAIR_TOOL_REFLECTION(DistanceSegmentCircleTool, Segment, InputCircle, SegmentX, SegmentY, CircleX,
                                      CircleY)
    OSTREL_SHAPE_PAIR_TOOL_REFLECTION(DistanceSegmentEllipseTool, Segment, Ellipse, SegmentX, SegmentY, EllipseX,
                                      EllipseY)
}
