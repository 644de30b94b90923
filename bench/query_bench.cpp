// Times the general SQL query window over a mount history table (all 35 query columns) in a
// SQLite file the program fills itself: from pressing Query to the last row shown in the list,
// then a sort by one text column (VOLSER) and by one numeric column (FRAME). Prints each time,
// what the list's cells take and the process's peak resident memory. Runs offscreen unless a
// platform is set. A year of one busy library is about 730,000 mount rows: 1,000,000 rows are
// to be shown within 30 s, each sort done within 5 s, with a peak under 1 GB.
//
//   query_bench [rows]        (default 50000)

#include "app/CQmxApp.h"
#include "app/UserPrompts.h"
#include "db/OdbcHandles.h"
#include "db/Tables.h"
#include "db/qmxDB.h"
#include "query/CQueryData.h"
#include "query/CQueryDataSink.h"
#include "query/CQueryForm.h"
#include "query/CSplitterFrame.h"
#include "query/QueryListModel.h"
#include "query/QueryRun.h"
#include "query/QueryResultSink.h"

#include <QApplication>
#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;

// Answers Yes to the large-result question; shows nothing.
class BenchPrompts final : public UserPrompts {
public:
    void showMessage(const std::string& text, MessageIcon) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    bool askYesNo(const std::string&, MessageIcon) override { return true; }
    CredentialsReply askCredentials(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> askOpenFileName(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> askSaveFileName(const std::string&, const std::string&, const std::string&) override
    {
        return {};
    }
    std::optional<std::string> askText(const std::string&, const std::string&, const std::string&) override
    {
        return {};
    }
    void setWaitCursor(bool) override {}
};

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The process's processor time (all threads): on a shared machine the wall time also counts
// the time other processes had the processors.
double cpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

long peakMemoryKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// One mount per row, every counter filled, in one transaction per 1000 rows.
bool fillMountHistory(const std::string& dsn, const std::string& table, int rows)
{
    qmxDB db;
    OdbcHandles handles;
    if (!db.connectDB(dsn, "", "", handles, Diagnostics::ShowUser))
        return false;
    SQLSetConnectAttr(handles.connection, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
    const char* libraries[] = {"ARCHIVE", "BACKUP", "LL1-1", "Vault"};
    for (int first = 0; first < rows; first += 1000) {
        std::string sql = "INSERT INTO " + table + " VALUES ";
        for (int i = first; i < std::min(rows, first + 1000); ++i) {
            char head[160];
            std::snprintf(head, sizeof head,
                          "('10.0.%d.%d', '2026-%02d-%02d', '%02d:%02d:%02d', 'V%05dL9', %d, %d, '%s', %d", i % 3,
                          1 + i % 2, 1 + i % 12, 1 + i % 28, i % 24, i % 60, (i * 7) % 60, (i * 7919) % 100000,
                          1 + i % 4, 1 + i % 12, libraries[i % 4], 256 + i % 48);
            sql += (i == first ? "" : ", ") + std::string(head);
            for (int column = 9; column <= 38; ++column)
                sql += ", " + std::to_string((i * column) % (column < 37 ? 99991 : 3));
            sql += ")";
        }
        if (SQLExecDirect(handles.statement, sqlText(sql), SQL_NTS) != SQL_SUCCESS)
            return false;
        SQLEndTran(SQL_HANDLE_DBC, handles.connection, SQL_COMMIT);
    }
    db.disconnectDB(handles);
    return true;
}

// Lets queued work run until the condition holds.
template <class Condition>
void pumpUntil(Condition condition)
{
    while (!condition())
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}
} // namespace

int main(int argc, char** argv)
{
    const int rows = argc > 1 ? std::atoi(argv[1]) : 50000;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);

    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vaultline-query-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    {
        std::ofstream ini(folder / "odbc.ini");
        ini << "[VaultlineQueryBench]\nDriver=SQLite3\nDatabase=" << (folder / "bench.sqlite").string()
            << "\nJournalMode=WAL\nTimeout=100000\nStepAPI=1\n";
    }
    setenv("ODBCINI", (folder / "odbc.ini").c_str(), 1);

    CQmxApp& app = theApp();
    BenchPrompts prompts;
    app.setPrompts(&prompts);
    app.debugLog().open((folder / "lvr_debug.txt").string());
    app.settings.databaseName = "VaultlineQueryBench";
    app.settings.DatabaseType = 2;
    app.settings.mountHistoryTableName = "BENCH";
    app.settings.libraryPerformanceTableName = "BENCH_LP";
    app.settings.DateFormatCode = 1;
    app.connected = true;

    int status = 0;
    const auto fillStart = Clock::now();
    if (createTables("BENCH", "DEFAULT", app.settings.databaseName, "", "") != 1
        || !fillMountHistory(app.settings.databaseName, "BENCH", rows)) {
        std::fprintf(stderr, "could not fill the table\n");
        status = 1;
    } else {
        std::printf("filled %d mount history rows in %.2f s; peak memory before the query %ld KB\n", rows,
                    secondsSince(fillStart), peakMemoryKilobytes());
        CSplitterFrame window;
        window.resize(1200, 800);
        window.show();
        CQueryForm* form = window.form();
        CQueryData* list = window.list();

        const double queryCpu = cpuSeconds();
        const auto queryStart = Clock::now();
        form->queryButton()->click();
        pumpUntil([&] { return form->lastRun()->finished.load(); });
        const double workerTime = secondsSince(queryStart);
        pumpUntil([&] { return !form->queryButton()->isHidden(); });
        list->scrollToBottom();
        list->viewport()->repaint();
        const double queryTime = secondsSince(queryStart);
        std::printf("query: %d rows x %d columns shown in %.3f s (processor time %.3f s; the worker was done after "
                    "%.3f s); peak memory %ld KB\n",
                    list->listModel().rowCount(), list->listModel().columnCount(), queryTime, cpuSeconds() - queryCpu,
                    workerTime, peakMemoryKilobytes());
        const std::size_t cellBytes = list->listData().cellMemoryBytes();
        std::printf(
            "the list's cells take %zu KB, %.1f bytes a cell\n", cellBytes / 1024,
            static_cast<double>(cellBytes)
                / std::max(1.0, static_cast<double>(list->listModel().rowCount()) * list->listModel().columnCount()));

        const int volser = 4;
        const int frame = 5;
        const auto timeSort = [&](const char* what, int column, bool addAsFurtherKey) {
            const double cpuStart = cpuSeconds();
            const auto start = Clock::now();
            list->SortColumn(column, addAsFurtherKey);
            list->viewport()->repaint();
            std::printf("%s %s: %.3f s (processor time %.3f s)\n", what, list->listData().column(column).title.c_str(),
                        secondsSince(start), cpuSeconds() - cpuStart);
        };
        timeSort("sort by text column", volser, false);
        timeSort("sort by numeric column", frame, false);
        timeSort("Ctrl sort adding a minor key", volser, true);
        if (list->listModel().rowCount() != rows)
            status = 1;
        list->clear();
        {
            // The worker alone, filling a list on its own thread: the database's share of the time.
            QueryListData data;
            QueryListSink sink(data);
            GeneralQueryFlags flags;
            const double cpuStart = cpuSeconds();
            const auto start = Clock::now();
            GeneralQueryThread(GeneralQueryRequest::fromSettings(true, ""), sink, flags);
            std::printf("worker alone: %d rows read in %.3f s (processor time %.3f s); peak memory %ld KB\n",
                        data.rowCount(), secondsSince(start), cpuSeconds() - cpuStart, peakMemoryKilobytes());
        }
    }
    std::printf("peak memory (ru_maxrss): %ld KB\n", peakMemoryKilobytes());
    app.debugLog().close();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return status;
}
