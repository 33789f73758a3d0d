#include "BlockArchive.h"

#include <cstring>
#include <fstream>
#include <sstream>

#include <fmt/format.h>
#include <rttr/type>

#include <Ostrel/Vision/Meta/NullPointer.h>
#include <Ostrel/Vision/Vision.h>

#include "Report.h"

namespace Ogeo {

using namespace Ostrel::Vision;
namespace Quill = Ostrel::Quill;
using Json = nlohmann::ordered_json;

namespace {

constexpr std::string_view Magic = "OGEOBLK1";

template <class T>
void Append(std::string& bytes, T value)
{
    for (std::size_t i = 0; i < sizeof(T); ++i)
        bytes += static_cast<char>(static_cast<std::uint64_t>(value) >> (8 * i) & 0xFF);
}

// Reads what Append wrote, refusing lengths beyond the end.
class Reader {
public:
    Reader(const std::string& bytes, const std::filesystem::path& file) : bytes_(bytes), file_(file) {}

    template <class T>
    T Number(const char* what)
    {
        Need(sizeof(T), what);
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes_[at_ + i])) << (8 * i);
        at_ += sizeof(T);
        return static_cast<T>(value);
    }
    std::string Bytes(std::uint64_t length, const char* what)
    {
        Need(length, what);
        auto part = bytes_.substr(at_, length);
        at_ += length;
        return part;
    }
    bool AtEnd() const { return at_ == bytes_.size(); }

private:
    void Need(std::uint64_t length, const char* what) const
    {
        if (length > bytes_.size() - at_)
            throw InputError(file_.string(), fmt::format("byte {}", at_), fmt::format("the archive ends inside {}", what));
    }

    const std::string& bytes_;
    const std::filesystem::path& file_;
    std::size_t at_ = 0;
};

std::string ReadAll(const std::filesystem::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    if (!stream)
        throw InputError(file.string(), "", "cannot be read");
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

std::shared_ptr<Quill::IObject> LoadObject(const std::string& bytes, const std::filesystem::path& file,
                                           const std::string& where)
{
    std::istringstream stream(bytes);
    try {
        return Serialization::Load(stream);
    } catch (const std::exception& e) {
        throw InputError(file.string(), where, e.what());
    }
}

// The class version cereal wrote for the archive's outer object: after its registered
// name come the pointer id and the version, 32 bits each.
std::string OuterVersion(const std::string& bytes, const std::string& className)
{
    const auto at = bytes.find(className);
    if (at == std::string::npos || at + className.size() + 8 > bytes.size())
        return "?";
    std::uint32_t version;
    std::memcpy(&version, bytes.data() + at + className.size() + 4, 4);
    return std::to_string(version);
}

void Describe(std::string& out, const rttr::instance& object, int depth)
{
    const auto type = object.get_derived_type();
    for (const auto& property : type.get_properties()) {
        const std::string indent(2 * depth, ' ');
        rttr::variant value;
        try {
            value = property.get_value(object);
        } catch (const std::exception& e) {
            out += fmt::format("{}{} = ({})\n", indent, property.get_name().to_string(), e.what());
            continue;
        }
        const auto type = value.get_type();
        if (type.is_wrapper() && !type.get_wrapped_type().get_raw_type().is_derived_from(rttr::type::get<IImage>()) &&
            depth < 4) {
            if (Meta::IsNullPointer(value)) {
                out += fmt::format("{}{} = null\n", indent, property.get_name().to_string());
                continue;
            }
            rttr::variant pointer = value.extract_wrapped_value();
            rttr::instance inner(pointer);
            if (!pointer.is_valid() || !inner.is_valid()) {
                out += fmt::format("{}{} = null\n", indent, property.get_name().to_string());
                continue;
            }
            out += fmt::format("{}{}: {}\n", indent, property.get_name().to_string(),
                               inner.get_derived_type().get_raw_type().get_name().to_string());
            Describe(out, inner, depth + 1);
        } else
            out += fmt::format("{}{} = {}\n", indent, property.get_name().to_string(),
                               DescribeValue("", value).text);
    }
}

std::string Inspected(const std::shared_ptr<Quill::IObject>& object, const std::string& bytes)
{
    const auto name = rttr::type::get(*object).get_name().to_string();
    std::string out = fmt::format("{} (class version {})\n", name, OuterVersion(bytes, name));
    Describe(out, rttr::instance(*object), 1);
    return out;
}

std::string ArchiveBytes(const Json& header, const std::vector<std::shared_ptr<Implementation::ToolBase>>& tools,
                         std::uint32_t options)
{
    std::string bytes(Magic);
    const auto text = header.dump();
    Append<std::uint32_t>(bytes, static_cast<std::uint32_t>(text.size()));
    bytes += text;
    for (const auto& tool : tools) {
        std::ostringstream stream;
        Serialization::Save(stream, tool, options);
        const auto saved = stream.str();
        Append<std::uint64_t>(bytes, saved.size());
        bytes += saved;
    }
    return bytes;
}

} // namespace

bool IsBlockArchive(const std::filesystem::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    std::string start(Magic.size(), '\0');
    return stream.read(start.data(), static_cast<std::streamsize>(start.size())) && start == Magic;
}

std::string SaveBlockArchive(const Block& block, std::uint32_t options)
{
    Json header = block.source;
    if (header["image"].contains("png")) {
        const std::filesystem::path png = header["image"]["png"].get<std::string>();
        header["image"]["png"] = std::filesystem::absolute(block.file.parent_path() / png).lexically_normal().string();
    }
    std::vector<std::shared_ptr<Implementation::ToolBase>> tools;
    for (auto& tool : header["tools"])
        tool.erase("properties");
    for (const auto& entry : block.tools)
        tools.push_back(entry.tool);
    return ArchiveBytes(header, tools, options);
}

Block LoadBlockArchive(const std::string& bytes, const std::filesystem::path& file,
                       const std::filesystem::path& imageOverride)
{
    Reader reader(bytes, file);
    if (reader.Bytes(Magic.size(), "the format mark") != Magic)
        throw InputError(file.string(), "", "not a block archive of ogeo");
    const auto length = reader.Number<std::uint32_t>("the block description's length");
    Json header;
    try {
        header = Json::parse(reader.Bytes(length, "the block description"));
    } catch (const Json::parse_error& e) {
        throw InputError(file.string(), "block description", e.what());
    }
    if (!header.is_object() || !header.contains("tools") || !header["tools"].is_array())
        throw InputError(file.string(), "block description", "expected a block without properties");
    ToolList tools;
    for (std::size_t i = 0; i < header["tools"].size(); ++i) {
        const auto where = fmt::format("tool {}", i);
        const auto size = reader.Number<std::uint64_t>("a tool's length");
        auto object = LoadObject(reader.Bytes(size, "a tool"), file, where);
        auto tool = std::dynamic_pointer_cast<Implementation::ToolBase>(object);
        if (!tool)
            throw InputError(file.string(), where, "expected a tool, found " + rttr::type::get(*object).get_name().to_string());
        tools.push_back(std::move(tool));
    }
    if (!reader.AtEnd())
        throw InputError(file.string(), "", "bytes follow the last tool");
    return BuildBlock(header, file, imageOverride, &tools);
}

Block LoadBlockFile(const std::filesystem::path& file, const std::filesystem::path& imageOverride)
{
    if (IsBlockArchive(file))
        return LoadBlockArchive(ReadAll(file), file, imageOverride);
    return LoadBlock(file, imageOverride);
}

std::string InspectArchive(const std::filesystem::path& file)
{
    const auto bytes = ReadAll(file);
    if (!bytes.starts_with(Magic))
        return Inspected(LoadObject(bytes, file, ""), bytes);
    Reader reader(bytes, file);
    reader.Bytes(Magic.size(), "the format mark");
    Json header;
    try {
        header = Json::parse(reader.Bytes(reader.Number<std::uint32_t>("the block description's length"),
                                          "the block description"));
    } catch (const Json::parse_error& e) {
        throw InputError(file.string(), "block description", e.what());
    }
    auto described = header;
    described.erase("tools");
    std::string out = "block " + described.dump() + "\n";
    for (std::size_t i = 0; i < header["tools"].size(); ++i) {
        const auto saved = reader.Bytes(reader.Number<std::uint64_t>("a tool's length"), "a tool");
        out += fmt::format("tool \"{}\": ", header["tools"][i].value("name", ""));
        out += Inspected(LoadObject(saved, file, fmt::format("tool {}", i)), saved);
    }
    return out;
}

std::string ConvertLegacyTable(const std::filesystem::path& table, std::uint32_t options, std::string& log)
{
    std::ifstream stream(table, std::ios::binary);
    if (!stream)
        throw InputError(table.string(), "", "cannot be read");
    std::unique_ptr<Implementation::Internal::ConversionContext> context;
    std::vector<std::shared_ptr<Implementation::ToolBase>> tools;
    Json header;
    header["image"] = {{"width", 640}, {"height", 480}};
    header["tools"] = Json::array();
    try {
        context = Implementation::Internal::ConversionContext::FromJson(stream);
        for (const auto& [handle, legacyType, object] : Serialization::ConvertLegacyTable(*context)) {
            auto tool = std::dynamic_pointer_cast<Implementation::ToolBase>(object);
            if (!tool)
                continue;
            if (tools.empty())
                if (auto image = Ostrel::Quill::Create<ToolPin>("InputImage")->GetValue(tool).get_value<std::shared_ptr<IImage>>())
                    header["image"] = {{"width", image->Width()}, {"height", image->Height()}};
            auto name = tool->Name().empty() ? fmt::format("Tool{}", handle) : tool->Name();
            for (const auto& other : header["tools"])
                if (other["name"] == name)
                    name += fmt::format("_{}", handle);
            std::replace(name.begin(), name.end(), '.', '_');
            header["tools"].push_back({{"name", name}, {"class", ShortClassName(*tool)}});
            tools.push_back(tool);
        }
    } catch (const InputError&) {
        throw;
    } catch (const std::exception& e) {
        throw InputError(table.string(), "", e.what());
    }
    for (const auto& entry : context->LogEntries())
        log += entry.Text + "\n";
    if (tools.empty())
        throw InputError(table.string(), "", "the table holds no tool");
    return ArchiveBytes(header, tools, options);
}

} // namespace Ogeo
