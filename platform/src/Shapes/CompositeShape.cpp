#include <Ostrel/Vision/CompositeShape.h>

#include "ShapeChecks.h"
#include "ShapeMath.h"

namespace Ostrel::Vision {

using namespace Private::ShapeChecks;
using namespace Private::ShapeMath;

CompositeShape::CompositeShape(ObjectCreateAccessToken) : shapes_(Quill::Create<GraphicCollection>())
{
    Adopt(*shapes_);
}

CompositeShape::~CompositeShape()
{
    Disown(*shapes_);
}

void CompositeShape::setID(std::int32_t value)
{
    Set_(id_, value, SfID);
}

void CompositeShape::setCompositionMode(CompositeShapeCompositionModeConstants value)
{
    CheckEnum(value, CompositeShapeCompositionModeConstants::Separate, CompositeShapeCompositionModeConstants::Grouped,
              "CompositionMode");
    Set_(compositionMode_, value, SfCompositionMode);
}

std::shared_ptr<CompositeShape> CompositeShape::Copy(std::uint32_t copyShapeMode) const
{
    auto copy = Quill::Create<CompositeShape>();
    copy->CopyGraphicPartsFrom(*this, copyShapeMode);
    copy->id_ = id_;
    copy->compositionMode_ = compositionMode_;
    AppendCopies(*copy->shapes_, *shapes_, copyShapeMode, nullptr);
    return copy;
}

std::shared_ptr<CompositeShape> CompositeShape::MapLinear(const Transform2DLinear& transform,
                                                          std::uint32_t copyShapeMode) const
{
    CheckTransform(transform);
    // The reference point is the origin of the space, so members and children in "$"
    // hold plain coordinates of that space and take the whole transform.
    auto mapped = Quill::Create<CompositeShape>();
    mapped->CopyGraphicPartsFrom(*this, copyShapeMode, &transform);
    mapped->id_ = id_;
    mapped->compositionMode_ = compositionMode_;
    AppendCopies(*mapped->shapes_, *shapes_, copyShapeMode, &transform);
    return mapped;
}

void CompositeShape::GetReferencePoint(double& x, double& y) const
{
    x = 0;
    y = 0;
}

std::shared_ptr<GraphicBase> CompositeShape::CopyGraphic(std::uint32_t copyShapeMode) const
{
    return Copy(copyShapeMode);
}

std::shared_ptr<GraphicBase> CompositeShape::MapLinearGraphic(const Transform2DLinear& transform,
                                                              std::uint32_t copyShapeMode) const
{
    return MapLinear(transform, copyShapeMode);
}

void CompositeShape::OnOwnedCollectionChanged(const GraphicCollection& collection, std::uint64_t stateFlags)
{
    if (&collection == shapes_.get())
        OnChanged_(stateFlags);
    else
        GraphicBase::OnOwnedCollectionChanged(collection, stateFlags);
}

void CompositeShape::AppendOwnedCollections(OwnedCollections& collections) const
{
    GraphicBase::AppendOwnedCollections(collections);
    collections.push_back(shapes_.get());
}

} // namespace Ostrel::Vision
