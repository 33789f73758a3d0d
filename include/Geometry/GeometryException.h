#pragma once

#include <cstdint>
#include <string>

#include <Geometry/GeometryExport.h>
#include <Ostrel/Vision/Exceptions.h>

namespace Ostrel::Vision::Geometry {

enum class GeometryExceptionCodes : std::uint32_t {
    NotEnoughPoints = 1,  // too few points for a fit, NumToIgnore out of range
    AmbiguousPoints = 2,  // the points do not determine the fitted shape
};

// The geometry library's own exception; its code is a GeometryExceptionCodes value.
class OSTREL_GEOMETRY_API GeometryException : public VisionException {
public:
    GeometryException(std::string message, GeometryExceptionCodes code);
    GeometryException(ObjectCreateAccessToken, std::string message, GeometryExceptionCodes code);
    GeometryException(const GeometryException&) = default;
    ~GeometryException() override;

    GeometryExceptionCodes GeometryCode() const { return static_cast<GeometryExceptionCodes>(Code()); }

    std::shared_ptr<Quill::IException> CloneException() const override;
    [[noreturn]] void ThrowException() const override;

    RTTR_ENABLE(VisionException)
};

} // namespace Ostrel::Vision::Geometry
