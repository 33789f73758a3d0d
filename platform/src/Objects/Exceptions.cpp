#include <Ostrel/Vision/Exceptions.h>

namespace Ostrel::Vision {

std::shared_ptr<Quill::IException> VisionException::CloneException() const
{
    return std::make_shared<VisionException>(*this);
}

void VisionException::ThrowException() const
{
    throw *this;
}

} // namespace Ostrel::Vision
