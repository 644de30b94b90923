#pragma once

#include "Import.h"
#include "ImportFile.h"
#include "ImportOptions.h"
#include "db/OdbcHandles.h"

#include <cstddef>
#include <string>
#include <vector>

// Lines stored in one transaction during an import, and the most bytes of lines held at once.
inline constexpr std::size_t ImportBatchLines = ChunkedLineStoreOptions{}.linesPerChunk;
inline constexpr std::size_t ImportBatchBytes = 4 << 20;

// Stores the data lines of a saved file of that kind for the library address on an open
// connection, each unless it is stored already, and counts in result what became of each line.
// Lines go in batches of one transaction: a commit per line would cost a disk flush per line
// on a server. The connection is back in its default commit mode when this returns.
void storeImportLines(const std::vector<std::string>& lines, SavedFileKind kind, const std::string& libraryAddress,
                      OdbcHandles& handles, ImportResult& result, const ImportOptions& options = {});

// Reads the data lines of a saved file (its header lines already read) and stores them batch
// by batch as storeImportLines does, holding one batch at a time. Blank lines are passed over;
// a line longer than any a library writes is refused with its number and counted as failed.
// False when the stop flag of options.store ended it before every line read was stored: the
// lines of the batches stored are counted, the rest of the file is not read.
bool storeSavedFileLines(SavedFileReader& file, SavedFileKind kind, const std::string& libraryAddress,
                         OdbcHandles& handles, ImportResult& result, const ImportOptions& options = {});
