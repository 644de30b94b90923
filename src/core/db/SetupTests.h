#pragma once

#include "Dialect.h"

#include <optional>
#include <string>

class DiagnosticsWindow;

// The user name dialog's title for each operation of the Setup sheet: 1 "Delete Table",
// 2 "Test Database", 3 "Database Connection", 4 "Create Table", 5 "Test Table"; nothing for
// any other number (the dialog then shows "Unable to set window text").
std::optional<std::string> credentialsTitle(int operation);

struct DatabaseTestInput {
    std::string databaseName;
    std::string ipAddress;
    std::string ipPort;
    bool oracle = false;
};

// Test on the "Database" page: asks for the user name and password, stores the user name,
// address and port, catalogues a Derby / Nimbus database, connects and says "Test passed".
bool runDatabaseTest(const DatabaseTestInput& input, DiagnosticsWindow* page);

// The table test's where clause, which matches no row: on the two statistics tables an address,
// a time and a date in the dialect's spelling, on the reports table an empty user name.
std::string tableTestWhereClause(bool reportsTable, const Dialect& dialect);

// Test on the "Table" page: a select that matches no row on each of the three tables named
// after the typed base name, in the dialect of the type chosen in the sheet; "Test passed"
// once, when all three answered.
bool runTableTest(const std::string& tableName, DiagnosticsWindow* page, const Dialect& dialect = Dialect::current());
