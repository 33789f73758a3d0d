#pragma once
// TarnEllipse: the ellipse value of the primitives.
//
// The outline is centre + R(rotation)·(radiusX·cos t, radiusY·sin t): radiusX runs along
// the direction `rotation` (radians), radiusY across it. A radius may be 0: the ellipse is
// then the segment of the other axis (or, with both 0, its centre), and every operation
// treats it as that segment. The constructor throws PrimitiveFailure for a non-finite
// value or a negative radius.

#include <Ostrel/Vision/Private/Geometry2D.h>

namespace Ostrel::Vision::Private {

class TarnEllipse {
public:
    TarnEllipse(double centerX, double centerY, double radiusX, double radiusY, double rotation);

    double CenterX() const { return cx_; }
    double CenterY() const { return cy_; }
    double RadiusX() const { return rx_; }
    double RadiusY() const { return ry_; }
    double Rotation() const { return rotation_; }
    // cos and sin of the rotation, computed once by the constructor.
    double CosRotation() const { return cos_; }
    double SinRotation() const { return sin_; }

    // The exact image under `transform`. A similarity keeps the radii in their roles and
    // maps the rotation as a direction; any other map gives the image's semi-axes, with
    // radiusX along the image axis nearest the image of the original X axis. A singular
    // transform throws ShapeException (it would flatten the ellipse).
    TarnEllipse MapLinear(const Transform2DLinear& transform) const;

    // Distance from `point` to the outline (never negative, also for points inside) and the
    // closest outline point. On the ellipse's own axes the closest point is found in closed
    // form; elsewhere a safeguarded Newton iteration on the offset s = t + b² of the
    // Lagrange parameter t converges from below, which keeps the tiny offset of points just
    // off the major axis to full relative accuracy. Ties (points on the major axis inside
    // the evolute, the centre) take the closest point with non-negative local coordinates.
    // Accuracy: distance and point within 1e-12 of the larger radius.
    double DistanceToPoint(const Point2D& point, Point2D& closest) const;

    // True when `point` lies in the closed filled ellipse (the outline included, exact test on
    // the implicit form). For a zero radius: on the segment.
    bool WithinFullEllipse(const Point2D& point) const;

    // The crossings of `line` with the outline, ordered along the line's direction; returns
    // their number 0, 1 or 2 (points beyond the count are left unchanged). A line whose
    // distance from the centre lies within kTangencyBand of the ellipse's support in that
    // direction touches: one point, the foot of the chord. The offset of the line is formed
    // exactly, so a reference point far away loses nothing. A line running along a
    // zero-width ellipse gives that segment's end points.
    int Intersections(const Line2D& line, Point2D& p1, Point2D& p2) const;

    // Relative width of the band within which a line counts as tangent: far above the few
    // ulps of error of the offset and support, far below any crossing a caller would
    // measure (the chord at the band's edge is 1.4e-6 of the size long).
    static constexpr double kTangencyBand = 1e-12;

    // Ellipse frame helpers: `world` expressed in the ellipse's axes about its centre, and back.
    Point2D ToLocal(const Point2D& world) const;
    Point2D ToWorld(const Point2D& local) const;

private:
    // Takes the cos and sin of the rotation as given (a unit vector along the radiusX axis),
    // after the same checks as the public constructor.
    TarnEllipse(double centerX, double centerY, double radiusX, double radiusY, double rotation,
                double cosRotation, double sinRotation);

    double cx_, cy_, rx_, ry_, rotation_;
    double cos_, sin_;
};

} // namespace Ostrel::Vision::Private
