// The legacy corpus (tests/data/legacy): one legacy table per tool, every field away from
// its default, converted through the typed entry point and compared field by field with
// the legacy values; then the ways a conversion fails.
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <rttr/type>

#include <Geometry/CreateGraphicLabelTool.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/ITool.h>
#include <Ostrel/Vision/Meta/NullPointer.h>
#include <Ostrel/Vision/Legacy.h>
#include <Ostrel/Vision/PointMarker.h>
#include <Ostrel/Vision/ToolBase.h>

#include "common/ToolTestSupport.h"
#include "geometry/sweep/Samples.h"

namespace {

using namespace Ostrel;
using namespace Ostrel::Vision;
using namespace Ostrel::Vision::Implementation::Internal;

const std::filesystem::path Corpus = OSTREL_LEGACY_CORPUS;

std::unique_ptr<ConversionContext> ReadTable(const std::filesystem::path& path)
{
    std::ifstream in(path);
    return ConversionContext::FromJson(in);
}

// The property of the new class that a legacy property goes into: the legacy name, or
// the name it was renamed to, whichever the class has.
rttr::property TargetProperty(const rttr::type& type, const std::string& legacy)
{
    static const std::map<std::string, std::string> renamed = {
        {"InputSegment", "Segment"},  {"InputLine", "Line"},          {"InputCircle", "Circle"},
        {"InputEllipse", "Ellipse"},  {"Circle", "InputCircle"},      {"mInputImage", "InputImage"},
        {"PointsCount", "NumPoints"}, {"Radius", "RadiusConstraint"}, {"Rotation", "RotationConstraint"}};
    std::vector<std::string> names;
    if (const auto found = renamed.find(legacy); found != renamed.end())
        names.push_back(found->second);
    if (legacy.size() > 1 && legacy[0] == 'm' && std::isupper(static_cast<unsigned char>(legacy[1])))
        names.push_back(legacy.substr(1));
    names.push_back(legacy);
    for (const auto& name : names)
        if (auto property = type.get_property(name); property.is_valid())
            return property;
    return type.get_property(legacy);
}

double Number(const rttr::variant& value)
{
    if (value.is_type<Color32>())
        return value.get_value<Color32>().ToUInt32();
    if (value.get_type().is_enumeration())
        return static_cast<double>(value.to_uint64());
    return value.to_double();
}

const Quill::IObject* Held(rttr::variant value)
{
    if (Meta::IsNullPointer(value))
        return nullptr;
    const rttr::instance instance = rttr::instance(value).get_wrapped_instance();
    return instance.is_valid() ? instance.try_convert<Quill::IObject>() : nullptr;
}

// Every legacy property of an object of the library, checked in the converted object.
void ExpectConverted(const ObjectInfo& legacy, const Quill::IObject& object,
                     const std::map<std::int64_t, std::shared_ptr<Quill::IObject>>& converted)
{
    SCOPED_TRACE(legacy.Description());
    const rttr::instance instance(object);
    const rttr::type type = instance.get_derived_type();
    for (const auto& [name, value] : legacy.Properties()) {
        if (name == "Name") {
            EXPECT_EQ(dynamic_cast<const Vision::Implementation::ToolBase&>(object).Name(),
                      value.to_string());
        } else if (name.starts_with("Points") &&
                   std::isdigit(static_cast<unsigned char>(name[6]))) { // Points<i>.X, Points<i>.Y
            const int index = std::stoi(name.substr(6));
            const auto getter = type.get_method(name.ends_with(".X") ? "GetX" : "GetY");
            EXPECT_EQ(getter.invoke(instance, index).to_double(), value.to_double()) << name;
        } else if (value.is_type<LegacyHandle>()) {
            const auto& target = converted.at(value.get_value<LegacyHandle>().Value);
            if (const auto marker =
                    std::dynamic_pointer_cast<PointMarker>(target)) { // a point: its coordinates
                const std::string prefix = name.substr(0, name.size() - 5);
                EXPECT_EQ(type.get_property(prefix + "X").get_value(instance).to_double(), marker->X())
                    << name;
                EXPECT_EQ(type.get_property(prefix + "Y").get_value(instance).to_double(), marker->Y())
                    << name;
            } else {
                EXPECT_EQ(Held(TargetProperty(type, name).get_value(instance)), target.get()) << name;
            }
        } else {
            const auto property = TargetProperty(type, name);
            ASSERT_TRUE(property.is_valid()) << name;
            EXPECT_EQ(Number(property.get_value(instance)), Number(value)) << name;
        }
    }
}

TEST(LegacyCorpus, EveryToolConvertsEveryField)
{
    std::set<std::string> converted, registered;
    for (const auto& name : Sweep::RegisteredClasses())
        if (Orv9xConverter::IsRegistered(Sweep::ShortName(name)))
            registered.insert(Sweep::ShortName(name));
    for (const auto& file : std::filesystem::directory_iterator(Corpus)) {
        SCOPED_TRACE(file.path().filename().string());
        const auto table = ReadTable(file.path());
        const auto objects = Serialization::ConvertLegacyTable(*table);
        std::map<std::int64_t, std::shared_ptr<Quill::IObject>> byHandle;
        for (const auto& object : objects)
            byHandle[object.Handle] = object.Object;
        for (const auto& object : objects) {
            if (!registered.contains(object.LegacyTypeName))
                continue;
            converted.insert(object.LegacyTypeName);
            ExpectConverted(table->At(object.Handle), *object.Object, byHandle);
        }
        // The tool runs as converted and follows its converted points as its own.
        const auto tool = std::dynamic_pointer_cast<ITool>(byHandle.at(1));
        ASSERT_TRUE(tool);
        RunOk(*tool);
        const auto type = table->At(1).TypeName();
        EXPECT_EQ(Sweep::DragFirstLiveGraphic(byHandle.at(1)),
                  Sweep::DragFirstLiveGraphic(Sweep::MakeSample(Sweep::LibraryNamespace + type)));
        if (const auto label = std::dynamic_pointer_cast<Geometry::CreateGraphicLabelTool>(tool)) {
            // Selector 5 converts the legacy format string; the image was found under its old name.
            EXPECT_EQ(label->InputGraphicLabel()->Text(), "Gap {D:>6.1F} mm");
            ASSERT_EQ(table->LogEntries().size(), 1u);
            EXPECT_EQ(table->LogEntries()[0].Header, LogHeaderConstants::Warning);
            EXPECT_THAT(table->LogEntries()[0].Text, testing::EndsWith(", error for field: InputImage"));
        } else {
            EXPECT_TRUE(table->LogEntries().empty());
        }
    }
    EXPECT_EQ(converted, registered);
}

// What converting object 1 of `table` throws: the typed entry point's message and the
// converter's exception nested in it.
struct Failure {
    std::string message, nestedType, nested;
};
Failure FailureOf(ConversionContext& table, std::int64_t handle = 1)
{
    try {
        Serialization::ConvertLegacyObjectAs<Vision::Implementation::ToolBase>(table, handle);
    } catch (const SerializationException& e) {
        Failure failure{e.Message(), "none", ""};
        try {
            std::rethrow_if_nested(e);
        } catch (const VisionException& inner) {
            failure = {e.Message(), rttr::type::get(inner).get_name().to_string(), inner.Message()};
        } catch (const std::out_of_range& inner) {
            failure = {e.Message(), "std::out_of_range", inner.what()};
        } catch (const std::runtime_error& inner) {
            failure = {e.Message(), "std::runtime_error", inner.what()};
        }
        return failure;
    }
    return {"converted", "", ""};
}

TEST(LegacyCorpus, FailuresNameTheObjectAndKeepTheConvertersException)
{
    using testing::HasSubstr;
    // A corpus table with one property of one object replaced, or removed (nullopt).
    const auto edited = [](const char* file, std::int64_t handle, const std::string& property,
                           std::optional<rttr::variant> value) {
        auto table = ReadTable(Corpus / file);
        ObjectInfo info = table->At(handle);
        std::map<std::string, rttr::variant> properties = info.Properties();
        if (value)
            properties[property] = *value;
        else
            properties.erase(property);
        auto copy = std::make_unique<ConversionContext>();
        for (const auto& [h, object] : table->Objects())
            copy->Add(h, h == handle ? ObjectInfo(info.TypeName(), properties)
                                     : ObjectInfo(object.TypeName(), object.Properties()));
        return copy;
    };
    const std::string tool = "The legacy object 1 (DistancePointCircleTool) cannot be converted: ";
    const struct {
        std::unique_ptr<ConversionContext> table;
        std::string message, nestedType, nested;
    } cases[] = {
        {edited("DistancePointCircleTool.json", 1, "Circle", std::nullopt), tool + "invalid map<K, T> key",
         "std::out_of_range", "invalid map<K, T> key"},
        {edited("DistancePointCircleTool.json", 1, "Circle", LegacyHandle{99}),
         tool + "invalid map<K, T> key", "std::out_of_range", "invalid map<K, T> key"},
        {edited("DistancePointCircleTool.json", 1, "Circle", 3.5), tool + "Bad Fetch", "std::runtime_error",
         "not an object reference"},
        {edited("CreateGraphicLabelTool.json", 1, "mInputBoolean", rttr::variant()),
         "The legacy object 1 (CreateGraphicLabelTool) cannot be converted: Bad Fetch, null variant",
         "std::runtime_error", "Bad Fetch, null variant"},
        {edited("CreateGraphicLabelTool.json", 3, "Text", std::string("{D:P}")), "(CreateGraphicLabelTool)",
         "Ostrel::Vision::VisionException",
         "Unconvertable Format String - ({D:P}). Percentage format not supported"},
    };
    for (const auto& c : cases) {
        const auto failure = FailureOf(*c.table);
        EXPECT_THAT(failure.message, HasSubstr(c.message));
        EXPECT_EQ(failure.nestedType, c.nestedType) << failure.message;
        EXPECT_THAT(failure.nested, HasSubstr(c.nested)) << failure.message;
    }

    ConversionContext unknown;
    unknown.Add(1, ObjectInfo("NoSuchTool"));
    EXPECT_EQ(FailureOf(unknown).nestedType, "Ostrel::Vision::InvalidOperationException");
    EXPECT_THAT(FailureOf(unknown, 7).message,
                testing::StrEq("The legacy object 7 cannot be converted: invalid map<K, T> key"));

    const auto circle = ReadTable(Corpus / "DistancePointCircleTool.json");
    EXPECT_EQ(FailureOf(*circle, 4).message,
              "The legacy object 4 (Circle) converts to Ostrel::Vision::Circle, not to "
              "the Ostrel::Vision::Implementation::ToolBase wanted.");

    // A reference to an object of another class leaves the field empty, as the converter
    // casts it.
    auto other = edited("DistanceLineCircleTool.json", 1, "Line", LegacyHandle{4});
    const auto converted = Serialization::ConvertLegacyObjectAs<Vision::Implementation::ToolBase>(*other, 1);
    EXPECT_EQ(Held(rttr::type::get(*converted).get_property("Line").get_value(rttr::instance(*converted))),
              nullptr);
}

} // namespace
