#include "HealthLinks.h"

#include "HealthTexts.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr const char* ContextStart = "IPAddress: ";

bool isLineBreak(char c)
{
    return c == '\n' || c == '\r';
}

// The next blank-delimited word at `at`, moving `at` past it.
std::string word(const std::string& line, std::size_t& at)
{
    while (at < line.size() && line[at] == ' ')
        ++at;
    const std::size_t start = at;
    while (at < line.size() && line[at] != ' ')
        ++at;
    return line.substr(start, at - start);
}

bool expect(const std::string& line, std::size_t& at, const std::string& label)
{
    return word(line, at) == label;
}

bool toInt(const std::string& text, int& out)
{
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < INT_MIN || value > INT_MAX)
        return false;
    out = static_cast<int>(value);
    return true;
}

std::optional<HealthSubject> parseContextLine(const std::string& line)
{
    std::size_t at = 0;
    HealthSubject subject;
    if (!expect(line, at, "IPAddress:"))
        return std::nullopt;
    subject.ipAddress = word(line, at);
    const std::string label = word(line, at);
    if (label == "Volser:") {
        subject.cartridge = true;
        subject.volser = word(line, at);
        return subject;
    }
    if (label != "Frame:" || !toInt(word(line, at), subject.frame) || !expect(line, at, "Drive:")
        || !toInt(word(line, at), subject.drive))
        return std::nullopt;
    return subject;
}
} // namespace

std::vector<TextRange> fieldLinkRanges(const std::string& text, const std::vector<std::string>& names)
{
    std::vector<TextRange> ranges;
    for (const std::string& name : names) {
        if (name.empty())
            continue;
        for (auto at = text.find(name); at != std::string::npos; at = text.find(name, at + name.size()))
            ranges.push_back(TextRange{at, name.size()});
    }
    return ranges;
}

std::optional<std::string> fieldAt(const std::string& text, std::size_t position, const std::vector<std::string>& names)
{
    const std::vector<TextRange> ranges = fieldLinkRanges(text, names);
    for (const TextRange& range : ranges)
        if (position >= range.start && position < range.start + range.length)
            return text.substr(range.start, range.length);
    return std::nullopt;
}

std::string healthContextLine(const HealthSubject& subject)
{
    // Sized to the texts: a volser of any length is written whole.
    const auto format = [](auto... args) {
        const int length = std::snprintf(nullptr, 0, args...);
        std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
        std::snprintf(text.data(), text.size(), args...);
        text.resize(text.size() - 1);
        return text;
    };
    if (subject.cartridge)
        return format(health_texts::CartridgeContextLine, subject.ipAddress.c_str(), subject.volser.c_str());
    return format(health_texts::DriveContextLine, subject.ipAddress.c_str(), subject.frame, subject.drive);
}

std::optional<HealthSubject> contextAbove(const std::string& text, std::size_t position)
{
    std::size_t end = position < text.size() ? position : text.size();
    // Walk back line by line from the line that holds the position.
    for (;;) {
        std::size_t lineStart = end;
        while (lineStart > 0 && !isLineBreak(text[lineStart - 1]))
            --lineStart;
        if (text.compare(lineStart, std::char_traits<char>::length(ContextStart), ContextStart) == 0) {
            std::size_t lineEnd = lineStart;
            while (lineEnd < text.size() && !isLineBreak(text[lineEnd]))
                ++lineEnd;
            return parseContextLine(text.substr(lineStart, lineEnd - lineStart));
        }
        if (lineStart == 0)
            return std::nullopt;
        end = lineStart - 1;
    }
}
