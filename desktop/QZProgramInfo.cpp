#include "QZProgramInfo.h"

#include <cstdio>
#include <cstring>

// CORVELLA_VERSION is the package's version, given by the build.

const char *CorvellaVersion() { return CORVELLA_VERSION; }

namespace {

void PrintHelp(const TProgramInfo &program)
{
    const char *prefix = "Usage: ";
    for (const char *line = program.Usage; line;) {
        const char *end = std::strchr(line, '\n');
        const int length = end ? int(end - line) : int(std::strlen(line));
        std::printf("%s%s %.*s\n", prefix, program.Name, length, line);
        prefix = "  or:  ";
        line = end ? end + 1 : nullptr;
    }
    std::printf("%s\n", program.Description);
    std::printf("      --help     display this help and exit\n"
                "      --version  output version information and exit\n");
}

void PrintVersion(const TProgramInfo &program)
{
    std::printf("%s (Corvella) %s\n", program.Name, CorvellaVersion());
}

} // namespace

bool AnswerInfoOption(int argc, char *argv[], const TProgramInfo &program)
{
    if (argc != 2)
        return false;
    if (std::strcmp(argv[1], "--help") == 0)
        PrintHelp(program);
    else if (std::strcmp(argv[1], "--version") == 0)
        PrintVersion(program);
    else
        return false;
    std::fflush(stdout);
    return true;
}
