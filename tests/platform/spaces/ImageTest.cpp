#include <cmath>
#include <sstream>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <rttr/type>

#include <Ostrel/Vision/Archive.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Image8Grey.h>
#include <Ostrel/Vision/SpaceNameUtils.h>
#include <Ostrel/Vision/Transform2DComposed.h>

#include "platform/spaces/SpacesTestUtils.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace SpacesTest;
using ::testing::HasSubstr;

namespace {

std::shared_ptr<Image8Grey> SampleImage()
{
    auto image = Quill::Create<Image8Grey>(3, 2);
    for (int i = 0; i < 6; ++i)
        image->SetPixel(i % 3, i / 3, static_cast<std::uint8_t>(10 * i + 1));
    image->setCoordinateSpaceTree(SampleTree().Tree);
    image->setSelectedSpaceName("Fixture");
    return image;
}

void ExpectSameMapping(const Transform2D& a, const Transform2D& b)
{
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, {250.0, -30.0}, {610.0, 470.0}}) {
        double ax, ay, bx, by;
        a.MapPoint(x, y, ax, ay);
        b.MapPoint(x, y, bx, by);
        EXPECT_DOUBLE_EQ(ax, bx);
        EXPECT_DOUBLE_EQ(ay, by);
    }
}

} // namespace

TEST(Image8Grey, RejectsImpossibleSizesAndPixels)
{
    EXPECT_THAT([] { Quill::Create<Image8Grey>(-1, 10); },
                ThrowsMessage<ArgumentOutOfRangeException>(HasSubstr("width")));
    EXPECT_THAT([] { Quill::Create<Image8Grey>(10, -5); },
                ThrowsMessage<ArgumentOutOfRangeException>(HasSubstr("height")));
    EXPECT_THAT([] { Quill::Create<Image8Grey>(70000, 70000); },
                ThrowsMessage<ArgumentOutOfRangeException>(HasSubstr("70000 x 70000 pixels is too large")));
    const auto empty = Quill::Create<Image8Grey>(0, 7);
    EXPECT_EQ(empty->Data().size(), 0u);
    const auto image = Quill::Create<Image8Grey>(4, 3);
    EXPECT_EQ(image->At(3, 2), 0);
    EXPECT_THROW(image->At(4, 0), ArgumentOutOfRangeException);
    EXPECT_THROW(image->SetPixel(0, -1, 1), ArgumentOutOfRangeException);
}

TEST(Image8Grey, DeepCopyIsIndependentAndShallowCopyShares)
{
    const auto image = SampleImage();
    const auto deep = std::dynamic_pointer_cast<Image8Grey>(
        image->Copy(static_cast<std::uint32_t>(ImageCopyConstants::All)));
    const auto shallow = std::dynamic_pointer_cast<Image8Grey>(image->Copy(0));
    ASSERT_TRUE(deep && shallow);
    EXPECT_EQ(deep->Width(), 3);
    EXPECT_EQ(deep->Height(), 2);
    EXPECT_EQ(deep->SelectedSpaceName(), "Fixture");

    image->SetPixel(1, 1, 200);
    image->CoordinateSpaceTree()->AddSpace("#", "Later", Transform2DLinear());
    image->setSelectedSpaceName("Tool");
    EXPECT_EQ(deep->At(1, 1), 41);
    EXPECT_EQ(deep->CoordinateSpaceTree()->LookUpName("Later"), "");
    EXPECT_EQ(deep->SelectedSpaceName(), "Fixture");
    EXPECT_EQ(shallow->At(1, 1), 200);
    EXPECT_EQ(shallow->CoordinateSpaceTree(), image->CoordinateSpaceTree());
    EXPECT_EQ(shallow->SelectedSpaceName(), "Fixture");
}

TEST(IImage, SelectedSpaceAndTransformToImage)
{
    const auto fresh = Quill::Create<Image8Grey>(2, 2);
    EXPECT_EQ(fresh->SelectedSpaceName(), "#");
    EXPECT_EQ(SpaceNameUtils::ImageSpaceNameFQ(*fresh), "#");
    EXPECT_THROW(SpaceNameUtils::ImageSpaceNameFQ(std::shared_ptr<const IImage>()), ArgumentNullException);

    const auto image = SampleImage();
    EXPECT_EQ(SpaceNameUtils::ImageSpaceNameFQ(image), "#/Fixture");
    for (const char* bad : {"Plate", "Nowhere", ".", "$", "#//x"})
        EXPECT_THROW(image->setSelectedSpaceName(bad), ArgumentException) << bad;
    EXPECT_EQ(image->SelectedSpaceName(), "Fixture");

    const auto tree = image->CoordinateSpaceTree();
    ExpectSameMapping(*image->TransformToImage("./Plate"),
                      *tree->GetTransform("#/Fixture", "#/Fixture/Plate"));
    ExpectSameMapping(*image->TransformToImage("Tool"), *tree->GetTransform("#/Fixture", "#/Stage/Tool"));
    ExpectSameMapping(*image->TransformToImage("."), Transform2DLinear());
    ExpectSameMapping(*image->GetTransform("#", "."), *tree->GetTransform("#", "#/Fixture"));
    const Transform2DLinear linear = image->LinearTransformToImage("./Plate", 100.0, 50.0);
    const Transform2DLinear expected =
        tree->GetTransform("#/Fixture", "#/Fixture/Plate")->LinearTransform(100.0, 50.0);
    EXPECT_DOUBLE_EQ(linear.A(), expected.A());
    EXPECT_DOUBLE_EQ(linear.TY(), expected.TY());
    EXPECT_THAT([&] { image->TransformToImage("$"); },
                ThrowsMessage<ArgumentException>(HasSubstr("parent graphic")));
    EXPECT_THAT([&] { image->TransformToImage("./Tool"); },
                ThrowsMessage<ArgumentException>(HasSubstr("\"./Tool\" names no single space")));
}

// Lookups are remembered per image; every change that can alter an answer must show.
TEST(IImage, RepeatedTransformLookupsFollowTheTreeAndTheSelectedSpace)
{
    const auto image = Quill::Create<Image8Grey>(2, 2);
    const auto tree = image->CoordinateSpaceTree();
    tree->AddSpace("#", "A", Transform2DLinear::Translation(1, 0));
    tree->AddSpace("#/A", "Part", Transform2DLinear::Translation(0, 2));
    for (int i = 0; i < 3; ++i) // the same answer, remembered or not
        ExpectSameMapping(*image->TransformToImage("Part"), *tree->GetTransform("#", "#/A/Part"));

    image->setSelectedSpaceName("A"); // a new selected space
    ExpectSameMapping(*image->TransformToImage("Part"), *tree->GetTransform("#/A", "#/A/Part"));
    tree->AddSpace("#", "Part", Transform2DLinear::Translation(5, 5)); // "Part" becomes ambiguous
    EXPECT_THROW(image->TransformToImage("Part"), ArgumentException);
    ExpectSameMapping(*image->TransformToImage("A/Part"), *tree->GetTransform("#/A", "#/A/Part"));

    auto other = Quill::Create<CoordinateSpaceTree>(); // a new tree of the same size
    other->AddSpace("#", "A", Transform2DLinear::Translation(-1, 0));
    other->AddSpace("#/A", "Part", Transform2DLinear::Translation(0, -2));
    other->AddSpace("#", "B", Transform2DLinear::Translation(0, 0));
    image->setCoordinateSpaceTree(other);
    ExpectSameMapping(*image->TransformToImage("A/Part"), *other->GetTransform("#/A", "#/A/Part"));
}

// Images are written whole whatever the options; a tool decides whether to write one.
TEST(Image8Grey, ArchiveRoundTripKeepsPixelsAndSpaces)
{
    const auto image = SampleImage();
    const auto lens = image->CoordinateSpaceTree()->ChildFromParent("Fixture/Plate");
    image->CoordinateSpaceTree()->AddSpace(
        "Tool", "Warped",
        lens->Compose(std::make_shared<Transform2DLinear>(0.5, 0.1, -0.1, 0.5, 20.0, 30.0)));
    for (std::uint32_t options : {0x0u, 0x101u}) {
        std::stringstream stream;
        Serialization::Save(stream, image, options);
        const auto loaded = std::dynamic_pointer_cast<Image8Grey>(Serialization::Load(stream));
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->Width(), 3);
        EXPECT_EQ(loaded->Height(), 2);
        EXPECT_TRUE(std::equal(loaded->Data().begin(), loaded->Data().end(), image->Data().begin()));
        EXPECT_EQ(loaded->SelectedSpaceName(), "Fixture");
        const auto tree = loaded->CoordinateSpaceTree();
        EXPECT_EQ(tree->SpaceNames(), image->CoordinateSpaceTree()->SpaceNames());
        const auto loadedLens = std::dynamic_pointer_cast<const Transform2DLensDistortion>(
            tree->ChildFromParent("#/Fixture/Plate"));
        ASSERT_TRUE(loadedLens);
        EXPECT_EQ(loadedLens->P1(), 0.003);
        ExpectSameMapping(*loaded->TransformToImage("Tool"), *image->TransformToImage("Tool"));
        ExpectSameMapping(*loaded->TransformToImage("./Plate"), *image->TransformToImage("./Plate"));
        ExpectSameMapping(*loaded->TransformToImage("Warped"), *image->TransformToImage("Warped"));
        EXPECT_TRUE(std::dynamic_pointer_cast<const Transform2DComposed>(tree->ChildFromParent("Warped")));
    }
}

// Every truncation and a run of single-byte corruptions of a full archive either load or
// throw SerializationException: never a crash, a hang or a malformed tree. A size that
// disagrees with the pixels is named.
TEST(Image8Grey, DamagedArchivesFailCleanly)
{
    std::stringstream stream;
    Serialization::Save(stream, SampleImage(), 0);
    const std::string bytes = stream.str();
    // Width 3 and height 2 as little-endian 32-bit integers, followed by the pixels.
    std::string resized = bytes;
    const auto at = resized.rfind(std::string("\x03\x00\x00\x00\x02\x00\x00\x00", 8));
    ASSERT_NE(at, std::string::npos);
    resized[at] = 4;
    std::istringstream in(resized);
    EXPECT_THAT([&] { Serialization::Load(in); },
                ThrowsMessage<SerializationException>(HasSubstr("4 x 2 pixels with 6 pixel values")));
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        std::istringstream in(bytes.substr(0, length));
        EXPECT_THROW(Serialization::Load(in), SerializationException) << length;
    }
    std::mt19937_64 rng(99);
    for (int trial = 0; trial < 500; ++trial) {
        std::string damaged = bytes;
        damaged[rng() % damaged.size()] ^= static_cast<char>(1 + rng() % 255);
        std::istringstream in(damaged);
        try {
            const auto image = std::dynamic_pointer_cast<IImage>(Serialization::Load(in));
            if (image) {
                EXPECT_FALSE(SpaceNameUtils::ImageSpaceNameFQ(*image).empty());
            }
        } catch (const SerializationException&) {
        }
    }
}

TEST(Image8Grey, ReflectionReachesPropertiesByName)
{
    const auto type = rttr::type::get_by_name("Ostrel::Vision::Image8Grey");
    ASSERT_TRUE(type.is_valid());
    const std::shared_ptr<IImage> image = SampleImage();
    rttr::instance instance(*image);
    EXPECT_EQ(type.get_property("Width").get_value(instance).to_int(), 3);
    EXPECT_TRUE(type.get_property("SelectedSpaceName").set_value(instance, std::string("#/Stage")));
    EXPECT_EQ(image->SelectedSpaceName(), "#/Stage");
    EXPECT_TRUE(
        rttr::type::get_by_name("Ostrel::Vision::Transform2DLensDistortion").get_property("K1").is_valid());
    EXPECT_TRUE(
        rttr::type::get_by_name("Ostrel::Vision::CoordinateSpaceTree").get_method("LookUpName").is_valid());
}
