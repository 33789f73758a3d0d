#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <Ostrel/Vision/Graphic.h>

namespace Ostrel::Vision {

// A text drawn at its anchor (X, Y), the point of its box that Alignment names. A new
// label has an empty text at (10, 10), aligned TopLeft.
class GraphicLabel : public GraphicBase {
public:
    static constexpr std::uint64_t sf0_ = GraphicBase::sfNextSf_;
    static constexpr std::uint64_t SfText = 0x800;
    static constexpr std::uint64_t SfAlignment = 0x1000;
    static constexpr std::uint64_t SfX = 0x40000;
    static constexpr std::uint64_t SfY = 0x80000;
    static constexpr std::uint64_t sfNextSf_ = 0x100000;

    explicit GraphicLabel(ObjectCreateAccessToken);

    const std::string& Text() const { return text_; }
    void setText(const std::string& value);
    double X() const { return x_; }
    void setX(double value);
    double Y() const { return y_; }
    void setY(double value);
    GraphicLabelAlignmentConstants Alignment() const { return alignment_; }
    void setAlignment(GraphicLabelAlignmentConstants value);

    std::shared_ptr<GraphicLabel> Copy(std::uint32_t copyShapeMode) const;
    // The anchor mapped by `transform`; the text keeps its screen size and alignment.
    std::shared_ptr<GraphicLabel> MapLinear(const Transform2DLinear& transform, std::uint32_t copyShapeMode) const;

    void GetReferencePoint(double& x, double& y) const override;  // the anchor
    std::shared_ptr<GraphicBase> CopyGraphic(std::uint32_t copyShapeMode) const override;
    std::shared_ptr<GraphicBase> MapLinearGraphic(const Transform2DLinear& transform,
                                                  std::uint32_t copyShapeMode) const override;

private:
    friend class cereal::access;
    GraphicLabel() : GraphicLabel(MakeAccessToken()) {}

    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version)
    {
        constexpr const char* name = "GraphicLabel::serialize()";
        if constexpr (Archive::is_loading::value)
            CheckSerializationVersionMismatch(version, 1, name);
        ar(cereal::base_class<GraphicBase>(this), text_, x_, y_, alignment_);
        if constexpr (Archive::is_loading::value) {
            using namespace Private::ShapeArchive;
            CheckFinite(x_, "x", name);
            CheckFinite(y_, "y", name);
            CheckEnumRange(static_cast<std::int32_t>(alignment_), 0, 8, "alignment", name);
        }
    }

    std::string text_;
    double x_ = 10;
    double y_ = 10;
    GraphicLabelAlignmentConstants alignment_ = GraphicLabelAlignmentConstants::TopLeft;

    RTTR_ENABLE(GraphicBase)
};

} // namespace Ostrel::Vision

CEREAL_CLASS_VERSION(Ostrel::Vision::GraphicLabel, 1)
