#include "ArchiveSupport.h"

namespace Ostrel::Vision::Geometry::Implementation {

using Persistence::OptionalField;

// After the framework part: input image (option 0x100), then the last run's image,
// has-result mark and image space name (option 0x1).
template <class Archive>
void GeometryToolBase::serialize(Archive& ar, std::uint32_t version)
{
    if constexpr (Archive::is_loading::value)
        Persistence::CheckVersion<GeometryToolBase>(version, "GeometryToolBase");
    ar(cereal::base_class<Vision::Implementation::ToolBase>(this));
    const std::uint32_t options = Options(ar);
    OptionalField(ar, options & ArchiveOptions::InputImages, inputImage_);
    OptionalField(ar, options & ArchiveOptions::LastRunResults, lastRunImage_);
    OptionalField(ar, options & ArchiveOptions::LastRunResults, hasResult_);
    OptionalField(ar, options & ArchiveOptions::LastRunResults, imageSpaceName_);
}

template <class Archive>
void GeometryToolBaseOutputStyle::serialize(Archive& ar, std::uint32_t version)
{
    if constexpr (Archive::is_loading::value)
        Persistence::CheckVersion<GeometryToolBaseOutputStyle>(version, "GeometryToolBaseOutputStyle");
    ar(cereal::base_class<GeometryToolBase>(this));
    auto lineStyle = static_cast<std::int32_t>(outputLineStyle_);
    ar(outputColor_, lineStyle, outputLineWidthInScreenPixels_);
    if constexpr (Archive::is_loading::value) {
        if (lineStyle < 0 || lineStyle > static_cast<std::int32_t>(GraphicLineStyleConstants::DashDotDot) ||
            outputLineWidthInScreenPixels_ < 0)
            throw SerializationException("The archive of GeometryToolBaseOutputStyle holds an unknown line style "
                                         "or a negative line width.");
        outputLineStyle_ = static_cast<GraphicLineStyleConstants>(lineStyle);
    }
}

template void GeometryToolBase::serialize(cereal::PortableBinaryOutputArchive&, std::uint32_t);
template void GeometryToolBase::serialize(cereal::PortableBinaryInputArchive&, std::uint32_t);
template void GeometryToolBaseOutputStyle::serialize(cereal::PortableBinaryOutputArchive&, std::uint32_t);
template void GeometryToolBaseOutputStyle::serialize(cereal::PortableBinaryInputArchive&, std::uint32_t);

} // namespace Ostrel::Vision::Geometry::Implementation

CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Vision::Implementation::ToolBase,
                                     Ostrel::Vision::Geometry::Implementation::GeometryToolBase)
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Vision::Geometry::Implementation::GeometryToolBase,
                                     Ostrel::Vision::Geometry::Implementation::GeometryToolBaseOutputStyle)
