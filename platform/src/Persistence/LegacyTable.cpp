// The text form of a legacy table (docs/legacy-table.md):
//
//   {"objects": [
//     {"handle": 1, "type": "Circle",
//      "properties": {"CenterX": 10, "Radius": 2.5, "Color": {"color": "0xFF00FF00"},
//                     "TipText": "hole", "Interactive": true, "Owner": {"handle": 2},
//                     "Missing": null}},
//     ...]}
//
// Each entry holds exactly "handle" (an integer, unique in the table), "type" (the legacy
// type name, not empty) and optionally "properties" (an object; absent means none). A
// property value is read by its JSON form:
//   true / false                      boolean
//   a number without fraction or exponent   integer (std::int64_t; beyond its range an error)
//   any other number                  double (one too small for a double is an error)
//   a string                          text
//   null                              null (an invalid variant)
//   {"handle": n}                     a reference to the object n of the same table
//   {"color": "0xAARRGGBB"} or {"color": n}   a colour ("0x" and 1 to 8 hex digits, or 0 to 2^32-1)
// Anything else (arrays, other objects, unknown keys, a key given twice) is an error.
// References are not resolved here: a reference to a missing object fails when it is
// fetched, as in a decoded binary archive.

#include <algorithm>
#include <cctype>
#include <istream>
#include <iterator>
#include <limits>
#include <map>
#include <optional>
#include <set>

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Legacy.h>

namespace Ostrel::Vision::Implementation::Internal {

namespace {

using Json = nlohmann::json;

// The table is four levels deep (document, "objects", entry, "properties") and a value
// one more; deeper text is refused while it is parsed.
constexpr int MaxDepth = 6;

[[noreturn]] void Fail(const std::string& where, const std::string& what)
{
    throw SerializationException(fmt::format("Legacy table: {}: {}", where, what));
}

// A first, structural pass over the text, run before the document is built: refuses a
// key given twice in one JSON object (the parser would keep the last silently), text
// nested deeper than a table, and numbers the document would change without a word: a
// whole number beyond the 64-bit range (the parser would make it a double) and a number
// too small for a double (the parser would make it 0). It keeps only the keys of the open
// objects, so the pass is linear in the text.
class StructureCheck : public nlohmann::json_sax<Json> {
public:
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t value, const string_t& text) override
    {
        const bool whole = text.find_first_of(".eE") == std::string::npos;
        if (whole)
            Fail("the text", fmt::format("the integer {} is beyond the 64-bit range.", text));
        const auto mantissa = text.substr(0, text.find_first_of("eE"));
        if (value == 0 && mantissa.find_first_of("123456789") != std::string::npos)
            Fail("the text", fmt::format("the number {} is too small for a double.", text));
        return true;
    }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override
    {
        Open();
        keys_.emplace_back();
        return true;
    }
    bool key(string_t& key) override
    {
        if (!keys_.back().insert(key).second)
            Fail("the text", fmt::format("the key \"{}\" appears twice in one JSON object.", key));
        return true;
    }
    bool end_object() override
    {
        keys_.pop_back();
        --depth_;
        return true;
    }
    bool start_array(std::size_t) override
    {
        Open();
        return true;
    }
    bool end_array() override
    {
        --depth_;
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) override
    {
        Fail("the text", fmt::format("it is not valid JSON ({}).", e.what()));
    }

private:
    void Open()
    {
        if (++depth_ > MaxDepth)
            Fail("the text", fmt::format("it nests deeper than a legacy table ({} levels).", MaxDepth));
    }

    int depth_ = 0;
    std::vector<std::set<std::string>> keys_;
};

std::string KindOfJson(const Json& value)
{
    switch (value.type()) {
    case Json::value_t::array:
        return "an array";
    case Json::value_t::object:
        return "an object";
    case Json::value_t::string:
        return "a string";
    case Json::value_t::boolean:
        return "a boolean";
    case Json::value_t::null:
        return "null";
    default:
        return "a number";
    }
}

// A JSON integer as std::int64_t, or nothing for a value of another form.
std::optional<std::int64_t> Integer(const Json& value)
{
    if (value.is_number_integer() && !value.is_number_unsigned())
        return value.get<std::int64_t>();
    if (value.is_number_unsigned() &&
        value.get<std::uint64_t>() <= std::uint64_t(std::numeric_limits<std::int64_t>::max()))
        return static_cast<std::int64_t>(value.get<std::uint64_t>());
    return std::nullopt;
}

Color32 ReadColor(const Json& value, const std::string& where)
{
    if (value.is_number_integer()) {
        const auto number = Integer(value);
        if (!number || *number < 0 || *number > 0xFFFFFFFFll)
            Fail(where, fmt::format("the colour {} is outside 0 to 0xFFFFFFFF.", value.dump()));
        return Color32::FromUInt32(static_cast<std::uint32_t>(*number));
    }
    const std::string text = value.is_string() ? value.get<std::string>() : std::string();
    const bool hex = text.size() > 2 && text.size() <= 10 && text[0] == '0' && text[1] == 'x' &&
                     std::all_of(text.begin() + 2, text.end(),
                                 [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
    if (!hex)
        Fail(where,
             fmt::format("a colour is written \"0xAARRGGBB\" or as an integer, not {}.", value.dump()));
    return Color32::FromUInt32(static_cast<std::uint32_t>(std::stoul(text.substr(2), nullptr, 16)));
}

rttr::variant ReadValue(const Json& value, const std::string& where)
{
    switch (value.type()) {
    case Json::value_t::null:
        return {};
    case Json::value_t::boolean:
        return value.get<bool>();
    case Json::value_t::string:
        return value.get<std::string>();
    case Json::value_t::number_float:
        return value.get<double>();
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned: {
        const auto number = Integer(value);
        if (!number)
            Fail(where, fmt::format("the integer {} is beyond the 64-bit range.", value.dump()));
        return *number;
    }
    case Json::value_t::object:
        if (value.size() == 1 && value.contains("handle")) {
            const auto handle = Integer(value["handle"]);
            if (!handle)
                Fail(where, fmt::format("a handle is an integer, not {}.", value["handle"].dump()));
            return LegacyHandle{*handle};
        }
        if (value.size() == 1 && value.contains("color"))
            return ReadColor(value["color"], where);
        Fail(where,
             fmt::format("an object value is {{\"handle\": n}} or {{\"color\": \"0xAARRGGBB\"}}, not {}.",
                         value.dump()));
    default:
        Fail(where, fmt::format("a property cannot be {}.", KindOfJson(value)));
    }
}

} // namespace

std::unique_ptr<ConversionContext> ConversionContext::FromJson(std::istream& stream)
{
    Json document;
    try {
        const std::string text{std::istreambuf_iterator<char>(stream), {}};
        StructureCheck check;
        Json::sax_parse(text, &check);
        document = Json::parse(text);
    } catch (const Json::exception& e) {
        Fail("the text", fmt::format("it is not valid JSON ({}).", e.what()));
    }

    if (!document.is_object())
        Fail("the text",
             fmt::format("a table is a JSON object {{\"objects\": [...]}}, not {}.", KindOfJson(document)));
    for (const auto& [key, value] : document.items()) {
        if (key != "objects")
            Fail("the text",
                 fmt::format("the key \"{}\" is not part of a table; it holds only \"objects\".", key));
    }
    if (!document.contains("objects") || !document["objects"].is_array())
        Fail("the text", "a table holds its objects in an array \"objects\".");

    auto table = std::make_unique<ConversionContext>();
    std::map<std::int64_t, std::size_t> entryOfHandle;
    const Json& objects = document["objects"];
    for (std::size_t entry = 0; entry < objects.size(); ++entry) {
        const Json& object = objects[entry];
        const std::string where = fmt::format("entry {} of \"objects\"", entry);
        if (!object.is_object())
            Fail(where, fmt::format("an object entry is a JSON object, not {}.", KindOfJson(object)));
        for (const auto& [key, value] : object.items()) {
            if (key != "handle" && key != "type" && key != "properties")
                Fail(where, fmt::format("the key \"{}\" is unknown; an entry holds \"handle\", \"type\" and "
                                        "\"properties\".",
                                        key));
        }
        const auto handle = object.contains("handle") ? Integer(object["handle"]) : std::nullopt;
        if (!handle)
            Fail(where, "an entry needs an integer \"handle\".");
        if (!object.contains("type") || !object["type"].is_string() ||
            object["type"].get<std::string>().empty())
            Fail(where, fmt::format("the object {} needs a legacy type name \"type\".", *handle));
        if (const auto [at, added] = entryOfHandle.emplace(*handle, entry); !added)
            Fail(where, fmt::format("the handle {} is already used by entry {}.", *handle, at->second));

        ObjectInfo info(object["type"].get<std::string>());
        if (object.contains("properties")) {
            const Json& properties = object["properties"];
            if (!properties.is_object())
                Fail(fmt::format("object {} ({})", *handle, info.TypeName()),
                     fmt::format("\"properties\" is a JSON object, not {}.", KindOfJson(properties)));
            for (const auto& [name, value] : properties.items())
                info.SetProperty(name, ReadValue(value, fmt::format("object {} ({}), property \"{}\"",
                                                                    *handle, info.TypeName(), name)));
        }
        table->Add(*handle, std::move(info));
    }
    return table;
}

} // namespace Ostrel::Vision::Implementation::Internal
