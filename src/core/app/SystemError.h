#pragma once

#include <string>

// The system's description of an error number followed by "\n", or "Unknown Error: %d\n"
// when the system has no text for it.
std::string FormatSystemError(int code);
