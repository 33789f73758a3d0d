// Archives: options, version checks, and reading damaged archives, which must end in an
// object or in SerializationException, quickly, without a crash or a sanitizer finding.
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include <Ostrel/Vision/Archive.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Polygon.h>
#include <Ostrel/Vision/ToolPin.h>

#include "ArchiveGraph.h"
#include "common/LargestAllocation.h"
#include "common/ToolTestSupport.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace ArchiveGraph;

namespace ArchiveTest {

// A class at version 3, so that archives of both older and newer versions can be made.
class Versioned : public Quill::ShareableBase {
public:
    explicit Versioned(ObjectCreateAccessToken) {}

private:
    Versioned() = default;
    friend class cereal::access;
    template <class Archive> void serialize(Archive&, std::uint32_t version)
    {
        if constexpr (Archive::is_loading::value)
            CheckSerializationVersionMismatch(version, 3, "Versioned::serialize()");
    }
};

} // namespace ArchiveTest

CEREAL_REGISTER_TYPE_WITH_NAME(ArchiveTest::Versioned, "ArchiveTest::Versioned")
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Quill::IObject, ArchiveTest::Versioned)
CEREAL_CLASS_VERSION(ArchiveTest::Versioned, 3)


namespace {

std::string LoadFailure(const std::string& bytes)
{
    std::istringstream in(bytes);
    try {
        Serialization::Load(in);
    } catch (const SerializationException& e) {
        EXPECT_FALSE(e.Message().empty());
        return e.Message();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "not a SerializationException: " << e.what();
    }
    return "(loaded)";
}

void PutUInt(std::string& bytes, std::size_t at, std::uint64_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// A stream buffer that cannot seek, as a pipe.
class PipeBuffer : public std::streambuf {
public:
    explicit PipeBuffer(std::string bytes) : bytes_(std::move(bytes))
    {
        setg(bytes_.data(), bytes_.data(), bytes_.data() + bytes_.size());
    }

private:
    std::string bytes_;
};

} // namespace

TEST(Archive, GraphRoundTripsWithOptionsSharingAndParentLinks)
{
    for (std::uint32_t options : {0x0u, 0x1u, 0x100u, 0x101u}) {
        std::istringstream in(SaveToString(MakeGraph(), options));
        auto root = std::dynamic_pointer_cast<Branch>(Serialization::Load(in));
        ASSERT_TRUE(root);
        auto b = std::dynamic_pointer_cast<Branch>(root->Children.at(1));
        ASSERT_TRUE(b);
        EXPECT_EQ(root->SeenOptions, options);
        EXPECT_EQ(b->Children.at(0)->SeenOptions, options);
        EXPECT_EQ(root->Labels, (std::vector<std::string>{"first", "second", ""}));
        EXPECT_EQ(root->Tags.at("y"), -2);
        EXPECT_EQ(b->Parent.lock(), root);
        EXPECT_EQ(b->Children.at(1), root->Children.at(2));
        EXPECT_EQ(b->Shared, root->Children[2]);
        EXPECT_EQ(std::dynamic_pointer_cast<Leaf>(b->Shared)->Count, 7);
        auto triangle = std::dynamic_pointer_cast<Polygon>(root->Shared);
        ASSERT_TRUE(triangle);
        EXPECT_EQ(triangle->VertexY(2), 3);
        EXPECT_EQ(triangle->ChildGraphics().ItemAs<GraphicLabel>(0)->Text(), "triangle");
    }
}

TEST(Archive, VersionMismatchNamesTheClassAndTellsOutdatedFromForeign)
{
    std::string bytes = SaveToString(Quill::Create<ArchiveTest::Versioned>(), 0);
    // The class version follows the type name and the 4-byte object id.
    const std::string name = "ArchiveTest::Versioned";
    const auto at = bytes.find(name) + name.size() + 4;
    ASSERT_EQ(bytes[at], 3);
    bytes[at] = 2;
    EXPECT_EQ(LoadFailure(bytes),
              "Outdated persistence version in Versioned::serialize(). To update please load "
              "and then save the archive in Kestrune 10.0");
    for (const char newer : {4, 0}) {
        bytes[at] = newer;
        EXPECT_EQ(LoadFailure(bytes), "Persistence version mismatch in Versioned::serialize()");
    }
}

TEST(Archive, ProblemsAreNamedInOneExceptionType)
{
    const std::string valid = SaveToString(MakeLeaf("distance", 1, nullptr), 0);
    // A leaf ends with its Count, 4 bytes.
    EXPECT_EQ(LoadFailure(valid.substr(0, valid.size() - 3)),
              "The archive cannot be read: it ends in the middle of a value (1 of its 4 bytes are there).");
    EXPECT_EQ(LoadFailure(""),
              "The archive cannot be read: it ends in the middle of a value (0 of its 1 bytes are "
              "there).");

    std::string unknown = valid;
    unknown.replace(unknown.find("Leaf"), 4, "Lief");
    EXPECT_EQ(LoadFailure(unknown),
              "The archive cannot be read: it holds an object of type \"ArchiveGraph::Lief\", "
              "which no loaded library registers.");

    // The 8-byte length sits right before the name; claim 2^40 bytes.
    std::string huge = valid;
    const auto at = huge.find("distance") - 8;
    PutUInt(huge, at, std::uint64_t{1} << 40, 8);
    EXPECT_EQ(LoadFailure(huge),
              "The archive cannot be read: A length of 1099511627776 was read where only " +
                  std::to_string(huge.size() - at - 8) + " bytes are left in the archive.");

    std::ostringstream out;
    EXPECT_THROW(Serialization::Save(out, nullptr, 0), ArgumentNullException);
}

TEST(Archive, CorruptedArchivesLoadOrThrowSerializationException)
{
    const std::string valid = SaveToString(MakeGraph(), 0x101);
    for (std::size_t length = 0; length < valid.size(); ++length)
        EXPECT_NE(LoadFailure(valid.substr(0, length)), "(loaded)") << "truncated to " << length;

    for (const std::uint32_t seed : {1u, 2u, 3u}) {
        std::mt19937 random(seed);
        std::uniform_int_distribution<std::size_t> position(0, valid.size() - 1);
        for (int trial = 0; trial < 150; ++trial) {
            std::string bytes = valid;
            for (int flips = 1 + trial % 4; flips > 0; --flips)
                bytes[position(random)] = static_cast<char>(random());
            LoadFailure(bytes);
        }
    }

    // A huge length written over every other position, and inserted at every third one.
    std::string huge(8, '\0');
    PutUInt(huge, 0, std::uint64_t{1} << 40, 8);
    for (std::size_t at = 0; at + 8 <= valid.size(); ++at) {
        if (at % 2 == 0)
            LoadFailure(valid.substr(0, at) + huge + valid.substr(at + 8));
        if (at % 3 == 0)
            LoadFailure(valid.substr(0, at) + huge + valid.substr(at));
    }
}

TEST(Archive, PointerGuardsRejectWhatNoSaverWrites)
{
    // A branch among its own children saves as a back reference; loaded, it would be a
    // shared-ownership cycle that is never freed.
    auto cyclic = Quill::Create<Branch>();
    cyclic->Children = {cyclic};
    const std::string cycle = SaveToString(cyclic, 0);
    cyclic->Children.clear();
    EXPECT_THAT(LoadFailure(cycle), testing::HasSubstr("object id 1 while that object is still being read"));

    // Children a, x, a: the stream ends with the reference (type id 2, object id 2) to
    // leaf a, then the null Shared (4 bytes), the empty Tags and Labels (8 bytes each).
    auto root = Quill::Create<Branch>();
    auto a = MakeLeaf("a", 1, nullptr);
    root->Children = {a, Quill::Create<Branch>(), a};
    std::string confused = SaveToString(root, 0);
    const std::size_t typeAt = confused.size() - 20 - 8;
    ASSERT_EQ(confused.substr(typeAt, 8), std::string("\2\0\0\0\2\0\0\0", 8));
    PutUInt(confused, typeAt, 1, 4); // type id 1 is Branch
    EXPECT_THAT(LoadFailure(confused),
                testing::HasSubstr("A pointer to a ArchiveGraph::Branch refers to the object id 2, "
                                   "which is a ArchiveGraph::Leaf."));
    PutUInt(confused, typeAt, 2, 4);
    PutUInt(confused, typeAt + 4, 9, 4);
    EXPECT_THAT(LoadFailure(confused),
                testing::HasSubstr("object id 9, which no earlier part of the archive holds"));

    auto chain = [](int depth) {
        auto top = Quill::Create<Branch>();
        for (auto at = top; --depth > 0; at = std::static_pointer_cast<Branch>(at->Children[0]))
            at->Children = {Quill::Create<Branch>()};
        return top;
    };
    EXPECT_EQ(LoadFailure(SaveToString(chain(Private::MaxObjectNesting), 0)), "(loaded)");
    EXPECT_THAT(LoadFailure(SaveToString(chain(Private::MaxObjectNesting + 1), 0)),
                testing::HasSubstr("nest deeper than 128 levels"));

    // A leaf ends with Flag, Parent (a null pointer: 4 bytes), Count (4 bytes).
    auto leaf = MakeLeaf("", 0, nullptr);
    leaf->Flag = true;
    std::string flag = SaveToString(leaf, 0);
    ASSERT_EQ(flag[flag.size() - 9], 1);
    flag[flag.size() - 9] = 2;
    EXPECT_THAT(LoadFailure(flag), testing::HasSubstr("A boolean reads 2 where 0 or 1 is stored."));
}

TEST(Archive, StreamsThatCannotSeek)
{
    std::string bytes = SaveToString(MakeGraph(), 0);
    PipeBuffer pipe(bytes);
    std::istream in(&pipe);
    EXPECT_TRUE(std::dynamic_pointer_cast<Branch>(Serialization::Load(in)));

    // Load holds the whole stream first, so a length is bounded by what the pipe held.
    const auto at = bytes.find("first") - 8;
    PutUInt(bytes, at, 1000, 8);
    PipeBuffer corrupted(bytes);
    std::istream corruptedIn(&corrupted);
    EXPECT_THAT([&] { Serialization::Load(corruptedIn); },
                ThrowsWith<SerializationException>("A length of 1000 was read where only"));

    // An archive object made on the pipe itself knows no end and applies the fixed ceiling.
    PutUInt(bytes, at, std::uint64_t{1} << 40, 8);
    PipeBuffer unbounded(bytes);
    std::istream unboundedIn(&unbounded);
    VisionInputArchive archive(unboundedIn);
    EXPECT_EQ(archive.BytesLeft(), std::numeric_limits<std::uint64_t>::max());
    std::shared_ptr<Quill::IObject> object;
    EXPECT_THAT([&] { archive(object); },
                testing::ThrowsMessage<cereal::Exception>(testing::HasSubstr("without a known end")));
}

TEST(Archive, AFalseLengthTakesNoMoreMemoryThanTheStreamHolds)
{
    // A polygon ends with its vertex count; claim as many vertices as bytes follow. Each
    // vertex takes 16 bytes, so the bytes hold a sixteenth of them.
    std::string bytes = SaveToString(Quill::Create<Polygon>(), 0);
    constexpr std::size_t Padding = std::size_t{16} << 20;
    PutUInt(bytes, bytes.size() - 8, Padding, 8);
    bytes.append(Padding, '\0');
    TestMemory::LargestAllocation = 0;
    EXPECT_THAT(LoadFailure(bytes), testing::HasSubstr("ends in the middle of a value"));
    EXPECT_LT(TestMemory::LargestAllocation.load(), 2 * Padding);
    // A length of one more than the bytes left fails at once, naming both.
    PutUInt(bytes, bytes.size() - Padding - 8, Padding + 1, 8);
    EXPECT_EQ(LoadFailure(bytes), "The archive cannot be read: A length of " + std::to_string(Padding + 1) +
                                      " was read where only " + std::to_string(Padding) +
                                      " bytes are left in the archive.");

    // Numbers are read in blocks, so a true length still reads whole.
    auto square = Quill::Create<Polygon>();
    for (int i = 0; i < 5000; ++i)
        square->AddVertex(i, -i);
    std::istringstream in(SaveToString(square, 0));
    auto loaded = std::dynamic_pointer_cast<Polygon>(Serialization::Load(in));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->Vertices(), square->Vertices());
}
