#pragma once

#include <string>

// Runs a command line (split at blanks; the first word is looked up on PATH), logs what the
// process was given, and waits for it: without limit for waitMode -1, else up to 10 s.
void runCommandLine(int showWindow, const std::string& commandLine, int waitMode);

// True when an executable of that name is on PATH.
bool commandOnPath(const std::string& name);

// The Nimbus catalogue steps. When the Nimbus tool is not installed the whole sequence is one
// debug line and nothing else.
void uncatalogNimbus(const std::string& ipAddress, const std::string& ipPort, const std::string& nodeName,
                     const std::string& databaseName);
void catalogNode(const std::string& ipAddress, const std::string& ipPort, const std::string& nodeName);
void catalogDatabase(const std::string& nodeName, const std::string& databaseName);

// Uncatalogue, catalogue the node, catalogue the database.
void runNimbusCatalogSequence(const std::string& databaseName, const std::string& nodeName,
                              const std::string& ipAddress, const std::string& ipPort);

inline constexpr int HiddenWindow = 0;
