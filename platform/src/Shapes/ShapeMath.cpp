#include "ShapeMath.h"

#include <cmath>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Private/Angles.h>
#include <Ostrel/Vision/Private/PrimitiveFailure.h>

namespace Ostrel::Vision::Private::ShapeMath {

Transform2DLinear LinearPart(const Transform2DLinear& t)
{
    return {t.A(), t.B(), t.C(), t.D(), 0, 0};
}

double MapDirection(const Transform2DLinear& t, double angle)
{
    try {
        return Private::MapAngle(t, angle);
    } catch (const PrimitiveFailure&) {
        throw ShapeException("The transform collapses the direction of the shape: the mapped shape would have "
                             "no direction.");
    }
}

void CheckMappedFinite(std::initializer_list<double> values)
{
    for (double value : values)
        if (!std::isfinite(value))
            throw ShapeException("The mapped shape cannot be represented: its coordinates exceed the range of "
                                 "double.");
}

} // namespace Ostrel::Vision::Private::ShapeMath
