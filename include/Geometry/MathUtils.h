#pragma once
// The geometry computations behind the tools, callable by hosts directly. Every function
// is static; no state survives a call.
//
// Spaces. Without an image (a null pointer) every shape is used with its stored
// coordinates, whatever its selected space. With an image each shape is mapped on its own,
// by the transform from its selected space into the image's selected space: lines,
// segments and polygons point by point (a line's direction by the transform's linear form
// at its point), circles and ellipses as ellipses by the linear form at their centre, so
// that a circle is measured as the ellipse the image sees. Plain coordinates (x, y) are
// never mapped: with an image they are taken in its space. Results are in that common
// space.
//
// Out-parameters. A closest point is two out-parameters, x then y; the point on the first
// shape argument comes first. They are written on every successful return and left as they
// were when a function throws.
//
// Failures. Non-finite coordinates throw ArgumentException, degenerate values (a polygon
// without vertices, a transform that collapses a shape) ShapeException, and a shape whose
// space the image does not know the framework's exception of the lookup.
//
// Range. Every finite coordinate and radius is accepted, from the smallest subnormal to
// the largest double (about 1.8e308): each computation is scaled by a power of two that
// keeps its squares and products within range, so results are as accurate for shapes
// near 1e300 or 1e-300 as near 1. A result that itself lies beyond the range of double (a
// distance between shapes more than about 1.8e308 apart) throws ArgumentException; no
// result is ever NaN or infinite.
//
// Round shapes. Distances are measured between outlines and are never negative: a point or
// segment inside a circle or ellipse measures to its outline. Distances between touching or
// crossing round shapes are 0.

#include <memory>
#include <string>

#include <Geometry/GeometryExport.h>
#include <Ostrel/Quill/IObject.h>
#include <Ostrel/Vision/Cereal.h>

namespace Ostrel::Vision {
class IImage;
class Circle;
class Ellipse;
class Line;
class LineSegment;
class Polygon;
} // namespace Ostrel::Vision

namespace Ostrel::Vision::Geometry {

class OSTREL_GEOMETRY_API MathUtils : public Quill::ObjectBase {
public:
    MathUtils() = default;
    ~MathUtils() override;

    // ---- Points -------------------------------------------------------------------------

    // Distance from (x0, y0) to (x1, y1); `angle` receives the direction from the first
    // point to the second, atan2(y1 − y0, x1 − x0) in (−π, π], from the x axis towards the
    // y axis of the points' own coordinates. Coinciding points give distance 0 and angle 0.
    // Throws ArgumentException for a coordinate that is not finite, or for points more than
    // the largest double apart; `angle` is then untouched.
    static double DistancePointPoint(double x0, double y0, double x1, double y1, double& angle);

    // The direction from (x0, y0) to (x1, y1), as DistancePointPoint reports it.
    static double AnglePointPoint(double x0, double y0, double x1, double y1);

    // ---- Distances from a point ---------------------------------------------------------

    // Perpendicular distance to the line; the closest point is the foot of the perpendicular.
    static double DistancePointLine(double x, double y, const Line& line, const IImage* image, double& lineX,
                                    double& lineY);
    static double DistancePointSegment(double x, double y, const LineSegment& segment, const IImage* image,
                                       double& segmentX, double& segmentY);
    static double DistancePointCircle(double x, double y, const Circle& circle, const IImage* image,
                                      double& circleX, double& circleY);
    static double DistancePointEllipse(double x, double y, const Ellipse& ellipse, const IImage* image,
                                       double& ellipseX, double& ellipseY);
    // Signed: negative when the point lies inside the polygon (a point on the outline gives 0
    // and itself as the closest point). A polygon of one vertex is that point, of two the
    // segment between them. One pass over the edges; a polygon of Polygon::IndexedVertexCount
    // vertices or more that is queried again, unchanged and through the same mapping,
    // answers from an index over its outline in about logarithmic time.
    static double DistancePointPolygon(double x, double y, const Polygon& polygon, const IImage* image,
                                       double& polygonX, double& polygonY);

    // ---- Distances between shapes -------------------------------------------------------
    // Straight shapes that touch or cross give 0 and all four out-parameters 0.

    // The end point nearer the line (the end point on a tie, such as a parallel segment) and
    // its foot on the line.
    static double DistanceSegmentLine(const LineSegment& segment, const Line& line, const IImage* image,
                                      double& segmentX, double& segmentY, double& lineX, double& lineY);
    // The nearest of the four end-point-to-segment candidates A0, A1, B0, B1; the earlier
    // candidate wins a tie.
    static double DistanceSegmentSegment(const LineSegment& segmentA, const LineSegment& segmentB,
                                         const IImage* image, double& segmentAX, double& segmentAY,
                                         double& segmentBX, double& segmentBY);
    static double DistanceLineCircle(const Line& line, const Circle& circle, const IImage* image,
                                     double& lineX, double& lineY, double& circleX, double& circleY);
    static double DistanceLineEllipse(const Line& line, const Ellipse& ellipse, const IImage* image,
                                      double& lineX, double& lineY, double& ellipseX, double& ellipseY);
    static double DistanceSegmentCircle(const LineSegment& segment, const Circle& circle, const IImage* image,
                                        double& segmentX, double& segmentY, double& circleX, double& circleY);
    static double DistanceSegmentEllipse(const LineSegment& segment, const Ellipse& ellipse,
                                         const IImage* image, double& segmentX, double& segmentY,
                                         double& ellipseX, double& ellipseY);
    static double DistanceCircleCircle(const Circle& circleA, const Circle& circleB, const IImage* image,
                                       double& circleAX, double& circleAY, double& circleBX,
                                       double& circleBY);
    // Signed: negative when the segment's closest point lies inside the polygon (so a
    // segment wholly inside measures minus its distance to the outline). 0 with all four
    // out-parameters 0 when the segment touches or crosses the outline.
    static double DistanceSegmentPolygon(const LineSegment& segment, const Polygon& polygon,
                                         const IImage* image, double& segmentX, double& segmentY,
                                         double& polygonX, double& polygonY);
    // Signed: negative when polygon B's closest point lies inside polygon A. 0 with all four
    // out-parameters 0 when the outlines touch or cross.
    static double DistancePolygonPolygon(const Polygon& polygonA, const Polygon& polygonB,
                                         const IImage* image, double& polygonAX, double& polygonAY,
                                         double& polygonBX, double& polygonBY);

    // ---- Intersections ------------------------------------------------------------------
    // `count` is the number of valid points, 0 to 4, or −1 when two straight shapes coincide
    // or overlap along a line (one representative point). Points beyond the count are 0.
    // Tangency: outlines that come within 1e-12 of the larger shape's size of each other
    // without parting further in between (a touch, or crossings that close together) give
    // one contact point there; so two round shapes give an odd count only when they touch
    // somewhere without crossing.

    // The image is always used. `angle` receives the angle that turns line A onto line B in
    // the image's space, in [−π, π), also for parallel lines.
    static bool IntersectLineLine(const Line& lineA, const Line& lineB, const IImage& image, int& count,
                                  double& x, double& y, double& angle);
    // Both ends of the segment count; a segment lying on the line gives −1 and its start.
    static bool IntersectSegmentLine(const LineSegment& segment, const Line& line, const IImage* image,
                                     int& count, double& x, double& y);
    // Overlapping collinear segments give −1 and the start of the shared stretch along A.
    static bool IntersectSegmentSegment(const LineSegment& segmentA, const LineSegment& segmentB,
                                        const IImage* image, int& count, double& x, double& y);
    // Points in the order of the line's direction (from the segment's start for segments).
    static bool IntersectLineCircle(const Line& line, const Circle& circle, const IImage* image, int& count,
                                    double& x0, double& y0, double& x1, double& y1);
    static bool IntersectLineEllipse(const Line& line, const Ellipse& ellipse, const IImage* image,
                                     int& count, double& x0, double& y0, double& x1, double& y1);
    static bool IntersectSegmentCircle(const LineSegment& segment, const Circle& circle, const IImage* image,
                                       int& count, double& x0, double& y0, double& x1, double& y1);
    static bool IntersectSegmentEllipse(const LineSegment& segment, const Ellipse& ellipse,
                                        const IImage* image, int& count, double& x0, double& y0, double& x1,
                                        double& y1);
    // Up to two points without an image; with one the circles are the ellipses the image
    // sees, which may cross in up to four. Coincident circles have no isolated crossing: 0.
    static bool IntersectCircleCircle(const Circle& circleA, const Circle& circleB, const IImage* image,
                                      int& count, double& x0, double& y0, double& x1, double& y1, double& x2,
                                      double& y2, double& x3, double& y3);

    // ---- Angles, constructions, containment ---------------------------------------------

    // The angle that turns line A onto line B, in [−π, π), positive towards increasing
    // rotation: the normalised difference of the (mapped) rotations.
    static double AngleLineLine(const Line& lineA, const Line& lineB, const IImage* image);
    // A copy of `line` (graphic properties kept) through (x, y), parallel or perpendicular to
    // it. With an image the copy's rotation is the line's direction in the image's space and
    // its selected space is the image's; (x, y) is taken in that space.
    static std::shared_ptr<Line> CreateLineParallel(double x, double y, const Line& line,
                                                    const IImage* image);
    static std::shared_ptr<Line> CreateLinePerpendicular(double x, double y, const Line& line,
                                                         const IImage* image);
    // The perpendicular bisector of the two points, in the space `spaceName`: through their
    // midpoint, rotated a quarter turn from the direction point 0 → point 1. Throws
    // ShapeException for equal points and ArgumentException for a malformed space name.
    static std::shared_ptr<Line> CreateLineBisectingPointPoint(double x0, double y0, double x1, double y1,
                                                               const std::string& spaceName);
    // A copy of segment A whose start is the mean of the starts and whose end is the mean of
    // the ends, as given (nothing reorders the segments).
    static std::shared_ptr<LineSegment> CreateSegmentByAveragingSegments(const LineSegment& segmentA,
                                                                         const LineSegment& segmentB,
                                                                         const IImage* image);
    // Whether (x, y) lies in the closed disc or filled ellipse (the outline included).
    static bool InsidePointCircle(double x, double y, const Circle& circle, const IImage* image);
    static bool InsidePointEllipse(double x, double y, const Ellipse& ellipse, const IImage* image);

private:
    friend class cereal::access;
    template <class Archive> void serialize(Archive& ar, std::uint32_t version);

    RTTR_ENABLE(Quill::ObjectBase)
};

} // namespace Ostrel::Vision::Geometry
