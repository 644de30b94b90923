#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace libsim {

// A number right-aligned to the width with "_" in front, as the library pads its fields.
// A number wider than the field is written whole.
inline std::string padNumber(std::int64_t value, std::size_t width)
{
    std::string digits = std::to_string(value);
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), '_');
    }
    return digits;
}

// A name left-aligned to the width with "_" after it.
inline std::string padName(std::string_view name, std::size_t width)
{
    std::string text(name);
    if (text.size() < width) {
        text.append(width - text.size(), '_');
    }
    return text;
}

// Appends empty fields until the line has the wanted number of comma-separated fields, the
// way a spreadsheet saves a short row of a wide table.
inline std::string withFieldCount(std::string line, int fields)
{
    int present = 1;
    for (const char c : line) {
        present += c == ',' ? 1 : 0;
    }
    for (; present < fields; ++present) {
        line += ',';
    }
    return line;
}

} // namespace libsim
