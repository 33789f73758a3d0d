#pragma once
// Shapes and images for the MathUtils tests.

#include <memory>
#include <string>
#include <vector>

#include <Ostrel/Vision/Circle.h>
#include <Ostrel/Vision/CoordinateSpaceTree.h>
#include <Ostrel/Vision/Ellipse.h>
#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/Line.h>
#include <Ostrel/Vision/LineSegment.h>
#include <Ostrel/Vision/Polygon.h>

namespace Ostrel::Vision::Geometry::Testing {

inline std::shared_ptr<Line> MakeLine(double x, double y, double rotation, const std::string& space = ".")
{
    auto line = Quill::Create<Line>();
    line->SetXYRotation(x, y, rotation);
    line->setSelectedSpaceName(space);
    return line;
}

inline std::shared_ptr<LineSegment> MakeSegment(double sx, double sy, double ex, double ey,
                                                const std::string& space = ".")
{
    auto segment = Quill::Create<LineSegment>();
    segment->SetStartEnd(sx, sy, ex, ey);
    segment->setSelectedSpaceName(space);
    return segment;
}

inline std::shared_ptr<Circle> MakeCircle(double cx, double cy, double r, const std::string& space = ".")
{
    auto circle = Quill::Create<Circle>();
    circle->SetCenterRadius(cx, cy, r);
    circle->setSelectedSpaceName(space);
    return circle;
}

inline std::shared_ptr<Ellipse> MakeEllipse(double cx, double cy, double rx, double ry, double rotation,
                                            const std::string& space = ".")
{
    auto ellipse = Quill::Create<Ellipse>();
    ellipse->SetCenterXYRadiusXYRotation(cx, cy, rx, ry, rotation);
    ellipse->setSelectedSpaceName(space);
    return ellipse;
}

inline std::shared_ptr<Polygon> MakeRectangle(double x0, double y0, double x1, double y1)
{
    auto polygon = Quill::Create<Polygon>();
    polygon->AddVertex(x0, y0);
    polygon->AddVertex(x1, y0);
    polygon->AddVertex(x1, y1);
    polygon->AddVertex(x0, y1);
    return polygon;
}

// An image with a space "Plate" whose coordinates map to pixels by `pixelsFromPlate`.
inline std::shared_ptr<Image8Grey> ImageWithPlate(const Transform2DLinear& pixelsFromPlate)
{
    auto image = Quill::Create<Image8Grey>(64, 48);
    image->CoordinateSpaceTree()->AddSpace("#", "Plate", pixelsFromPlate.InverseLinear());
    return image;
}

// A call's result followed by the out-parameters it wrote: With(f(..., x, y), x, y). The
// out-parameters are read once every argument has been evaluated, so after the call.
template <class... Out>
std::vector<double> With(double result, const Out&... out)
{
    return {result, static_cast<double>(out)...};
}

} // namespace Ostrel::Vision::Geometry::Testing
