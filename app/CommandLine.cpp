#include "CommandLine.h"

#include <cstdio>
#include <string_view>

std::optional<int> AnswerCommandLine(int argc, char* argv[], const ProgramInfo& program)
{
    if (argc < 2)
        return std::nullopt;
    const std::string_view option = argv[1];
    if (argc == 2 && option == "--help") {
        std::fputs(program.usage.c_str(), stdout);
        return 0;
    }
    if (argc == 2 && option == "--version") {
        std::printf("%s %s\n", program.name, ZORBANU_VERSION);
        return 0;
    }
    const char* unknown = option == "--help" || option == "--version" ? argv[2] : argv[1];
    std::fprintf(stderr, "%s: unknown argument '%s'\n%s", program.name, unknown, program.usage.c_str());
    return 2;
}
