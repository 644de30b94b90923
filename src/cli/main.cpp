// vaultlinectl: the program's work without a window, on the settings the desktop program uses.

#include "CliCommands.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::fputs(cliUsage().c_str(), args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    return runCliCommand(args);
}
