#pragma once

#include "Tables.h"

#include <sql.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

class RunningStatement;

// The text of a server array of texts, as its array input reads it: every element quoted, with
// its quotes and backslashes escaped, and NULL for a value the line does not have. The values
// come from a file: a comma, a brace, a quote or the word NULL in one stays a part of its text.
std::string textArrayLiteral(const std::vector<const std::optional<std::string>*>& values);

// What became of one line stored by a PreparedLineStore, and the debug log line it owes (the
// mount history INSERT's text, or why the line was refused), written once the chunk is committed.
struct StoredLine {
    int result = 0;
    std::string logLine;
};

// Stores the lines of a library file in the Derby / Nimbus dialect through statements prepared
// once per connection, with the values bound: one select finds which of many lines' keys are
// stored already, one multi-row INSERT stores many new lines. Every line gets the result the
// one-line operations (InsertMR, qmxDB::InsertLP) would give it, a line repeated within the
// chunk included. A chunk it cannot vouch for, because a statement failed (a value the server
// refused, a lost connection) or a line needs a check of its own (a mount without a volser),
// gives nothing and leaves the transaction for the caller to roll back; nothing is logged then.
// On PostgreSQL a chunk's keys and rows go in one select and one INSERT, each column of them
// bound as one array and unnested by the server.
class PreparedLineStore {
public:
    // Keys looked up by one select, and rows stored by one INSERT, where the values are bound one by
    // one (every database but PostgreSQL, which takes a chunk's keys and rows in one of each).
    static constexpr std::size_t KeysPerSelect = 100;
    static constexpr std::size_t MountHistoryRowsPerInsert = 50;
    static constexpr std::size_t LibraryPerformanceRowsPerInsert = 100;
    // Lines whose rows are looked up and stored together; a chunk is stored a slice at a time.
    static constexpr std::size_t LinesPerSlice = 4000;

    // embeddedStore: the statements bind dates, times and counters as text, which the embedded
    // store keeps as the literals would; a server is given casts to the columns' types.
    PreparedLineStore(TableKind kind, std::string table, std::string libraryAddress, SQLHDBC connection,
                      bool embeddedStore, RunningStatement* running = nullptr);
    ~PreparedLineStore();
    PreparedLineStore(const PreparedLineStore&) = delete;
    PreparedLineStore& operator=(const PreparedLineStore&) = delete;

    // Lines [begin, end) as the file has them (no comma appended). The results are in line order.
    std::optional<std::vector<StoredLine>> store(const std::vector<std::string>& lines, std::size_t begin,
                                                 std::size_t end);
    // The last chunk given back was refused by the database, not passed over for a line of its kind.
    bool statementFailed() const { return m_statementFailed; }

private:
    // A line bound for the table: its key and the values of its row, in column order.
    struct Row {
        std::size_t index = 0;
        std::string key;
        std::vector<std::optional<std::string>> values;
    };
    struct Statement {
        SQLHSTMT handle = SQL_NULL_HSTMT;
        std::size_t count = 0; // keys or rows it was prepared for
    };

    // Parses the line as the one-line operation would: a refused line gets its result and log
    // line here; a line that is stored or looked up gives its row. False: not for this path.
    bool plan(const std::string& line, StoredLine& outcome, std::optional<Row>& row) const;
    bool findStored(const std::vector<Row>& rows, std::unordered_set<std::string>& stored);
    bool insertRows(const std::vector<const Row*>& rows);
    bool findStoredByArrays(const std::vector<Row>& rows, std::unordered_set<std::string>& stored);
    bool insertRowsByArrays(const std::vector<const Row*>& rows);
    bool fetchKeys(SQLHSTMT handle, std::unordered_set<std::string>& stored);
    // The statement prepared for count keys or rows; its text is composed only when it is not.
    bool prepared(Statement& statement, std::size_t count, const std::function<std::string()>& text);
    bool execute(SQLHSTMT handle, const std::vector<const std::optional<std::string>*>& values);
    // The server's type of the column, for a cast of the text bound to it; empty for a text.
    std::string serverType(std::size_t column) const;
    std::string placeholder(std::size_t column) const;
    std::string arraySelectText() const;
    std::string arrayInsertText() const;
    std::string selectText(std::size_t keys) const;
    std::string insertText(std::size_t rows) const;

    TableKind m_kind;
    std::string m_table;
    std::string m_address;
    SQLHDBC m_connection;
    bool m_embeddedStore;
    bool m_arrays;
    RunningStatement* m_running;
    bool m_statementFailed = false;
    std::vector<std::string> m_columns;
    Statement m_select;
    Statement m_insert;
    // The shorter select and INSERT of a chunk's last keys and rows.
    Statement m_tailSelect;
    Statement m_tailInsert;
};
