#include <algorithm>
#include <cmath>

#include <Ostrel/Vision/CoordinateSpaceTree.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/SpaceNameUtils.h>
#include <Ostrel/Vision/Strings.h>

namespace Ostrel::Vision {

using Strings::Substitute;

namespace {

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

// A new space's name is one element: no path, no "#", "." or "$" form.
void CheckElementName(const std::string& name)
{
    SpaceNameUtils::CheckSpaceNameSyntax(name, true);
    if (name.find('/') != std::string::npos || name[0] == '#' || name[0] == '.' || name[0] == '$')
        throw ArgumentException(Substitute(
            "The name %1 cannot name a new space: it must be a single element such as \"Plate\", added under its "
            "parent.",
            {Quoted(name)}));
}

} // namespace

CoordinateSpaceTree::CoordinateSpaceTree(ObjectCreateAccessToken)
    : nodes_{Node{SpaceNameUtils::RootName, SpaceNameUtils::RootName, -1, nullptr}}
{
}

CoordinateSpaceTree::CoordinateSpaceTree() : CoordinateSpaceTree(MakeAccessToken()) {}

CoordinateSpaceTree::Found CoordinateSpaceTree::Find(const std::string& name) const
{
    try {
        SpaceNameUtils::CheckSpaceNameSyntax(name, true);
    } catch (const ArgumentException& e) {
        return {Lookup::Malformed, -1, e.Message()};
    }
    if (name[0] == '.')
        return {Lookup::Relative, -1, {}};
    if (name[0] == '$')
        return {Lookup::ParentGraphic, -1, {}};
    if (name[0] == '#') {
        for (std::size_t i = 0; i < nodes_.size(); ++i)
            if (nodes_[i].fullName == name)
                return {Lookup::Found, static_cast<std::int32_t>(i), {}};
        return {Lookup::Unknown, -1, {}};
    }
    // A partial name matches every space whose path ends with "/" + name.
    const std::string suffix = "/" + name;
    std::vector<std::int32_t> matches;
    for (std::size_t i = 1; i < nodes_.size(); ++i)
        if (nodes_[i].fullName.ends_with(suffix))
            matches.push_back(static_cast<std::int32_t>(i));
    if (matches.empty())
        return {Lookup::Unknown, -1, {}};
    if (matches.size() > 1) {
        std::string list;
        for (std::int32_t m : matches)
            list += (list.empty() ? "" : ", ") + Quoted(nodes_[m].fullName);
        return {Lookup::Ambiguous, -1, list};
    }
    return {Lookup::Found, matches.front(), {}};
}

std::int32_t CoordinateSpaceTree::FindOrThrow(const std::string& name, const char* role) const
{
    const Found found = Find(name);
    switch (found.status) {
    case Lookup::Found:
        return found.index;
    case Lookup::Malformed:
        throw ArgumentException(found.detail);
    case Lookup::Unknown:
        throw ArgumentException(
            Substitute("The coordinate space tree has no space named %1 (the %2).", {Quoted(name), role}));
    case Lookup::Ambiguous:
        throw ArgumentException(Substitute("The partial space name %1 (the %2) is ambiguous: it ends the names %3.",
                                           {Quoted(name), role, found.detail}));
    case Lookup::Relative:
        throw ArgumentException(Substitute(
            "The space name %1 (the %2) is relative to an image's selected space, which the tree does not know; "
            "resolve it against the image (IImage::GetTransform).",
            {Quoted(name), role}));
    case Lookup::ParentGraphic:
        throw ArgumentException(Substitute(
            "The space name %1 (the %2) names the space of a parent graphic, which only the graphic's holder "
            "knows; replace it by that graphic's space name first.",
            {Quoted(name), role}));
    }
    throw InternalErrorException("Unhandled result of a coordinate space lookup.");
}

std::string CoordinateSpaceTree::AddNode(std::int32_t parent, const std::string& name,
                                         const std::shared_ptr<const Transform2D>& t)
{
    if (!t)
        throw ArgumentNullException(Substitute(Strings::IDS_Ost_InvalidArgNull_1, {"childFromParent"}));
    const std::string& parentName = nodes_[parent].fullName;
    std::string fullName = parentName + "/" + name;
    if (std::any_of(nodes_.begin(), nodes_.end(), [&](const Node& node) { return node.fullName == fullName; }))
        throw ArgumentException(Substitute("The space %1 already exists.", {Quoted(fullName)}));
    std::shared_ptr<const Transform2D> owned = t;
    if (t->IsLinear()) {
        // A copy, so that the caller's Transform2DLinear may change without changing the tree.
        const Transform2DLinear linear = t->LinearTransform(0.0, 0.0);
        if (!linear.IsFinite() || !std::isfinite(linear.Determinant()))
            throw ArgumentException(Substitute("The transform into the new space %1 has an entry or a determinant "
                                               "that is not finite.", {Quoted(fullName)}));
        owned = std::make_shared<Transform2DLinear>(linear);
    }
    nodes_.push_back(Node{name, fullName, parent, std::move(owned)});
    return fullName;
}

std::string CoordinateSpaceTree::AddSpace(const std::string& parentName, const std::string& name,
                                          const std::shared_ptr<const Transform2D>& childFromParent)
{
    CheckElementName(name);
    return AddNode(FindOrThrow(parentName, "parent"), name, childFromParent);
}

std::string CoordinateSpaceTree::AddSpace(const std::string& parentName, const std::string& name,
                                          const Transform2DLinear& childFromParent)
{
    return AddSpace(parentName, name, std::make_shared<Transform2DLinear>(childFromParent));
}

void CoordinateSpaceTree::AddLoadedNode(std::int32_t parent, const std::string& name,
                                        const std::shared_ptr<Transform2D>& t)
{
    // Parents precede their children in the archive, so a parent index always refers to a
    // space already read.
    if (parent < 0 || static_cast<std::size_t>(parent) >= nodes_.size())
        throw SerializationException(Substitute(
            "The archive holds a coordinate space %1 whose parent index %2 refers to no space read before it.",
            {Quoted(name), std::to_string(parent)}));
    try {
        CheckElementName(name);
        AddNode(parent, name, t);
    } catch (const ArgumentException& e) {
        throw SerializationException("The archive holds a malformed coordinate space tree: " + e.Message());
    }
}

std::shared_ptr<Transform2D> CoordinateSpaceTree::GetTransform(const std::string& toSpace,
                                                               const std::string& fromSpace) const
{
    std::int32_t from = FindOrThrow(fromSpace, "space mapped from");
    std::int32_t to = FindOrThrow(toSpace, "space mapped to");
    const auto depth = [this](std::int32_t i) {
        int d = 0;
        for (; nodes_[i].parent >= 0; i = nodes_[i].parent)
            ++d;
        return d;
    };
    // Walk both ends up to the deepest common ancestor: `up` from fromSpace, `down` from
    // toSpace (reversed below, so that it runs from the ancestor down).
    std::vector<std::int32_t> up, down;
    int dFrom = depth(from), dTo = depth(to);
    for (; dFrom > dTo; --dFrom, from = nodes_[from].parent)
        up.push_back(from);
    for (; dTo > dFrom; --dTo, to = nodes_[to].parent)
        down.push_back(to);
    for (; from != to; from = nodes_[from].parent, to = nodes_[to].parent) {
        up.push_back(from);
        down.push_back(to);
    }
    std::reverse(down.begin(), down.end());

    std::shared_ptr<Transform2D> result;
    const auto apply = [&result](const std::shared_ptr<const Transform2D>& t) {
        if (result)
            result = t->Compose(result);
        else if (t->IsLinear())
            result = std::make_shared<Transform2DLinear>(t->LinearTransform(0.0, 0.0));
        else
            result = std::const_pointer_cast<Transform2D>(t);  // non-linear transforms cannot be changed
    };
    for (std::int32_t i : up) {
        const Node& node = nodes_[i];
        std::shared_ptr<Transform2D> parentFromChild;
        try {
            parentFromChild = node.childFromParent->Inverse();
        } catch (const VisionException& e) {
            throw ArgumentException(Substitute("No transform maps space %1 into space %2: the transform from %3 "
                                               "into its child %4 cannot be inverted. %5",
                                               {Quoted(fromSpace), Quoted(toSpace),
                                                Quoted(nodes_[node.parent].fullName), Quoted(node.fullName),
                                                e.Message()}));
        }
        apply(parentFromChild);
    }
    for (std::int32_t i : down)
        apply(nodes_[i].childFromParent);
    return result ? result : std::make_shared<Transform2DLinear>();
}

std::string CoordinateSpaceTree::ShortestName(std::int32_t index) const
{
    const Node& node = nodes_[index];
    if (node.parent < 0)
        return node.fullName;
    const std::vector<std::string> elements = SpaceNameUtils::SplitElements(node.fullName);
    std::string partial;
    for (auto it = elements.rbegin(); it != elements.rend(); ++it) {
        partial = partial.empty() ? *it : *it + "/" + partial;
        const Found found = Find(partial);
        if (found.status == Lookup::Found && found.index == index)
            return partial;
    }
    return node.fullName;  // every partial form also ends a deeper space's path
}

std::string CoordinateSpaceTree::LookUpName(const std::string& name, bool fullyQualified) const
{
    const Found found = Find(name);
    if (found.status != Lookup::Found)
        return {};
    return fullyQualified ? nodes_[found.index].fullName : ShortestName(found.index);
}

std::string CoordinateSpaceTree::ResolvePartialName(const std::string& imageSpaceName, const std::string& name) const
{
    const Found found = Find(name);
    switch (found.status) {
    case Lookup::Found:
        return nodes_[found.index].fullName;
    case Lookup::ParentGraphic:
        return name;
    case Lookup::Relative: {
        const Found image = Find(imageSpaceName);
        if (image.status != Lookup::Found)
            return {};
        const std::string& base = nodes_[image.index].fullName;
        if (name == ".")
            return base;
        const std::string full = base + name.substr(1);  // "./a/b" below "#/F" is "#/F/a/b"
        return Find(full).status == Lookup::Found ? full : std::string();
    }
    default:
        return {};
    }
}

std::vector<std::string> CoordinateSpaceTree::SpaceNames() const
{
    std::vector<std::string> names(nodes_.size());
    std::transform(nodes_.begin(), nodes_.end(), names.begin(), [](const Node& node) { return node.fullName; });
    return names;
}

std::shared_ptr<const Transform2D> CoordinateSpaceTree::ChildFromParent(const std::string& name) const
{
    return nodes_[FindOrThrow(name, "space asked for")].childFromParent;
}

std::shared_ptr<CoordinateSpaceTree> CoordinateSpaceTree::Copy() const
{
    auto copy = Quill::Create<CoordinateSpaceTree>();
    copy->nodes_ = nodes_;
    return copy;
}

} // namespace Ostrel::Vision
