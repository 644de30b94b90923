#pragma once

#include "db/Dialect.h"

#include <optional>
#include <string>

// The statements of one query run: the row count first, then the rows themselves. Built as
// growing text, so a long where clause on top of the long Oracle column list still fits.
struct QueryStatements {
    std::string table;
    std::string columns;
    std::string count;
    std::string select;
};

// The select list of the mount history query: the 35 columns that mean something to the user
// (the reserved fields are left out), with the date and time read back as text on Oracle.
std::string mountHistoryQueryColumns(const Dialect& dialect);
// Oracle names the 13 library performance columns; the other servers take "*".
std::string libraryPerformanceQueryColumns(const Dialect& dialect);

QueryStatements buildQueryStatements(bool mountHistory, const std::string& table, const std::string& whereClause,
                                     const Dialect& dialect);

// Why a where clause cannot run, in the words the user is shown, or nothing when it can. The
// fields are SQL fragments and stay so; what is refused is a second statement (a ";") and the
// functions that load code or touch files on the database's machine, whatever their case or
// quoting.
std::optional<std::string> refusedWhereClause(const std::string& whereClause);
