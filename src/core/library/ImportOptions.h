#pragma once

#include "db/ChunkedLineStore.h"

#include <cstdint>
#include <functional>
#include <string>

// How far an import has come: the file's lines read and stored (inserted, found stored or
// failed), and the bytes read of the file's size (0 when the size is not known).
struct ImportProgress {
    std::uint64_t linesRead = 0;
    std::uint64_t linesStored = 0;
    std::uint64_t bytesRead = 0;
    std::uint64_t fileSize = 0;
};

// How an import stores its lines and whom it tells how far it has come: progress is called
// after every chunk of lines stored, and progressDone once the lines are stored, before the
// summary is shown. A stop flag in store ends it after the current chunk.
struct ImportOptions {
    ChunkedLineStoreOptions store;
    std::function<void(const ImportProgress&)> progress;
    std::function<void()> progressDone;
};

// How much of the file is read, from 0 to 100 (0 while its size is not known).
int importPercent(const ImportProgress& progress);

// "Importing: <read> lines read, <stored> stored, <percent>% of the file".
std::string importProgressText(const ImportProgress& progress);

// The progress dialog's text: the file's name on a line of its own, then importProgressText.
std::string importDialogText(const std::string& path, const ImportProgress& progress);
