#include <sstream>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Legacy.h>

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Implementation::Internal;

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

std::unique_ptr<ConversionContext> Table(const std::string& json)
{
    std::istringstream in(json);
    return ConversionContext::FromJson(in);
}

template <class Exception, class Call> std::string MessageOf(Call&& call)
{
    try {
        call();
    } catch (const Exception& e) {
        return e.what();
    }
    return "(no exception)";
}

class Legacy : public ::testing::Test {
protected:
    void SetUp() override
    {
        Orv9xConverter::Register<Widget>("Widget");
        Widget::Created = 0;
    }
    void TearDown() override { Orv9xConverter::Unregister("Widget"); }
};

// Widget 1 with a child 2 and an optional 3; the values cover every fetch.
const char* const WidgetTable = R"({"objects": [
  {"handle": 1, "type": "Widget", "properties": {"Radius": 2.5, "Color": {"color": "0xFF00FF00"},
                                                 "Child": {"handle": 2}, "Optional": {"handle": 3}}},
  {"handle": 2, "type": "Widget", "properties": {"Radius": 3, "Color": -16711936, "Child": null,
                                                 "Optional": null}},
  {"handle": 3, "type": "Widget", "properties": {"Radius": 4, "Color": 0, "Child": {"handle": 2},
                                                 "Optional": null}}
]})";

} // namespace

TEST_F(Legacy, ConvertsEachHandleOnceAndSharesIt)
{
    auto table = Table(WidgetTable);
    auto root = std::dynamic_pointer_cast<Widget>(Orv9xConverter::Orv9xConvert(1, table.get()));
    ASSERT_TRUE(root);
    EXPECT_EQ(root->Radius, 2.5);
    EXPECT_EQ(root->Color, Color32::FromUInt32(0xFF00FF00));
    ASSERT_TRUE(root->Child && root->Optional);
    EXPECT_EQ(root->Child->Color, Color32::FromUInt32(0xFF00FF00)); // the signed form of the same colour
    EXPECT_EQ(root->Child->Child, nullptr);
    EXPECT_EQ(root->Optional->Child, root->Child); // handle 2 converted once, shared
    EXPECT_EQ(Widget::Created, 3);
    EXPECT_EQ(Orv9xConverter::Orv9xConvert(1, table.get()), root);
    EXPECT_EQ(Widget::Created, 3);
    EXPECT_TRUE(table->LogEntries().empty());
}

TEST_F(Legacy, MissingHandlesAndPropertiesAreOutOfRange)
{
    auto table = Table(WidgetTable);
    EXPECT_EQ(MessageOf<std::out_of_range>([&] { LookUpObjectInfo(table.get(), 99); }),
              "invalid map<K, T> key");
    EXPECT_EQ(MessageOf<std::out_of_range>([&] { Orv9xConverter::Orv9xConvert(99, table.get()); }),
              "invalid map<K, T> key");
    const ObjectInfo& info = table->At(1);
    EXPECT_EQ(MessageOf<std::out_of_range>([&] { info.Property("Nope"); }), "invalid map<K, T> key");
    EXPECT_EQ(MessageOf<std::out_of_range>([&] { FetchValue<int>(info, "Nope"); }), "invalid map<K, T> key");
    EXPECT_EQ(MessageOf<std::out_of_range>([&] { FetchObject<Widget>(info, "Nope", table.get()); }),
              "invalid map<K, T> key");
    EXPECT_THROW(LookUpObjectInfo(nullptr, 1), ArgumentNullException);
}

TEST_F(Legacy, GuardedFetchLogsTheFailureAndKeepsTheDefault)
{
    // The optional widget refers to a handle the table lacks; a plain fetch of the same
    // property would throw, the guarded one logs one line with header 1.
    auto table = Table(R"({"objects": [
      {"handle": 1, "type": "Widget", "properties": {"Radius": 1, "Color": 0, "Child": null, "Optional": {"handle": 7}}}
    ]})");
    auto root = std::dynamic_pointer_cast<Widget>(Orv9xConverter::Orv9xConvert(1, table.get()));
    ASSERT_TRUE(root);
    EXPECT_FALSE(root->OptionalFound);
    EXPECT_EQ(root->Optional, nullptr);
    ASSERT_EQ(table->LogEntries().size(), 1u);
    EXPECT_EQ(static_cast<int>(table->LogEntries()[0].Header), 1);
    EXPECT_EQ(table->LogEntries()[0].Text, "invalid map<K, T> key, error for field: Optional");

    auto fallback = Quill::Create<Widget>();
    std::shared_ptr<Widget> value = fallback;
    EXPECT_FALSE(FetchObjectGuarded(table->At(1), "Absent", table.get(), value));
    EXPECT_EQ(value, fallback);
    EXPECT_EQ(table->LogEntries().back().Text, "invalid map<K, T> key, error for field: Absent");
    // A reference to an object of another type is found, and casts to null.
    table->Add(3, ObjectInfo("Holder", {{"Ref", LegacyHandle{1}}}));
    std::shared_ptr<Quill::ObjectBase> wrongType;
    EXPECT_TRUE(FetchObjectGuarded(table->At(3), "Ref", table.get(), wrongType));
    EXPECT_EQ(wrongType, nullptr);
}

TEST_F(Legacy, ValueFetchConvertsNumbersAndRefusesOtherKinds)
{
    ObjectInfo info("Widget", {{"Null", rttr::variant()},
                               {"Text", std::string("12")},
                               {"Ref", LegacyHandle{3}},
                               {"Colour", Color32::FromUInt32(0x80FFFFFF)},
                               {"Flag", true},
                               {"Whole", 2.0},
                               {"Half", 2.5},
                               {"Big", std::int64_t{1} << 40},
                               {"Minus", -1},
                               {"Nan", std::numeric_limits<double>::quiet_NaN()}});
    for (const char* name : {"Null", "Text", "Ref", "Colour"}) {
        EXPECT_EQ(MessageOf<std::runtime_error>([&] { FetchValue<int>(info, name); }),
                  "Bad Fetch, null variant")
            << name;
        EXPECT_EQ(MessageOf<std::runtime_error>([&] { FetchValue<double>(info, name); }),
                  "Bad Fetch, null variant")
            << name;
    }
    EXPECT_EQ(FetchValue<int>(info, "Flag"), 1);
    EXPECT_EQ(FetchValue<int>(info, "Whole"), 2);
    EXPECT_EQ(FetchValue<double>(info, "Big"), 1099511627776.0);
    EXPECT_TRUE(FetchValue<bool>(info, "Minus"));
    EXPECT_EQ(FetchValue<std::int64_t>(info, "Big"), std::int64_t{1} << 40);
    EXPECT_EQ(FetchValue<std::string>(info, "Text"), "12");
    EXPECT_EQ(MessageOf<std::runtime_error>([&] { FetchValue<int>(info, "Half"); }),
              "Bad Fetch, \"Half\" of legacy object 0 (Widget) holds 2.5, which is not a whole number");
    EXPECT_EQ(MessageOf<std::runtime_error>([&] { FetchValue<std::int32_t>(info, "Big"); }),
              "Bad Fetch, \"Big\" of legacy object 0 (Widget) holds 1099511627776, outside the range "
              "-2147483648 to "
              "2147483647");
    EXPECT_NE(MessageOf<std::runtime_error>([&] {
                  FetchValue<unsigned>(info, "Minus");
              }).find("outside the range 0"),
              std::string::npos);
    EXPECT_NE(
        MessageOf<std::runtime_error>([&] { FetchValue<double>(info, "Nan"); }).find("not a finite number"),
        std::string::npos);
    EXPECT_NE(
        MessageOf<std::runtime_error>([&] { FetchValue<std::string>(info, "Flag"); }).find("not a text"),
        std::string::npos);
}

TEST_F(Legacy, FetchColor32TakesColoursAndIntegers)
{
    ObjectInfo info("Widget", {{"Colour", Color32::FromUInt32(0x11223344)},
                               {"Unsigned", std::int64_t{0xFF00FF00}},
                               {"Signed", std::int32_t(-16711936)},
                               {"Double", 255.0},
                               {"Null", rttr::variant()},
                               {"Text", std::string("red")},
                               {"Flag", true},
                               {"Wide", std::int64_t{1} << 33}});
    EXPECT_EQ(info.FetchColor32("Colour").ToUInt32(), 0x11223344u);
    EXPECT_EQ(info.FetchColor32("Unsigned").ToUInt32(), 0xFF00FF00u);
    EXPECT_EQ(info.FetchColor32("Signed").ToUInt32(), 0xFF00FF00u);
    EXPECT_EQ(info.FetchColor32("Double").ToUInt32(), 255u);
    for (const char* name : {"Null", "Text", "Flag"})
        EXPECT_EQ(MessageOf<std::runtime_error>([&] { info.FetchColor32(name); }), "Bad Fetch, null variant")
            << name;
    EXPECT_NE(
        MessageOf<std::runtime_error>([&] { info.FetchColor32("Wide"); }).find("not a colour 0xAARRGGBB"),
        std::string::npos);
    EXPECT_EQ(MessageOf<std::out_of_range>([&] { info.FetchColor32("Nope"); }), "invalid map<K, T> key");
}

TEST_F(Legacy, CyclesAndUnregisteredTypesAreRefusedByName)
{
    auto table = Table(R"({"objects": [
      {"handle": 1, "type": "Widget", "properties": {"Radius": 1, "Color": 0, "Child": {"handle": 2}, "Optional": null}},
      {"handle": 2, "type": "Widget", "properties": {"Radius": 1, "Color": 0, "Child": {"handle": 1}, "Optional": null}},
      {"handle": 3, "type": "Gadget"}
    ]})");
    EXPECT_EQ(
        MessageOf<InvalidOperationException>([&] { Orv9xConverter::Orv9xConvert(1, table.get()); }),
        "The legacy object 1 refers back to itself while it is converted: 1 (Widget) -> 2 (Widget) -> 1.");
    EXPECT_EQ(table->Converted(1), nullptr);
    EXPECT_EQ(MessageOf<InvalidOperationException>([&] { Orv9xConverter::Orv9xConvert(3, table.get()); }),
              "No class is registered for the legacy type \"Gadget\" of legacy object 3 (Gadget).");
}

TEST_F(Legacy, PropertiesAreStoredInTheSevenKinds)
{
    ObjectInfo info("T", {{"i", 3}, {"u", 7u}, {"f", 1.5f}, {"s", "text"}, {"b", false}});
    EXPECT_EQ(KindOf(info.Property("i")), LegacyValueKind::Integer);
    EXPECT_EQ(KindOf(info.Property("u")), LegacyValueKind::Integer);
    EXPECT_EQ(KindOf(info.Property("f")), LegacyValueKind::Double);
    EXPECT_EQ(KindOf(info.Property("s")), LegacyValueKind::String);
    EXPECT_EQ(KindOf(info.Property("b")), LegacyValueKind::Bool);
    EXPECT_THROW(info.SetProperty("v", std::vector<int>{1}), ArgumentException);
    EXPECT_THROW(info.SetProperty("u", std::numeric_limits<std::uint64_t>::max()),
                 ArgumentOutOfRangeException);
    EXPECT_THROW(info.Log(LogHeaderConstants::Warning, "x"), InvalidOperationException);

    ConversionContext table;
    table.Add(4, info);
    EXPECT_THROW(table.Add(4, info), ArgumentException);
    table.At(4).Log(LogHeaderConstants::Error, "noted");
    EXPECT_EQ(table.LogEntries().at(0).Text, "noted");
}

TEST(LegacyTable, ReadsEveryKindOfValue)
{
    auto table = Table(R"({"objects": [{"handle": -5, "type": "Circle", "properties": {
        "Radius": 2.5, "Count": 3, "Big": 9223372036854775807, "Exp": 1e3, "Color": {"color": "0xff00FF00"},
        "Packed": {"color": 255}, "Image": {"handle": 2}, "Name": "x", "Enabled": true, "Missing": null}},
        {"handle": 2, "type": "Image8Grey"}]})");
    const ObjectInfo& circle = table->At(-5);
    EXPECT_EQ(circle.TypeName(), "Circle");
    EXPECT_EQ(circle.Handle(), -5);
    EXPECT_EQ(circle.Property("Radius").get_value<double>(), 2.5);
    EXPECT_EQ(circle.Property("Count").get_value<std::int64_t>(), 3);
    EXPECT_EQ(circle.Property("Big").get_value<std::int64_t>(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(KindOf(circle.Property("Exp")), LegacyValueKind::Double);
    EXPECT_EQ(circle.Property("Color").get_value<Color32>(), Color32::FromUInt32(0xFF00FF00));
    EXPECT_EQ(circle.Property("Packed").get_value<Color32>(), Color32::FromUInt32(0xFF));
    EXPECT_EQ(circle.Property("Image").get_value<LegacyHandle>(), LegacyHandle{2});
    EXPECT_EQ(circle.Property("Name").get_value<std::string>(), "x");
    EXPECT_EQ(KindOf(circle.Property("Enabled")), LegacyValueKind::Bool);
    EXPECT_EQ(KindOf(circle.Property("Missing")), LegacyValueKind::Null);
    EXPECT_TRUE(table->At(2).Properties().empty());
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
        {R"({"objects": [[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]})", "nests deeper"},
    };
    for (const auto& [text, problem] : cases) {
        const std::string message = MessageOf<SerializationException>([&] { Table(text); });
        EXPECT_NE(message.find(problem), std::string::npos) << text << "\n  gave: " << message;
        EXPECT_EQ(message.rfind("Legacy table: ", 0), 0u) << message;
    }
}
