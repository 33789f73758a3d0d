// Archives of the intersection tools and the line-angle tool: the base part, the two shapes,
// then what the last run left.
#include <cmath>

#include <Geometry/AngleLineLineTool.h>
#include <Geometry/IntersectCircleCircleTool.h>
#include <Geometry/IntersectLineCircleTool.h>
#include <Geometry/IntersectLineEllipseTool.h>
#include <Geometry/IntersectLineLineTool.h>
#include <Geometry/IntersectSegmentCircleTool.h>
#include <Geometry/IntersectSegmentEllipseTool.h>
#include <Geometry/IntersectSegmentLineTool.h>
#include <Geometry/IntersectSegmentSegmentTool.h>

#include "ArchiveSupport.h"

OSTREL_GEOMETRY_CLASS_VERSION(AngleLineLineTool)
OSTREL_GEOMETRY_CLASS_VERSION(IntersectCircleCircleTool)
OSTREL_GEOMETRY_CLASS_VERSION(IntersectLineCircleTool)
OSTREL_GEOMETRY_CLASS_VERSION(IntersectLineEllipseTool)
OSTREL_GEOMETRY_CLASS_VERSION(IntersectLineLineTool)
OSTREL_GEOMETRY_CLASS_VERSION(IntersectSegmentCircleTool)
OSTREL_GEOMETRY_CLASS_VERSION(IntersectSegmentEllipseTool)
OSTREL_GEOMETRY_CLASS_VERSION(IntersectSegmentLineTool)
OSTREL_GEOMETRY_CLASS_VERSION(IntersectSegmentSegmentTool)

namespace Ostrel::Vision::Geometry {

using Persistence::ToolFields;
using namespace Implementation;

namespace {

// A loaded result is refused unless its count is one a computation gives and its numbers are
// finite: a damaged archive must not pass off NaN as a crossing or an angle.
template <class Archive, class... Numbers>
void CheckResult(const char* className, int numPoints, int maxPoints, Numbers... numbers)
{
    if constexpr (Archive::is_loading::value) {
        if (numPoints < -1 || numPoints > maxPoints || !(std::isfinite(numbers) && ...))
            throw SerializationException(
                Strings::Substitute("The archive of %1 holds a result that no run gives.", {className}));
    }
}

// The outputs of each kind of result, in the order of their properties.
template <class Archive, class Fields>
void ArchiveResult(Fields& fields, OnePointIntersection& r, const char* className)
{
    fields.LastRun(r.numPoints, r.x, r.y, r.intersects);
    CheckResult<Archive>(className, r.numPoints, 1, r.x, r.y);
}
template <class Archive, class Fields>
void ArchiveResult(Fields& fields, LineLineIntersection& r, const char* className)
{
    fields.LastRun(r.numPoints, r.x, r.y, r.angle, r.intersects);
    CheckResult<Archive>(className, r.numPoints, 1, r.x, r.y, r.angle);
}
template <class Archive, class Fields>
void ArchiveResult(Fields& fields, TwoPointIntersection& r, const char* className)
{
    fields.LastRun(r.numPoints, r.x0, r.y0, r.x1, r.y1, r.intersects);
    // Two circles in a space that bends them unevenly may cross four times.
    CheckResult<Archive>(className, r.numPoints, 4, r.x0, r.y0, r.x1, r.y1);
}

} // namespace

#define OSTREL_GEOMETRY_INTERSECTION_ARCHIVE(Tool)                                                           \
    template <class Archive> void Tool::serialize(Archive& ar, std::uint32_t version)                        \
    {                                                                                                        \
        ArchiveResult<Archive>(ToolFields(ar, version, *this, #Tool).Inputs(shapes_.a, shapes_.b), result_,        \
                         #Tool);                                                                             \
    }

OSTREL_GEOMETRY_INTERSECTION_ARCHIVE(IntersectCircleCircleTool)
OSTREL_GEOMETRY_INTERSECTION_ARCHIVE(IntersectLineCircleTool)
OSTREL_GEOMETRY_INTERSECTION_ARCHIVE(IntersectLineEllipseTool)
OSTREL_GEOMETRY_INTERSECTION_ARCHIVE(IntersectLineLineTool)
OSTREL_GEOMETRY_INTERSECTION_ARCHIVE(IntersectSegmentCircleTool)
OSTREL_GEOMETRY_INTERSECTION_ARCHIVE(IntersectSegmentEllipseTool)
OSTREL_GEOMETRY_INTERSECTION_ARCHIVE(IntersectSegmentLineTool)
OSTREL_GEOMETRY_INTERSECTION_ARCHIVE(IntersectSegmentSegmentTool)

// The line-angle tool also keeps its line copies, and writes the angle before the crossing.
template <class Archive> void AngleLineLineTool::serialize(Archive& ar, std::uint32_t version)
{
    ToolFields(ar, version, *this, "AngleLineLineTool")
        .Inputs(shapes_.a, shapes_.b)
        .LastRun(shapes_.copies.a, shapes_.copies.b, result_.angle, result_.numPoints, result_.x, result_.y,
                 result_.intersects);
    CheckResult<Archive>("AngleLineLineTool", result_.numPoints, 1, result_.angle, result_.x, result_.y);
}

} // namespace Ostrel::Vision::Geometry

OSTREL_GEOMETRY_REGISTER_TOOL(AngleLineLineTool)
OSTREL_GEOMETRY_REGISTER_TOOL(IntersectCircleCircleTool)
OSTREL_GEOMETRY_REGISTER_TOOL(IntersectLineCircleTool)
OSTREL_GEOMETRY_REGISTER_TOOL(IntersectLineEllipseTool)
OSTREL_GEOMETRY_REGISTER_TOOL(IntersectLineLineTool)
OSTREL_GEOMETRY_REGISTER_TOOL(IntersectSegmentCircleTool)
OSTREL_GEOMETRY_REGISTER_TOOL(IntersectSegmentEllipseTool)
OSTREL_GEOMETRY_REGISTER_TOOL(IntersectSegmentLineTool)
OSTREL_GEOMETRY_REGISTER_TOOL(IntersectSegmentSegmentTool)
