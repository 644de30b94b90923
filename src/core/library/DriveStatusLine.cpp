#include "DriveStatusLine.h"

#include "db/FieldText.h"
#include "LibraryTexts.h"
#include "LineReader.h"

std::optional<DriveStatusLine> DriveStatusLine::parse(std::string_view line)
{
    const std::string text = removeBlanks(line);
    if (text.find(library_texts::TapeDriveKeyword) == std::string::npos)
        return std::nullopt;
    DriveStatusLine drive;
    std::size_t start = text.find(':');
    while (start != std::string::npos && drive.cells.size() < CellCount) {
        const std::size_t end = text.find(':', start + 1);
        if (end == std::string::npos)
            break;
        drive.cells.push_back(text.substr(start + 1, end - start - 1));
        start = end;
    }
    return drive;
}

std::vector<DriveStatusLine> readDriveStatusLines(const std::string& text)
{
    std::vector<DriveStatusLine> drives;
    LineReader reader = LineReader::fromText(text);
    for (LineReader::Line line; reader.next(line);) {
        // The drive list ends at the first empty line.
        if (removeBlanks(line.text).empty())
            break;
        if (auto drive = DriveStatusLine::parse(line.text))
            drives.push_back(std::move(*drive));
    }
    return drives;
}
