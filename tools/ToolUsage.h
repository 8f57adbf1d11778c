#pragma once
// The command line of the tools: --help or -h prints the usage on standard
// output and ends with status 0; wrong arguments print what is wrong and the
// usage on standard error and end with status 2 (a failure of the work
// itself ends with 1).

#include <cstdio>
#include <cstring>

namespace tools {

// Whether an argument asks for the usage.
inline bool asksForHelp(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return true;
    return false;
}

inline int showUsage(const char *usage)
{
    std::fputs(usage, stdout);
    return 0;
}

inline int wrongArguments(const char *tool, const char *problem, const char *usage)
{
    std::fprintf(stderr, "%s: %s\n%s", tool, problem, usage);
    return 2;
}

} // namespace tools
