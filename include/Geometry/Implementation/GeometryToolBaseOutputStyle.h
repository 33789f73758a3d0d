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

    // The shape a construction tool outputs and its display copy for the last-run record;
    // both empty until a run succeeds.
    template <class Shape>
    struct ShapeOutput {
        std::shared_ptr<Shape> shape;
        std::shared_ptr<Shape> copy;
    };

    // The start of a construction run: the run state cleared, each of `parts` (the output,
    // the record copies) given its empty value, then one event with `outputFlag` and the
    // last-run flag.
    template <class... Parts>
    void BeginConstruction(std::uint64_t outputFlag, Parts&... parts)
    {
        ClearRunState();
        ((parts = Parts{}), ...);
        OnChanged_(outputFlag | SfLastRunRecord);
    }
    // The end of a construction run: `shape`, a new object of this run (a host holding an
    // earlier output never sees it change), becomes the output, expressed in the run's image
    // space and drawn in the tool's style; its display copy is made when the diagnostic
    // mask holds one of `diagBits`; then the result is marked present and `outputFlag`
    // raised with the last-run flag.
    template <class Shape, class Bits>
    ToolResultConstants FinishConstruction(ShapeOutput<Shape>& output, std::shared_ptr<Shape> shape, Bits diagBits,
                                           std::uint64_t outputFlag)
    {
        shape->setSelectedSpaceName(ImageSpaceName());
        ApplyOutputStyle(*shape);
        output.shape = std::move(shape);
        KeepRecordCopy(output.copy, *output.shape, diagBits);
        return FinishRun(outputFlag);
    }

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
