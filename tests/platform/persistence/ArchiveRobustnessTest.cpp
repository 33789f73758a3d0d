// Reading corrupted archives: every Load either succeeds or throws SerializationException,
// quickly, without a crash, a sanitizer finding or a huge allocation.
#include <chrono>
#include <cstring>
#include <limits>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <Ostrel/Vision/Archive.h>
#include <Ostrel/Vision/Exceptions.h>

#include "ArchiveGraph.h"

using namespace Ostrel;
using namespace Ostrel::Vision;

namespace {

using namespace ArchiveRobustness;

std::string Save(const std::shared_ptr<Quill::IObject>& object, std::uint32_t options = 0)
{
    std::ostringstream out;
    Serialization::Save(out, object, options);
    return out.str();
}

// Loads `bytes`; true when it loaded, false when it threw SerializationException. Any other
// exception fails the test.
bool LoadsOrThrowsSerialization(const std::string& bytes)
{
    std::istringstream in(bytes);
    try {
        return Serialization::Load(in) != nullptr;
    } catch (const SerializationException& e) {
        EXPECT_FALSE(e.Message().empty());
        return false;
    } catch (const std::exception& e) {
        ADD_FAILURE() << "unexpected exception: " << e.what();
        return false;
    }
}

std::string LoadFailure(const std::string& bytes)
{
    std::istringstream in(bytes);
    try {
        Serialization::Load(in);
    } catch (const SerializationException& e) {
        return e.Message();
    }
    return "(loaded)";
}

void PutUInt32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(value >> (8 * i));
}

std::uint32_t GetUInt32(const std::string& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= std::uint32_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
    return value;
}

} // namespace

TEST(ArchiveRobustness, GraphRoundTripsWithSharingAndParentLinks)
{
    std::istringstream in(Save(MakeGraph()));
    auto root = std::dynamic_pointer_cast<LabelledBranch>(Serialization::Load(in));
    ASSERT_TRUE(root);
    EXPECT_EQ(root->Labels, (std::vector<std::string>{"first", "second", ""}));
    EXPECT_EQ(root->Tags.at("y"), -2);
    ASSERT_EQ(root->Children.size(), 3u);
    auto b = std::dynamic_pointer_cast<Branch>(root->Children[1]);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->Parent.lock(), root);
    EXPECT_EQ(b->Children[1], root->Children[2]);
    EXPECT_EQ(b->Shared, root->Children[2]);
    EXPECT_EQ(root->Shared, b);
    EXPECT_EQ(std::dynamic_pointer_cast<Leaf>(b->Children[1])->Count, 7);
}

TEST(ArchiveRobustness, CorruptedArchivesLoadOrThrowSerializationException)
{
    const std::string valid = Save(MakeGraph(), 0x101);
    ASSERT_TRUE(LoadsOrThrowsSerialization(valid));
    const auto start = std::chrono::steady_clock::now();

    for (std::size_t length = 0; length < valid.size(); ++length)
        EXPECT_FALSE(LoadsOrThrowsSerialization(valid.substr(0, length))) << "truncated to " << length;

    for (const std::uint32_t seed : {1u, 2u, 3u, 4u}) {
        std::mt19937 random(seed);
        std::uniform_int_distribution<std::size_t> position(0, valid.size() - 1);
        std::uniform_int_distribution<int> byte(0, 255);
        for (int trial = 0; trial < 250; ++trial) {
            std::string bytes = valid;
            for (int flips = 1 + trial % 4; flips > 0; --flips)
                bytes[position(random)] = static_cast<char>(byte(random));
            LoadsOrThrowsSerialization(bytes);
        }
    }

    // A huge length written over, and inserted at, every position.
    const std::uint64_t huge = std::uint64_t{1} << 40;
    std::string hugeBytes(8, '\0');
    std::memcpy(hugeBytes.data(), &huge, 8);
    for (std::size_t at = 0; at + 8 <= valid.size(); ++at) {
        LoadsOrThrowsSerialization(valid.substr(0, at) + hugeBytes + valid.substr(at + 8));
        LoadsOrThrowsSerialization(valid.substr(0, at) + hugeBytes + valid.substr(at));
    }

    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(ArchiveRobustness, PointerGuardsRejectWhatNoSaverWrites)
{
    // Shared ownership cycle: a branch among its own children. It saves (a back
    // reference), but loading it would build a cycle that is never freed.
    auto cyclic = Quill::Create<Branch>();
    cyclic->Children = {cyclic};
    const std::string cycle = Save(cyclic);
    cyclic->Children.clear();
    EXPECT_NE(LoadFailure(cycle).find("still being read"), std::string::npos) << LoadFailure(cycle);

    // A reference whose type id names another class than the object it refers to. The
    // stream ends with the third child, a reference (type id, object id) to leaf a, then
    // the null Shared pointer (4 bytes) and the empty Tags (8 bytes).
    auto root = Quill::Create<Branch>();
    auto a = MakeLeaf("a", 1, nullptr);
    root->Children = {a, Quill::Create<Branch>(), a};
    std::string confused = Save(root);
    // Saved type ids: 1 Branch (the root), 2 Leaf; object ids: 1 root, 2 leaf a.
    const std::size_t typeAt = confused.size() - 12 - 8;
    const std::size_t objectAt = typeAt + 4;
    ASSERT_EQ(GetUInt32(confused, typeAt), 2u);
    ASSERT_EQ(GetUInt32(confused, objectAt), 2u);
    PutUInt32(confused, typeAt, 1u);
    EXPECT_NE(LoadFailure(confused).find("refers to the object id 2, which is a ArchiveRobustness::Leaf"),
              std::string::npos)
        << LoadFailure(confused);
    PutUInt32(confused, typeAt, 2u);
    PutUInt32(confused, objectAt, 9u);
    EXPECT_NE(LoadFailure(confused).find("object id 9, which no earlier part"), std::string::npos);

    // Nesting: a chain of branches loads up to the limit and is refused beyond it.
    auto chain = [](int depth) {
        auto top = Quill::Create<Branch>();
        auto at = top;
        for (int i = 1; i < depth; ++i) {
            auto next = Quill::Create<Branch>();
            at->Children = {next};
            at = next;
        }
        return top;
    };
    EXPECT_TRUE(LoadsOrThrowsSerialization(Save(chain(Private::MaxObjectNesting))));
    EXPECT_NE(LoadFailure(Save(chain(Private::MaxObjectNesting + 1))).find("nest deeper than"),
              std::string::npos);

    // A boolean stored as 2.
    auto leaf = MakeLeaf("", 0, nullptr);
    leaf->Flag = true;
    std::string flag = Save(leaf);
    // Leaf's stream ends with Name, Values, Flag, Parent (a null pointer: 4 bytes), Count.
    const std::size_t flagAt = flag.size() - 4 - 4 - 1;
    ASSERT_EQ(flag[flagAt], 1);
    flag[flagAt] = 2;
    EXPECT_NE(LoadFailure(flag).find("A boolean reads 2"), std::string::npos) << LoadFailure(flag);
}

namespace {
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

TEST(ArchiveRobustness, StreamsThatCannotSeek)
{
    const std::string valid = Save(MakeGraph());
    PipeBuffer pipe(valid);
    std::istream in(&pipe);
    EXPECT_TRUE(std::dynamic_pointer_cast<LabelledBranch>(Serialization::Load(in)));

    // Load holds the whole stream first, so a length is bounded by what the pipe held.
    std::string bytes = valid;
    const auto at = bytes.find("first") - 8;
    const std::uint64_t length = 1000;
    std::memcpy(bytes.data() + at, &length, 8);
    PipeBuffer corrupted(bytes);
    std::istream corruptedIn(&corrupted);
    try {
        Serialization::Load(corruptedIn);
        ADD_FAILURE() << "loaded";
    } catch (const SerializationException& e) {
        EXPECT_NE(e.Message().find("A length of 1000 was read where only"), std::string::npos) << e.Message();
    }

    // An archive object made on the pipe itself knows no end and applies the fixed ceiling.
    const std::uint64_t huge = std::uint64_t{1} << 40;
    std::memcpy(bytes.data() + at, &huge, 8);
    PipeBuffer unbounded(bytes);
    std::istream unboundedIn(&unbounded);
    VisionInputArchive archive(unboundedIn);
    EXPECT_EQ(archive.BytesLeft(), std::numeric_limits<std::uint64_t>::max());
    std::shared_ptr<Quill::IObject> object;
    try {
        archive(object);
        ADD_FAILURE() << "loaded";
    } catch (const cereal::Exception& e) {
        EXPECT_NE(std::string(e.what()).find("without a known end"), std::string::npos) << e.what();
    }
}
