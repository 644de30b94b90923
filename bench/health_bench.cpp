// Times the drive and cartridge health trend reports over a generated library year: 48 drives
// (4 frames of 12) and 5,000 cartridges, 1,600 mounts a day for 365 days (584,000 mounts, about
// 12,000 a drive and 117 a cartridge, every rating and utilisation field non-zero). Runs on a
// fresh SQLite file (WAL) and, when VAULTLINE_TEST_PG_PORT names a running PostgreSQL server, on
// fresh tables there. Prints the fill time, each report's time, its trend blocks and not-enough
// lines, the time of the cartridge report's statements alone (one a field over all cartridges,
// every row fetched) and of the report with one statement per cartridge and field, the peak
// memory, and whether the limits were kept (drive report 10 s, cartridge report 60 s, and on a
// server the cartridge report within 3 times its statements; the exit status is 1 when one was
// not).
//
//   health_bench [mounts a day]      (default 1600)

#include "app/CQmxApp.h"
#include "app/UserPrompts.h"
#include "db/OdbcHandles.h"
#include "db/Tables.h"
#include "db/qmxDB.h"
#include "reports/HealthReport.h"
#include "reports/HealthStatements.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int Days = 365;
constexpr int Drives = 48;
constexpr int Cartridges = 5000;
constexpr const char* Library = "10.20.1.15";

struct Backend {
    std::string name;
    std::string dsn;
    std::string user;
};

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long peakMemoryKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::string dayText(int day)
{
    using namespace std::chrono;
    const year_month_day date{sys_days{2025y / December / 1} + days{day}};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

// Mount i of the year: day i / perDay, spread over the day; drive and cartridge in turn.
bool fillYear(const Backend& backend, const std::string& table, int perDay)
{
    qmxDB db;
    OdbcHandles handles;
    if (!db.connectDB(backend.dsn, backend.user, "", handles, Diagnostics::ShowUser))
        return false;
    SQLSetConnectAttr(handles.connection, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
    const long total = static_cast<long>(perDay) * Days;
    for (long first = 0; first < total; first += 1000) {
        std::string sql = "INSERT INTO " + table + " VALUES ";
        for (long i = first; i < std::min(total, first + 1000); ++i) {
            const long second = (i % perDay) * 86400 / perDay;
            const int drive = static_cast<int>(i % Drives);
            char head[160];
            std::snprintf(head, sizeof head, "('%s', '%s', '%02ld:%02ld:%02ld', 'C%05ldL8', %d, %d, 'LL1', %d", Library,
                          dayText(static_cast<int>(i / perDay)).c_str(), second / 3600, second / 60 % 60, second % 60,
                          i % Cartridges, 1 + drive / 12, 1 + drive % 12, 256 + drive);
            sql += (i == first ? "" : ", ") + std::string(head);
            for (int column = 9; column <= 38; ++column)
                sql += ", " + std::to_string(column >= 37 ? 0 : 1 + (i * column + i / 977) % 100);
            sql += ")";
        }
        if (SQLExecDirect(handles.statement, sqlText(sql), SQL_NTS) != SQL_SUCCESS)
            return false;
        SQLEndTran(SQL_HANDLE_DBC, handles.connection, SQL_COMMIT);
    }
    // The tables come with the reports' indexes; the planner gets its statistics for them.
    SQLExecDirect(handles.statement, sqlText(backend.name == "SQLite" ? "ANALYZE" : "ANALYZE " + table), SQL_NTS);
    SQLFreeStmt(handles.statement, SQL_CLOSE);
    db.disconnectDB(handles);
    return true;
}

// Counts the report's trend blocks and not-enough lines as they are written.
class CountingSink : public ReportSink {
public:
    void write(const std::string& text) override
    {
        if (text.find("Trend line status") != std::string::npos)
            ++blocks;
        else if (text.find("Not enough") != std::string::npos)
            ++notEnough;
    }
    long blocks = 0;
    long notEnough = 0;
};

struct Outcome {
    double seconds = 0;
    int result = 0;
    long blocks = 0;
    long notEnough = 0;
};

Outcome timeReport(const Backend& backend, const std::string& table, HealthReportKind kind, bool reference = false)
{
    ReportRequest request;
    request.beginDate = dayText(0);
    request.endDate = dayText(Days - 1);
    request.addresses = {Library};
    request.dataSourceName = backend.dsn;
    request.userName = backend.user;
    request.table = table;
    request.databaseType = 2;
    request.referenceCounts = reference;
    CountingSink sink;
    request.sink = &sink;
    Outcome outcome;
    const auto start = Clock::now();
    outcome.result = runHealthReport(kind, request);
    outcome.seconds = secondsSince(start);
    outcome.blocks = sink.blocks;
    outcome.notEnough = sink.notEnough;
    return outcome;
}

// The report's own statements alone: each field's statement over all subjects, every row
// fetched and every column read as text, nothing computed.
double timeStatementsAlone(const Backend& backend, const std::string& table, HealthReportKind kind)
{
    qmxDB db;
    OdbcHandles handles;
    if (!db.connectDB(backend.dsn, backend.user, "", handles, Diagnostics::LogOnly))
        return -1;
    const auto start = Clock::now();
    const int columns = kind == HealthReportKind::Drive ? 5 : 4;
    for (const HealthField& field : healthFields(kind)) {
        const std::string sql =
            healthBatchStatement(kind, field, table, Library, dayText(0), dayText(Days - 1), Dialect(2));
        if (SQLExecDirect(handles.statement, sqlText(sql), SQL_NTS) != SQL_SUCCESS)
            return -1;
        while (fetchSucceeded(SQLFetch(handles.statement)))
            for (int column = 1; column <= columns; ++column)
                (void)getColumnText(handles.statement, static_cast<SQLUSMALLINT>(column), 64);
        SQLFreeStmt(handles.statement, SQL_CLOSE);
    }
    const double seconds = secondsSince(start);
    db.disconnectDB(handles);
    return seconds;
}

bool verdict(const char* what, bool kept)
{
    std::printf("  %-58s %s\n", what, kept ? "kept" : "NOT KEPT");
    return kept;
}
} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int perDay = argc > 1 ? std::atoi(argv[1]) : 1600;
    const fs::path folder = fs::temp_directory_path() / ("vaultline-health-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    if (theApp().debugLog().open((folder / "lvr_debug.txt").string()) != 0)
        return 2;
    SilentPrompts prompts;
    theApp().setPrompts(&prompts);

    std::vector<Backend> backends{{"SQLite", "HealthBenchSQLite", ""}};
    {
        std::ofstream ini(folder / "odbc.ini");
        ini << "[HealthBenchSQLite]\nDriver=SQLite3\nDatabase=" << (folder / "bench.sqlite").string()
            << "\nJournalMode=WAL\nTimeout=100000\n\n";
        if (const char* port = std::getenv("VAULTLINE_TEST_PG_PORT"); port != nullptr && *port != '\0') {
            ini << "[HealthBenchPG]\nDriver=PostgreSQL ANSI\nServername=127.0.0.1\nPort=" << port
                << "\nDatabase=vaultline\nUsername=postgres\nUseServerSidePrepare=0\n\n";
            backends.push_back({"PostgreSQL", "HealthBenchPG", "postgres"});
        }
    }
    setenv("ODBCINI", (folder / "odbc.ini").c_str(), 1);

    int status = 0;
    for (const Backend& backend : backends) {
        const std::string table = "HBENCH" + std::to_string(getpid());
        std::printf("%s\n", backend.name.c_str());
        const auto fillStart = Clock::now();
        if (createTables(table, "DEFAULT", backend.dsn, backend.user, "") != 1 || !fillYear(backend, table, perDay)) {
            std::printf("  could not fill the tables (see %s)\n", (folder / "lvr_debug.txt").c_str());
            status = 1;
            continue;
        }
        std::printf("  filled %ld mounts in %.1f s\n", static_cast<long>(perDay) * Days, secondsSince(fillStart));

        const Outcome drive = timeReport(backend, table, HealthReportKind::Drive);
        std::printf("  drive health: %.2f s, %ld trend blocks, %ld not-enough lines (%d drives x 14 fields)\n",
                    drive.seconds, drive.blocks, drive.notEnough, Drives);
        const Outcome cartridge = timeReport(backend, table, HealthReportKind::Cartridge);
        std::printf("  cartridge health: %.2f s, %ld trend blocks, %ld not-enough lines (%d cartridges x 11 fields)\n",
                    cartridge.seconds, cartridge.blocks, cartridge.notEnough, Cartridges);
        // The cartridge report reads each field of every cartridge with one statement on a server
        // (the drive report and the embedded store keep one statement per unit and field).
        const double alone = timeStatementsAlone(backend, table, HealthReportKind::Cartridge);
        const Outcome reference = timeReport(backend, table, HealthReportKind::Cartridge, true);
        std::printf("  cartridge health: the 11 statements over all cartridges alone %.2f s (%.1f times in the "
                    "report); one statement per cartridge and field %.2f s\n",
                    alone, alone > 0 ? cartridge.seconds / alone : 0.0, reference.seconds);
        if (backend.name != "SQLite"
            && !verdict("cartridge health report within 3 times its statements",
                        alone > 0 && cartridge.seconds <= 3 * alone))
            status = 1;
        std::printf("  peak memory (ru_maxrss): %ld KB\n", peakMemoryKilobytes());
        if (drive.result != 1 || cartridge.result != 1) {
            std::printf("  a report did not run to its end\n");
            status = 1;
        }
        if (backend.name == "SQLite") {
            if (!verdict("drive health report within 10 s", drive.seconds <= 10))
                status = 1;
            if (!verdict("cartridge health report within 60 s", cartridge.seconds <= 60))
                status = 1;
        }
        dropTables(table, backend.dsn, backend.user, "", nullptr);
    }
    theApp().debugLog().close();
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return status;
}
