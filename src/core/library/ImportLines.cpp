#include "ImportLines.h"

#include "LibraryFileText.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "ImportOptions.h"
#include "db/InsertRow.h"

#include <algorithm>
#include <functional>

namespace {
TableKind tableKindOf(SavedFileKind kind)
{
    return kind == SavedFileKind::MountHistory ? TableKind::MountHistory : TableKind::LibraryPerformance;
}

std::string tableOf(SavedFileKind kind)
{
    const AppSettings& settings = theApp().settings;
    return kind == SavedFileKind::MountHistory ? settings.mountHistoryTableName : settings.libraryPerformanceTableName;
}

// Counts what became of each line.
std::function<void(int)> counter(ImportResult& result)
{
    return [&result](int stored) {
        if (stored == InsertDone)
            ++result.inserted;
        else if (stored == InsertDuplicate)
            ++result.duplicates;
        else
            ++result.failed;
    };
}
} // namespace

void storeImportLines(const std::vector<std::string>& lines, SavedFileKind kind, const std::string& libraryAddress,
                      OdbcHandles& handles, ImportResult& result, const ImportOptions& options)
{
    ChunkedLineStore store(tableKindOf(kind), tableOf(kind), libraryAddress, handles, options.store);
    store.store(lines, counter(result));
}

bool storeSavedFileLines(SavedFileReader& file, SavedFileKind kind, const std::string& libraryAddress,
                         OdbcHandles& handles, ImportResult& result, const ImportOptions& options)
{
    ChunkedLineStore store(tableKindOf(kind), tableOf(kind), libraryAddress, handles, options.store);
    const std::function<void(int)> countLine = counter(result);
    std::size_t answered = 0;
    const std::function<void(int)> each = [&](int stored) {
        ++answered;
        countLine(stored);
    };
    std::vector<std::string> batch;
    std::size_t batchBytes = 0;
    bool firstDataLine = true;
    bool stopped = false;
    const auto storeBatch = [&] {
        // A stop can also end a chunk that is being stored again line by line: every line of
        // the batch answered or not is what tells.
        answered = 0;
        if (!batch.empty() && (!store.store(batch, each) || answered < batch.size()))
            stopped = true;
        if (!batch.empty() && !stopped && options.progress)
            options.progress({file.lineNumber(),
                              static_cast<std::uint64_t>(result.inserted + result.duplicates + result.failed),
                              file.bytesRead(), file.size()});
        batch.clear();
        batchBytes = 0;
    };
    for (LineReader::Line line; !stopped && file.next(line);) {
        const bool wholeDataPart = firstDataLine && !line.ended;
        firstDataLine = false;
        if (line.tooLong) {
            // The lines before it are stored and logged first: the log keeps the file's order.
            storeBatch();
            if (stopped)
                break;
            refuseLine(tooLongLineReason(), "line " + std::to_string(file.lineNumber()) + " of the file");
            ++result.failed;
            continue;
        }
        if (isBlankLine(line.text))
            continue;
        // A library performance file whose data part is under two characters counts as empty.
        if (kind == SavedFileKind::LibraryPerformance && wholeDataPart && line.text.size() < 2)
            continue;
        batchBytes += line.text.size();
        batch.push_back(std::move(line.text));
        if (batch.size() >= std::max<std::size_t>(1, options.store.linesPerChunk) || batchBytes >= ImportBatchBytes)
            storeBatch();
    }
    if (!stopped)
        storeBatch();
    return !stopped;
}
