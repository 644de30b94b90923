#include "DriveStatistics.h"

#include "FieldText.h"
#include "LibraryTexts.h"

std::vector<std::string> driveStatisticsLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::optional<std::string> driveLineWwnn(std::string_view line)
{
    const std::size_t marker = line.find(library_texts::DriveWwnnMarker, 1);
    const std::size_t comma = line.find(',');
    if (marker == std::string_view::npos || comma == std::string_view::npos)
        return std::nullopt;
    std::string wwnn = removeBlanks(line.substr(0, comma));
    if (wwnn.size() < 2)
        return std::nullopt;
    return wwnn;
}

std::vector<std::string> driveWwnns(const std::string& text)
{
    std::vector<std::string> wwnns;
    for (const std::string& line : driveStatisticsLines(text))
        if (auto wwnn = driveLineWwnn(line))
            wwnns.push_back(std::move(*wwnn));
    return wwnns;
}
