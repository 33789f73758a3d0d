// Angles between lines, constructed lines and segments, and containment.
#include <cmath>
#include <numbers>

#include <Geometry/MathUtils.h>
#include <Ostrel/Vision/Circle.h>
#include <Ostrel/Vision/Ellipse.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/GraphicConstants.h>
#include <Ostrel/Vision/IImage.h>
#include <Ostrel/Vision/Line.h>
#include <Ostrel/Vision/LineSegment.h>
#include <Ostrel/Vision/Private/Angles.h>
#include <Ostrel/Vision/Private/PrimitiveFailure.h>
#include <Ostrel/Vision/SpaceNameUtils.h>
#include <Ostrel/Vision/Strings.h>

#include "ShapeValues.h"

namespace Ostrel::Vision::Geometry {

using Vision::Private::GuardPrimitives;

namespace {

// Copies keep the shape's space, colour and line style.
constexpr auto kCopyGraphicProperties = static_cast<std::uint32_t>(CopyShapeConstants::GraphicProperties);

// A copy of `line` through (x, y) at the line's direction (in the image's space when an
// image is given) turned by `turn`.
std::shared_ptr<Line> LineThrough(double x, double y, const Line& line, const IImage* image, double turn)
{
    return GuardPrimitives([&] {
        auto copy = line.Copy(kCopyGraphicProperties);
        double rotation = line.Rotation();
        if (image) {
            rotation = ShapeValues::MapRotation(*copy, *image);
            copy->setSelectedSpaceName(SpaceNameUtils::ImageSpaceNameFQ(*image));
        }
        copy->SetXYRotation(x, y, rotation + turn);
        return copy;
    });
}

} // namespace

double MathUtils::AngleLineLine(const Line& lineA, const Line& lineB, const IImage* image)
{
    return GuardPrimitives([&] {
        // Each rotation is reduced to its direction first, as mapping by an image does, so
        // that a huge rotation is not lost in the difference.
        double a = Vision::Private::NormalizeAngle(lineA.Rotation());
        double b = Vision::Private::NormalizeAngle(lineB.Rotation());
        if (image) {
            a = ShapeValues::MapRotation(lineA, *image);
            b = ShapeValues::MapRotation(lineB, *image);
        }
        return Vision::Private::NormalizeAngle(b - a);
    });
}

std::shared_ptr<Line> MathUtils::CreateLineParallel(double x, double y, const Line& line, const IImage* image)
{
    return LineThrough(x, y, line, image, 0);
}

std::shared_ptr<Line> MathUtils::CreateLinePerpendicular(double x, double y, const Line& line,
                                                         const IImage* image)
{
    return LineThrough(x, y, line, image, std::numbers::pi / 2);
}

std::shared_ptr<Line> MathUtils::CreateLineBisectingPointPoint(double x0, double y0, double x1, double y1,
                                                               const std::string& spaceName)
{
    if (x0 == x1 && y0 == y1)
        throw ShapeException(std::string(Strings::E_OstShape_CoordinatesMustDiffer));
    SpaceNameUtils::CheckSpaceNameSyntax(spaceName, true);
    auto line = Quill::Create<Line>();
    line->SetXYRotation((x0 + x1) / 2, (y0 + y1) / 2, std::atan2(y1 - y0, x1 - x0) + std::numbers::pi / 2);
    line->setSelectedSpaceName(spaceName);
    return line;
}

std::shared_ptr<LineSegment> MathUtils::CreateSegmentByAveragingSegments(const LineSegment& segmentA,
                                                                         const LineSegment& segmentB,
                                                                         const IImage* image)
{
    return GuardPrimitives([&] {
        auto copy = segmentA.Copy(kCopyGraphicProperties);
        const Vision::Private::Segment2D a = ShapeValues::Segment(segmentA, image);
        const Vision::Private::Segment2D b = ShapeValues::Segment(segmentB, image);
        if (image)
            copy->setSelectedSpaceName(SpaceNameUtils::ImageSpaceNameFQ(*image));
        copy->SetStartEnd((a.start.x + b.start.x) / 2, (a.start.y + b.start.y) / 2, (a.end.x + b.end.x) / 2,
                          (a.end.y + b.end.y) / 2);
        return copy;
    });
}

bool MathUtils::InsidePointCircle(double x, double y, const Circle& circle, const IImage* image)
{
    return GuardPrimitives([&] {
        const Vision::Private::Point2D point = ShapeValues::Point(x, y);
        if (image)
            return ShapeValues::CircleAsEllipse(circle, image).WithinFullEllipse(point);
        const Vision::Private::Circle2D c = ShapeValues::Circle(circle);
        return Vision::Private::Distance(point, c.center) <= c.radius; // the closed disc
    });
}

bool MathUtils::InsidePointEllipse(double x, double y, const Ellipse& ellipse, const IImage* image)
{
    return GuardPrimitives(
        [&] { return ShapeValues::Ellipse(ellipse, image).WithinFullEllipse(ShapeValues::Point(x, y)); });
}

} // namespace Ostrel::Vision::Geometry
