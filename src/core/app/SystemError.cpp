#include "SystemError.h"

#include <cstring>

std::string FormatSystemError(int code)
{
    char buffer[256] = {};
    // The GNU strerror_r returns a pointer that may or may not be into buffer.
    const char* text = strerror_r(code, buffer, sizeof buffer);
    if (text == nullptr || *text == '\0' || std::strncmp(text, "Unknown error", 13) == 0)
        return "Unknown Error: " + std::to_string(code) + "\n";
    return std::string(text) + "\n";
}
