#pragma once

#include <cstdint>
#include <memory>

#include <Ostrel/Vision/Graphic.h>

namespace Ostrel::Vision {

// Graphics drawn and handled as one (the markers of a point list, say). The members lie
// in the composite's space when their own is "$", with their coordinates as they are
// (the composite's reference point is the origin of its space). The composite raises, as
// its own, the flags of every change of its members and SfItems (0x8000) when members
// come or go, so that a subscriber sees a member dragged (GeometryStateFlags) apart from
// a member restyled. A new composite has ID 0, mode Separate and no members.
class CompositeShape : public GraphicBase {
public:
    static constexpr std::uint64_t sf0_ = 0x10000;
    static constexpr std::uint64_t SfID = 0x10000;
    static constexpr std::uint64_t SfCompositionMode = 0x20000;
    static constexpr std::uint64_t sfNextSf_ = 0x40000;

    explicit CompositeShape(ObjectCreateAccessToken);
    ~CompositeShape() override;

    std::int32_t ID() const { return id_; }
    void setID(std::int32_t value);
    CompositeShapeCompositionModeConstants CompositionMode() const { return compositionMode_; }
    void setCompositionMode(CompositeShapeCompositionModeConstants value);

    GraphicCollection& Shapes() { return *shapes_; }
    const GraphicCollection& Shapes() const { return *shapes_; }

    // ID, mode and copies of the members (made with `copyShapeMode`) always; the rest as
    // `copyShapeMode` selects.
    std::shared_ptr<CompositeShape> Copy(std::uint32_t copyShapeMode) const;
    // Members and children in "$" mapped by `transform`, the others copied.
    std::shared_ptr<CompositeShape> MapLinear(const Transform2DLinear& transform,
                                              std::uint32_t copyShapeMode) const;

    void GetReferencePoint(double& x, double& y) const override;  // the origin
    std::shared_ptr<GraphicBase> CopyGraphic(std::uint32_t copyShapeMode) const override;
    std::shared_ptr<GraphicBase> MapLinearGraphic(const Transform2DLinear& transform,
                                                  std::uint32_t copyShapeMode) const override;

protected:
    void OnOwnedCollectionChanged(const GraphicCollection& collection, std::uint64_t stateFlags) override;
    void AppendOwnedCollections(OwnedCollections& collections) const override;

private:
    friend class cereal::access;
    CompositeShape() : CompositeShape(MakeAccessToken()) {}

    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version)
    {
        constexpr const char* name = "CompositeShape::serialize()";
        if constexpr (Archive::is_loading::value)
            CheckSerializationVersionMismatch(version, 1, name);
        ar(cereal::base_class<GraphicBase>(this), id_, compositionMode_, *shapes_);
        if constexpr (Archive::is_loading::value)
            Private::ShapeArchive::CheckEnumRange(static_cast<std::int32_t>(compositionMode_), 0, 1,
                                                  "composition mode", name);
    }

    std::int32_t id_ = 0;
    CompositeShapeCompositionModeConstants compositionMode_ = CompositeShapeCompositionModeConstants::Separate;
    std::shared_ptr<GraphicCollection> shapes_;

    RTTR_ENABLE(GraphicBase)
};

} // namespace Ostrel::Vision

CEREAL_CLASS_VERSION(Ostrel::Vision::CompositeShape, 1)
