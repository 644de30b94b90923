// vaultlinectl: the program's work without a window, on the settings the desktop program uses.

#include "CliCommands.h"

#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    return runCliCommand(std::vector<std::string>(argv + 1, argv + argc));
}
