#pragma once

#include <sql.h>

// The transactions lines are stored in, a chunk at a time. A server database takes them through
// the driver's commit mode. The embedded store locks the whole file for a writer: a transaction
// that began by reading would wait out the busy timeout to become a writer while another writer
// holds the lock, so each chunk takes the write lock when it begins, and concurrent writers queue.
class BatchTransactions {
public:
    explicit BatchTransactions(SQLHDBC connection);
    // False when the driver cannot leave its default commit mode.
    bool available() const { return m_available; }
    bool embeddedStore() const { return m_writeLockFirst; }
    bool begin();
    bool commit();
    void rollback();
    // Every statement committed on its own until resumed.
    void pause();
    void resume();
    // Back to the driver's default commit mode, with everything committed.
    void finish();

private:
    SQLHDBC m_connection;
    bool m_writeLockFirst;
    bool m_available;
};
