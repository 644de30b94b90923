#include "LibraryFileText.h"

char libraryByte(char byte)
{
    // The library pads its files with zeros and writes "_" where blanks are meant.
    return byte == '\0' || byte == '_' ? ' ' : byte;
}

bool appendLibraryBytes(std::string& text, std::string_view bytes, std::size_t limit)
{
    for (char byte : bytes) {
        if (text.size() >= limit)
            return false;
        text.push_back(libraryByte(byte));
    }
    return true;
}

std::string libraryFileText(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    appendLibraryBytes(text, bytes);
    return text;
}

std::string libraryFileUrl(const std::string& address, const std::string& fileName)
{
    return "http://" + address + "/FS/" + fileName;
}

std::string firstLine(const std::string& text)
{
    return text.substr(0, text.find_first_of("\r\n"));
}

std::string withoutHeaderLines(const std::string& text, std::size_t count)
{
    std::size_t start = 0;
    for (std::size_t line = 0; line < count; ++line) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            return {};
        start = end + 1;
    }
    return text.substr(start);
}

bool isBlankLine(std::string_view line)
{
    return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

std::vector<std::string> dataLines(const std::string& text, std::size_t headerLines)
{
    const std::string data = withoutHeaderLines(text, headerLines);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t end = data.find('\n', start);
        if (end == std::string::npos)
            end = data.size();
        std::string_view line(data.data() + start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!isBlankLine(line))
            lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> mountHistoryDataLines(const std::string& text)
{
    return dataLines(text, MountHistoryHeaderLines);
}

std::vector<std::string> libraryPerformanceDataLines(const std::string& text)
{
    if (withoutHeaderLines(text, LibraryPerformanceHeaderLines).size() < 2)
        return {};
    return dataLines(text, LibraryPerformanceHeaderLines);
}
