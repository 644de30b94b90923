#include "ImportLines.h"

#include "LibraryFileText.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"
#include "db/InsertMR.h"
#include "db/InsertRow.h"
#include "db/LockWait.h"
#include "db/qmxDB.h"

#include <algorithm>
#include <optional>

namespace {
struct LineCounts {
    int inserted = 0;
    int duplicates = 0;
    int failed = 0;
};

int storeLine(const std::string& line, SavedFileKind kind, const std::string& libraryAddress, SQLHSTMT statement)
{
    const AppSettings& settings = theApp().settings;
    if (kind == SavedFileKind::MountHistory)
        return InsertMR(line + ",", settings.mountHistoryTableName, libraryAddress, statement);
    return qmxDB().InsertLP(line, settings.libraryPerformanceTableName, libraryAddress, statement);
}

void count(LineCounts& counts, int stored)
{
    if (stored == InsertDone)
        ++counts.inserted;
    else if (stored == InsertDuplicate)
        ++counts.duplicates;
    else
        ++counts.failed;
}

bool setAutoCommit(SQLHDBC connection, bool on)
{
    const SQLRETURN result =
        SQLSetConnectAttr(connection, SQL_ATTR_AUTOCOMMIT,
                          reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF)),
                          SQL_IS_UINTEGER);
    return result == SQL_SUCCESS || result == SQL_SUCCESS_WITH_INFO;
}

bool endTransaction(SQLHDBC connection, SQLSMALLINT completion)
{
    const SQLRETURN result = SQLEndTran(SQL_HANDLE_DBC, connection, completion);
    return result == SQL_SUCCESS || result == SQL_SUCCESS_WITH_INFO;
}

// The transactions of the batches. A server database takes them through the driver's commit
// mode. The embedded store locks the whole file for a writer: a transaction that began by
// reading would wait out the busy timeout to become a writer while another writer holds the
// lock, so each batch takes the write lock when it begins, and concurrent writers queue.
class BatchTransactions {
public:
    explicit BatchTransactions(SQLHDBC connection)
        : m_connection(connection), m_writeLockFirst(isEmbeddedStore(connection)),
          m_available(m_writeLockFirst || setAutoCommit(connection, false))
    {
    }
    // False when the driver cannot leave its default commit mode.
    bool available() const { return m_available; }
    bool begin() { return !m_writeLockFirst || runOnConnection(m_connection, "BEGIN IMMEDIATE"); }
    bool commit()
    {
        return m_writeLockFirst ? runOnConnection(m_connection, "COMMIT") : endTransaction(m_connection, SQL_COMMIT);
    }
    void rollback()
    {
        if (m_writeLockFirst)
            runOnConnection(m_connection, "ROLLBACK");
        else
            endTransaction(m_connection, SQL_ROLLBACK);
    }
    // Every statement committed on its own until resumed.
    void pause()
    {
        if (!m_writeLockFirst)
            setAutoCommit(m_connection, true);
    }
    void resume()
    {
        if (!m_writeLockFirst)
            setAutoCommit(m_connection, false);
    }
    // Back to the driver's default commit mode, with everything committed.
    void finish()
    {
        if (!m_writeLockFirst) {
            endTransaction(m_connection, SQL_COMMIT);
            setAutoCommit(m_connection, true);
        }
    }

private:
    SQLHDBC m_connection;
    bool m_writeLockFirst;
    bool m_available;
};

// Each line committed on its own, as a monitor stores them: a failed line cannot take others with it.
LineCounts storeOneByOne(const std::vector<std::string>& lines, std::size_t begin, std::size_t end,
                         SavedFileKind kind, const std::string& libraryAddress, SQLHSTMT statement)
{
    LineCounts counts;
    for (std::size_t at = begin; at < end; ++at)
        count(counts, storeLine(lines[at], kind, libraryAddress, statement));
    return counts;
}

// One batch in one transaction. Nothing when the batch has to be stored again line by line: a
// line failed (some drivers roll the whole transaction back on a failed statement, and every
// later statement of it fails too), the commit failed, or the batch's last new row is not
// there after the commit (a transaction the server had given up commits as a rollback).
// Storing the last new row's line again is the check: it finds the row, or stores it anew.
std::optional<LineCounts> storeInTransaction(const std::vector<std::string>& lines, std::size_t begin,
                                             std::size_t end, SavedFileKind kind, const std::string& libraryAddress,
                                             OdbcHandles& handles, BatchTransactions& transactions,
                                             bool& lastRowStoredByCheck)
{
    LineCounts counts;
    std::optional<std::size_t> lastInserted;
    lastRowStoredByCheck = false;
    if (!transactions.begin())
        return std::nullopt;
    for (std::size_t at = begin; at < end; ++at) {
        const int stored = storeLine(lines[at], kind, libraryAddress, handles.statement);
        if (stored == InsertFailed) {
            transactions.rollback();
            return std::nullopt;
        }
        if (stored == InsertDone)
            lastInserted = at;
        count(counts, stored);
    }
    if (!transactions.commit()) {
        transactions.rollback();
        return std::nullopt;
    }
    if (lastInserted) {
        transactions.pause();
        const int check = storeLine(lines[*lastInserted], kind, libraryAddress, handles.statement);
        transactions.resume();
        if (check != InsertDuplicate) {
            lastRowStoredByCheck = check == InsertDone;
            return std::nullopt;
        }
    }
    return counts;
}
} // namespace

void storeImportLines(const std::vector<std::string>& lines, SavedFileKind kind, const std::string& libraryAddress,
                      OdbcHandles& handles, ImportResult& result)
{
    LineCounts total;
    // A driver that cannot leave its default commit mode stores every line on its own.
    BatchTransactions transactions(handles.connection);
    const bool batched = transactions.available();
    for (std::size_t begin = 0; begin < lines.size(); begin += ImportBatchLines) {
        const std::size_t end = batched ? std::min(lines.size(), begin + ImportBatchLines) : lines.size();
        bool lastRowStoredByCheck = false;
        std::optional<LineCounts> counts;
        if (batched)
            counts = storeInTransaction(lines, begin, end, kind, libraryAddress, handles, transactions,
                                        lastRowStoredByCheck);
        if (!counts) {
            if (batched) {
                WriteDebugLine("Import lines " + std::to_string(begin + 1) + " to " + std::to_string(end)
                               + " are stored again one at a time");
                transactions.pause();
            }
            counts = storeOneByOne(lines, begin, end, kind, libraryAddress, handles.statement);
            if (lastRowStoredByCheck) {
                // The check stored that row anew: it is new to the database, not a duplicate.
                ++counts->inserted;
                --counts->duplicates;
            }
            if (batched)
                transactions.resume();
        }
        total.inserted += counts->inserted;
        total.duplicates += counts->duplicates;
        total.failed += counts->failed;
        if (!batched)
            break;
    }
    if (batched)
        transactions.finish();
    result.inserted += total.inserted;
    result.duplicates += total.duplicates;
    result.failed += total.failed;
}

void storeSavedFileLines(SavedFileReader& file, SavedFileKind kind, const std::string& libraryAddress,
                         OdbcHandles& handles, ImportResult& result)
{
    std::vector<std::string> batch;
    std::size_t batchBytes = 0;
    bool firstDataLine = true;
    const auto storeBatch = [&] {
        if (!batch.empty())
            storeImportLines(batch, kind, libraryAddress, handles, result);
        batch.clear();
        batchBytes = 0;
    };
    for (LineReader::Line line; file.next(line);) {
        const bool wholeDataPart = firstDataLine && !line.ended;
        firstDataLine = false;
        if (line.tooLong) {
            refuseLine(tooLongLineReason(), "line " + std::to_string(file.lineNumber()) + " of the file");
            ++result.failed;
            continue;
        }
        if (isBlankLine(line.text))
            continue;
        // A library performance file whose data part is under two characters counts as empty.
        if (kind == SavedFileKind::LibraryPerformance && wholeDataPart && line.text.size() < 2)
            continue;
        batchBytes += line.text.size();
        batch.push_back(std::move(line.text));
        if (batch.size() >= ImportBatchLines || batchBytes >= ImportBatchBytes)
            storeBatch();
    }
    storeBatch();
}
