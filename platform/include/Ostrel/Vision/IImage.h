#pragma once
// An image: a grid of pixels with a tree of coordinate spaces over it and one selected
// space. The pixel space is the tree's root "#"; the selected space is the space in which
// the image's own coordinates are read ("." in a shape's space name), "#" on a new image.
//
// Besides the accessors, an image resolves space names as shapes carry them and gives the
// transform from a shape's space into its own selected space, the one step that the
// geometry code needs before it measures (TransformToImage, LinearTransformToImage).

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include <Ostrel/Vision/CoordinateSpaceTree.h>
#include <Ostrel/Vision/Transform2D.h>

namespace Ostrel::Vision {

// The bits of an image copy's mode. Bits not listed are ignored, so 0xFFFFFFFF copies all.
enum class ImageCopyConstants : std::uint32_t {
    // Neither bit: the copy shares the original's pixel buffer and space tree, so that
    // changes of either through one image show in the other; the selected space name is
    // always the copy's own.
    Shallow = 0x0,
    Pixels = 0x1,               // the copy gets its own pixel buffer
    CoordinateSpaceTree = 0x2,  // the copy gets its own space tree
    All = 0x3,                  // an independent deep copy: later changes of either never reach the other
};

class IImage : public Quill::ShareableBase {
public:
    ~IImage() override = default;

    virtual std::int32_t Width() const = 0;
    virtual std::int32_t Height() const = 0;
    // A copy with the parts that `mode` asks for (ImageCopyConstants bits) of its own.
    virtual std::shared_ptr<IImage> Copy(std::uint32_t mode) const = 0;

    // Never null.
    const std::shared_ptr<Vision::CoordinateSpaceTree>& CoordinateSpaceTree() const { return tree_; }
    // Throws ArgumentNullException for a null tree and ArgumentException when the
    // selected space name names no space of the new tree.
    void setCoordinateSpaceTree(const std::shared_ptr<Vision::CoordinateSpaceTree>& tree);

    // As set: fully qualified or partial; SpaceNameUtils::ImageSpaceNameFQ qualifies it.
    const std::string& SelectedSpaceName() const { return selectedSpaceName_; }
    // Throws ArgumentException when the name is malformed, relative (".", "$") or names no
    // single space of the tree.
    void setSelectedSpaceName(const std::string& name);

    // The fully qualified name of a space as a shape may carry it: "." (this image's
    // selected space), "./Sub", fully qualified or partial (CoordinateSpaceTree::
    // ResolvePartialName against the selected space). Throws ArgumentException naming the
    // name when it cannot be resolved, and for "$", which only a graphic's holder can
    // resolve.
    std::string ResolveSpaceName(const std::string& name) const;
    // The transform mapping coordinates in fromSpace into toSpace, both resolved as in
    // ResolveSpaceName. Throws as ResolveSpaceName and CoordinateSpaceTree::GetTransform.
    std::shared_ptr<Transform2D> GetTransform(const std::string& toSpace, const std::string& fromSpace) const;
    // The transform from a shape's space into this image's selected space:
    // GetTransform(".", spaceName).
    std::shared_ptr<Transform2D> TransformToImage(const std::string& spaceName) const;
    // Its linear form at (x, y), given in spaceName: the affine map that agrees with the
    // transform at (x, y) and has its Jacobian there (the transform itself when linear).
    Transform2DLinear LinearTransformToImage(const std::string& spaceName, double x, double y) const;

protected:
    // A tree holding the root alone; the root selected.
    IImage();
    // Takes the other image's tree (its own copy with ImageCopyConstants::
    // CoordinateSpaceTree in mode, else shared) and selected space name.
    void CopySpacesFrom(const IImage& other, std::uint32_t mode);

    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version)
    {
        if constexpr (Archive::is_loading::value) {
            CheckSerializationVersionMismatch(version, 1, "IImage::serialize()");
            std::shared_ptr<Vision::CoordinateSpaceTree> tree;
            std::string name;
            ar(tree, name);
            SetLoadedSpaces(tree, name);
        } else {
            ar(tree_, selectedSpaceName_);
        }
    }
    friend class cereal::access;

private:
    void SetLoadedSpaces(const std::shared_ptr<Vision::CoordinateSpaceTree>& tree, const std::string& name);

    std::shared_ptr<Vision::CoordinateSpaceTree> tree_;
    std::string selectedSpaceName_;

    // The last few transforms that TransformToImage found, so that the tools, which map
    // the same shapes' spaces into the same image on every run, skip the name resolution
    // and the walk through the tree. An entry holds what the answer depends on (the tree,
    // its space count, which only grows, the selected name and the shape's space name) and
    // is used only when all of them still match. Entries are immutable and swapped
    // atomically, so concurrent readers of one image stay safe. Copies start empty.
    struct TransformMemo;
    class TransformMemos {
    public:
        TransformMemos() = default;
        TransformMemos(const TransformMemos&) {}
        TransformMemos& operator=(const TransformMemos&) { return *this; }
        std::shared_ptr<Transform2D> Find(const Vision::CoordinateSpaceTree* tree, std::int32_t spaceCount,
                                          const std::string& selected, const std::string& spaceName) const;
        void Keep(std::shared_ptr<const TransformMemo> memo);

    private:
        std::array<std::atomic<std::shared_ptr<const TransformMemo>>, 4> slots_;
        std::atomic<unsigned> next_ = 0;
    };
    mutable TransformMemos transformMemos_;

    RTTR_ENABLE(Quill::ShareableBase)
};

} // namespace Ostrel::Vision
