#include "DriveStatistics.h"

#include "db/FieldText.h"
#include "LibraryTexts.h"
#include "LineReader.h"

std::vector<std::string> driveStatisticsLines(const std::string& text)
{
    return LineReader::allLines(text);
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
