#include "Block.h"

#include <algorithm>
#include <cstring>
#include <cmath>
#include <fstream>
#include <map>
#include <numbers>
#include <optional>
#include <sstream>

#include <cairo.h>
#include <fmt/format.h>
#include <rttr/type>

#include <Ostrel/Vision/Meta/NullPointer.h>
#include <Ostrel/Vision/Vision.h>

namespace Ogeo {

using Ostrel::Quill::Create;
using namespace Ostrel::Vision;
using Json = nlohmann::ordered_json;

InputError::InputError(const std::string& file, const std::string& where, const std::string& problem)
    : std::runtime_error(where.empty() ? fmt::format("{}: {}", file, problem)
                                       : fmt::format("{}: at {}: {}", file, where, problem))
{
}

namespace {

constexpr std::string_view LibraryNamespace = "Ostrel::Vision::Geometry::";

// A place in the block file, as a JSON pointer ("/tools/2/properties/X").
struct Where {
    const std::string& file;
    std::string pointer;

    Where operator/(const std::string& key) const { return {file, pointer + "/" + key}; }
    Where operator/(std::size_t index) const { return {file, pointer + "/" + std::to_string(index)}; }
    [[noreturn]] void Fail(const std::string& problem) const { throw InputError(file, pointer, problem); }
};

const char* KindOf(const Json& value)
{
    switch (value.type()) {
    case Json::value_t::null: return "null";
    case Json::value_t::boolean: return "a boolean";
    case Json::value_t::string: return "a string";
    case Json::value_t::array: return "an array";
    case Json::value_t::object: return "an object";
    default: return value.is_number_integer() ? "an integer" : "a number";
    }
}

const Json& Member(const Json& object, const char* key, const Where& where)
{
    if (!object.contains(key))
        where.Fail(fmt::format("expected the member \"{}\"", key));
    return object.at(key);
}

double Number(const Json& value, const Where& where)
{
    if (!value.is_number())
        where.Fail(fmt::format("expected a number, got {}", KindOf(value)));
    const double number = value.get<double>();
    if (!std::isfinite(number))
        where.Fail("expected a finite number");
    return number;
}

std::string Text(const Json& value, const Where& where)
{
    if (!value.is_string())
        where.Fail(fmt::format("expected a string, got {}", KindOf(value)));
    return value.get<std::string>();
}

std::vector<double> Numbers(const Json& value, std::size_t count, const Where& where)
{
    if (!value.is_array() || value.size() != count)
        where.Fail(fmt::format("expected an array of {} numbers", count));
    std::vector<double> numbers;
    for (std::size_t i = 0; i < count; ++i)
        numbers.push_back(Number(value[i], where / i));
    return numbers;
}

std::vector<std::pair<double, double>> Points(const Json& value, const Where& where)
{
    if (!value.is_array())
        where.Fail(fmt::format("expected an array of [x, y] pairs, got {}", KindOf(value)));
    std::vector<std::pair<double, double>> points;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto xy = Numbers(value[i], 2, where / i);
        points.emplace_back(xy[0], xy[1]);
    }
    return points;
}

Color32 Colour(const Json& value, const Where& where)
{
    if (value.is_number_unsigned() && value.get<std::uint64_t>() <= 0xFFFFFFFFu)
        return Color32::FromUInt32(value.get<std::uint32_t>());
    if (value.is_string()) {
        const auto text = value.get<std::string>();
        std::size_t used = 0;
        try {
            const auto argb = std::stoul(text, &used, 16);
            if (text.starts_with("0x") && used == text.size() && text.size() <= 10)
                return Color32::FromUInt32(static_cast<std::uint32_t>(argb));
        } catch (const std::exception&) {
        }
    }
    where.Fail("expected a colour: \"0xAARRGGBB\" or a number from 0 to 4294967295");
}

rttr::type Unwrapped(rttr::type type)
{
    if (type.is_wrapper())
        type = type.get_wrapped_type();
    return type.get_raw_type();
}

std::string TypeName(const rttr::type& type)
{
    auto name = Unwrapped(type).get_name().to_string();
    if (name.starts_with(LibraryNamespace))
        name.erase(0, LibraryNamespace.size());
    else if (name.starts_with("Ostrel::Vision::"))
        name.erase(0, std::string_view("Ostrel::Vision::").size());
    return type.is_wrapper() ? name + " shape" : name;
}

// The steps of a pin path: split at the dots outside parentheses.
std::vector<std::string> Steps(const std::string& path)
{
    std::vector<std::string> steps(1);
    int depth = 0;
    for (char c : path) {
        depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        if (c == '.' && depth == 0)
            steps.emplace_back();
        else
            steps.back() += c;
    }
    return steps;
}

std::string Joined(const std::vector<std::string>& steps, std::size_t count)
{
    std::string path;
    for (std::size_t i = 0; i < count; ++i)
        path += (i ? "." : "") + steps[i];
    return path;
}

// The declared type a step yields on `on`: a property's type, a method's return type.
// Indexed fake properties ("SetX(0)") have no declared type.
std::optional<rttr::type> StepType(rttr::type on, const std::string& step)
{
    on = Unwrapped(on);
    const auto paren = step.find('(');
    if (paren == std::string::npos) {
        if (auto property = on.get_property(step))
            return property.get_type();
        return std::nullopt;
    }
    if (step.compare(paren, std::string::npos, "()") == 0)
        if (auto method = on.get_method(step.substr(0, paren)))
            return method.get_return_type();
    return std::nullopt;
}

// The type of the value at the end of a pin path. The objects along the way are read from
// the tool where they can be (so that a fit tool's "RunParams.RadiusConstraint" is found
// on the FitCircle the tool holds), and otherwise taken as declared.
std::optional<rttr::type> PinType(const std::shared_ptr<Implementation::ToolBase>& tool, const std::string& path)
{
    const auto steps = Steps(path);
    rttr::type on = rttr::type::get(*tool);
    for (std::size_t i = 0; i + 1 < steps.size(); ++i) {
        const auto declared = StepType(on, steps[i]);
        if (!declared)
            return std::nullopt;
        on = *declared;
        try {
            rttr::variant value = Create<ToolPin>(Joined(steps, i + 1))->GetValue(tool);
            if (value.is_valid() && value.get_type().is_wrapper() && !Meta::IsNullPointer(value)) {
                rttr::variant pointer = value.extract_wrapped_value();
                if (rttr::instance object(pointer); object.is_valid())
                    on = object.get_derived_type().get_raw_type();
            }
        } catch (const std::exception&) {
        }
    }
    return StepType(on, steps.back());
}

// A shape in its compact form: {"circle": [cx, cy, r], "space": "Plate", "color": ...}.
template <class Shape>
rttr::variant Finish(std::shared_ptr<Shape> shape, const Json& value, const Where& where)
{
    if (value.contains("space"))
        shape->setSelectedSpaceName(Text(value["space"], where / "space"));
    if (value.contains("color"))
        shape->setColor(Colour(value["color"], where / "color"));
    if (value.contains("tip"))
        shape->setTipText(Text(value["tip"], where / "tip"));
    return rttr::variant(std::move(shape));
}

rttr::variant MakeShape(const Json& value, const Where& where)
{
    if (value.contains("point")) {
        const auto v = Numbers(value["point"], 2, where / "point");
        auto marker = Create<PointMarker>();
        marker->setX(v[0]);
        marker->setY(v[1]);
        return Finish(marker, value, where);
    }
    if (value.contains("segment")) {
        const auto v = Numbers(value["segment"], 4, where / "segment");
        auto segment = Create<LineSegment>();
        segment->SetStartEnd(v[0], v[1], v[2], v[3]);
        return Finish(segment, value, where);
    }
    if (value.contains("line")) {
        const auto v = Numbers(value["line"], 3, where / "line");
        auto line = Create<Line>();
        line->SetXYRotation(v[0], v[1], v[2]);
        return Finish(line, value, where);
    }
    if (value.contains("circle")) {
        const auto v = Numbers(value["circle"], 3, where / "circle");
        if (v[2] < 0)
            (where / "circle" / 2).Fail("expected a radius that is not negative");
        auto circle = Create<Circle>();
        circle->SetCenterRadius(v[0], v[1], v[2]);
        return Finish(circle, value, where);
    }
    if (value.contains("ellipse")) {
        const auto v = Numbers(value["ellipse"], 5, where / "ellipse");
        if (v[2] < 0 || v[3] < 0)
            (where / "ellipse").Fail("expected radii that are not negative");
        auto ellipse = Create<Ellipse>();
        ellipse->SetCenterXYRadiusXYRotation(v[0], v[1], v[2], v[3], v[4]);
        return Finish(ellipse, value, where);
    }
    if (value.contains("polygon")) {
        auto polygon = Create<Polygon>();
        for (const auto& [x, y] : Points(value["polygon"], where / "polygon"))
            polygon->AddVertex(x, y);
        return Finish(polygon, value, where);
    }
    if (value.contains("label")) {
        const auto v = Numbers(value["label"], 2, where / "label");
        auto label = Create<GraphicLabel>();
        label->setX(v[0]);
        label->setY(v[1]);
        if (value.contains("text"))
            label->setText(Text(value["text"], where / "text"));
        return Finish(label, value, where);
    }
    where.Fail("expected a shape: an object with one of \"point\", \"segment\", \"line\", \"circle\", "
               "\"ellipse\", \"polygon\", \"label\"");
}

// Enumeration values: a number, a name, "A|B" or an array of names (the bits are or-ed).
rttr::variant EnumValue(const Json& value, const rttr::type& type, const Where& where)
{
    const auto enumeration = type.get_enumeration();
    std::uint64_t bits = 0;
    auto add = [&](std::string name, const Where& at) {
        name.erase(0, name.find_first_not_of(' '));
        name.erase(name.find_last_not_of(' ') + 1);
        const auto member = enumeration.name_to_value(name);
        if (!member.is_valid()) {
            std::string names;
            for (const auto& n : enumeration.get_names())
                names += (names.empty() ? "" : ", ") + n.to_string();
            at.Fail(fmt::format("\"{}\" is no member of {}; its members: {}", name, TypeName(type), names));
        }
        bits |= member.to_uint64();
    };
    if (value.is_number_integer())
        bits = value.get<std::uint64_t>();
    else if (value.is_string()) {
        std::stringstream names(value.get<std::string>());
        for (std::string name; std::getline(names, name, '|');)
            add(name, where);
    } else if (value.is_array()) {
        for (std::size_t i = 0; i < value.size(); ++i)
            add(Text(value[i], where / i), where / i);
    } else
        where.Fail(fmt::format("expected {} as a number, a member name or names joined by \"|\", got {}",
                               TypeName(type), KindOf(value)));
    std::uint64_t known = 0;
    for (const auto& member : enumeration.get_values())
        known |= member.to_uint64();
    if ((bits & ~known) != 0)
        where.Fail(fmt::format("0x{:X} has bits that are no member of {}", bits, TypeName(type)));
    // A mask of several bits is no member, and reflection converts only members; so a
    // member's value is taken and its 32 bits overwritten with the mask.
    rttr::variant result = enumeration.get_values().empty() ? rttr::variant() : *enumeration.get_values().begin();
    if (!result.is_valid() || type.get_sizeof() != sizeof(std::uint32_t))
        where.Fail(fmt::format("{} cannot be set from a file", TypeName(type)));
    rttr::argument(result).get_value<std::uint32_t>() = static_cast<std::uint32_t>(bits);
    return result;
}

// The value to write at a pin of type `target` (unknown for indexed fake properties).
rttr::variant ToVariant(const Json& value, const std::optional<rttr::type>& target, const Where& where)
{
    if (!target) {
        if (value.is_boolean())
            return value.get<bool>();
        if (value.is_string())
            return value.get<std::string>();
        return Number(value, where);
    }
    const rttr::type type = *target;
    if (type == rttr::type::get<bool>()) {
        if (!value.is_boolean())
            where.Fail(fmt::format("expected a boolean, got {}", KindOf(value)));
        return value.get<bool>();
    }
    if (type.is_enumeration())
        return EnumValue(value, type, where);
    if (type.is_arithmetic()) {
        const bool integral = type != rttr::type::get<double>() && type != rttr::type::get<float>();
        if (integral && !value.is_number_integer())
            where.Fail(fmt::format("expected an integer, got {}", KindOf(value)));
        rttr::variant result = integral ? rttr::variant(value.get<std::int64_t>()) : rttr::variant(Number(value, where));
        if (!result.convert(type))
            where.Fail(fmt::format("expected {}", TypeName(type)));
        return result;
    }
    if (type == rttr::type::get<std::string>())
        return Text(value, where);
    if (type == rttr::type::get<Color32>())
        return Colour(value, where);
    if (type.is_wrapper() && Unwrapped(type).is_derived_from(rttr::type::get<GraphicBase>())) {
        if (!value.is_object())
            where.Fail(fmt::format("expected a {} in compact form, got {}", TypeName(type), KindOf(value)));
        rttr::variant shape = MakeShape(value, where);
        if (!Unwrapped(shape.get_type()).is_derived_from(Unwrapped(type)))
            where.Fail(fmt::format("expected a {}, got a {}", TypeName(type), TypeName(shape.get_type())));
        return shape;
    }
    where.Fail(fmt::format("a value of type {} cannot be written in a block file", TypeName(type)));
}

void SetProperty(const std::shared_ptr<Implementation::ToolBase>& tool, const IImage& image, const std::string& path,
                 const Json& value, const Where& where)
{
    try {
        if (value.is_object() && value.contains("points")) {
            // A point list replaces the points of the object at the path (fit parameters).
            const auto points = Points(value["points"], where / "points");
            rttr::variant object = Create<ToolPin>(path)->GetValue(tool);
            if (!object.is_valid() || Meta::IsNullPointer(object))
                where.Fail(fmt::format("the object at \"{}\" is null", path));
            if (object.get_type().is_wrapper())
                object = object.extract_wrapped_value();
            rttr::instance instance(object);
            const auto type = instance.get_derived_type().get_raw_type();
            auto count = type.get_property("NumPoints");
            auto add = type.get_method("AddPoint");
            if (!count || !add)
                where.Fail(fmt::format("{} holds no point list", TypeName(type)));
            count.set_value(instance, 0);
            for (const auto& [x, y] : points)
                add.invoke(instance, x, y);
            return;
        }
        const auto type = PinType(tool, path);
        if (!type && Steps(path).back().find('(') == std::string::npos)
            where.Fail(fmt::format("{} has no pin path \"{}\"", ShortClassName(*tool), path));
        const auto variant = ToVariant(value, type, where);
        if (auto* shape = variant.get_type().is_wrapper() && !Meta::IsNullPointer(variant)
                              ? rttr::instance(variant).try_convert<GraphicBase>()
                              : nullptr) {
            try {
                image.ResolveSpaceName(shape->SelectedSpaceName());
            } catch (const std::exception&) {
                (where / "space").Fail(fmt::format("no space \"{}\" in the image", shape->SelectedSpaceName()));
            }
        }
        Create<ToolPin>(path)->SetValue(tool, variant);
    } catch (const InputError&) {
        throw;
    } catch (const std::exception& e) {
        where.Fail(fmt::format("cannot set \"{}\": {}", path, e.what()));
    }
}

std::shared_ptr<Implementation::ToolBase> CreateTool(const std::string& className, const Where& where)
{
    auto type = rttr::type::get_by_name(std::string(LibraryNamespace) + className);
    if (!type.is_valid())
        type = rttr::type::get_by_name(className);
    if (!type.is_valid() || !type.is_derived_from(rttr::type::get<Implementation::ToolBase>()))
        where.Fail(fmt::format("\"{}\" is no registered tool class", className));
    rttr::variant made = type.create();
    auto* tool = made.is_valid() ? rttr::instance(made).try_convert<Implementation::ToolBase>() : nullptr;
    if (!tool)
        where.Fail(fmt::format("the tool class \"{}\" cannot be created by name", className));
    return tool->SharedFromThisAs<Implementation::ToolBase>();
}

std::shared_ptr<const Transform2D> SpaceTransform(const Json& space, const Where& where)
{
    if (space.contains("affine")) {
        const auto m = Numbers(space["affine"], 6, where / "affine");
        return std::make_shared<Transform2DLinear>(m[0], m[1], m[2], m[3], m[4], m[5]);
    }
    if (space.contains("scale")) {
        // Scale, then rotate (degrees), then translate.
        const auto& scale = space["scale"];
        const auto s = scale.is_array() ? Numbers(scale, 2, where / "scale")
                                        : std::vector<double>(2, Number(scale, where / "scale"));
        const double degrees = space.contains("rotationDeg") ? Number(space["rotationDeg"], where / "rotationDeg") : 0;
        const auto t = space.contains("translation") ? Numbers(space["translation"], 2, where / "translation")
                                                     : std::vector<double>{0, 0};
        return std::make_shared<Transform2DLinear>(
            Transform2DLinear::ScaleRotationTranslation(s[0], s[1], degrees * std::numbers::pi / 180, t[0], t[1]));
    }
    if (space.contains("lens")) {
        const auto& lens = space["lens"];
        const auto at = where / "lens";
        if (!lens.is_object())
            at.Fail("expected an object with \"center\", \"radius\", \"k1\", \"k2\" and optionally \"p1\", \"p2\"");
        const auto center = Numbers(Member(lens, "center", at), 2, at / "center");
        auto coefficient = [&](const char* key, bool required) {
            return !required && !lens.contains(key) ? 0.0 : Number(Member(lens, key, at), at / key);
        };
        try {
            return Create<Transform2DLensDistortion>(center[0], center[1], coefficient("radius", true),
                                                     coefficient("k1", true), coefficient("k2", true),
                                                     coefficient("p1", false), coefficient("p2", false));
        } catch (const std::exception& e) {
            at.Fail(e.what());
        }
    }
    where.Fail("expected a transform: \"affine\" (six numbers), \"scale\" with \"rotationDeg\" and "
               "\"translation\", or \"lens\"");
}

Json ReadDocument(const std::filesystem::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    if (!stream)
        throw InputError(file.string(), "", "cannot be read");
    const std::string text((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    try {
        return Json::parse(text);
    } catch (const Json::parse_error& e) {
        const auto upTo = text.substr(0, std::min<std::size_t>(e.byte ? e.byte - 1 : 0, text.size()));
        const auto line = std::count(upTo.begin(), upTo.end(), '\n') + 1;
        const auto column = upTo.size() - (upTo.rfind('\n') == std::string::npos ? 0 : upTo.rfind('\n') + 1) + 1;
        std::string what = e.what();
        what.erase(0, what.find(": ") == std::string::npos ? 0 : what.rfind(": ") + 2);
        throw InputError(file.string(), fmt::format("line {}, column {}", line, column),
                         "JSON syntax error: " + what);
    }
}

// Kahn's order, the earliest tool of the file first among those ready; on a cycle, the
// tools of one cycle in link order.
std::vector<int> RunOrder(const Block& block, const Where& where)
{
    const int n = static_cast<int>(block.tools.size());
    std::vector<int> waiting(n, 0), order;
    for (const auto& link : block.links)
        ++waiting[link.to];
    std::vector<bool> done(n, false);
    while (static_cast<int>(order.size()) < n) {
        int next = -1;
        for (int i = 0; i < n && next < 0; ++i)
            if (!done[i] && waiting[i] == 0)
                next = i;
        if (next < 0)
            break;
        done[next] = true;
        order.push_back(next);
        for (const auto& link : block.links)
            if (link.from == next)
                --waiting[link.to];
    }
    if (static_cast<int>(order.size()) == n)
        return order;
    // Walk back along links between waiting tools until a tool repeats.
    int at = 0;
    while (done[at])
        ++at;
    std::vector<int> path;
    while (std::find(path.begin(), path.end(), at) == path.end()) {
        path.push_back(at);
        for (const auto& link : block.links)
            if (link.to == at && !done[link.from]) {
                at = link.from;
                break;
            }
    }
    path.erase(path.begin(), std::find(path.begin(), path.end(), at));
    std::reverse(path.begin(), path.end());
    std::string cycle;
    for (int i : path)
        cycle += block.tools[i].name + " -> ";
    (where / "links").Fail("the links form a cycle: " + cycle + block.tools[path.front()].name);
}

bool Compatible(const rttr::type& from, const rttr::type& to)
{
    if (from == to || (from.is_arithmetic() && to.is_arithmetic() && to != rttr::type::get<bool>()))
        return true;
    return from.is_wrapper() && to.is_wrapper() && Unwrapped(from).is_derived_from(Unwrapped(to));
}

void ReadLinks(Block& block, const Json& links, const Where& where)
{
    if (!links.is_array())
        where.Fail(fmt::format("expected an array of links, got {}", KindOf(links)));
    auto pin = [&](const Json& end, const Where& at, bool output, int& index, std::string& path) {
        const auto text = Text(end, at);
        const auto dot = text.find('.');
        const auto name = text.substr(0, dot);
        const auto tool = std::find_if(block.tools.begin(), block.tools.end(), [&](auto& t) { return t.name == name; });
        if (dot == std::string::npos || tool == block.tools.end())
            at.Fail(fmt::format("expected \"TOOL.PIN\" naming a tool of the block, got \"{}\"", text));
        index = static_cast<int>(tool - block.tools.begin());
        path = text.substr(dot + 1);
        const auto& pins = output ? tool->tool->Outputs() : tool->tool->Inputs();
        if (!pins.Contains(path)) {
            std::string names;
            for (const auto& p : pins)
                names += (names.empty() ? "" : ", ") + p->Path();
            at.Fail(fmt::format("{} ({}) has no {} pin \"{}\"; its {} pins: {}", name, tool->className,
                                output ? "output" : "input", path, output ? "output" : "input", names));
        }
        return pins[path];
    };
    for (std::size_t i = 0; i < links.size(); ++i) {
        const auto at = where / i;
        if (!links[i].is_object())
            at.Fail("expected a link {\"from\": \"TOOL.OUTPUT\", \"to\": \"TOOL.INPUT\"}");
        BlockLink link;
        link.fromPin = pin(Member(links[i], "from", at), at / "from", true, link.from, link.fromPath);
        link.toPin = pin(Member(links[i], "to", at), at / "to", false, link.to, link.toPath);
        const auto from = PinType(block.tools[link.from].tool, link.fromPath);
        const auto to = PinType(block.tools[link.to].tool, link.toPath);
        if (from && to && !Compatible(*from, *to))
            at.Fail(fmt::format("{}.{} gives {}, but {}.{} takes {}", block.tools[link.from].name, link.fromPath,
                                TypeName(*from), block.tools[link.to].name, link.toPath, TypeName(*to)));
        block.links.push_back(std::move(link));
    }
}

} // namespace

std::string ShortClassName(const Ostrel::Quill::IObject& object)
{
    auto name = rttr::type::get(object).get_name().to_string();
    return name.starts_with(LibraryNamespace) ? name.substr(LibraryNamespace.size()) : name;
}

std::shared_ptr<Image8Grey> ReadPng(const std::filesystem::path& file)
{
    {
        std::ifstream stream(file, std::ios::binary);
        if (!stream)
            throw InputError(file.string(), "", std::filesystem::exists(file) ? "cannot be read" : "no such image file");
        char signature[8] = {};
        if (!stream.read(signature, 8) || std::memcmp(signature, "\x89PNG\r\n\x1a\n", 8) != 0)
            throw InputError(file.string(), "", "is not a PNG image");
    }
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_image_surface_create_from_png(file.c_str()), &cairo_surface_destroy);
    switch (cairo_surface_status(surface.get())) {
    case CAIRO_STATUS_SUCCESS: break;
    case CAIRO_STATUS_FILE_NOT_FOUND: throw InputError(file.string(), "", "no such image file");
    default:
        throw InputError(file.string(), "",
                         std::string("cannot be decoded as a PNG image (") +
                             cairo_status_to_string(cairo_surface_status(surface.get())) + ")");
    }
    cairo_surface_flush(surface.get());
    const int width = cairo_image_surface_get_width(surface.get());
    const int height = cairo_image_surface_get_height(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    const auto format = cairo_image_surface_get_format(surface.get());
    const unsigned char* data = cairo_image_surface_get_data(surface.get());
    auto image = Create<Image8Grey>(width, height);
    auto pixels = image->Data();
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = data + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            std::uint8_t grey;
            if (format == CAIRO_FORMAT_A8)
                grey = row[x];
            else if (format == CAIRO_FORMAT_A1)
                grey = (row[x / 8] >> (x % 8)) & 1 ? 255 : 0;
            else {
                std::uint32_t argb;
                std::memcpy(&argb, row + 4 * x, 4);
                grey = static_cast<std::uint8_t>((299 * ((argb >> 16) & 0xFF) + 587 * ((argb >> 8) & 0xFF) +
                                                  114 * (argb & 0xFF) + 500) / 1000);
            }
            pixels[static_cast<std::size_t>(y) * width + x] = grey;
        }
    }
    return image;
}

void SetBlockImage(Block& block, std::shared_ptr<Image8Grey> image)
{
    auto tree = image->CoordinateSpaceTree();
    for (const auto& space : block.spaces)
        if (tree->LookUpName(space.parent == "#" ? "#/" + space.name : space.parent + "/" + space.name).empty())
            tree->AddSpace(space.parent, space.name, space.childFromParent);
    image->setSelectedSpaceName(block.selectedSpace);
    block.image = std::move(image);
    for (auto& entry : block.tools)
        entry.tool->Inputs()["InputImage"]->SetValue(entry.tool, rttr::variant(std::shared_ptr<IImage>(block.image)));
}

Block BuildBlock(const Json& document, const std::filesystem::path& file, const std::filesystem::path& imageOverride,
                 const ToolList* loadedTools)
{
    const std::string fileName = file.string();
    const Where root{fileName, ""};
    if (!document.is_object())
        root.Fail(fmt::format("expected a JSON object, got {}", KindOf(document)));
    Block block;
    block.file = file;
    block.source = document;

    // The image: a PNG (relative to the block file) or a blank one of a given size.
    std::shared_ptr<Image8Grey> image;
    if (!imageOverride.empty())
        image = ReadPng(imageOverride);
    else {
        const auto at = root / "image";
        const auto& spec = Member(document, "image", root);
        if (spec.contains("png")) {
            try {
                image = ReadPng(file.parent_path() / Text(spec["png"], at / "png"));
            } catch (const InputError& e) {
                (at / "png").Fail(e.what());
            }
        }
        else if (spec.is_object() && spec.contains("width")) {
            const auto w = Member(spec, "width", at), h = Member(spec, "height", at);
            if (!w.is_number_integer() || w.get<std::int64_t>() < 1 || w.get<std::int64_t>() > 65535)
                (at / "width").Fail("expected a width from 1 to 65535");
            if (!h.is_number_integer() || h.get<std::int64_t>() < 1 || h.get<std::int64_t>() > 65535)
                (at / "height").Fail("expected a height from 1 to 65535");
            image = Create<Image8Grey>(w.get<std::int32_t>(), h.get<std::int32_t>());
            image->Fill(spec.contains("grey") ? static_cast<std::uint8_t>(Number(spec["grey"], at / "grey")) : 0);
        } else
            at.Fail("expected {\"png\": PATH} or {\"width\": W, \"height\": H}");
    }

    // Spaces, each under a parent that exists by then.
    auto tree = image->CoordinateSpaceTree();
    if (document.contains("spaces")) {
        const auto at = root / "spaces";
        const auto& spaces = document["spaces"];
        if (!spaces.is_array())
            at.Fail(fmt::format("expected an array of spaces, got {}", KindOf(spaces)));
        for (std::size_t i = 0; i < spaces.size(); ++i) {
            const auto here = at / i;
            BlockSpace space{spaces[i].contains("parent") ? Text(spaces[i]["parent"], here / "parent") : "#",
                             Text(Member(spaces[i], "name", here), here / "name"),
                             SpaceTransform(spaces[i], here)};
            if (tree->LookUpName(space.parent).empty())
                (here / "parent").Fail(fmt::format("no space \"{}\" is defined before this one", space.parent));
            try {
                tree->AddSpace(space.parent, space.name, space.childFromParent);
            } catch (const std::exception& e) {
                here.Fail(e.what());
            }
            block.spaces.push_back(std::move(space));
        }
    }
    block.selectedSpace = "#";
    if (document.contains("selectedSpace")) {
        const auto at = root / "selectedSpace";
        block.selectedSpace = Text(document["selectedSpace"], at);
        if (tree->LookUpName(block.selectedSpace).empty())
            at.Fail(fmt::format("no space \"{}\" in the image", block.selectedSpace));
    }

    // Tools: created by class name, named, given their properties in file order.
    const auto& tools = Member(document, "tools", root);
    if (!tools.is_array())
        (root / "tools").Fail(fmt::format("expected an array of tools, got {}", KindOf(tools)));
    for (std::size_t i = 0; i < tools.size(); ++i) {
        const auto at = root / "tools" / i;
        if (!tools[i].is_object())
            at.Fail("expected a tool {\"name\": ..., \"class\": ..., \"properties\": {...}}");
        BlockTool entry;
        entry.name = Text(Member(tools[i], "name", at), at / "name");
        if (entry.name.empty() || entry.name.find('.') != std::string::npos)
            (at / "name").Fail("expected a tool name without \".\", not empty");
        for (const auto& other : block.tools)
            if (other.name == entry.name)
                (at / "name").Fail(fmt::format("a tool named \"{}\" is already in the block", entry.name));
        const auto className = Text(Member(tools[i], "class", at), at / "class");
        if (!loadedTools)
            entry.tool = CreateTool(className, at / "class");
        else if (i < loadedTools->size() && (*loadedTools)[i] && ShortClassName(*(*loadedTools)[i]) == className)
            entry.tool = (*loadedTools)[i];
        else
            (at / "class").Fail(fmt::format("expected the archive's tool {} to be a {}", i, className));
        entry.className = ShortClassName(*entry.tool);
        entry.tool->setName(entry.name);
        block.tools.push_back(std::move(entry));
    }
    SetBlockImage(block, image);
    if (loadedTools && loadedTools->size() != tools.size())
        (root / "tools").Fail(fmt::format("the archive holds {} tools", loadedTools->size()));
    for (std::size_t i = 0; i < tools.size() && !loadedTools; ++i) {
        if (!tools[i].contains("properties"))
            continue;
        const auto at = root / "tools" / i / "properties";
        const auto& properties = tools[i]["properties"];
        if (!properties.is_object())
            at.Fail(fmt::format("expected an object of pin paths and values, got {}", KindOf(properties)));
        for (const auto& [path, value] : properties.items())
            SetProperty(block.tools[i].tool, *block.image, path, value, at / path);
    }

    if (document.contains("links"))
        ReadLinks(block, document["links"], root / "links");
    block.order = RunOrder(block, root);
    return block;
}

Block LoadBlock(const std::filesystem::path& file, const std::filesystem::path& imageOverride)
{
    return BuildBlock(ReadDocument(file), file, imageOverride);
}

} // namespace Ogeo
