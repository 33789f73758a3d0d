#pragma once
// The failure type of the low-level geometry primitives and the guard that turns it into a
// framework exception.
//
// Primitives work on plain values and throw PrimitiveFailure when their input cannot give
// a defined result (a coordinate that is not finite, a negative radius, a line without a
// direction). Callers that face a host wrap their calls in GuardPrimitives, which rethrows
// the failure as the framework exception of its kind with the primitive's message;
// other exceptions pass through unchanged.

#include <stdexcept>
#include <string>
#include <utility>

namespace Ostrel::Vision::Private {

enum class PrimitiveFailureKind {
    NonFiniteInput,  // a coordinate, radius or angle is NaN or infinite -> ArgumentException
    InvalidArgument, // a negative radius or similar impossible value -> ArgumentException
    DegenerateShape, // a line without direction, a polyline without vertices -> ShapeException
};

class PrimitiveFailure : public std::runtime_error {
public:
    PrimitiveFailure(PrimitiveFailureKind kind, const std::string& message)
        : std::runtime_error(message), kind_(kind)
    {
    }
    PrimitiveFailureKind Kind() const { return kind_; }

private:
    PrimitiveFailureKind kind_;
};

// Throws the framework exception for `failure`: ArgumentException for non-finite or
// impossible values, ShapeException for degenerate shapes.
[[noreturn]] void ThrowFrameworkException(const PrimitiveFailure& failure);

// Runs `body` and maps a PrimitiveFailure escaping it to the framework exception.
template <class Body> decltype(auto) GuardPrimitives(Body&& body)
{
    try {
        return std::forward<Body>(body)();
    } catch (const PrimitiveFailure& failure) {
        ThrowFrameworkException(failure);
    }
}

// Throws PrimitiveFailure(NonFiniteInput) naming `what` unless `value` is finite.
void CheckFinite(double value, const char* what);

} // namespace Ostrel::Vision::Private
