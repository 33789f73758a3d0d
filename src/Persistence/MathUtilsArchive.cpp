#include <Geometry/MathUtils.h>

#include "ArchiveSupport.h"

OSTREL_GEOMETRY_CLASS_VERSION(MathUtils)

namespace Ostrel::Vision::Geometry {

// MathUtils holds no state; its archive is the version alone.
template <class Archive>
void MathUtils::serialize(Archive&, std::uint32_t version)
{
    if constexpr (Archive::is_loading::value)
        Persistence::CheckVersion<MathUtils>(version, "MathUtils");
}

} // namespace Ostrel::Vision::Geometry

CEREAL_REGISTER_TYPE_WITH_NAME(Ostrel::Vision::Geometry::MathUtils, "Ostrel::Vision::Geometry::MathUtils")
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Quill::IObject, Ostrel::Vision::Geometry::MathUtils)
