#pragma once

// What the monitor tests share: a line buffer the engine writes into, and the simulated
// library's files as the monitor should read them.

#include "CliProcess.h"
#include "LibraryFileServer.h"
#include "library/LibraryFileText.h"
#include "library/LibraryTexts.h"
#include "library/MonitorSink.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

class MonitorLines final : public MonitorSink {
public:
    void writeMonitorLine(const std::string& text) override
    {
        std::lock_guard lock(m_mutex);
        m_lines.push_back(text);
        m_changed.notify_all();
    }
    std::vector<std::string> lines() const
    {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }
    // Lines that begin with the prefix, in order.
    std::vector<std::string> starting(const std::string& prefix) const
    {
        std::vector<std::string> found;
        for (const std::string& line : lines())
            if (line.rfind(prefix, 0) == 0)
                found.push_back(line);
        return found;
    }
    // Waits (bounded) until `count` lines begin with the prefix.
    bool waitFor(const std::string& prefix, std::size_t count, std::chrono::milliseconds limit)
    {
        return waitUntil(
            [&](const std::vector<std::string>& lines) {
                std::size_t seen = 0;
                for (const std::string& line : lines)
                    seen += line.rfind(prefix, 0) == 0 ? 1 : 0;
                return seen >= count;
            },
            limit);
    }
    // Waits (bounded) until `count` lines are exactly the text (an empty line ends a cycle).
    bool waitForExactly(const std::string& text, std::size_t count, std::chrono::milliseconds limit)
    {
        return waitUntil(
            [&](const std::vector<std::string>& lines) {
                return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), text)) >= count;
            },
            limit);
    }
    bool waitUntil(const std::function<bool(const std::vector<std::string>&)>& done, std::chrono::milliseconds limit)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, limit, [&] { return done(m_lines); });
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_lines;
};

// The mount records the library's mount history file holds now, one text per record.
inline std::set<std::string> servedMounts(libsim::LibraryFileServer& server)
{
    const std::vector<std::string> lines =
        mountHistoryDataLines(libraryFileText(server.currentFile(library_texts::MountHistoryFileName)));
    return {lines.begin(), lines.end()};
}

inline std::size_t servedPerformanceLines(libsim::LibraryFileServer& server)
{
    return libraryPerformanceDataLines(libraryFileText(server.currentFile(library_texts::LibraryPerformanceFileName)))
        .size();
}

// "Inserted N new entries ..." -> N.
inline int insertedCount(const std::string& line)
{
    return std::stoi(line.substr(std::string("Inserted ").size()));
}

inline const std::string InsertedMountHistory = "Inserted ";
inline const std::string MountHistoryInserted(int count)
{
    return "Inserted " + std::to_string(count) + " new entries from Mount History file into database";
}

// `vaultlinectl monitor` run as a process: fresh tables on the embedded test database, the
// settings the command reads in a folder of its own, and a simulated library of two days.
class MonitorProcessTest : public ::testing::Test {
protected:
    explicit MonitorProcessTest(std::string stem) : m_stem(std::move(stem)) {}
    void SetUp() override
    {
        m_backend = testBackends().front(); // SQLite, always there
        m_base = uniqueTableName(m_stem);
        ASSERT_EQ(createTables(m_base, "DEFAULT", m_backend.dsn, m_backend.user, m_backend.password), 1);
        ASSERT_TRUE(std::filesystem::exists(cliProgramPath())) << cliProgramPath() << " is not built";
        writeCliSettings(m_folder, m_backend, m_base);
    }
    void TearDown() override
    {
        if (!m_base.empty())
            dropTables(m_base, m_backend.dsn, m_backend.user, m_backend.password, nullptr);
    }

    static std::unique_ptr<libsim::LibraryFileServer> startLibrary()
    {
        libsim::LibraryOptions library;
        library.days = 2;
        auto server = std::make_unique<libsim::LibraryFileServer>(library);
        EXPECT_TRUE(server->start());
        return server;
    }

    std::string m_stem;
    TestBackend m_backend;
    std::string m_base;
    TemporaryFolder m_folder;
};
