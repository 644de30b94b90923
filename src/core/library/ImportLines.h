#pragma once

#include "Import.h"
#include "db/OdbcHandles.h"

#include <cstddef>
#include <string>
#include <vector>

// Lines stored in one transaction during an import.
inline constexpr std::size_t ImportBatchLines = 500;

// Stores the data lines of a saved file of that kind for the library address on an open
// connection, each unless it is stored already, and counts in result what became of each line.
// Lines go in batches of one transaction: a commit per line would cost a disk flush per line
// on a server. The connection is back in its default commit mode when this returns.
void storeImportLines(const std::vector<std::string>& lines, SavedFileKind kind, const std::string& libraryAddress,
                      OdbcHandles& handles, ImportResult& result);
