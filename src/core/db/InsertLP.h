#pragma once

#include "Dialect.h"
#include "LibraryPerformanceLine.h"

#include <string>

// The duplicate check of a library performance line: the where clause that finds a stored row
// with the same library address, logical library, date and time. The line must be one that
// problem() accepts. (The insert operation itself is qmxDB::InsertLP.)
std::string libraryPerformanceDuplicateCheck(const LibraryPerformanceLine& line, const std::string& libraryAddress,
                                             const Dialect& dialect);

// "INSERT INTO <table> VALUES (<address>, <date>, <time>, <logical library>, <fields 3 to 11>) ";
// the time always carries seconds.
std::string libraryPerformanceInsertStatement(const LibraryPerformanceLine& line, const std::string& table,
                                              const std::string& libraryAddress, const Dialect& dialect);
