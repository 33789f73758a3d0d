#pragma once
// Distances and intersections between points, lines, segments, circles and ellipses.
//
// Conventions shared by every function here:
// - Mixed functions take the round shape first; their first out-point lies on the line or
//   segment, the second on the circle or ellipse. Two-shape functions put the point on
//   their first argument first.
// - Distances are between outlines and never negative: a point, segment or shape lying
//   inside a circle or ellipse measures to its outline. Shapes that touch or cross give 0
//   and both out-points at one common point.
// - Intersection points go to the out-points in order; those beyond the count are left as
//   they were. Counts are 0 to 4.
// - Non-finite coordinates, negative radii and zero line directions throw PrimitiveFailure.

#include <Ostrel/Vision/Private/Geometry2D.h>
#include <Ostrel/Vision/Private/TarnEllipse.h>

namespace Ostrel::Vision::Private {

// Point to circle outline; `closest` on the outline. The centre itself takes the point at
// angle 0. Accuracy: a few ulps of the radius plus the distance.
double DistanceCirclePoint(const Circle2D& circle, const Point2D& point, Point2D& closest);

// Line to circle outline. A line that misses: the foot of the perpendicular from the centre
// and the circle point towards it. A line that meets the circle: 0 and the first crossing
// along the line's direction (the touching point at tangency).
double DistanceCircleLine(const Circle2D& circle, const Line2D& line, Point2D& onLine, Point2D& onCircle);

// Line to ellipse outline: as for the circle, with the ellipse point whose normal is the
// line's normal (closed form from the support function).
double DistanceEllipseLine(const TarnEllipse& ellipse, const Line2D& line, Point2D& onLine,
                           Point2D& onEllipse);

// Segment to circle outline. Crossing or touching: 0 and the first crossing from the start.
// Wholly outside: the nearest segment point to the centre. Wholly inside: the end point
// farther from the centre and the outline point beyond it, at the positive distance
// radius - |end - centre|.
double DistanceCircleSegment(const Circle2D& circle, const Segment2D& segment, Point2D& onSegment,
                             Point2D& onCircle);

// Segment to ellipse outline, with the same rules: outside, the distance to the filled
// ellipse is convex along the segment, so the line's closest point clamped to the segment
// (or the end nearer the chord when the line crosses) is the minimum; inside, the
// distance to the outline is concave, so the nearer of the two ends is.
double DistanceEllipseSegment(const TarnEllipse& ellipse, const Segment2D& segment, Point2D& onSegment,
                              Point2D& onEllipse);

// Circle to circle outline, symmetric: swapping the arguments swaps the out-points and
// returns the same distance bit for bit. Separate: along the centre line. Nested: the
// outline points on the side where the inner circle comes nearest. Concentric: direction
// +x. Crossing or touching: 0 and the crossing with the smaller (x, y).
double DistanceCircleCircle(const Circle2D& a, const Circle2D& b, Point2D& onA, Point2D& onB);

// Ellipse to ellipse outline; the point on `a` first. 0 exactly when
// IntersectEllipseEllipse reports a crossing or contact, with both out-points at one of
// them. Otherwise, for ellipses of positive width, the distance is the widest gap between
// parallel support lines (apart) or the narrowest gap between support lines on the same
// side (the smaller one nested in the larger), found over the direction of those lines
// from 16 even samples and samples beside the sharp turns of thin ellipses, refined by
// safeguarded Newton; the closest points are where the lines touch. Pairs that this search
// cannot settle with room to spare go to the crossing search, and if that finds nothing,
// to a search over samples of the smaller outline measured exactly to the larger one (so
// do zero-width ellipses). Accuracy 1e-10 of the sizes.
double DistanceEllipseEllipse(const TarnEllipse& a, const TarnEllipse& b, Point2D& onA, Point2D& onB);

// Segment crossing: returns whether the closed segments share a point. `count` (when given)
// receives 1 for one common point, -1 when they overlap along a stretch, 0 otherwise;
// `point` the common point (for an overlap, the start of the shared stretch along `a`).
// Orientation tests use exact-rounding cross products; touching end points count.
bool IntersectSegmentSegment(const Segment2D& a, const Segment2D& b, int* count = nullptr,
                             Point2D* point = nullptr);

// Circle and line: 0, 1 (tangent within TarnEllipse::kTangencyBand) or 2 points along the
// line's direction. Returns count != 0.
bool IntersectCircleLine(const Circle2D& circle, const Line2D& line, int& count, Point2D& p1, Point2D& p2);

// Circle or ellipse and segment: the line crossings that lie on the closed segment,
// ordered from start to end. Returns count != 0.
bool IntersectCircleSegment(const Circle2D& circle, const Segment2D& segment, int& count, Point2D& p1,
                            Point2D& p2);
bool IntersectEllipseSegment(const TarnEllipse& ellipse, const Segment2D& segment, int& count, Point2D& p1,
                             Point2D& p2);

// Two circles: 0, 1 (tangent within the band) or 2 points, the same for either argument
// order (points sorted by x, then y). Coincident circles have no isolated crossing: 0.
// The points are exact to a few ulps of the larger radius, also near tangency and for
// radii of very different sizes.
bool IntersectCircleCircle(const Circle2D& a, const Circle2D& b, int& count, Point2D& p1, Point2D& p2);

// Two ellipses: their crossings and contacts, 0 to 4 points in order of the angle parameter
// of `a`. A stretch along which the outlines stay within the tangency band of each other
// (kTangencyBand times the largest radius) is one contact, one point at the middle of the
// stretch: outlines that touch, and also two (or three) crossings so close together that
// the outlines between them never part by more than the band. Every other crossing is one
// point on both outlines. A count is therefore odd only when it holds a contact where the
// outlines touch without crossing. Both argument orders give the same points, bit for bit,
// each in order of its first ellipse's angle (unless both have zero width). Along the
// angle of one outline, in the frame of the other (the one with the wider minor axis), the
// crossings are roots of a trigonometric polynomial g of degree 2: pieces of the turn are
// excluded, proved monotone, or shown to hold one extremum (g'' of one sign) by Taylor
// bounds with a global bound on g''', and halved otherwise; roots and extrema are refined
// by safeguarded steps to the root of the local Taylor quadratic. A crossing at the seam
// of the angle is found once. Coincident ellipses: 0. A zero-width ellipse is its segment:
// with one, the points where the segment crosses the other outline, in order along the
// segment when it is `a`; with two, the segments' common point.
bool IntersectEllipseEllipse(const TarnEllipse& a, const TarnEllipse& b, int& count, Point2D& p1, Point2D& p2,
                             Point2D& p3, Point2D& p4);

} // namespace Ostrel::Vision::Private
