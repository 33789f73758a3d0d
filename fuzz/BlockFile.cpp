// Fuzz target: the block file of the command-line host (docs/ogeo.md), parsed and built as
// `ogeo run` builds it, then run, reported as a table and as JSON, and every tool used as a
// host would use it (Exercise.h). Nothing is read or written but the input: an image given
// as a PNG file becomes a blank image, and a blank image larger than 1024 × 1024 pixels is
// not built (its size alone would exceed the fuzzer's memory limit). Bad input must end in
// the host's InputError; anything else is a finding.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include <Geometry/LibraryInfo.h>
#include <Ostrel/Vision/Exceptions.h>

#include "Block.h"
#include "Exercise.h"
#include "Report.h"

namespace {

using Json = nlohmann::ordered_json;

constexpr std::int64_t MaxPixels = 1 << 20;

// False when the image the document asks for would take more than MaxPixels.
bool KeepImageSmall(Json& document)
{
    if (!document.is_object() || !document.contains("image") || !document["image"].is_object())
        return true;
    auto& image = document["image"];
    if (image.contains("png"))
        image = Json{{"width", 64}, {"height", 48}};
    if (!image.contains("width") || !image.contains("height"))
        return true;
    const auto& width = image["width"];
    const auto& height = image["height"];
    // The product of two numbers up to 2^31 each; larger ones the block refuses itself.
    const auto pixels = [](const Json& n) { return std::clamp<std::int64_t>(n.get<std::int64_t>(), 0, 1ll << 31); };
    return !width.is_number_integer() || !height.is_number_integer() || pixels(width) * pixels(height) <= MaxPixels;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A call into the geometry library, so that the linker keeps it and its tools are
    // registered before the first block is read.
    return Ostrel::Vision::Geometry::LibraryVersion().empty() ? 1 : 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Json document;
    try {
        document = Json::parse(reinterpret_cast<const char*>(data), reinterpret_cast<const char*>(data) + size);
    } catch (const Json::exception&) {
        return 0;
    }
    if (!KeepImageSmall(document))
        return 0;
    try {
        Ogeo::Block block = Ogeo::BuildBlock(document, "fuzz/block.json");
        const auto outcomes = Ogeo::RunBlock(block);
        Ogeo::FormatTable(outcomes);
        Ogeo::ToJson(block, outcomes).dump();
        for (const auto& entry : block.tools)
            FuzzSupport::Exercise(entry.tool);
    } catch (const Ogeo::InputError&) {
    } catch (const std::exception& e) {
        FuzzSupport::Finding("block: an exception other than InputError", e.what());
    }
    return 0;
}
