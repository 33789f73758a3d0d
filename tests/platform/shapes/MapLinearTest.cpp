#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include <gtest/gtest.h>

#include <Ostrel/Vision/Circle.h>
#include <Ostrel/Vision/CircularArc.h>
#include <Ostrel/Vision/CompositeShape.h>
#include <Ostrel/Vision/Ellipse.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/GraphicLabel.h>
#include <Ostrel/Vision/LineSegment.h>
#include <Ostrel/Vision/PointMarker.h>
#include <Ostrel/Vision/Polygon.h>

using namespace Ostrel;
using namespace Ostrel::Vision;

namespace {

constexpr double Pi = std::numbers::pi;
constexpr auto All = static_cast<std::uint32_t>(CopyShapeConstants::All);

// Distance from the outline of `e` of the point at offset (dx, dy) from its centre, to
// first order: the normalised implicit form divided by the length of its gradient.
double DistanceFromOutline(const Ellipse& e, double dx, double dy)
{
    const double c = std::cos(e.Rotation()), s = std::sin(e.Rotation());
    const double u = (c * dx + s * dy) / e.RadiusX(), v = (-s * dx + c * dy) / e.RadiusY();
    const double gradient = 2 * std::hypot(u / e.RadiusX(), v / e.RadiusY());
    return std::abs(u * u + v * v - 1) / gradient;
}

// The largest distance from the outline of `image` of the images under `t` of points
// sampled around an ellipse (rx, ry, rotation), relative to the larger radius. Points
// are taken as offsets from the centre (the centre maps like any point; see the tests),
// so that the check measures the radii and rotation rather than the rounding of large
// coordinates.
double WorstSampledError(const Transform2DLinear& t, double rx, double ry, double rotation, const Ellipse& image)
{
    double worst = 0;
    for (int i = 0; i < 720; ++i) {
        const double a = 2 * Pi * i / 720;
        const double px = rx * std::cos(a), py = ry * std::sin(a);
        double mx, my;
        const double c = std::cos(rotation), s = std::sin(rotation);
        t.MapVector(c * px - s * py, s * px + c * py, mx, my);
        worst = std::max(worst, DistanceFromOutline(image, mx, my));
    }
    return worst / std::max(image.RadiusX(), image.RadiusY());
}

double AngleBetween(double a, double b)
{
    return std::abs(std::remainder(a - b, 2 * Pi));
}

} // namespace

// The image's X axis is the image of the shape's X axis, up to the nearer axis of the image.
TEST(MapLinear, EllipseIsTheSampledImageForRandomAffineMaps)
{
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> entry(-3, 3), coordinate(-1000, 1000), angle(-7, 7), unit(0, 1);
    for (int trial = 0; trial < 300; ++trial) {
        const Transform2DLinear t(entry(random), entry(random), entry(random), entry(random), coordinate(random),
                                  coordinate(random));
        if (std::abs(t.Determinant()) < 0.05)
            continue;  // badly conditioned maps are covered by the singular case
        const double rx = 1 + 99 * unit(random);
        const double ry = rx * std::pow(10.0, -4 * unit(random));  // axis ratios up to 1e4
        const double rotation = angle(random);
        const double cx = coordinate(random), cy = coordinate(random);
        auto ellipse = Quill::Create<Ellipse>();
        trial % 2 ? ellipse->SetCenterXYRadiusXYRotation(cx, cy, rx, ry, rotation)
                  : ellipse->SetCenterXYRadiusXYRotation(cx, cy, ry, rx, rotation);
        const auto image = ellipse->MapLinear(t, 0);

        EXPECT_LE(WorstSampledError(t, ellipse->RadiusX(), ellipse->RadiusY(), rotation, *image), 1e-12)
            << "trial " << trial;
        double mx, my;
        t.MapPoint(cx, cy, mx, my);
        EXPECT_EQ(image->CenterX(), mx);
        EXPECT_EQ(image->CenterY(), my);
        EXPECT_NEAR(image->RadiusX() * image->RadiusY(), std::abs(t.Determinant()) * rx * ry,
                    1e-12 * image->RadiusX() * image->RadiusY());
        EXPECT_GT(image->Rotation(), -Pi);
        EXPECT_LE(image->Rotation(), Pi);
        EXPECT_LE(AngleBetween(image->Rotation(), t.MapAngle(rotation)), Pi / 4 + 1e-9);

        // A scale along the circle's axes and a turn: the scaled radii in that order.
        auto circle = Quill::Create<Circle>();
        circle->SetCenterRadius(cx, cy, rx);
        const double small = 0.1 + unit(random), large = small * (2 + unit(random));
        const double scaleX = trial % 2 ? small : large, scaleY = trial % 2 ? large : small;
        const auto turn = Transform2DLinear::ScaleRotationTranslation(scaleX, scaleY, rotation, cx, cy);
        const auto round = circle->MapLinear(turn, 0);
        EXPECT_LE(WorstSampledError(turn, rx, rx, 0, *round), 1e-12) << "trial " << trial;
        turn.MapPoint(cx, cy, mx, my);
        EXPECT_EQ(round->CenterX(), mx);
        EXPECT_EQ(round->CenterY(), my);
        EXPECT_NEAR(round->RadiusX(), rx * scaleX, 1e-12 * rx);
        EXPECT_NEAR(round->RadiusY(), rx * scaleY, 1e-12 * rx);
        EXPECT_LE(AngleBetween(round->Rotation(), rotation), 1e-12);
    }
}

TEST(MapLinear, SimilaritiesMapInClosedFormAndTheIdentityReproducesTheShape)
{
    auto ellipse = Quill::Create<Ellipse>();
    ellipse->SetCenterXYRadiusXYRotation(12.25, -7.5, 3.75, 40.125, 2.5);
    const auto same = ellipse->MapLinear(Transform2DLinear::Identity(), All);
    EXPECT_EQ(same->CenterX(), 12.25);
    EXPECT_EQ(same->RadiusX(), 3.75);
    EXPECT_EQ(same->RadiusY(), 40.125);
    EXPECT_EQ(same->Rotation(), 2.5);

    // A mirror in the x axis with scale 2: radii doubled, rotation reversed.
    const auto mirrored = ellipse->MapLinear(Transform2DLinear(2, 0, 0, -2, 0, 0), 0);
    EXPECT_EQ(mirrored->RadiusX(), 7.5);
    EXPECT_EQ(mirrored->RadiusY(), 80.25);
    EXPECT_EQ(mirrored->Rotation(), -2.5);
    EXPECT_EQ(mirrored->CenterY(), 15);

    // A composition of turns and uniform scales is a similarity only to rounding; the
    // image of a circle is still round to rounding.
    auto circle = Quill::Create<Circle>();
    circle->SetCenterRadius(1, 2, 10);
    const auto t = Transform2DLinear::ScaleRotationTranslation(3, 3, 1.1, 5, 6) *
                   Transform2DLinear::ScaleRotationTranslation(0.7, 0.7, -0.3, 1, 1);
    const auto round = circle->MapLinear(t, 0);
    EXPECT_NEAR(round->RadiusX(), 21, 1e-13);
    EXPECT_NEAR(round->RadiusY() / round->RadiusX(), 1, 4e-16);
    // Tiny and huge transforms are as regular as any other.
    for (double k : {1e-150, 1e150}) {
        const auto image = circle->MapLinear(Transform2DLinear(2 * k, 0, 0, 0.5 * k, 0, 0), 0);
        EXPECT_DOUBLE_EQ(image->RadiusX(), 20 * k);
        EXPECT_DOUBLE_EQ(image->RadiusY(), 5 * k);
    }
}

TEST(MapLinear, StraightShapesAndAnchorsMapTheirPointsAndDirections)
{
    const Transform2DLinear t(1.5, -0.4, 0.3, 0.8, 7, -3);
    auto expectMapped = [&t](double x, double y, double mappedX, double mappedY) {
        double ex, ey;
        t.MapPoint(x, y, ex, ey);
        EXPECT_DOUBLE_EQ(mappedX, ex);
        EXPECT_DOUBLE_EQ(mappedY, ey);
    };

    auto line = Quill::Create<Line>();
    line->SetXYRotation(4, 5, 2.9);
    const auto mappedLine = line->MapLinear(t, 0);
    expectMapped(4, 5, mappedLine->X(), mappedLine->Y());
    EXPECT_DOUBLE_EQ(mappedLine->Rotation(), t.MapAngle(2.9));

    auto segment = Quill::Create<LineSegment>();
    segment->SetStartEnd(1, 2, -3, 8);
    segment->setEndPointAdornment(LineSegmentAdornmentConstants::Arrow);
    const auto mappedSegment = segment->MapLinear(t, 0);
    expectMapped(1, 2, mappedSegment->StartX(), mappedSegment->StartY());
    expectMapped(-3, 8, mappedSegment->EndX(), mappedSegment->EndY());
    EXPECT_EQ(mappedSegment->EndPointAdornment(), LineSegmentAdornmentConstants::Arrow);

    auto polygon = Quill::Create<Polygon>();
    polygon->AddVertex(0, 0);
    polygon->AddVertex(10, 0);
    polygon->AddVertex(5, 9);
    const auto mappedPolygon = polygon->MapLinear(t, 0);
    ASSERT_EQ(mappedPolygon->NumVertices(), 3);
    for (int i = 0; i < 3; ++i)
        expectMapped(polygon->VertexX(i), polygon->VertexY(i), mappedPolygon->VertexX(i), mappedPolygon->VertexY(i));

    auto marker = Quill::Create<PointMarker>();
    marker->SetCenterRotationSize(-6, 2, 0.25, 13);
    const auto mappedMarker = marker->MapLinear(t, 0);
    expectMapped(-6, 2, mappedMarker->X(), mappedMarker->Y());
    EXPECT_DOUBLE_EQ(mappedMarker->Rotation(), t.MapAngle(0.25));
    EXPECT_EQ(mappedMarker->Size(), 13);  // screen pixels do not scale

    auto label = Quill::Create<GraphicLabel>();
    label->setText("A");
    const auto mappedLabel = label->MapLinear(t, 0);
    expectMapped(label->X(), label->Y(), mappedLabel->X(), mappedLabel->Y());
    EXPECT_EQ(mappedLabel->Text(), "A");

    // An arc maps onto an arc under a similarity only; a mirror reverses its span.
    auto arc = Quill::Create<CircularArc>();
    arc->SetCenterRadiusAngleStartAngleSpan(1, 1, 4, 0.5, 1.25);
    const auto mirroredArc = arc->MapLinear(Transform2DLinear(0, 3, 3, 0, 0, 0), 0);
    EXPECT_DOUBLE_EQ(mirroredArc->Radius(), 12);
    EXPECT_DOUBLE_EQ(mirroredArc->AngleStart(), Pi / 2 - 0.5);
    EXPECT_EQ(mirroredArc->AngleSpan(), -1.25);
    EXPECT_THROW(arc->MapLinear(t, 0), ShapeException);
}

TEST(MapLinear, TransformsThatCannotMapAShapeAreRejected)
{
    const Transform2DLinear flattening(1, 2, 2, 4, 0, 0);  // rank 1
    EXPECT_THROW(Quill::Create<Circle>()->MapLinear(flattening, 0), ShapeException);
    EXPECT_THROW(Quill::Create<Ellipse>()->MapLinear(flattening, 0), ShapeException);
    auto line = Quill::Create<Line>();
    line->SetXYRotation(0, 0, std::atan2(-1, 2));  // the direction the map collapses
    EXPECT_THROW(line->MapLinear(flattening, 0), ShapeException);
    EXPECT_NO_THROW(Quill::Create<LineSegment>()->MapLinear(flattening, 0));  // only ends to map

    const Transform2DLinear notFinite(1, 0, 0, std::nan(""), 0, 0);
    EXPECT_THROW(Quill::Create<Circle>()->MapLinear(notFinite, 0), ArgumentException);
    EXPECT_THROW(Quill::Create<Polygon>()->MapLinear(notFinite, 0), ArgumentException);
    const Transform2DLinear huge(1e307, 0, 0, 1e307, 0, 0);
    EXPECT_THROW(Quill::Create<LineSegment>()->MapLinear(huge, 0), ShapeException);
}

TEST(MapLinear, ChildrenInTheParentSpaceTurnWithItAndOthersStay)
{
    auto line = Quill::Create<Line>();
    line->SetXYRotation(10, 0, 0);
    auto attached = Quill::Create<GraphicLabel>();
    attached->setSelectedSpaceName("$");
    attached->setX(5);
    attached->setY(0);
    auto elsewhere = Quill::Create<GraphicLabel>();
    elsewhere->setSelectedSpaceName("#");
    line->ChildGraphics().Add(attached);
    line->ChildGraphics().Add(elsewhere);

    // A quarter turn and a shift: the offset (5, 0) turns to (0, 5) and does not shift.
    const Transform2DLinear t(0, -1, 1, 0, 100, 0);
    const auto mapped = line->MapLinear(t, All);
    ASSERT_EQ(mapped->ChildGraphics().Count(), 2);
    const auto mappedAttached = mapped->ChildGraphics().ItemAs<GraphicLabel>(0);
    EXPECT_NEAR(mappedAttached->X(), 0, 1e-15);
    EXPECT_EQ(mappedAttached->Y(), 5);
    EXPECT_EQ(mapped->ChildGraphics().ItemAs<GraphicLabel>(1)->X(), elsewhere->X());
    EXPECT_EQ(line->MapLinear(t, 0)->ChildGraphics().Count(), 0);

    // Members of a composite hold plain coordinates of its space: the whole transform.
    auto composite = Quill::Create<CompositeShape>();
    auto marker = Quill::Create<PointMarker>();
    marker->setSelectedSpaceName("$");
    marker->SetCenterRotationSize(5, 0, 0, 11);
    composite->Shapes().Add(marker);
    const auto mappedMarker = composite->MapLinear(t, 0)->Shapes().ItemAs<PointMarker>(0);
    EXPECT_EQ(mappedMarker->X(), 100);
    EXPECT_EQ(mappedMarker->Y(), 5);
}
