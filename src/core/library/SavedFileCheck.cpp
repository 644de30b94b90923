#include "SavedFileCheck.h"

#include "LibraryFileText.h"
#include "LibraryTexts.h"
#include "db/MountHistoryLine.h"
#include "db/LibraryPerformanceLine.h"

#include <algorithm>

std::size_t firstLineFieldCount(const std::string& text)
{
    const std::string line = firstLine(text);
    return static_cast<std::size_t>(std::count(line.begin(), line.end(), ',')) + 1;
}

SavedFileKind checkSavedFile(const std::string& text)
{
    const std::string line = firstLine(text);
    const std::size_t fields = firstLineFieldCount(text);
    // "Mount History" is looked for first: a line 1 holding both titles is a mount history
    // line 1 and must have that file's field count.
    if (line.find(library_texts::MountHistoryTitle) != std::string::npos)
        return fields == MountHistoryLine::FieldCount ? SavedFileKind::MountHistory : SavedFileKind::Invalid;
    if (line.find(library_texts::LibraryStatisticsTitle) != std::string::npos)
        return fields == LibraryPerformanceLine::FieldCount ? SavedFileKind::LibraryPerformance
                                                            : SavedFileKind::Invalid;
    return SavedFileKind::Invalid;
}

std::size_t headerLineCount(SavedFileKind kind)
{
    switch (kind) {
    case SavedFileKind::MountHistory:
        return MountHistoryHeaderLines;
    case SavedFileKind::LibraryPerformance:
        return LibraryPerformanceHeaderLines;
    case SavedFileKind::Invalid:
        break;
    }
    return 0;
}
