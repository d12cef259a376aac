#pragma once
// Asking the user for a line on the controlling terminal.

#include <optional>
#include <string>

namespace veltrim::cli {

// Shows prompt and reads one line from the terminal (standard input when the
// program has no terminal). hideInput turns echo off while the line is typed.
// nullopt when the input ended or the user interrupted.
std::optional<std::string> ReadLineFromUser(const std::string& prompt, bool hideInput);

}  // namespace veltrim::cli
