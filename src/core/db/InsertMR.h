#pragma once

#include "Dialect.h"
#include "MountHistoryLine.h"

#include <sql.h>
#include <string>

// The duplicate check of a mount history line: the where clause that finds a stored row with
// the same library address, volser, date and time. The line must be one that problem() accepts.
std::string mountHistoryDuplicateCheck(const MountHistoryLine& line, const std::string& libraryAddress,
                                       const Dialect& dialect);

// "INSERT INTO <table> VALUES (<address>, <date>, <time>, <fields 2 to 36>) ": volser and
// logical library quoted, the counters as numbers, null for a missing value.
std::string mountHistoryInsertStatement(const MountHistoryLine& line, const std::string& table,
                                        const std::string& libraryAddress, const Dialect& dialect);

// Stores one line of the mount history file in the table unless a row with the same key is
// there, in the dialect of the settings. The caller appends "," to the line, so that every
// field ends with one. Returns 1 inserted, 2 already stored, 0 failure (details in the debug
// log). Leaves the statement's cursor closed.
int InsertMR(const std::string& line, const std::string& table, const std::string& libraryAddress, SQLHSTMT statement);
