#include <Ostrel/Vision/Private/PrimitiveFailure.h>

#include <cmath>

#include <Ostrel/Vision/Exceptions.h>

namespace Ostrel::Vision::Private {

void ThrowFrameworkException(const PrimitiveFailure& failure)
{
    switch (failure.Kind()) {
    case PrimitiveFailureKind::NonFiniteInput:
    case PrimitiveFailureKind::InvalidArgument:
        throw ArgumentException(failure.what());
    case PrimitiveFailureKind::DegenerateShape:
        break;
    }
    throw ShapeException(failure.what());
}

void CheckFinite(double value, const char* what)
{
    if (!std::isfinite(value))
        throw PrimitiveFailure(PrimitiveFailureKind::NonFiniteInput,
                               std::string("The geometry value ") + what + " is not a finite number.");
}

} // namespace Ostrel::Vision::Private
