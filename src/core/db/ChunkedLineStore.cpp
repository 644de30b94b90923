#include "ChunkedLineStore.h"

#include "Dialect.h"
#include "InsertMR.h"
#include "InsertRow.h"
#include "LockWait.h"
#include "OdbcHandles.h"
#include "qmxDB.h"
#include "app/CQmxApp.h"
#include "app/DebugLog.h"

#include <algorithm>

ChunkedLineStore::ChunkedLineStore(TableKind kind, std::string table, std::string libraryAddress, OdbcHandles& handles,
                                   ChunkedLineStoreOptions options)
    : m_kind(kind), m_table(std::move(table)), m_address(std::move(libraryAddress)), m_handles(handles),
      m_options(options)
{
    if (!m_options.batched || Dialect::current().isOracle())
        return;
    m_transactions = std::make_unique<BatchTransactions>(handles.connection);
    // A driver that cannot leave its default commit mode stores every line on its own.
    if (!m_transactions->available()) {
        m_transactions.reset();
        return;
    }
    // A chunk's rows land all over the unique key's index (the lines come in time order, the key
    // leads with the volser): with the store's small default page cache, most of a chunk's index
    // pages are written out and read back again before the commit. The larger cache lasts as long
    // as this connection; it is memory, not a setting of the database.
    if (m_transactions->embeddedStore())
        runOnConnection(handles.connection, "PRAGMA cache_size = -" + std::to_string(EmbeddedCacheKilobytes));
    m_prepared = std::make_unique<PreparedLineStore>(kind, m_table, m_address, handles.connection,
                                                     m_transactions->embeddedStore(), m_options.running);
}

ChunkedLineStore::~ChunkedLineStore()
{
    finish();
}

void ChunkedLineStore::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    // The prepared statements go before the connection's commit mode is restored.
    m_prepared.reset();
    if (m_transactions)
        m_transactions->finish();
}

int ChunkedLineStore::storeLine(const std::string& line)
{
    if (m_kind == TableKind::MountHistory)
        return InsertMR(line + ",", m_table, m_address, m_handles.statement);
    return qmxDB().InsertLP(line, m_table, m_address, m_handles.statement);
}

bool ChunkedLineStore::store(const std::vector<std::string>& lines, const std::function<void(int)>& each)
{
    const std::size_t perChunk = std::max<std::size_t>(1, m_options.linesPerChunk);
    for (std::size_t begin = 0; begin < lines.size(); begin += perChunk) {
        if (m_options.stop != nullptr && m_options.stop->load())
            return false;
        storeChunk(lines, begin, std::min(lines.size(), begin + perChunk), each);
    }
    return true;
}

void ChunkedLineStore::storeOneByOne(const std::vector<std::string>& lines, std::size_t begin, std::size_t end,
                                     const std::function<void(int)>& each, std::optional<std::size_t> storedByCheck)
{
    for (std::size_t at = begin; at < end; ++at) {
        if (m_options.stop != nullptr && m_options.stop->load())
            return;
        int result = storeLine(lines[at]);
        // The check after the commit stored that row anew: it is new to the database.
        if (storedByCheck && *storedByCheck == at && result == InsertDuplicate)
            result = InsertDone;
        each(result);
    }
}

// One chunk in one transaction. Nothing when the chunk has to be stored again line by line: a
// statement failed (some drivers roll the whole transaction back on a failed statement, and
// every later statement of it fails too), the commit failed, or the chunk's last new row is not
// there after the commit (a transaction the server had given up commits as a rollback).
// Storing the last new row's line again is the check: it finds the row, or stores it anew
// (storedByCheck). passedOver: the chunk holds a line the batched statements do not take.
std::optional<std::vector<StoredLine>> ChunkedLineStore::storeInTransaction(const std::vector<std::string>& lines,
                                                                            std::size_t begin, std::size_t end,
                                                                            std::optional<std::size_t>& storedByCheck,
                                                                            bool& passedOver)
{
    storedByCheck.reset();
    passedOver = false;
    if (!m_transactions->begin())
        return std::nullopt;
    std::optional<std::vector<StoredLine>> stored = m_prepared->store(lines, begin, end);
    passedOver = !stored && !m_prepared->statementFailed();
    if (!stored || !m_transactions->commit()) {
        m_transactions->rollback();
        return std::nullopt;
    }
    std::optional<std::size_t> lastInserted;
    for (std::size_t at = stored->size(); at-- > 0;)
        if ((*stored)[at].result == InsertDone) {
            lastInserted = begin + at;
            break;
        }
    if (lastInserted) {
        m_transactions->pause();
        const int check = storeLine(lines[*lastInserted]);
        m_transactions->resume();
        if (check != InsertDuplicate) {
            if (check == InsertDone)
                storedByCheck = lastInserted;
            return std::nullopt;
        }
    }
    return stored;
}

void ChunkedLineStore::storeChunk(const std::vector<std::string>& lines, std::size_t begin, std::size_t end,
                                  const std::function<void(int)>& each)
{
    if (!m_prepared) {
        storeOneByOne(lines, begin, end, each, std::nullopt);
        return;
    }
    std::optional<std::size_t> storedByCheck;
    bool passedOver = false;
    if (const auto stored = storeInTransaction(lines, begin, end, storedByCheck, passedOver)) {
        // The lines' log lines once the chunk is committed, as if each had been stored in turn;
        // they and what the caller logs for each line go to the log together.
        const GatheredDebugLines gathered(theApp().debugLog());
        for (const StoredLine& line : *stored) {
            if (!line.logLine.empty())
                WriteDebugLine(line.logLine);
            each(line.result);
        }
        return;
    }
    // A long chunk goes again in pieces, each in a transaction of its own: only the pieces with
    // the line that failed, or with a line of its own kind, go line by line. After a check that
    // stored a row anew, the chunk goes line by line as a whole: that row's line is known.
    const std::size_t piece = std::max<std::size_t>(1, m_options.linesPerRetry);
    if (end - begin > piece && !storedByCheck) {
        for (std::size_t first = begin; first < end; first += piece) {
            if (m_options.stop != nullptr && m_options.stop->load())
                return;
            storeChunk(lines, first, std::min(end, first + piece), each);
        }
        return;
    }
    if (m_options.logRetries && !passedOver)
        WriteDebugLine("Import lines " + std::to_string(begin + 1) + " to " + std::to_string(end)
                       + " are stored again one at a time");
    m_transactions->pause();
    storeOneByOne(lines, begin, end, each, storedByCheck);
    m_transactions->resume();
}
