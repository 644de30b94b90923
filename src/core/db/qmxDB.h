#pragma once

#include "OdbcHandles.h"

#include <optional>
#include <string>
#include <vector>

class DiagnosticsWindow;

// One diagnostic record as the driver returned it.
struct DiagnosticRecord {
    std::string state;
    long nativeError = 0;
    std::string message;

    // The four-line text that is logged and matched against the rules.
    std::string text(int number, int count) const;
};
class ListControl;

// What becomes of a failed call's diagnostic records. Every record is logged whatever the
// choice; the statement rules and the connection rules each map a record to the sentence the
// user is shown.
enum class Diagnostics {
    LogOnly,         // no message box: a worker, a monitor, or a caller that reports the outcome itself
    ShowUser,        // the statement rules' messages are shown
    ConnectionRules, // the connection rules' messages are shown, and a record no rule names shows its own text
};

// ShowUser when show holds, LogOnly otherwise: for a caller that shows only the first of several
// failures, or nothing once the user has stopped the work.
constexpr Diagnostics shownWhen(bool show)
{
    return show ? Diagnostics::ShowUser : Diagnostics::LogOnly;
}

// The database operations every subsystem shares. Stateless: a caller creates one for the
// length of an operation, connects at its start and disconnects at its end.
class qmxDB {
public:
    // Connects to the data source; on failure logs and reports the connection diagnostics. The
    // window is the setup page whose fields the rules may focus, or nullptr. A statement handle
    // that cannot be had is shown to the user only when no window was given.
    bool connectDB(const std::string& dataSourceName, const std::string& userName, const std::string& password,
                   OdbcHandles& handles, Diagnostics diagnostics, DiagnosticsWindow* window = nullptr) const;
    // Commits, then releases every handle that is set. Always true.
    bool disconnectDB(OdbcHandles& handles) const;

    // True when result is SQL_SUCCESS; otherwise logs "Error <verb> statement " and the
    // statement's diagnostics under the statement rules.
    bool checkSQLResult(SQLRETURN result, const std::string& verb, SQLHSTMT statement, Diagnostics diagnostics,
                        DiagnosticsWindow* window = nullptr) const;

    // Logs every diagnostic record of the handle and maps it to the user's message. Gives the
    // first record's message (the driver's own text when no rule names one), shown or not.
    std::string reportDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle, Diagnostics diagnostics,
                                  DiagnosticsWindow* window = nullptr) const;

    // Logs each record and applies the rules: what reportDiagnostics does once it has read them.
    std::string reportDiagnosticRecords(int count, const std::vector<DiagnosticRecord>& records,
                                        Diagnostics diagnostics, DiagnosticsWindow* window = nullptr) const;

    // "SELECT <columns> FROM <table> <where>" into the list (or nowhere); rows read, or -1.
    int selectIntoList(const std::string& columns, const std::string& table, const std::string& whereClause,
                       SQLHSTMT statement, ListControl* list, Diagnostics diagnostics,
                       DiagnosticsWindow* window = nullptr) const;

    // Stores one line of the library performance file unless a row with the same key is there:
    // 1 inserted, 2 already stored, 0 failure. Leaves the statement's cursor closed.
    int InsertLP(const std::string& line, const std::string& table, const std::string& libraryAddress,
                 SQLHSTMT statement) const;
};

// Whether the data source accepts a connection now: connects and disconnects at once, and
// writes nothing anywhere (for a caller that asks every second and says the outcome itself).
bool dataSourceAnswers(const std::string& dataSourceName, const std::string& userName, const std::string& password);

// The diagnostic records of a handle, as the driver returns them; count gets the number the
// driver reports.
std::vector<DiagnosticRecord> readDiagnosticRecords(SQLSMALLINT handleType, SQLHANDLE handle, int& count);

// Statement helpers on one statement handle.
SQLRETURN prepareStatement(SQLHSTMT statement, const std::string& sql);
SQLRETURN executeStatement(SQLHSTMT statement);
// Fetch and get-data results below 2 count as success.
bool fetchSucceeded(SQLRETURN result);
// A column's value as text of at most maxBytes (nothing for NULL or a failed read).
std::optional<std::string> getColumnText(SQLHSTMT statement, SQLUSMALLINT column, std::size_t maxBytes = 32);
// A column's value read to its full length, in pieces, up to limit bytes: NUL bytes inside the
// value are kept; a longer value is cut there and marked cut. A failed read counts as NULL.
struct ColumnText {
    bool null = true;
    bool cut = false;
    std::string text;
};
ColumnText getWholeColumnText(SQLHSTMT statement, SQLUSMALLINT column, std::size_t limit);
void closeCursor(SQLHSTMT statement);

// One result column as the driver describes it.
struct ResultColumn {
    std::string name;
    SQLSMALLINT type = 0;
};
// The statement's result columns, from the first; one the driver cannot describe has an empty
// name. Names come as the server writes them: PostgreSQL folds them to lower case.
std::vector<ResultColumn> describeResultColumns(SQLHSTMT statement);

// The first column of every row of a select, each as text of at most maxBytes (NULLs left out).
// A failed prepare or execute logs its step's text and the statement, reports the statement's
// diagnostics without a message box and gives nothing. The cursor is closed on every path.
std::optional<std::vector<std::string>> selectFirstColumn(const qmxDB& db, SQLHSTMT statement, const std::string& sql,
                                                          const char* prepareFailed, const char* executeFailed,
                                                          std::size_t maxBytes = 31);
