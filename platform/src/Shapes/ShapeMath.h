#pragma once
// The geometry of mapping shapes by affine transforms.
//
// Angles are radians. Mapped angles are brought into (-π, π] by the framework's angle rule
// (Private/Angles.h); ellipses are mapped by the primitive of Private/EllipseMap.h.

#include <initializer_list>

#include <Ostrel/Vision/Private/EllipseMap.h>
#include <Ostrel/Vision/Transform2D.h>

namespace Ostrel::Vision::Private::ShapeMath {

// The transform without its translation.
Transform2DLinear LinearPart(const Transform2DLinear& transform);

// The direction that `transform` makes of the direction `angle`: Private::MapAngle, with
// ShapeException when the transform collapses that direction.
double MapDirection(const Transform2DLinear& transform, double angle);

using Private::CheckTransform;
using Private::EllipseGeometry;
using Private::MapEllipse;

// ShapeException unless every value is finite: a finite transform can still carry huge
// coordinates beyond the range of double.
void CheckMappedFinite(std::initializer_list<double> values);

} // namespace Ostrel::Vision::Private::ShapeMath
