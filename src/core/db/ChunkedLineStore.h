#pragma once

#include "BatchTransactions.h"
#include "PreparedLineStore.h"
#include "Tables.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct OdbcHandles;
class RunningStatement;

// How a ChunkedLineStore goes about its work.
struct ChunkedLineStoreOptions {
    // Batched statements in the Derby / Nimbus dialect; false stores every line with InsertMR or
    // qmxDB::InsertLP, committed on its own (the Oracle dialect always does).
    bool batched = true;
    // Log a line when a chunk is stored again one line at a time.
    bool logRetries = true;
    // Seen before each chunk, and before each line of a chunk stored line by line.
    const std::atomic<bool>* stop = nullptr;
    // The statements a stop on another thread cancels on a server database.
    RunningStatement* running = nullptr;
    // Lines per transaction: every commit waits for the disk and writes every index page the
    // chunk touched, so fewer, longer chunks cost less; a chunk holds its lines and their log
    // lines until it is committed (the import also ends a chunk at ImportBatchBytes).
    std::size_t linesPerChunk = 16000;
    // A chunk that cannot be stored whole goes again in pieces of this many lines, and a piece
    // that cannot line by line.
    std::size_t linesPerRetry = 500;
};

// Stores the lines of a library file for one library on an open connection, a chunk of lines
// per transaction, each line unless a row with its key is stored: what InsertMR and
// qmxDB::InsertLP do line by line, with the same results and debug log lines, in the order of
// the lines, at the cost of a few statements per chunk. A chunk the batched statements cannot
// store (a line the server refuses, a commit that fails) is rolled back and stored again line
// by line, so that a line that fails takes no other with it. The connection is back in its
// default commit mode when the store is finished or destroyed.
class ChunkedLineStore {
public:
    // The embedded store's page cache while a store is open on its connection.
    static constexpr int EmbeddedCacheKilobytes = 16384;

    ChunkedLineStore(TableKind kind, std::string table, std::string libraryAddress, OdbcHandles& handles,
                     ChunkedLineStoreOptions options = {});
    ~ChunkedLineStore();
    ChunkedLineStore(const ChunkedLineStore&) = delete;
    ChunkedLineStore& operator=(const ChunkedLineStore&) = delete;

    // Stores the lines (as the file has them, no comma appended); each is called with every
    // line's result (1 inserted, 2 stored before, 0 failed), in line order, after the line's own
    // log lines. False when the stop flag ended it before the last chunk.
    bool store(const std::vector<std::string>& lines, const std::function<void(int)>& each);
    // Commits what is left and restores the default commit mode; also done by the destructor.
    void finish();

private:
    void storeChunk(const std::vector<std::string>& lines, std::size_t begin, std::size_t end,
                    const std::function<void(int)>& each);
    std::optional<std::vector<StoredLine>> storeInTransaction(const std::vector<std::string>& lines, std::size_t begin,
                                                              std::size_t end,
                                                              std::optional<std::size_t>& storedByCheck,
                                                              bool& passedOver);
    void storeOneByOne(const std::vector<std::string>& lines, std::size_t begin, std::size_t end,
                       const std::function<void(int)>& each, std::optional<std::size_t> storedByCheck);
    int storeLine(const std::string& line);

    TableKind m_kind;
    std::string m_table;
    std::string m_address;
    OdbcHandles& m_handles;
    ChunkedLineStoreOptions m_options;
    std::unique_ptr<BatchTransactions> m_transactions;
    std::unique_ptr<PreparedLineStore> m_prepared;
    bool m_finished = false;
};
