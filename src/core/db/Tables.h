#pragma once

#include "Dialect.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class DiagnosticsWindow;

// The three tables that share one base name: mount history (the base), library performance
// (base + "_lp") and reports (base + "_reports"). This is the one place their columns are defined.
enum class TableKind { MountHistory, LibraryPerformance, Reports };

// Characters of the library address column of every table: a longer address is refused before
// it reaches a table, because one database would cut or refuse it and another store it whole.
inline constexpr std::size_t LibraryAddressLength = 15;

// The whole numbers a numeric column takes: int is 32-bit, smallint 16-bit. Oracle's "number"
// columns are held to the same ranges, so that every database takes the same lines.
struct NumberRange {
    long long low;
    long long high;
};
// The range of the column that stores field fieldNumber of a data line of the table's file (the
// line's fields 2 onwards, in table column order after address, date and time); nothing for a
// text column or a field the table does not have.
std::optional<NumberRange> fieldNumberRange(TableKind kind, std::size_t fieldNumber);

// The table's name built from the base name as create and drop build it.
std::string tableNameFor(TableKind kind, const std::string& baseName);

// Column names in table order (the order of every insert), in the dialect's spelling.
std::vector<std::string> tableColumnNames(TableKind kind, const Dialect& dialect);
// The text that follows the table name in "CREATE TABLE %s %s": "(ipAddress varchar(15), ...); "
// for Derby / Nimbus, "(ipAddress varchar2(15), ...)" for Oracle.
std::string tableColumnList(TableKind kind, const Dialect& dialect);
std::string createTableStatement(TableKind kind, const std::string& tableName, const Dialect& dialect);

// The unique index on a statistics table's duplicate-check columns (address, volser or logical
// library, date, time), so that two monitors racing past the check cannot store one line twice.
// Empty for the reports table, which has no such key.
std::string uniqueKeyStatement(TableKind kind, const std::string& tableName, const Dialect& dialect);

// Creates the three tables in the dialect (the current one unless the caller chose another), each
// with its own statement (no transaction spans them), and the unique keys of the tables it created.
// 1 when all three were created, else 0. layout is always "DEFAULT", the column lists above.
int createTables(const std::string& baseName, const std::string& layout, const std::string& databaseName,
                 const std::string& userName, const std::string& password, const Dialect& dialect = Dialect::current());

// Drops the three tables. 1 when all three were dropped, else 0.
int dropTables(const std::string& baseName, const std::string& databaseName, const std::string& userName,
               const std::string& password, DiagnosticsWindow* window);

enum class TableCommandResult { Cancelled, Succeeded, Failed };

// The table page's Create button: user name dialog "Create Table", stores the user name, creates
// the tables under the typed base name in the dialect of the type chosen in the sheet, and says
// how it went.
TableCommandResult runCreateTableCommand(const std::string& tableName, const Dialect& dialect = Dialect::current());

// The table page's Delete button: asks first, then as Create with "Delete Table" and a drop; the
// page receives the diagnostics' focus requests.
TableCommandResult runDeleteTableCommand(const std::string& tableName, DiagnosticsWindow* page);
