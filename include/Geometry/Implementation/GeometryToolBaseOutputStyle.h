#pragma once
// The base of the construction tools: the colour, line style and line width given to the
// shapes they output.

#include <Geometry/Implementation/GeometryToolBase.h>
#include <Ostrel/Vision/Color32.h>
#include <Ostrel/Vision/GraphicConstants.h>

namespace Ostrel::Vision::Geometry::Implementation {

class OSTREL_GEOMETRY_API GeometryToolBaseOutputStyle : public GeometryToolBase {
public:
    // Numbered colour, width, style: not the order in which the members are declared.
    static constexpr std::uint64_t sf0_ = GeometryToolBase::sfNextSf_;  // 0x100
    static constexpr std::uint64_t SfOutputColor = sf0_;
    static constexpr std::uint64_t SfOutputLineWidthInScreenPixels = sf0_ << 1;
    static constexpr std::uint64_t SfOutputLineStyle = sf0_ << 2;
    static constexpr std::uint64_t sfNextSf_ = sf0_ << 3;  // 0x800

    ~GeometryToolBaseOutputStyle() override;

    Color32 OutputColor() const { return outputColor_; }
    GraphicLineStyleConstants OutputLineStyle() const { return outputLineStyle_; }
    std::int32_t OutputLineWidthInScreenPixels() const { return outputLineWidthInScreenPixels_; }

    // The style setters store without comparing and always raise the property's flag with
    // the current-record flag, so a display refreshes even when the value is the same.
    void setOutputColor(Color32 color);
    void setOutputLineStyle(GraphicLineStyleConstants style);
    // Throws ArgumentOutOfRangeException for a negative width.
    void setOutputLineWidthInScreenPixels(std::int32_t width);

    // The framework and input-image parts, then "mOutputColor", "mOutputLineStyle" and
    // "mOutputLineWidthInScreenPixels".
    void Orv9xConvert(long long handle, void* context) override;

protected:
    GeometryToolBaseOutputStyle();

    // Gives an output shape the tool's style.
    void ApplyOutputStyle(GraphicBase& shape) const;

private:
    Color32 outputColor_ = Color32::FromUInt32(0xFF00FF00);
    GraphicLineStyleConstants outputLineStyle_ = GraphicLineStyleConstants::Solid;
    std::int32_t outputLineWidthInScreenPixels_ = 1;

    friend class cereal::access;
    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version);

    RTTR_ENABLE(GeometryToolBase)
};

} // namespace Ostrel::Vision::Geometry::Implementation
