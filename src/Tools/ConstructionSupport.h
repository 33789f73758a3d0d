#pragma once
// What the construction and label tools share beyond their bases.

#include <cstdint>
#include <memory>

#include <Ostrel/Vision/GraphicConstants.h>
#include <Ostrel/Vision/IImage.h>

namespace Ostrel::Vision::Geometry::Tools {

// `shape` re-expressed in the image's selected space: mapped by the linear form, at the
// origin, of the transform from the shape's own space (the framework's exception for a
// space the image's tree does not hold), every graphic property carried over unless
// `copyMode` says otherwise. The result is a new shape of the mapping's type.
template <class Shape>
auto MapIntoImage(const Shape& shape, const IImage& image,
                  std::uint32_t copyMode = static_cast<std::uint32_t>(CopyShapeConstants::All))
{
    return shape.MapLinear(image.LinearTransformToImage(shape.SelectedSpaceName(), 0, 0), copyMode);
}

// MapIntoImage with every graphic property carried over, as a pass-through tool's mapping.
template <class Shape>
std::shared_ptr<Shape> MappedIntoImage(const Shape& shape, const IImage& image)
{
    return MapIntoImage(shape, image);
}

} // namespace Ostrel::Vision::Geometry::Tools
