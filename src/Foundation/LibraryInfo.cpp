#include <Geometry/LibraryInfo.h>

namespace Ostrel::Vision::Geometry {

std::string LibraryVersion()
{
    return OSTREL_VISION_VERSION;
}

} // namespace Ostrel::Vision::Geometry
