#pragma once
// The subcommands of ogeo and their options.

#include <filesystem>
#include <string>

#include <CLI/CLI.hpp>

namespace Ogeo {

void AddCommands(CLI::App& app);
// Runs the subcommand the command line chose; returns the exit status.
int RunSelectedCommand(const CLI::App& app);

// `ogeo demo`: draws the synthetic part, runs the built-in block on it and writes its files
// into `outDir`, and `extraImages` more parts with other noise into `outDir`/parts.
// Returns the exit status.
int RunDemo(const std::filesystem::path& outDir, int extraImages);

} // namespace Ogeo
