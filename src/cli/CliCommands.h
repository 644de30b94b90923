#pragma once

#include <string>
#include <vector>

std::string cliUsage();
// Runs vaultlinectl on its arguments (the words after the program's name); the process's exit
// status. Without arguments the usage goes to standard error (status 2), with --help or -h
// first to standard output.
int runCliCommand(std::vector<std::string> args);
