#pragma once
// The command line of Zorbanu's programs, which take no arguments of their
// own but --help and --version. Qt's own options (-platform, -style,
// -display and the rest) are left for QApplication, as in any Qt program.

#include <QString>
#include <functional>
#include <optional>

struct ProgramInfo {
    const char* name;                // as it is typed: "zorbanu"
    std::function<QString()> usage;  // the whole --help text, ending in a newline
};

// Answers the command line before any window opens, in the desktop's
// language: --help prints the usage and --version the version, each to
// standard output, with status 0; anything else prints one line naming it
// and then the usage to standard error, with status 2. Nothing when the
// line holds nothing but Qt's options.
std::optional<int> AnswerCommandLine(int argc, char* argv[], const ProgramInfo& program);
