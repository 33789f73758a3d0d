#pragma once
// The subcommands of ogeo and their options.

#include <filesystem>

namespace Ogeo {

// The whole command line: parses it, runs the subcommand it chose and returns the exit
// status (0 every tool accepted, 1 a tool run failed, 2 bad input).
int Main(int argc, char** argv);

// `ogeo demo`: draws the synthetic part, runs the built-in block on it and writes its files
// into `outDir`, and `extraImages` more parts with other noise into `outDir`/parts.
// Returns the exit status.
int RunDemo(const std::filesystem::path& outDir, int extraImages);

} // namespace Ogeo
