#include "PreparedLineStore.h"

#include "Dialect.h"
#include "InsertMR.h"
#include "InsertRow.h"
#include "LockWait.h"
#include "qmxDB.h"
#include "FieldText.h"
#include "LibraryPerformanceLine.h"
#include "MountHistoryLine.h"

#include <sqlext.h>

#include <algorithm>
#include <iterator>
#include <utility>

namespace {
// Separates the pieces of a key; no field of a stored line holds it.
constexpr char KeySeparator = '\x1f';

std::string keyOf(const std::string& second, const std::string& date, const std::string& time)
{
    std::string key = second;
    key += KeySeparator;
    key += date;
    key += KeySeparator;
    key += time;
    return key;
}

// The date and time as the Derby / Nimbus literals of the one-line operations write them, from
// the line's stamp and what its check made of it: a checked date is written as it is, a checked
// time with its seconds.
std::string storedDate(const std::string& date, const std::optional<std::string>& validDate)
{
    return validDate ? *validDate : normalisedDate(date);
}

std::string storedTime(const std::string& time, const std::optional<std::string>& validTime)
{
    return validTime ? withSeconds(*validTime) : normalisedTime(time);
}

std::string tooLongText(std::string_view line)
{
    constexpr std::size_t shown = 80;
    return lineRefusedText(tooLongLineReason(), std::string(line.substr(0, shown)) + "...");
}

void freeStatement(SQLHSTMT& handle)
{
    if (handle != SQL_NULL_HSTMT)
        SQLFreeHandle(SQL_HANDLE_STMT, handle);
    handle = SQL_NULL_HSTMT;
}
} // namespace

std::string textArrayLiteral(const std::vector<const std::optional<std::string>*>& values)
{
    std::size_t size = 2;
    for (const std::optional<std::string>* value : values)
        size += (*value ? (*value)->size() + 3 : 5);
    std::string literal;
    literal.reserve(size);
    literal += '{';
    for (std::size_t at = 0; at < values.size(); ++at) {
        if (at != 0)
            literal += ',';
        const std::optional<std::string>& value = *values[at];
        if (!value) {
            literal += "NULL";
            continue;
        }
        literal += '"';
        for (const char c : *value) {
            if (c == '"' || c == '\\')
                literal += '\\';
            literal += c;
        }
        literal += '"';
    }
    literal += '}';
    return literal;
}

PreparedLineStore::PreparedLineStore(TableKind kind, std::string table, std::string libraryAddress, SQLHDBC connection,
                                     bool embeddedStore, RunningStatement* running)
    : m_kind(kind), m_table(std::move(table)), m_address(std::move(libraryAddress)), m_connection(connection),
      m_embeddedStore(embeddedStore), m_arrays(!embeddedStore && isPostgreSQLServer(connection)), m_running(running),
      m_columns(tableColumnNames(kind, Dialect(2)))
{
}

PreparedLineStore::~PreparedLineStore()
{
    freeStatement(m_select.handle);
    freeStatement(m_insert.handle);
    freeStatement(m_tailSelect.handle);
    freeStatement(m_tailInsert.handle);
}

bool PreparedLineStore::plan(const std::string& line, StoredLine& outcome, std::optional<Row>& row) const
{
    outcome.result = InsertFailed;
    if (line.size() > MaxLibraryLineLength) {
        outcome.logLine = tooLongText(line);
        return true;
    }
    Row planned;
    if (m_kind == TableKind::MountHistory) {
        MountHistoryLine parsed = MountHistoryLine::parse(line);
        if (std::string problem = parsed.problem(); !problem.empty()) {
            outcome.logLine = lineRefusedText(problem, line);
            return true;
        }
        const auto& volser = parsed.field(MountHistoryLine::VolserField);
        // A mount without a volser is found by a check of its own ("volser is null").
        if (!volser)
            return false;
        // The text the one-line operation runs and logs; here it is logged only.
        outcome.logLine = mountHistoryInsertStatement(parsed, m_table, m_address, Dialect(2));
        std::string date = storedDate(parsed.date, parsed.validDate);
        std::string time = storedTime(parsed.time, parsed.validTime);
        planned.key = keyOf(*volser, date, time);
        planned.values.reserve(m_columns.size());
        planned.values.emplace_back(m_address);
        planned.values.emplace_back(std::move(date));
        planned.values.emplace_back(std::move(time));
        // The line's fields are not read again: they move into the row.
        std::move(parsed.values.begin(), parsed.values.end(), std::back_inserter(planned.values));
    } else {
        const LibraryPerformanceLine parsed = LibraryPerformanceLine::parse(line);
        if (std::string problem = parsed.problem(); !problem.empty()) {
            outcome.logLine = lineRefusedText(problem, line);
            return true;
        }
        const std::string date = storedDate(parsed.date, parsed.validDate);
        const std::string time = storedTime(parsed.time, parsed.validTime);
        const std::string& logicalLibrary = parsed.field(LibraryPerformanceLine::LogicalLibraryField);
        planned.key = keyOf(logicalLibrary, date, time);
        planned.values.reserve(m_columns.size());
        planned.values.emplace_back(m_address);
        planned.values.emplace_back(date);
        planned.values.emplace_back(time);
        for (std::size_t number = LibraryPerformanceLine::LogicalLibraryField; number <= parsed.fieldCount; ++number)
            planned.values.emplace_back(parsed.field(number));
    }
    if (planned.values.size() != m_columns.size())
        return false;
    row = std::move(planned);
    return true;
}

std::optional<std::vector<StoredLine>> PreparedLineStore::store(const std::vector<std::string>& lines,
                                                                std::size_t begin, std::size_t end)
{
    m_statementFailed = false;
    std::vector<StoredLine> outcomes(end - begin);
    // The keys stored before or by this chunk. The rows go a slice at a time, so that only a
    // slice's values are held, however long the chunk.
    std::unordered_set<std::string> stored;
    std::vector<Row> rows;
    std::vector<const Row*> fresh;
    for (std::size_t first = begin; first < end; first += LinesPerSlice) {
        const std::size_t last = std::min(end, first + LinesPerSlice);
        rows.clear();
        for (std::size_t at = first; at < last; ++at) {
            std::optional<Row> row;
            if (!plan(lines[at], outcomes[at - begin], row))
                return std::nullopt;
            if (row) {
                row->index = at - begin;
                rows.push_back(std::move(*row));
            }
        }
        if (!findStored(rows, stored)) {
            m_statementFailed = true;
            return std::nullopt;
        }
        // In line order: the first line of a key not stored yet is new, every later one a
        // duplicate, as when each line is checked after the one before it was stored.
        fresh.clear();
        for (const Row& row : rows) {
            StoredLine& outcome = outcomes[row.index];
            if (!stored.insert(row.key).second) {
                outcome.result = InsertDuplicate;
                outcome.logLine.clear();
                continue;
            }
            outcome.result = InsertDone;
            fresh.push_back(&row);
        }
        if (!insertRows(fresh)) {
            m_statementFailed = true;
            return std::nullopt;
        }
    }
    return outcomes;
}

std::string PreparedLineStore::serverType(std::size_t column) const
{
    if (column == 1)
        return "date";
    if (column == 2)
        return "time";
    if (column == 0)
        return "";
    const auto range = fieldNumberRange(m_kind, column - 1);
    if (!range)
        return "";
    return range->high > 32767 ? "int" : "smallint";
}

std::string PreparedLineStore::placeholder(std::size_t column) const
{
    const std::string type = m_embeddedStore ? std::string() : serverType(column);
    return type.empty() ? "?" : "CAST(? AS " + type + ")";
}

std::string PreparedLineStore::arraySelectText() const
{
    // A look-up in the unique key's index for each key, whatever the server guesses of the
    // table's size: a join it may plan as a scan of the whole table, a subquery that stops at the
    // first row it must run for each key. The key's last three columns are matched as a row at
    // least and at most the key's, which only the unique key's index can search by: compared
    // one column at a time, a table the server has not yet analysed was searched by the
    // reports' (address, date) index, through every mount of the day for each key.
    const std::string row = "(t." + m_columns[3] + ", t." + m_columns[1] + ", t." + m_columns[2] + ")";
    return "SELECT f.s, f.d, f.tm FROM unnest(CAST(? AS text[]), CAST(? AS date[]), CAST(? AS time[])) AS k(s, d, tm)"
           " CROSS JOIN LATERAL (SELECT t."
           + m_columns[3] + " AS s, t." + m_columns[1] + " AS d, t." + m_columns[2] + " AS tm FROM " + m_table
           + " t WHERE t." + m_columns[0] + " = ? AND " + row + " >= (k.s, k.d, k.tm) AND " + row
           + " <= (k.s, k.d, k.tm) LIMIT 1) AS f";
}

std::string PreparedLineStore::arrayInsertText() const
{
    std::string sql = "INSERT INTO " + m_table + " SELECT CAST(? AS text), u.* FROM unnest(";
    for (std::size_t column = 1; column < m_columns.size(); ++column) {
        const std::string type = serverType(column);
        sql += (column == 1 ? "CAST(? AS " : ", CAST(? AS ") + (type.empty() ? std::string("text") : type) + "[])";
    }
    return sql + ") AS u";
}

std::string PreparedLineStore::selectText(std::size_t keys) const
{
    // Each key in full, so that every term is one look-up in the unique key's index.
    std::string term = "(" + m_columns[0] + " = ? AND " + m_columns[3] + " = ? AND " + m_columns[1] + " = "
                       + placeholder(1) + " AND " + m_columns[2] + " = " + placeholder(2) + ")";
    std::string sql =
        "SELECT " + m_columns[3] + ", " + m_columns[1] + ", " + m_columns[2] + " FROM " + m_table + " WHERE ";
    for (std::size_t key = 0; key < keys; ++key)
        sql += (key == 0 ? "" : " OR ") + term;
    return sql;
}

std::string PreparedLineStore::insertText(std::size_t rows) const
{
    std::string row = "(";
    for (std::size_t column = 0; column < m_columns.size(); ++column)
        row += (column == 0 ? "" : ", ") + placeholder(column);
    row += ")";
    // The embedded store's driver keeps a statement compiled from one execution to the next only
    // when its text starts as a query's does (SELECT or WITH); any other it compiles again at every
    // execution, which costs more than the rows. The common table expression nothing reads makes
    // the INSERT one it compiles once.
    std::string sql = (m_embeddedStore ? "WITH compiled_once(unused) AS (SELECT 1) INSERT INTO " : "INSERT INTO ")
                      + m_table + " VALUES ";
    for (std::size_t at = 0; at < rows; ++at)
        sql += (at == 0 ? "" : ", ") + row;
    return sql;
}

bool PreparedLineStore::prepared(Statement& statement, std::size_t count, const std::function<std::string()>& text)
{
    if (statement.handle != SQL_NULL_HSTMT && statement.count == count)
        return true;
    if (statement.handle == SQL_NULL_HSTMT) {
        const SQLRETURN allocated = SQLAllocHandle(SQL_HANDLE_STMT, m_connection, &statement.handle);
        if (allocated != SQL_SUCCESS && allocated != SQL_SUCCESS_WITH_INFO) {
            statement.handle = SQL_NULL_HSTMT;
            return false;
        }
    }
    statement.count = 0;
    const SQLRETURN result = prepareStatement(statement.handle, text());
    if (result != SQL_SUCCESS && result != SQL_SUCCESS_WITH_INFO)
        return false;
    statement.count = count;
    return true;
}

bool PreparedLineStore::execute(SQLHSTMT handle, const std::vector<const std::optional<std::string>*>& values)
{
    SQLFreeStmt(handle, SQL_RESET_PARAMS);
    std::vector<SQLLEN> lengths(values.size());
    for (std::size_t at = 0; at < values.size(); ++at) {
        const std::optional<std::string>& value = *values[at];
        // A text given as ending at its NUL is bound where it lies; one given with its length the
        // embedded store's driver copies first, at every execution. The reader makes a file's
        // NUL bytes blanks; a text that holds one all the same keeps its length, and all of it.
        const bool holdsNul = value && value->find('\0') != std::string::npos;
        lengths[at] = !value ? SQL_NULL_DATA : holdsNul ? static_cast<SQLLEN>(value->size()) : SQL_NTS;
        SQLPOINTER data = value ? const_cast<char*>(value->c_str()) : nullptr;
        const SQLULEN size = value ? std::max<SQLULEN>(1, value->size()) : 1;
        const SQLRETURN bound =
            SQLBindParameter(handle, static_cast<SQLUSMALLINT>(at + 1), SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, size,
                             0, data, value ? static_cast<SQLLEN>(value->size()) : 0, &lengths[at]);
        if (bound != SQL_SUCCESS && bound != SQL_SUCCESS_WITH_INFO)
            return false;
    }
    SQLRETURN result = SQL_ERROR;
    if (m_running != nullptr) {
        const AttachedStatement attached(*m_running, m_connection, handle);
        result = executeStatement(handle);
    } else {
        result = executeStatement(handle);
    }
    return result == SQL_SUCCESS || result == SQL_SUCCESS_WITH_INFO || result == SQL_NO_DATA;
}

bool PreparedLineStore::fetchKeys(SQLHSTMT handle, std::unordered_set<std::string>& stored)
{
    SQLRETURN fetched;
    while ((fetched = SQLFetch(handle)) == SQL_SUCCESS || fetched == SQL_SUCCESS_WITH_INFO) {
        const auto second = getColumnText(handle, 1, 64);
        const auto date = getColumnText(handle, 2, 32);
        const auto time = getColumnText(handle, 3, 32);
        if (second && date && time)
            stored.insert(keyOf(*second, normalisedDate(*date), normalisedTime(*time)));
    }
    closeCursor(handle);
    return fetched == SQL_NO_DATA;
}

bool PreparedLineStore::findStoredByArrays(const std::vector<Row>& rows, std::unordered_set<std::string>& stored)
{
    if (rows.empty())
        return true;
    if (!prepared(m_select, 1, [this] { return arraySelectText(); }))
        return false;
    std::vector<const std::optional<std::string>*> column(rows.size());
    std::vector<std::optional<std::string>> values{std::nullopt, std::nullopt, std::nullopt, m_address};
    for (const std::size_t at : {std::size_t{3}, std::size_t{1}, std::size_t{2}}) {
        for (std::size_t row = 0; row < rows.size(); ++row)
            column[row] = &rows[row].values[at];
        values[at == 3 ? 0 : at] = textArrayLiteral(column);
    }
    if (!execute(m_select.handle, {&values[0], &values[1], &values[2], &values[3]})) {
        closeCursor(m_select.handle);
        return false;
    }
    return fetchKeys(m_select.handle, stored);
}

bool PreparedLineStore::insertRowsByArrays(const std::vector<const Row*>& rows)
{
    if (rows.empty())
        return true;
    if (!prepared(m_insert, 1, [this] { return arrayInsertText(); }))
        return false;
    std::vector<std::optional<std::string>> values{m_address};
    values.reserve(m_columns.size());
    std::vector<const std::optional<std::string>*> column(rows.size());
    for (std::size_t at = 1; at < m_columns.size(); ++at) {
        for (std::size_t row = 0; row < rows.size(); ++row)
            column[row] = &rows[row]->values[at];
        values.emplace_back(textArrayLiteral(column));
    }
    std::vector<const std::optional<std::string>*> bound;
    bound.reserve(values.size());
    for (const std::optional<std::string>& value : values)
        bound.push_back(&value);
    const bool ran = execute(m_insert.handle, bound);
    closeCursor(m_insert.handle);
    return ran;
}

bool PreparedLineStore::findStored(const std::vector<Row>& rows, std::unordered_set<std::string>& stored)
{
    if (m_arrays)
        return findStoredByArrays(rows, stored);
    for (std::size_t first = 0; first < rows.size(); first += KeysPerSelect) {
        const std::size_t count = std::min(KeysPerSelect, rows.size() - first);
        Statement& statement = count == KeysPerSelect ? m_select : m_tailSelect;
        if (!prepared(statement, count, [this, count] { return selectText(count); }))
            return false;
        std::vector<const std::optional<std::string>*> values;
        values.reserve(count * 4);
        for (std::size_t at = first; at < first + count; ++at) {
            const Row& row = rows[at];
            values.insert(values.end(), {&row.values[0], &row.values[3], &row.values[1], &row.values[2]});
        }
        if (!execute(statement.handle, values)) {
            closeCursor(statement.handle);
            return false;
        }
        if (!fetchKeys(statement.handle, stored))
            return false;
    }
    return true;
}

bool PreparedLineStore::insertRows(const std::vector<const Row*>& rows)
{
    if (m_arrays)
        return insertRowsByArrays(rows);
    const std::size_t perInsert =
        m_kind == TableKind::MountHistory ? MountHistoryRowsPerInsert : LibraryPerformanceRowsPerInsert;
    for (std::size_t first = 0; first < rows.size(); first += perInsert) {
        const std::size_t count = std::min(perInsert, rows.size() - first);
        Statement& statement = count == perInsert ? m_insert : m_tailInsert;
        if (!prepared(statement, count, [this, count] { return insertText(count); }))
            return false;
        std::vector<const std::optional<std::string>*> values;
        values.reserve(count * m_columns.size());
        for (std::size_t at = first; at < first + count; ++at)
            for (const std::optional<std::string>& value : rows[at]->values)
                values.push_back(&value);
        const bool ran = execute(statement.handle, values);
        closeCursor(statement.handle);
        if (!ran)
            return false;
    }
    return true;
}
