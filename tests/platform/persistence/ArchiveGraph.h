#pragma once
// A small class hierarchy with the shapes of real object graphs, for the archive tests and
// the archive fuzz target: names, number lists, flags, a map, owned children, a shared
// object referenced twice, weak links back to the parent, and a platform graphic with a
// child graphic. Registers its classes with cereal: include it in one source file per
// executable.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <Ostrel/Vision/Archive.h>
#include <Ostrel/Vision/GraphicLabel.h>
#include <Ostrel/Vision/Polygon.h>

namespace ArchiveGraph {

namespace Quill = Ostrel::Quill;
using Ostrel::Vision::CheckSerializationVersionMismatch;

class Node : public Quill::ShareableBase {
public:
    explicit Node(ObjectCreateAccessToken) {}
    std::string Name;
    std::vector<double> Values;
    bool Flag = false;
    std::weak_ptr<Node> Parent;
    std::uint32_t SeenOptions = 0xFFFFFFFF; // the archive's options as serialize saw them

protected:
    Node() : Node(MakeAccessToken()) {}

private:
    friend class cereal::access;
    template <class Archive> void serialize(Archive& ar, std::uint32_t version)
    {
        if constexpr (Archive::is_loading::value)
            CheckSerializationVersionMismatch(version, 1, "Node::serialize()");
        SeenOptions = Ostrel::Vision::Options(ar);
        ar(Name, Values, Flag, Parent);
    }

    RTTR_ENABLE(Quill::ShareableBase)
};

class Leaf : public Node {
public:
    explicit Leaf(ObjectCreateAccessToken token) : Node(token) {}
    std::int32_t Count = 0;

private:
    Leaf() : Leaf(MakeAccessToken()) {}
    friend class cereal::access;
    template <class Archive> void serialize(Archive& ar, std::uint32_t version)
    {
        if constexpr (Archive::is_loading::value)
            CheckSerializationVersionMismatch(version, 1, "Leaf::serialize()");
        ar(cereal::base_class<Node>(this), Count);
    }

    RTTR_ENABLE(Node)
};

class Branch : public Node {
public:
    explicit Branch(ObjectCreateAccessToken token) : Node(token) {}
    std::vector<std::shared_ptr<Node>> Children;
    std::shared_ptr<Quill::IObject> Shared;
    std::map<std::string, std::int32_t> Tags;
    std::vector<std::string> Labels;

private:
    Branch() : Branch(MakeAccessToken()) {}
    friend class cereal::access;
    template <class Archive> void serialize(Archive& ar, std::uint32_t version)
    {
        if constexpr (Archive::is_loading::value)
            CheckSerializationVersionMismatch(version, 1, "Branch::serialize()");
        ar(cereal::base_class<Node>(this), Children, Shared, Tags, Labels);
    }

    RTTR_ENABLE(Node)
};

} // namespace ArchiveGraph

CEREAL_REGISTER_TYPE_WITH_NAME(ArchiveGraph::Leaf, "ArchiveGraph::Leaf")
CEREAL_REGISTER_TYPE_WITH_NAME(ArchiveGraph::Branch, "ArchiveGraph::Branch")
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Quill::IObject, ArchiveGraph::Node)
CEREAL_REGISTER_POLYMORPHIC_RELATION(ArchiveGraph::Node, ArchiveGraph::Leaf)
CEREAL_REGISTER_POLYMORPHIC_RELATION(ArchiveGraph::Node, ArchiveGraph::Branch)
CEREAL_CLASS_VERSION(ArchiveGraph::Node, 1)
CEREAL_CLASS_VERSION(ArchiveGraph::Leaf, 1)
CEREAL_CLASS_VERSION(ArchiveGraph::Branch, 1)

namespace ArchiveGraph {

inline std::shared_ptr<Leaf> MakeLeaf(const std::string& name, std::int32_t count,
                                      const std::shared_ptr<Node>& parent)
{
    auto leaf = Quill::Create<Leaf>();
    leaf->Name = name;
    leaf->Count = count;
    leaf->Values = {count * 0.5, -1.0};
    leaf->Parent = parent;
    return leaf;
}

// root -> [leaf a, branch b -> [leaf c, shared], shared]: shared is one leaf held by root
// and by b, and b's Shared; every child links back to its parent. Root's Shared is a
// triangle with a label as its child graphic.
inline std::shared_ptr<Branch> MakeGraph()
{
    auto root = Quill::Create<Branch>();
    root->Name = "root";
    root->Flag = true;
    root->Labels = {"first", "second", ""};
    root->Tags = {{"x", 1}, {"y", -2}};
    auto b = Quill::Create<Branch>();
    b->Parent = root;
    auto shared = MakeLeaf("shared", 7, root);
    b->Children = {MakeLeaf("c", 3, b), shared};
    b->Shared = shared;
    root->Children = {MakeLeaf("a", 1, root), b, shared};
    auto triangle = Quill::Create<Ostrel::Vision::Polygon>();
    triangle->AddVertex(0, 0);
    triangle->AddVertex(4, 0);
    triangle->AddVertex(4, 3);
    auto label = Quill::Create<Ostrel::Vision::GraphicLabel>();
    label->setText("triangle");
    triangle->ChildGraphics().Add(label);
    root->Shared = triangle;
    return root;
}

} // namespace ArchiveGraph
