#pragma once

#include <string>
#include <vector>

std::string cliUsage();
// Runs one subcommand; the process's exit status.
int runCliCommand(std::vector<std::string> args);
