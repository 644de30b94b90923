#pragma once

// How the program reads the library's files, written out again independently so that the
// tests check the simulator's output against the readers' rules rather than against itself.

#include <cstdlib>
#include <string>
#include <vector>

namespace reader_rules {

// Every byte 0 and every "_" reads as a blank.
inline std::string asRead(std::string text)
{
    for (char& c : text) {
        if (c == '\0' || c == '_') {
            c = ' ';
        }
    }
    return text;
}

inline std::string withoutBlanks(const std::string& text)
{
    std::string result;
    for (const char c : text) {
        if (c != ' ') {
            result += c;
        }
    }
    return result;
}

// The lines of a text, each without its "\n"; the piece after the last "\n" is left out.
inline std::vector<std::string> terminatedLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

inline std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> result;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        result.push_back(line.substr(start, comma - start));
        if (comma == std::string::npos) {
            return result;
        }
        start = comma + 1;
    }
}

struct DateTime {
    std::string date; // "YYYY-MM-DD"
    std::string time; // "HH:MM"
};

// The mount time stamp: year, month and day each end at the next two blanks; the text and
// one blank are dropped; the hours end at "." and the minutes at the end of the field.
// Blanks inside the pieces are dropped.
inline DateTime mountDateTime(const std::string& field)
{
    std::string rest = field;
    std::string parts[3];
    for (std::string& part : parts) {
        const std::size_t gap = rest.find("  ");
        part = withoutBlanks(rest.substr(0, gap));
        rest = gap == std::string::npos ? std::string() : rest.substr(gap + 1);
    }
    const std::size_t dot = rest.find('.');
    const std::string hours = withoutBlanks(rest.substr(0, dot));
    const std::string minutes = dot == std::string::npos ? std::string() : withoutBlanks(rest.substr(dot + 1));
    return {parts[0] + "-" + parts[1] + "-" + parts[2], hours + ":" + minutes};
}

// The performance time stamp: trimmed, then year, month and day as blank-separated words
// and the rest as the time.
inline DateTime performanceDateTime(const std::string& field)
{
    std::string text = field;
    while (!text.empty() && text.front() == ' ') {
        text.erase(0, 1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    std::string words[3];
    for (std::string& word : words) {
        const std::size_t blank = text.find(' ');
        word = text.substr(0, blank);
        text = blank == std::string::npos ? std::string() : text.substr(blank + 1);
    }
    return {words[0] + "-" + words[1] + "-" + words[2], text};
}

inline bool ovisEnabled(const std::string& configuration)
{
    const std::size_t at = configuration.find("OVIS");
    return at != std::string::npos && at + 7 < configuration.size() && configuration[at + 5] == '1'
           && configuration[at + 7] != '0';
}

inline bool performanceAvailable(const std::string& configuration)
{
    for (const char* frame : {"FRAME:1:7790:D91", "FRAME:1:7790:D61", "FRAME:1:7790:D90", "FRAME:1:7790:D60"}) {
        if (configuration.find(frame) != std::string::npos) {
            return true;
        }
    }
    return false;
}

inline int wwnnDigitValue(char c)
{
    if (c == 'A' || c == 'a') {
        return 10;
    }
    if (c == 'B' || c == 'b') {
        return 11;
    }
    if (c == 'C' || c == 'c') {
        return 12;
    }
    const char text[2] = {c, '\0'};
    return std::atoi(text);
}

// A drive statistics line is a drive line when "5005" occurs past its first character.
inline bool isDriveStatisticsLine(const std::string& line)
{
    const std::size_t at = line.find("5005", 1);
    return at != std::string::npos;
}

} // namespace reader_rules
