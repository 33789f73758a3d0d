#include "Report.h"

#include <algorithm>
#include <fstream>

#include <fmt/format.h>
#include <rttr/type>

#include <Ostrel/Vision/Meta/NullPointer.h>
#include <Ostrel/Vision/Vision.h>

namespace Ogeo {

using namespace Ostrel::Vision;
using Json = nlohmann::ordered_json;

namespace {

std::string ResultName(const ToolOutcome& outcome)
{
    if (outcome.disabled)
        return "Disabled";
    const auto result = outcome.result;
    const auto name = rttr::type::get<ToolResultConstants>().get_enumeration().value_to_name(result);
    return name.empty() ? std::to_string(static_cast<int>(result)) : name.to_string();
}

std::string Fixed(double value)
{
    return fmt::format("{:.6f}", value);
}

// A shape in the compact form block files use, with its space.
Json ShapeJson(const GraphicBase& graphic)
{
    Json json;
    if (auto* p = dynamic_cast<const PointMarker*>(&graphic))
        json["point"] = {p->X(), p->Y()};
    else if (auto* s = dynamic_cast<const LineSegment*>(&graphic))
        json["segment"] = {s->StartX(), s->StartY(), s->EndX(), s->EndY()};
    else if (auto* l = dynamic_cast<const Line*>(&graphic))
        json["line"] = {l->X(), l->Y(), l->Rotation()};
    else if (auto* c = dynamic_cast<const Circle*>(&graphic))
        json["circle"] = {c->CenterX(), c->CenterY(), c->Radius()};
    else if (auto* e = dynamic_cast<const Ellipse*>(&graphic))
        json["ellipse"] = {e->CenterX(), e->CenterY(), e->RadiusX(), e->RadiusY(), e->Rotation()};
    else if (auto* g = dynamic_cast<const GraphicLabel*>(&graphic)) {
        json["label"] = {g->X(), g->Y()};
        json["text"] = g->Text();
    } else if (auto* polygon = dynamic_cast<const Polygon*>(&graphic)) {
        json["polygon"] = Json::array();
        for (std::int32_t i = 0; i < polygon->NumVertices(); ++i)
            json["polygon"].push_back({polygon->VertexX(i), polygon->VertexY(i)});
    } else
        json["shape"] = rttr::type::get(graphic).get_name().to_string();
    json["space"] = graphic.SelectedSpaceName();
    return json;
}

std::string ShapeText(const Json& json)
{
    std::string text;
    for (const auto& [key, value] : json.items()) {
        if (key == "space")
            continue;
        if (value.is_array()) {
            std::string numbers;
            for (const auto& v : value)
                numbers += (numbers.empty() ? "" : ", ") + (v.is_number() ? Fixed(v.get<double>()) : v.dump());
            text += (text.empty() ? "" : " ") + key + " (" + numbers + ")";
        } else
            text += (text.empty() ? "" : " ") + key + " " + value.dump();
    }
    return text + " in " + json["space"].get<std::string>();
}

} // namespace

OutputValue DescribeValue(const std::string& path, const rttr::variant& value)
{
    OutputValue out{path, "", nullptr};
    const auto type = value.get_type();
    if (!value.is_valid())
        out.text = "null";
    else if (type == rttr::type::get<bool>()) {
        out.json = value.get_value<bool>();
        out.text = out.json.dump();
    } else if (type.is_enumeration()) {
        // A member's name, or the names of the bits that make up a mask.
        const auto enumeration = type.get_enumeration();
        std::string names = enumeration.value_to_name(value).to_string();
        const auto bits = value.to_uint64();
        std::uint64_t covered = 0;
        for (const auto& name : enumeration.get_names())
            if (const auto bit = enumeration.name_to_value(name).to_uint64(); names.empty() && bit && (bits & bit) == bit) {
                covered |= bit;
                out.text += (out.text.empty() ? "" : "|") + name.to_string();
            }
        if (!names.empty())
            out.text = names;
        else if (covered != bits || bits == 0)
            out.text = fmt::format("0x{:X}", bits);
        out.json = out.text;
    } else if (type == rttr::type::get<double>() || type == rttr::type::get<float>()) {
        out.json = value.to_double();
        out.text = Fixed(value.to_double());
    } else if (type.is_arithmetic()) {
        out.json = value.to_int64();
        out.text = std::to_string(value.to_int64());
    } else if (type == rttr::type::get<std::string>()) {
        out.json = value.get_value<std::string>();
        out.text = "\"" + value.get_value<std::string>() + "\"";
    } else if (type == rttr::type::get<Color32>()) {
        out.text = fmt::format("0x{:08X}", value.get_value<Color32>().ToUInt32());
        out.json = out.text;
    } else if (auto* graphic = type.is_wrapper() && !Meta::IsNullPointer(value)
                                   ? rttr::instance(value).try_convert<GraphicBase>()
                                   : nullptr) {
        out.json = ShapeJson(*graphic);
        out.text = ShapeText(out.json);
    } else {
        out.text = "(" + type.get_name().to_string() + ")";
        out.json = out.text;
    }
    return out;
}

std::vector<ToolOutcome> RunBlock(Block& block)
{
    std::vector<ToolOutcome> outcomes(block.tools.size());
    std::vector<bool> accepted(block.tools.size(), false);
    for (int index : block.order) {
        auto& entry = block.tools[index];
        auto& outcome = outcomes[index];
        outcome.name = entry.name;
        outcome.className = entry.className;
        outcome.result = ToolResultConstants::Error;
        if (!entry.tool->Enabled()) {
            outcome.disabled = true;
            outcome.message = "not run: disabled";
            continue;
        }
        try {
            for (const auto& link : block.links) {
                if (link.to != index)
                    continue;
                if (!accepted[link.from])
                    throw std::runtime_error(
                        fmt::format("not run: its input {} comes from {}, which has no result", link.toPath,
                                    block.tools[link.from].name));
                link.toPin->SetValue(entry.tool, link.fromPin->GetValue(block.tools[link.from].tool));
            }
        } catch (const std::exception& e) {
            outcome.message = e.what();
            continue;
        }
        entry.tool->Run();
        const auto status = entry.tool->RunStatus();
        outcome.result = status.Result();
        outcome.message = status.Message();
        outcome.seconds = status.ProcessingTime();
        accepted[index] = status.Result() == ToolResultConstants::Accept;
        if (!accepted[index])
            continue;
        for (const auto& pin : entry.tool->Outputs()) {
            try {
                outcome.outputs.push_back(DescribeValue(pin->Path(), pin->GetValue(entry.tool)));
            } catch (const std::exception& e) {
                outcome.outputs.push_back({pin->Path(), fmt::format("({})", e.what()), nullptr});
            }
        }
    }
    // Report in run order.
    std::vector<ToolOutcome> ordered;
    for (int index : block.order)
        ordered.push_back(std::move(outcomes[index]));
    return ordered;
}

bool AllAccepted(const std::vector<ToolOutcome>& outcomes)
{
    return std::all_of(outcomes.begin(), outcomes.end(),
                       [](const auto& o) { return o.disabled || o.result == ToolResultConstants::Accept; });
}

std::string FormatTable(const std::vector<ToolOutcome>& outcomes)
{
    std::size_t nameWidth = 4, classWidth = 5, pathWidth = 6;
    for (const auto& o : outcomes) {
        nameWidth = std::max(nameWidth, o.name.size());
        classWidth = std::max(classWidth, o.className.size());
        for (const auto& v : o.outputs)
            pathWidth = std::max(pathWidth, v.path.size());
    }
    std::string table = fmt::format("{:<{}}  {:<{}}  {:<7}  {:<{}}  {}\n", "TOOL", nameWidth, "CLASS", classWidth,
                                    "RESULT", "OUTPUT", pathWidth, "VALUE");
    for (const auto& o : outcomes) {
        const auto head = fmt::format("{:<{}}  {:<{}}  {:<7}  ", o.name, nameWidth, o.className, classWidth,
                                      ResultName(o));
        if (o.outputs.empty()) {
            table += head + o.message + "\n";
            continue;
        }
        for (std::size_t i = 0; i < o.outputs.size(); ++i)
            table += fmt::format("{}{:<{}}  {}\n", i ? std::string(head.size(), ' ') : head, o.outputs[i].path,
                                 pathWidth, o.outputs[i].text);
    }
    return table;
}

Json ToJson(const Block& block, const std::vector<ToolOutcome>& outcomes)
{
    Json json;
    json["block"] = block.file.string();
    json["image"] = {{"width", block.image->Width()}, {"height", block.image->Height()}};
    json["allAccepted"] = AllAccepted(outcomes);
    json["tools"] = Json::array();
    for (const auto& o : outcomes) {
        Json tool;
        tool["name"] = o.name;
        tool["class"] = o.className;
        tool["result"] = ResultName(o);
        tool["message"] = o.message;
        tool["seconds"] = o.seconds;
        tool["outputs"] = Json::object();
        for (const auto& v : o.outputs)
            tool["outputs"][v.path] = v.json;
        json["tools"].push_back(std::move(tool));
    }
    return json;
}

void WriteFileAtomically(const std::filesystem::path& file, const std::string& bytes)
{
    auto temporary = file;
    temporary += ".part";
    {
        std::ofstream stream(temporary, std::ios::binary | std::ios::trunc);
        if (!stream || !stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !stream.flush()) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw InputError(file.string(), "", "cannot be written");
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, file, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        throw InputError(file.string(), "", "cannot be written");
    }
}

} // namespace Ogeo
