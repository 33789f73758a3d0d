#include <fmt/format.h>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/StatusMapper.h>

namespace Ostrel::Vision {

void ThrowOnFailedStatus(std::uint32_t status)
{
    if (!FitStatus::Failed(status))
        return;
    switch (status) {
    case FitStatus::TooFewPoints:
        throw ArgumentException("The fit has too few usable points.");
    case FitStatus::AmbiguousPoints:
        throw ArgumentException("The points do not determine a unique shape.");
    case FitStatus::NonFiniteInput:
        throw ArgumentException("A point coordinate or fit parameter is not a finite number.");
    case FitStatus::InvalidArgument:
        throw ArgumentException("The fitting library was called with an invalid argument.");
    case FitStatus::OutOfMemory:
        throw InternalErrorException("The fitting library ran out of memory.");
    default:
        throw InternalErrorException(fmt::format("The fitting library failed with status 0x{:08X}.", status));
    }
}

} // namespace Ostrel::Vision
