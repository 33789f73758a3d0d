#pragma once
// A block in one binary file: the tools in the library's portable binary archive, each as
// the library saves it (with the options mask), and beside them what the archive of a tool
// does not hold: the block's image, spaces, tool names and links, as JSON.
//
// Layout: "OGEOBLK1"; a 32-bit little-endian length and that many bytes of JSON (the
// block file without the tools' properties, the image path made absolute); then per tool
// a 64-bit little-endian length and that many bytes of Serialization::Save output.

#include <cstdint>
#include <filesystem>
#include <string>

#include "Block.h"

namespace Ogeo {

bool IsBlockArchive(const std::filesystem::path& file);
std::string SaveBlockArchive(const Block& block, std::uint32_t options);
// Throws InputError with the library's message for a bad archive.
Block LoadBlockArchive(const std::string& bytes, const std::filesystem::path& file,
                       const std::filesystem::path& imageOverride = {});
Block LoadBlockFile(const std::filesystem::path& file, const std::filesystem::path& imageOverride = {});

// The archive as a tree of class names, class versions and property values: a block
// archive tool by tool, or any single object the library saved.
std::string InspectArchive(const std::filesystem::path& file);

// A legacy table in its text form (docs/legacy-table.md) converted into a block archive
// of its tools, over a blank image the size of the first tool's input image (640 x 480
// when none has one). Conversion log lines go to `log`.
std::string ConvertLegacyTable(const std::filesystem::path& table, std::uint32_t options, std::string& log);

} // namespace Ogeo
