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
    template <class Archive>
    void serialize(Archive& ar, std::uint32_t version)
    {
        if constexpr (Archive::is_loading::value)
            CheckSerializationVersionMismatch(version, 1, "Sample::serialize()");
        SeenOptions = Options(ar);
        ar(Text, Values);
    }
};

} // namespace ArchiveTest

CEREAL_REGISTER_TYPE_WITH_NAME(ArchiveTest::Sample, "ArchiveTest::Sample")
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Quill::IObject, ArchiveTest::Sample)
CEREAL_CLASS_VERSION(ArchiveTest::Sample, 1)

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
    std::istringstream in(bytes);
    EXPECT_THROW(Serialization::Load(in), SerializationException);
}
