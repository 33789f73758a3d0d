#pragma once
// A tree of named coordinate spaces. The root "#" is the pixel space of the image that
// owns the tree; every other space hangs under a parent with the transform that maps
// parent coordinates into it (childFromParent).
//
// Names (syntax in SpaceNameUtils.h):
// - fully qualified: from the root, "#", "#/Fixture", "#/Fixture/Plate";
// - partial: the trailing elements of exactly one fully qualified name, "Plate" or
//   "Fixture/Plate" for "#/Fixture/Plate". A partial name that ends more than one space's
//   path is ambiguous and names none;
// - relative to an image: "." is the image's selected space, "./Sub" a space below it;
// - "$": a child graphic's name for the space of the graphic that holds it. Only the
//   graphic's owner knows which space that is, so the tree never resolves it.
//
// The tree owns its structure; the transforms are immutable and may be shared with other
// trees and with the transforms GetTransform returns.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <Ostrel/Vision/Transform2D.h>

namespace Ostrel::Vision {

class CoordinateSpaceTree : public Quill::ShareableBase {
public:
    // A tree holding the root space "#" alone.
    explicit CoordinateSpaceTree(ObjectCreateAccessToken);

    // Adds the space `name` (one path element, "Plate") under the space `parentName`
    // (fully qualified or partial) and returns its fully qualified name. childFromParent
    // maps coordinates of the parent space into the new space; a linear one is copied.
    // Throws ArgumentException for a malformed name, an unknown or ambiguous parent, a
    // name the parent already has, or a linear transform that is not finite, and
    // ArgumentNullException for a null transform.
    std::string AddSpace(const std::string& parentName, const std::string& name,
                         const std::shared_ptr<const Transform2D>& childFromParent);
    std::string AddSpace(const std::string& parentName, const std::string& name,
                         const Transform2DLinear& childFromParent);

    // The transform that maps coordinates given in fromSpace into toSpace: up the tree from
    // fromSpace to the deepest common ancestor by the inverses of the transforms on the
    // way, then down to toSpace by the transforms themselves, composed into one
    // (Transform2D::Compose, so an all-linear path gives one Transform2DLinear). Equal
    // spaces give the identity. Names are fully qualified or partial.
    // Throws ArgumentException for a malformed, unknown or ambiguous name, for "." and "$"
    // (resolve those first: IImage::GetTransform does it for "."), and, naming the space,
    // when a transform that must be inverted on the way cannot be.
    std::shared_ptr<Transform2D> GetTransform(const std::string& toSpace, const std::string& fromSpace) const;

    // The space named by a fully qualified or partial name: its fully qualified name, or,
    // with fullyQualified false, its shortest partial name that names it alone ("#" for the
    // root). Returns "" for a name that is malformed, unknown, ambiguous or relative.
    std::string LookUpName(const std::string& name, bool fullyQualified = true) const;

    // Resolves a name as a shape may carry it, for an image whose selected space is
    // imageSpaceName (fully qualified or partial): "." gives the image's space, "./a/b" the
    // space a/b below it, "#"-rooted and partial names resolve as in LookUpName; the result
    // is fully qualified. "$" and "$/..." come back unchanged (see above). Returns "" when
    // the name cannot be resolved: malformed, unknown, ambiguous, or relative to an image
    // space that itself cannot be resolved.
    std::string ResolvePartialName(const std::string& imageSpaceName, const std::string& name) const;

    // The number of spaces, the root included.
    std::int32_t Count() const { return static_cast<std::int32_t>(nodes_.size()); }
    // The fully qualified names of all spaces, the root first, then in the order added.
    std::vector<std::string> SpaceNames() const;
    // The transform from the named space's parent into it; null for the root. Throws as
    // GetTransform does for a name that names no space.
    std::shared_ptr<const Transform2D> ChildFromParent(const std::string& name) const;
    // An independent tree with the same spaces (the immutable transforms are shared).
    std::shared_ptr<CoordinateSpaceTree> Copy() const;

private:
    CoordinateSpaceTree();

    struct Node {
        std::string name;        // the last path element; "#" for the root
        std::string fullName;    // fully qualified
        std::int32_t parent;     // index into nodes_; -1 for the root
        std::shared_ptr<const Transform2D> childFromParent;
    };

    enum class Lookup { Found, Malformed, Unknown, Ambiguous, Relative, ParentGraphic };
    struct Found {
        Lookup status;
        std::int32_t index;      // valid when Found
        std::string detail;      // what went wrong, for messages
    };
    // Finds a space by fully qualified or partial name.
    Found Find(const std::string& name) const;
    std::int32_t FindOrThrow(const std::string& name, const char* role) const;
    std::string AddNode(std::int32_t parent, const std::string& name, const std::shared_ptr<const Transform2D>& t);
    std::string ShortestName(std::int32_t index) const;

    std::vector<Node> nodes_;

    friend class cereal::access;
    template <class Archive>
    void save(Archive& ar, std::uint32_t) const
    {
        // The root is implicit; every other space follows its parent.
        cereal::size_type count = nodes_.size() - 1;
        ar(cereal::make_size_tag(count));
        for (std::size_t i = 1; i < nodes_.size(); ++i)
            ar(nodes_[i].parent, nodes_[i].name, std::const_pointer_cast<Transform2D>(nodes_[i].childFromParent));
    }
    template <class Archive>
    void load(Archive& ar, std::uint32_t version)
    {
        CheckSerializationVersionMismatch(version, 1, "CoordinateSpaceTree::serialize()");
        cereal::size_type count = 0;
        ar(cereal::make_size_tag(count));
        nodes_.resize(1);
        for (cereal::size_type i = 0; i < count; ++i) {
            std::int32_t parent = -1;
            std::string name;
            std::shared_ptr<Transform2D> transform;
            ar(parent, name, transform);
            AddLoadedNode(parent, name, transform);
        }
    }
    // Throws SerializationException for a node that would make the tree malformed.
    void AddLoadedNode(std::int32_t parent, const std::string& name, const std::shared_ptr<Transform2D>& t);

    RTTR_ENABLE(Quill::ShareableBase)
};

} // namespace Ostrel::Vision
