#include "LibraryFileText.h"

#include "LineReader.h"

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

void dropUnfinishedLine(std::string& text)
{
    const std::size_t lastEnd = text.find_last_of("\r\n");
    text.erase(lastEnd == std::string::npos ? 0 : lastEnd + 1);
}

std::string firstLine(const std::string& text)
{
    return text.substr(0, text.find_first_of("\r\n"));
}

bool isBlankLine(std::string_view line)
{
    return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

namespace {
// The data lines after the header, blank ones passed over. With countEmptyLines unset, an
// empty line is no line at all and does not count as one of the header lines.
std::vector<std::string> linesAfterHeader(const std::string& text, std::size_t headerLines, bool countEmptyLines)
{
    LineReader reader = LineReader::fromText(text);
    std::vector<std::string> lines;
    std::size_t header = 0;
    for (LineReader::Line line; reader.next(line);) {
        if (header < headerLines) {
            if (countEmptyLines || !line.text.empty())
                ++header;
            continue;
        }
        if (!isBlankLine(line.text))
            lines.push_back(std::move(line.text));
    }
    return lines;
}
} // namespace

std::vector<std::string> dataLines(const std::string& text, std::size_t headerLines)
{
    return linesAfterHeader(text, headerLines, true);
}

std::vector<std::string> mountHistoryDataLines(const std::string& text)
{
    // Runs of line ends count as one in the mount history file: an empty line in its header
    // must not make the last header line read as data.
    return linesAfterHeader(text, MountHistoryHeaderLines, false);
}

std::vector<std::string> libraryPerformanceDataLines(const std::string& text)
{
    std::vector<std::string> lines = dataLines(text, LibraryPerformanceHeaderLines);
    // A data part of fewer than two characters is one character without a line end.
    if (lines.size() == 1 && lines.front().size() < 2 && !text.empty() && text.back() != '\n' && text.back() != '\r')
        return {};
    return lines;
}
