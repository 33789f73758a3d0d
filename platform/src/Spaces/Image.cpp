#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/SpaceNameUtils.h>
#include <Ostrel/Vision/Strings.h>

namespace Ostrel::Vision {

using Strings::Substitute;

namespace {

bool HasBit(std::uint32_t mode, ImageCopyConstants bit)
{
    return (mode & static_cast<std::uint32_t>(bit)) != 0;
}

std::string Quoted(const std::string& name)
{
    return "\"" + name + "\"";
}

// The selected name of an image must name one space of its tree, not relative to another.
void CheckSelectableName(const CoordinateSpaceTree& tree, const std::string& name)
{
    SpaceNameUtils::CheckSpaceNameSyntax(name, true);
    if (name[0] == '.' || name[0] == '$')
        throw ArgumentException(Substitute("The space name %1 cannot be an image's selected space: it is "
                                           "relative; give a fully qualified or "
                                           "partial name.",
                                           {Quoted(name)}));
    if (tree.LookUpName(name, true).empty())
        throw ArgumentException(Substitute(
            "The space name %1 cannot be the image's selected space: it names no single space of the image's "
            "coordinate space tree.",
            {Quoted(name)}));
}

} // namespace

// IImage -----------------------------------------------------------------------------------

IImage::IImage()
    : tree_(Quill::Create<Vision::CoordinateSpaceTree>()), selectedSpaceName_(SpaceNameUtils::RootName)
{
}

void IImage::setCoordinateSpaceTree(const std::shared_ptr<Vision::CoordinateSpaceTree>& tree)
{
    if (!tree)
        throw ArgumentNullException(Substitute(Strings::IDS_Ost_InvalidArgNull_1, {"tree"}));
    if (tree->LookUpName(selectedSpaceName_, true).empty())
        throw ArgumentException(Substitute("The new coordinate space tree has no single space named %1, the "
                                           "image's selected space; select a "
                                           "space it has first.",
                                           {Quoted(selectedSpaceName_)}));
    tree_ = tree;
}

void IImage::setSelectedSpaceName(const std::string& name)
{
    CheckSelectableName(*tree_, name);
    selectedSpaceName_ = name;
}

std::string IImage::ResolveSpaceName(const std::string& name) const
{
    SpaceNameUtils::CheckSpaceNameSyntax(name, true);
    if (name[0] == '$')
        throw ArgumentException(Substitute(
            "The space name %1 names the space of a parent graphic, which only the graphic's holder knows; "
            "replace it by that graphic's space name first.",
            {Quoted(name)}));
    std::string resolved = tree_->ResolvePartialName(SpaceNameUtils::ImageSpaceNameFQ(*this), name);
    if (resolved.empty())
        throw ArgumentException(Substitute("The space name %1 names no single space of the image's "
                                           "coordinate space tree (the image's selected "
                                           "space is %2).",
                                           {Quoted(name), Quoted(selectedSpaceName_)}));
    return resolved;
}

std::shared_ptr<Transform2D> IImage::GetTransform(const std::string& toSpace,
                                                  const std::string& fromSpace) const
{
    return tree_->GetTransform(ResolveSpaceName(toSpace), ResolveSpaceName(fromSpace));
}

struct IImage::TransformMemo {
    std::shared_ptr<const Vision::CoordinateSpaceTree> tree;
    std::int32_t spaceCount;
    std::string selected;
    std::string spaceName;
    std::shared_ptr<Transform2D> transform;
};

std::shared_ptr<Transform2D> IImage::TransformMemos::Find(const Vision::CoordinateSpaceTree* tree,
                                                          std::int32_t spaceCount,
                                                          const std::string& selected,
                                                          const std::string& spaceName) const
{
    for (const auto& slot : slots_) {
        const auto memo = slot.load(std::memory_order_acquire);
        if (memo && memo->tree.get() == tree && memo->spaceCount == spaceCount &&
            memo->spaceName == spaceName && memo->selected == selected)
            return memo->transform;
    }
    return nullptr;
}

void IImage::TransformMemos::Keep(std::shared_ptr<const TransformMemo> memo)
{
    const unsigned slot = next_.fetch_add(1, std::memory_order_relaxed) % slots_.size();
    slots_[slot].store(std::move(memo), std::memory_order_release);
}

std::shared_ptr<Transform2D> IImage::TransformToImage(const std::string& spaceName) const
{
    const std::int32_t spaceCount = tree_->Count();
    if (auto known = transformMemos_.Find(tree_.get(), spaceCount, selectedSpaceName_, spaceName))
        return known;
    auto transform = GetTransform(SpaceNameUtils::SelectedSpaceName, spaceName);
    transformMemos_.Keep(std::make_shared<const TransformMemo>(
        TransformMemo{tree_, spaceCount, selectedSpaceName_, spaceName, transform}));
    return transform;
}

Transform2DLinear IImage::LinearTransformToImage(const std::string& spaceName, double x, double y) const
{
    return TransformToImage(spaceName)->LinearTransform(x, y);
}

void IImage::CopySpacesFrom(const IImage& other, std::uint32_t mode)
{
    tree_ = HasBit(mode, ImageCopyConstants::CoordinateSpaceTree) ? other.tree_->Copy() : other.tree_;
    selectedSpaceName_ = other.selectedSpaceName_;
}

void IImage::SetLoadedSpaces(const std::shared_ptr<Vision::CoordinateSpaceTree>& tree,
                             const std::string& name)
{
    if (!tree)
        throw SerializationException("The archive holds an image without a coordinate space tree.");
    try {
        CheckSelectableName(*tree, name);
    } catch (const ArgumentException& e) {
        throw SerializationException("The archive holds an image whose selected space is invalid: " +
                                     e.Message());
    }
    tree_ = tree;
    selectedSpaceName_ = name;
}

// Image8Grey -------------------------------------------------------------------------------

Image8Grey::Image8Grey(ObjectCreateAccessToken, std::int32_t width, std::int32_t height)
{
    if (width < 0)
        throw ArgumentOutOfRangeException(Substitute(Strings::IDS_Ost_InvalidArgGE_2, {"width", "0"}));
    if (height < 0)
        throw ArgumentOutOfRangeException(Substitute(Strings::IDS_Ost_InvalidArgGE_2, {"height", "0"}));
    if (std::int64_t{width} * height > MaxPixelCount)
        throw ArgumentOutOfRangeException(
            Substitute("An image of %1 x %2 pixels is too large: an image may hold at most %3 pixels.",
                       {std::to_string(width), std::to_string(height), std::to_string(MaxPixelCount)}));
    width_ = width;
    height_ = height;
    pixels_ = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(width) * height, 0);
}

Image8Grey::Image8Grey() : Image8Grey(MakeAccessToken(), 0, 0) {}

std::shared_ptr<IImage> Image8Grey::Copy(std::uint32_t mode) const
{
    auto copy = Quill::Create<Image8Grey>(0, 0);
    copy->width_ = width_;
    copy->height_ = height_;
    copy->pixels_ = HasBit(mode, ImageCopyConstants::Pixels)
                        ? std::make_shared<std::vector<std::uint8_t>>(*pixels_)
                        : pixels_;
    copy->CopySpacesFrom(*this, mode);
    return copy;
}

std::size_t Image8Grey::Index(std::int32_t x, std::int32_t y) const
{
    if (x < 0 || x >= width_)
        throw ArgumentOutOfRangeException(
            Substitute(Strings::IDS_Ost_InvalidArgGEandLT_3, {"x", "0", std::to_string(width_)}));
    if (y < 0 || y >= height_)
        throw ArgumentOutOfRangeException(
            Substitute(Strings::IDS_Ost_InvalidArgGEandLT_3, {"y", "0", std::to_string(height_)}));
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
}

std::uint8_t Image8Grey::At(std::int32_t x, std::int32_t y) const
{
    return (*pixels_)[Index(x, y)];
}

void Image8Grey::SetPixel(std::int32_t x, std::int32_t y, std::uint8_t value)
{
    (*pixels_)[Index(x, y)] = value;
}

void Image8Grey::Fill(std::uint8_t value)
{
    std::fill(pixels_->begin(), pixels_->end(), value);
}

void Image8Grey::SetLoadedPixels(std::vector<std::uint8_t>&& pixels)
{
    if (width_ < 0 || height_ < 0 || std::int64_t{width_} * height_ > MaxPixelCount)
        throw SerializationException(
            Substitute("The archive holds an image of an impossible size, %1 x %2 pixels.",
                       {std::to_string(width_), std::to_string(height_)}));
    if (pixels.size() != static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_))
        throw SerializationException(
            Substitute("The archive holds an image of %1 x %2 pixels with %3 pixel values.",
                       {std::to_string(width_), std::to_string(height_), std::to_string(pixels.size())}));
    pixels_ = std::make_shared<std::vector<std::uint8_t>>(std::move(pixels));
}

} // namespace Ostrel::Vision
