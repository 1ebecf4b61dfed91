#pragma once
// The command line of Zorbanu's programs, which take no arguments but
// --help and --version. Plain C++: it prints, and opens nothing.

#include <optional>
#include <string>

struct ProgramInfo {
    const char* name;   // as it is typed: "zorbanu"
    std::string usage;  // the whole --help text, ending in a newline
};

// Answers the command line before any window opens: --help prints the usage
// and --version the version, each to standard output, with status 0;
// anything else prints one line naming it and then the usage to standard
// error, with status 2. Nothing when the line is empty.
std::optional<int> AnswerCommandLine(int argc, char* argv[], const ProgramInfo& program);
