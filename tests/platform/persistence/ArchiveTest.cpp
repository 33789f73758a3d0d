#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <Ostrel/Vision/Archive.h>
#include <Ostrel/Vision/Exceptions.h>

using namespace Ostrel;
using namespace Ostrel::Vision;

namespace ArchiveTest {

class Sample : public Quill::ShareableBase {
public:
    explicit Sample(ObjectCreateAccessToken) {}
    std::string Text;
    std::vector<double> Values;
    std::uint32_t SeenOptions = 0xFFFFFFFF;

private:
    Sample() = default;
    friend class cereal::access;
    template <class Archive> void serialize(Archive& ar, std::uint32_t version)
    {
        if constexpr (Archive::is_loading::value)
            CheckSerializationVersionMismatch(version, 1, "Sample::serialize()");
        SeenOptions = Options(ar);
        ar(Text, Values);
    }
};

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

CEREAL_REGISTER_TYPE_WITH_NAME(ArchiveTest::Sample, "ArchiveTest::Sample")
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Quill::IObject, ArchiveTest::Sample)
CEREAL_CLASS_VERSION(ArchiveTest::Sample, 1)
CEREAL_REGISTER_TYPE_WITH_NAME(ArchiveTest::Versioned, "ArchiveTest::Versioned")
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Quill::IObject, ArchiveTest::Versioned)
CEREAL_CLASS_VERSION(ArchiveTest::Versioned, 3)

namespace {

std::string SaveSample(std::uint32_t options)
{
    auto sample = Quill::Create<ArchiveTest::Sample>();
    sample->Text = "distance";
    sample->Values = {1.5, -2.25};
    std::ostringstream out;
    Serialization::Save(out, sample, options);
    return out.str();
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

} // namespace

TEST(Archive, RoundTripCarriesOptionsToEverySerialize)
{
    for (std::uint32_t options : {0x0u, 0x1u, 0x100u, 0x101u}) {
        std::istringstream in(SaveSample(options));
        auto loaded = std::dynamic_pointer_cast<ArchiveTest::Sample>(Serialization::Load(in));
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->SeenOptions, options);
        EXPECT_EQ(loaded->Text, "distance");
        EXPECT_EQ(loaded->Values, (std::vector<double>{1.5, -2.25}));
    }
}

TEST(Archive, VersionMismatchNamesTheClassAndTellsOutdatedFromForeign)
{
    std::ostringstream out;
    Serialization::Save(out, Quill::Create<ArchiveTest::Versioned>(), 0);
    std::string bytes = out.str();
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
    const std::string valid = SaveSample(0);
    EXPECT_EQ(LoadFailure(valid.substr(0, valid.size() - 3)),
              "The archive cannot be read: it ends in the middle of a value (13 of its 16 bytes are there).");
    EXPECT_EQ(LoadFailure(""),
              "The archive cannot be read: it ends in the middle of a value (0 of its 1 bytes are there).");

    std::string unknown = valid;
    unknown.replace(unknown.find("Sample"), 6, "Sampel");
    EXPECT_EQ(
        LoadFailure(unknown),
        "The archive cannot be read: it holds an object of type \"ArchiveTest::Sampel\", which no loaded "
        "library registers.");

    std::ostringstream out;
    EXPECT_THROW(Serialization::Save(out, nullptr, 0), ArgumentNullException);
}

TEST(Archive, HugeLengthIsRejectedBeforeAnyAllocation)
{
    std::string bytes = SaveSample(0);
    const std::string text = "distance";
    const auto at = bytes.find(text);
    ASSERT_NE(at, std::string::npos);
    // The 8-byte little-endian length sits right before the text; claim 2^40 bytes.
    const std::uint64_t huge = std::uint64_t{1} << 40;
    for (int i = 0; i < 8; ++i)
        bytes[at - 8 + i] = static_cast<char>(huge >> (8 * i));
    EXPECT_EQ(LoadFailure(bytes),
              "The archive cannot be read: A length of 1099511627776 was read where only 32 "
              "bytes are left in the archive.");
}
