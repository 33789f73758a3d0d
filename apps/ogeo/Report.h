#pragma once
// One run of a block: every enabled tool once, in run order, each linked input read from
// its source just before the tool runs; then what each tool reported, as a table or JSON.

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "Block.h"

namespace Ogeo {

struct OutputValue {
    std::string path;
    std::string text;           // as the table shows it
    nlohmann::ordered_json json;  // as the JSON report holds it
};

struct ToolOutcome {
    std::string name, className;
    Ostrel::Vision::ToolResultConstants result = Ostrel::Vision::ToolResultConstants::Accept;
    bool disabled = false;  // skipped: neither accepted nor failed
    std::string message;
    double seconds = 0;
    std::vector<OutputValue> outputs;  // empty unless the run was accepted
};

// Runs the block's tools in order, skipping disabled ones. A tool whose linked source did
// not accept (or was disabled) is not run: it reports Error with a message naming the
// source.
std::vector<ToolOutcome> RunBlock(Block& block);
bool AllAccepted(const std::vector<ToolOutcome>& outcomes);

// A value of a pin as text (numbers with six decimals) and as JSON (shapes in the compact
// form of block files).
OutputValue DescribeValue(const std::string& path, const rttr::variant& value);

// The table: one line per output, tool name, class and result on the first line of each
// tool; a failed tool's message in place of its outputs.
std::string FormatTable(const std::vector<ToolOutcome>& outcomes);
nlohmann::ordered_json ToJson(const Block& block, const std::vector<ToolOutcome>& outcomes);

// Writes `bytes` to a new file beside `file`, then renames it over `file`, so that a
// failure leaves no half-written file. Throws InputError naming the file.
void WriteFileAtomically(const std::filesystem::path& file, const std::string& bytes);

} // namespace Ogeo
