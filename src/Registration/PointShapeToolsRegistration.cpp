// Reflection of the point-to-shape distance tools.
#include <Geometry/DistancePointCircleTool.h>

#include "RegistrationSupport.h"

RTTR_REGISTRATION
{
    using namespace Ostrel::Vision::Geometry;
    using Registration::RegisterTool;
    using T = DistancePointCircleTool;
    RegisterTool<T>("DistancePointCircleTool")
        .property("X", &T::X, &T::setX)
        .property("Y", &T::Y, &T::setY)
        .property("InputCircle", &T::InputCircle, &T::setInputCircle)
        .property_readonly("Distance", &T::Distance)
        .property_readonly("CircleX", &T::CircleX)
        .property_readonly("CircleY", &T::CircleY);
}
