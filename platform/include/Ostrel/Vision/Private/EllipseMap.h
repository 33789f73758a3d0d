#pragma once
// The image of an ellipse under an affine map, in closed form: a primitive that the
// ellipse value of the primitives and the framework's round shapes both map with.
//
// A transform whose linear part is exactly a similarity (a == d and b == -c, or a == -d
// and b == c: rotation, uniform scale, reflection) maps angles and radii in closed form,
// so that the identity and plain translations reproduce a shape bit for bit; any other
// transform goes through the general formulas below. Rotations follow the framework's
// angle rule (Private/Angles.h).

// The transform is declared only, as for the other primitives.
namespace Ostrel::Vision {
class Transform2DLinear;
} // namespace Ostrel::Vision

namespace Ostrel::Vision::Private {

// ArgumentException unless all six entries of `transform` are finite.
void CheckTransform(const Transform2DLinear& transform);

// An ellipse: centre, the radius along the direction `rotation` and the radius across it.
struct EllipseGeometry {
    double centerX = 0, centerY = 0, radiusX = 0, radiusY = 0, rotation = 0;
    // cos and sin of `rotation`, filled by MapEllipse (read by no one on input).
    double cosRotation = 1, sinRotation = 0;
};

// The exact image of `ellipse` under `transform`.
//
// The image of c + R(θ)·diag(rx, ry)·u (|u| = 1) is c' + M·u with M = A·R(θ)·diag(rx, ry);
// its semi-axes are the singular values of M along its left singular vectors. They are
// found in closed form: with E, F, G, H the half sums and differences of M's entries,
// σ1 = hypot(E, H) + hypot(F, G) along (atan2(G, F) + atan2(H, E)) / 2, and the minor
// radius σ2 = |det A|·rx·ry / σ1, which keeps its relative accuracy for very eccentric
// images where hypot(E, H) - hypot(F, G) would cancel.
//
// The result's X axis is the image axis nearest the image of the original X axis (the
// major axis on a tie), and its rotation the sense of that axis nearest the image of the
// original X axis (so at most an eighth of a turn from it), in (-π, π]. So a circle (rotation 0) mapped by a
// scale of 2 in x and 3 in y has radius x 2 and radius y 3, rotation 0. An image that is
// a circle to rounding takes the image of the X axis as its rotation.
//
// Throws ShapeException for a transform that cannot be inverted (|det A| <= SingularTolerance
// times the square of its largest entry), which would flatten the ellipse onto a segment.
EllipseGeometry MapEllipse(const Transform2DLinear& transform, const EllipseGeometry& ellipse);
// The same with the cos and sin of the ellipse's rotation given, and no trigonometry
// beyond one atan2 for the image's rotation: its cosRotation and sinRotation come from the
// axis vectors directly.
EllipseGeometry MapEllipse(const Transform2DLinear& transform, const EllipseGeometry& ellipse,
                           double cosRotation, double sinRotation);

} // namespace Ostrel::Vision::Private
