#pragma once
// A small class hierarchy with the shapes of real object graphs, for the archive
// robustness tests and the archive fuzz target: names, number lists, flags, a map, owned
// children, a shared object referenced twice and weak links back to the parent.
// Registers its classes with cereal: include it in one source file per executable.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <Ostrel/Vision/Archive.h>

namespace ArchiveRobustness {

namespace Quill = Ostrel::Quill;
using Ostrel::Vision::CheckSerializationVersionMismatch;

class Node : public Quill::ShareableBase {
public:
    explicit Node(ObjectCreateAccessToken) {}
    std::string Name;
    std::vector<double> Values;
    bool Flag = false;
    std::weak_ptr<Node> Parent;

protected:
    Node() : Node(MakeAccessToken()) {}

private:
    friend class cereal::access;
    template <class Archive> void serialize(Archive& ar, std::uint32_t version)
    {
        if constexpr (Archive::is_loading::value)
            CheckSerializationVersionMismatch(version, 1, "Node::serialize()");
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

protected:
    Branch() : Branch(MakeAccessToken()) {}

private:
    friend class cereal::access;
    template <class Archive> void serialize(Archive& ar, std::uint32_t version)
    {
        if constexpr (Archive::is_loading::value)
            CheckSerializationVersionMismatch(version, 1, "Branch::serialize()");
        ar(cereal::base_class<Node>(this), Children, Shared, Tags);
    }

    RTTR_ENABLE(Node)
};

class LabelledBranch : public Branch {
public:
    explicit LabelledBranch(ObjectCreateAccessToken token) : Branch(token) {}
    std::vector<std::string> Labels;

private:
    LabelledBranch() : LabelledBranch(MakeAccessToken()) {}
    friend class cereal::access;
    template <class Archive> void serialize(Archive& ar, std::uint32_t version)
    {
        if constexpr (Archive::is_loading::value)
            CheckSerializationVersionMismatch(version, 1, "LabelledBranch::serialize()");
        ar(cereal::base_class<Branch>(this), Labels);
    }

    RTTR_ENABLE(Branch)
};

} // namespace ArchiveRobustness

CEREAL_REGISTER_TYPE_WITH_NAME(ArchiveRobustness::Leaf, "ArchiveRobustness::Leaf")
CEREAL_REGISTER_TYPE_WITH_NAME(ArchiveRobustness::Branch, "ArchiveRobustness::Branch")
CEREAL_REGISTER_TYPE_WITH_NAME(ArchiveRobustness::LabelledBranch, "ArchiveRobustness::LabelledBranch")
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Quill::IObject, ArchiveRobustness::Node)
CEREAL_REGISTER_POLYMORPHIC_RELATION(ArchiveRobustness::Node, ArchiveRobustness::Leaf)
CEREAL_REGISTER_POLYMORPHIC_RELATION(ArchiveRobustness::Node, ArchiveRobustness::Branch)
CEREAL_REGISTER_POLYMORPHIC_RELATION(ArchiveRobustness::Branch, ArchiveRobustness::LabelledBranch)
CEREAL_CLASS_VERSION(ArchiveRobustness::Node, 1)
CEREAL_CLASS_VERSION(ArchiveRobustness::Leaf, 1)
CEREAL_CLASS_VERSION(ArchiveRobustness::Branch, 1)
CEREAL_CLASS_VERSION(ArchiveRobustness::LabelledBranch, 1)

namespace ArchiveRobustness {

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

// root (LabelledBranch) -> [leaf a, branch b -> [leaf c, shared], shared]; shared is one
// leaf held by root and by b; every child links back to its parent.
inline std::shared_ptr<LabelledBranch> MakeGraph()
{
    auto root = Quill::Create<LabelledBranch>();
    root->Name = "root";
    root->Flag = true;
    root->Labels = {"first", "second", ""};
    root->Tags = {{"x", 1}, {"y", -2}};
    auto b = Quill::Create<Branch>();
    b->Name = "b";
    b->Parent = root;
    auto shared = MakeLeaf("shared", 7, root);
    b->Children = {MakeLeaf("c", 3, b), shared};
    b->Shared = shared;
    root->Children = {MakeLeaf("a", 1, root), b, shared};
    root->Shared = b;
    return root;
}

} // namespace ArchiveRobustness
