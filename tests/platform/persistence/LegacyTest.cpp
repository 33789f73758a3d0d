#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Legacy.h>

#include "LegacyTables.h"

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Implementation::Internal;
using namespace LegacyTables;

namespace LegacyTest {

// A class that converts itself the way library classes do: its own properties by value
// fetches, an owned object by a plain fetch, an optional one by a guarded fetch.
class Widget : public Quill::ShareableBase, public ILegacyConvertible {
public:
    explicit Widget(ObjectCreateAccessToken) { ++Created; }
    static inline int Created = 0;

    double Radius = -1;
    Color32 Color;
    std::shared_ptr<Widget> Child;
    std::shared_ptr<Widget> Optional;
    bool OptionalFound = false;

    void Orv9xConvert(long long handle, void* context) override
    {
        const ObjectInfo& info = LookUpObjectInfo(context, handle);
        Radius = FetchValue<double>(info, "Radius");
        Color = info.FetchColor32("Color");
        Child = FetchObject<Widget>(info, "Child", context);
        OptionalFound = FetchObjectGuarded(info, "Optional", context, Optional);
    }

    RTTR_ENABLE(Quill::ShareableBase, ILegacyConvertible)
};

} // namespace LegacyTest

namespace {

using LegacyTest::Widget;

class Legacy : public ::testing::Test {
protected:
    void SetUp() override
    {
        Orv9xConverter::Register<Widget>("Widget");
        Widget::Created = 0;
    }
    void TearDown() override { Orv9xConverter::Unregister("Widget"); }
};

const char* const BadFetch = "Bad Fetch, null variant";
const char* const MissingKey = "invalid map<K, T> key";

} // namespace

TEST_F(Legacy, ConvertsEachHandleOnceAndSharesIt)
{
    // Widget 1 holds 2 and 3; 3 holds 2 again.
    auto table = Table(R"({"objects": [
      {"handle": 1, "type": "Widget", "properties": {"Radius": 2.5, "Color": {"color": "0xFF00FF00"},
                                                     "Child": {"handle": 2}, "Optional": {"handle": 3}}},
      {"handle": 2, "type": "Widget", "properties": {"Radius": 3, "Color": 0, "Child": null, "Optional": null}},
      {"handle": 3, "type": "Widget", "properties": {"Radius": 4, "Color": 0, "Child": {"handle": 2},
                                                     "Optional": null}}]})");
    auto root = std::dynamic_pointer_cast<Widget>(Orv9xConverter::Orv9xConvert(1, table.get()));
    ASSERT_TRUE(root && root->Child && root->Optional);
    EXPECT_EQ(root->Radius, 2.5);
    EXPECT_EQ(root->Color, Color32::FromUInt32(0xFF00FF00));
    EXPECT_EQ(root->Child->Child, nullptr);
    EXPECT_EQ(root->Optional->Child, root->Child);
    EXPECT_EQ(Orv9xConverter::Orv9xConvert(1, table.get()), root);
    EXPECT_EQ(Widget::Created, 3);
    EXPECT_TRUE(table->LogEntries().empty());
}

TEST_F(Legacy, MissingHandlesAndPropertiesAreOutOfRange)
{
    auto table = Table(R"({"objects": [{"handle": 1, "type": "Widget"}]})");
    EXPECT_EQ(MessageOf<std::out_of_range>([&] { LookUpObjectInfo(table.get(), 99); }), MissingKey);
    EXPECT_EQ(MessageOf<std::out_of_range>([&] { Orv9xConverter::Orv9xConvert(99, table.get()); }),
              MissingKey);
    EXPECT_EQ(MessageOf<std::out_of_range>([&] { Orv9xConverter::Orv9xConvert(1, table.get()); }),
              MissingKey);
    EXPECT_EQ(MessageOf<std::out_of_range>([&] { table->At(1).FetchColor32("Color"); }), MissingKey);
    EXPECT_THROW(LookUpObjectInfo(nullptr, 1), ArgumentNullException);
}

TEST_F(Legacy, GuardedFetchLogsTheFailureAndKeepsTheDefault)
{
    // Optional refers to a handle the table lacks: a plain fetch would throw, the guarded
    // one logs one line with header 1.
    auto table = Table(R"({"objects": [
      {"handle": 1, "type": "Widget", "properties": {"Radius": 1, "Color": 0, "Child": null,
                                                     "Optional": {"handle": 7}}}]})");
    auto root = std::dynamic_pointer_cast<Widget>(Orv9xConverter::Orv9xConvert(1, table.get()));
    ASSERT_TRUE(root);
    EXPECT_FALSE(root->OptionalFound);
    ASSERT_EQ(table->LogEntries().size(), 1u);
    EXPECT_EQ(table->LogEntries()[0].Header, LogHeaderConstants::Warning);
    EXPECT_EQ(table->LogEntries()[0].Text, "invalid map<K, T> key, error for field: Optional");

    auto fallback = Quill::Create<Widget>();
    std::shared_ptr<Widget> value = fallback;
    EXPECT_FALSE(FetchObjectGuarded(table->At(1), "Absent", table.get(), value));
    EXPECT_EQ(value, fallback);
    // A reference to an object of another type is found, and casts to null.
    table->Add(3, ObjectInfo("Holder", {{"Ref", LegacyHandle{1}}}));
    std::shared_ptr<Quill::ObjectBase> wrongType;
    EXPECT_TRUE(FetchObjectGuarded(table->At(3), "Ref", table.get(), wrongType));
    EXPECT_EQ(wrongType, nullptr);
}

TEST(LegacyFetch, ValuesOfEveryKindFromTheTextForm)
{
    auto table = Table(R"({"objects": [{"handle": -5, "type": "T", "properties": {
        "Null": null, "Text": "12", "Ref": {"handle": 3}, "Colour": {"color": "0x80ffFFFF"}, "Flag": true,
        "Whole": 2.0, "Half": 2.5, "Big": 1099511627776, "Minus": -1, "Max": 9223372036854775807,
        "Packed": {"color": 255}, "Signed": -16711936, "Wide": 8589934592}}]})");
    const ObjectInfo& info = table->At(-5);
    EXPECT_EQ(info.Description(), "legacy object -5 (T)");
    EXPECT_EQ(KindOf(info.Property("Whole")), LegacyValueKind::Double);
    EXPECT_EQ(KindOf(info.Property("Big")), LegacyValueKind::Integer);
    EXPECT_EQ(info.Property("Ref").get_value<LegacyHandle>(), LegacyHandle{3});

    for (const char* name : {"Null", "Text", "Ref", "Colour"}) {
        EXPECT_EQ(MessageOf<std::runtime_error>([&] { FetchValue<int>(info, name); }), BadFetch) << name;
        EXPECT_EQ(MessageOf<std::runtime_error>([&] { FetchValue<double>(info, name); }), BadFetch) << name;
    }
    EXPECT_EQ(FetchValue<int>(info, "Flag"), 1);
    EXPECT_EQ(FetchValue<int>(info, "Whole"), 2);
    EXPECT_EQ(FetchValue<double>(info, "Big"), 1099511627776.0);
    EXPECT_EQ(FetchValue<std::int64_t>(info, "Max"), std::numeric_limits<std::int64_t>::max());
    EXPECT_TRUE(FetchValue<bool>(info, "Minus"));
    EXPECT_EQ(FetchValue<std::string>(info, "Text"), "12");
    EXPECT_EQ(FetchOptionalValue<int>(info, "Absent"), std::nullopt);
    EXPECT_EQ(MessageOf<std::runtime_error>([&] { FetchValue<int>(info, "Half"); }),
              "Bad Fetch, \"Half\" of legacy object -5 (T) holds 2.5, which is not a whole number");
    EXPECT_EQ(
        MessageOf<std::runtime_error>([&] { FetchValue<std::int32_t>(info, "Big"); }),
        "Bad Fetch, \"Big\" of legacy object -5 (T) holds 1099511627776, outside the range -2147483648 to "
        "2147483647");
    EXPECT_NE(MessageOf<std::runtime_error>([&] {
                  FetchValue<unsigned>(info, "Minus");
              }).find("outside the range 0"),
              std::string::npos);
    EXPECT_NE(
        MessageOf<std::runtime_error>([&] { FetchValue<std::string>(info, "Flag"); }).find("not a text"),
        std::string::npos);

    EXPECT_EQ(info.FetchColor32("Colour").ToUInt32(), 0x80FFFFFFu);
    EXPECT_EQ(info.FetchColor32("Packed").ToUInt32(), 255u);
    EXPECT_EQ(info.FetchColor32("Signed").ToUInt32(), 0xFF00FF00u);
    EXPECT_EQ(info.FetchColor32("Whole").ToUInt32(), 2u);
    for (const char* name : {"Null", "Text", "Flag", "Ref"})
        EXPECT_EQ(MessageOf<std::runtime_error>([&] { info.FetchColor32(name); }), BadFetch) << name;
    EXPECT_NE(
        MessageOf<std::runtime_error>([&] { info.FetchColor32("Wide"); }).find("not a colour 0xAARRGGBB"),
        std::string::npos);
}

TEST_F(Legacy, CyclesAndUnregisteredTypesAreRefusedByName)
{
    auto table = Table(R"({"objects": [
      {"handle": 1, "type": "Widget", "properties": {"Radius": 1, "Color": 0, "Child": {"handle": 2}}},
      {"handle": 2, "type": "Widget", "properties": {"Radius": 1, "Color": 0, "Child": {"handle": 1}}},
      {"handle": 3, "type": "Gadget"}]})");
    EXPECT_EQ(
        MessageOf<InvalidOperationException>([&] { Orv9xConverter::Orv9xConvert(1, table.get()); }),
        "The legacy object 1 refers back to itself while it is converted: 1 (Widget) -> 2 (Widget) -> 1.");
    EXPECT_EQ(table->Converted(1), nullptr);
    EXPECT_EQ(MessageOf<InvalidOperationException>([&] { Orv9xConverter::Orv9xConvert(3, table.get()); }),
              "No class is registered for the legacy type \"Gadget\" of legacy object 3 (Gadget).");
}

TEST(LegacyFetch, PropertiesAreStoredInTheSevenKinds)
{
    ObjectInfo info("T", {{"i", 3}, {"u", 7u}, {"f", 1.5f}, {"s", "text"}});
    EXPECT_EQ(KindOf(info.Property("i")), LegacyValueKind::Integer);
    EXPECT_EQ(KindOf(info.Property("u")), LegacyValueKind::Integer);
    EXPECT_EQ(KindOf(info.Property("f")), LegacyValueKind::Double);
    EXPECT_EQ(KindOf(info.Property("s")), LegacyValueKind::String);
    EXPECT_THROW(info.SetProperty("v", std::vector<int>{1}), ArgumentException);
    EXPECT_THROW(info.SetProperty("u", std::numeric_limits<std::uint64_t>::max()),
                 ArgumentOutOfRangeException);
    EXPECT_THROW(info.Log(LogHeaderConstants::Warning, "x"), InvalidOperationException);
    ConversionContext table;
    table.Add(4, info);
    EXPECT_THROW(table.Add(4, info), ArgumentException);
}

TEST(LegacyTable, MalformedTablesNameTheirFault)
{
    const std::pair<const char*, const char*> cases[] = {
        {R"({"objects": [)", "it is not valid JSON"},
        {R"([])", "a table is a JSON object"},
        {R"({"objects": [], "extra": 1})", "the key \"extra\" is not part of a table"},
        {R"({"objects": {}})", "array \"objects\""},
        {R"({"objects": [{"type": "A"}]})", "entry 0 of \"objects\": an entry needs an integer \"handle\""},
        {R"({"objects": [{"handle": 1.5, "type": "A"}]})", "an entry needs an integer \"handle\""},
        {R"({"objects": [{"handle": 1}]})", "the object 1 needs a legacy type name"},
        {R"({"objects": [{"handle": 1, "type": "A"}, {"handle": 1, "type": "B"}]})",
         "entry 1 of \"objects\": the handle 1 is already used by entry 0"},
        {R"({"objects": [{"handle": 1, "type": "A", "props": {}}]})", "the key \"props\" is unknown"},
        {R"({"objects": [{"handle": 1, "type": "A", "properties": {"R": 1, "R": 2}}]})",
         "the key \"R\" appears twice"},
        {R"({"objects": [{"handle": 1, "type": "A", "properties": {"R": [1]}}]})",
         "object 1 (A), property \"R\": a property cannot be an array"},
        {R"({"objects": [{"handle": 1, "type": "A", "properties": {"C": {"color": "blue"}}}]})",
         "object 1 (A), property \"C\": a colour is written \"0xAARRGGBB\""},
        {R"({"objects": [{"handle": 1, "type": "A", "properties": {"C": {"color": 4294967296}}}]})",
         "outside 0 to 0xFFFFFFFF"},
        {R"({"objects": [{"handle": 1, "type": "A", "properties": {"H": {"handle": "2"}}}]})",
         "a handle is an integer"},
        {R"({"objects": [{"handle": 1, "type": "A", "properties": {"O": {"x": 1}}}]})",
         "an object value is {\"handle\": n}"},
        {R"({"objects": [{"handle": 1, "type": "A", "properties": {"N": 18446744073709551615}}]})",
         "beyond the 64-bit range"},
        {R"({"objects": [{"handle": 1, "type": "A", "properties": {"N": 18446744073709551616}}]})",
         "the integer 18446744073709551616 is beyond the 64-bit range"},
        {R"({"objects": [{"handle": 1, "type": "A", "properties": {"N": -9223372036854775809}}]})",
         "beyond the 64-bit range"},
        {R"({"objects": [{"handle": 1, "type": "A", "properties": {"D": 1e-400}}]})",
         "the number 1e-400 is too small for a double"},
        {R"({"objects": [{"handle": 1, "type": "A", "properties": {"D": 1e400}}]})", "it is not valid JSON"},
        {R"({"objects": [{"handle": 1, "type": "A", "properties": {"C": {"color": "0X1"}}}]})",
         "a colour is written \"0xAARRGGBB\""},
        {R"({"objects": [[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]})", "nests deeper"},
    };
    for (const auto& [text, problem] : cases) {
        const std::string message = MessageOf<SerializationException>([&] { Table(text); });
        EXPECT_NE(message.find(problem), std::string::npos) << text << "\n  gave: " << message;
        EXPECT_EQ(message.rfind("Legacy table: ", 0), 0u) << message;
    }
}

TEST(LegacyTable, LargeTablesAreReadWhole)
{
    // One entry with many references and many small entries: the reader's work grows with
    // the text, not with the text times the size of an open container.
    std::string text = R"({"objects": [{"handle": 0, "type": "Many", "properties": {)";
    constexpr int Count = 40000;
    for (int i = 0; i < Count; ++i)
        text += (i ? ", \"P" : "\"P") + std::to_string(i) + R"(": {"handle": 1})";
    text += "}}";
    for (int handle = 1; handle <= Count; ++handle)
        text += R"(, {"handle": )" + std::to_string(handle) + R"(, "type": "T", "properties": {"V": 0.0}})";
    auto table = Table(text + "]}");
    ASSERT_EQ(table->Objects().size(), std::size_t{Count + 1});
    EXPECT_EQ(table->At(0).Properties().size(), std::size_t{Count});
    EXPECT_EQ(table->At(0).Property("P39999").get_value<LegacyHandle>(), LegacyHandle{1});
    EXPECT_EQ(KindOf(table->At(Count).Property("V")), LegacyValueKind::Double);
    // Small numbers a double holds, and zeros written in any form, are read as written.
    auto small = Table(R"({"objects": [{"handle": 1, "type": "A", "properties": {"S": 1e-310, "Z": 0e-400,
                                                                                 "M": -0.000e5}}]})");
    EXPECT_EQ(small->At(1).Property("S").get_value<double>(), 1e-310);
    EXPECT_EQ(small->At(1).Property("Z").get_value<double>(), 0.0);
}
