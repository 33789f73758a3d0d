#include <Geometry/GeometryException.h>

namespace Ostrel::Vision::Geometry {

GeometryException::GeometryException(std::string message, GeometryExceptionCodes code)
    : VisionException(std::move(message), static_cast<std::uint32_t>(code))
{
}

GeometryException::GeometryException(ObjectCreateAccessToken, std::string message, GeometryExceptionCodes code)
    : GeometryException(std::move(message), code)
{
}

GeometryException::~GeometryException() = default;

std::shared_ptr<Quill::IException> GeometryException::CloneException() const
{
    return std::make_shared<GeometryException>(*this);
}

void GeometryException::ThrowException() const
{
    throw *this;
}

} // namespace Ostrel::Vision::Geometry
