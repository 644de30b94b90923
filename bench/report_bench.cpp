// Times the text reports over one generated library year: 48 drives in 4 frames, 5,000
// cartridges, 2,000 mounts a day, 365 days (730,000 rows), in a SQLite file the program fills
// itself and, when VAULTLINE_TEST_PG_PORT names a running PostgreSQL server, in a table there.
// The drive statistics file comes from the simulated library on loopback. For each database it
// prints: the load, each report for one month and for the year with its time and the rows in
// its range, one GROUP BY statement that computes the per-day drive counts, and, beside the
// whole-range statements, the queries the reports were first made with (the reference): mount
// rates one query per date for one week, the other two one query per cartridge for one day.
//
//   report_bench [days] [sqlite|postgresql]        (default 365, both)

#include "LibraryFileServer.h"
#include "app/CQmxApp.h"
#include "db/OdbcHandles.h"
#include "db/Tables.h"
#include "db/qmxDB.h"
#include "reports/CartridgeStatistics.h"
#include "reports/EncryptionStatus.h"
#include "reports/MountRates.h"
#include "reports/ReportRunner.h"
#include "reports/ReportStatements.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;
constexpr int Drives = 48;
constexpr int Cartridges = 5000;
constexpr int MountsPerDay = 2000;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string dayText(int day)
{
    std::tm date{};
    date.tm_year = 2025 - 1900;
    date.tm_mon = 0;
    date.tm_mday = 1 + day;
    date.tm_hour = 12;
    std::mktime(&date);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &date);
    return text;
}

bool execute(SQLHSTMT statement, const std::string& sql)
{
    const SQLRETURN result = SQLExecDirect(statement, sqlText(sql), SQL_NTS);
    closeCursor(statement);
    return result == SQL_SUCCESS || result == SQL_SUCCESS_WITH_INFO || result == SQL_NO_DATA;
}

// The year, 1,000 rows a statement, one transaction per day. The last drive stays idle.
bool fill(const std::string& dsn, const std::string& user, const std::string& table, const std::string& address,
          int days)
{
    qmxDB db;
    OdbcHandles handles;
    if (!db.connectDB(dsn, user, "", handles, Diagnostics::ShowUser))
        return false;
    SQLSetConnectAttr(handles.connection, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
    for (int day = 0; day < days; ++day) {
        const std::string date = dayText(day);
        for (int first = 0; first < MountsPerDay; first += 1000) {
            std::string sql = "INSERT INTO " + table
                              + " (ipAddress, Date, Time, Volser, Frame, Drive, Life_Mounts_Media, "
                                "Life_Write_Retries_Media, Life_Write_Perms_Media, Life_Read_Retries_Media, "
                                "Life_Read_Perms_Media, Mount_Crypto_Status, Mount_Crypto_Rekey) VALUES ";
            for (int mount = first; mount < first + 1000; ++mount) {
                const int drive = (mount * 7 + day) % (Drives - 1);
                const int cartridge = (mount * 13 + day * 101) % Cartridges;
                // Mounts on whole hours too, so that the hour bins overlap as they do in life.
                const int second = mount % 10 == 0 ? (mount / 10 % 24) * 3600 : (mount * 43 + day * 17) % 86400;
                char row[256];
                std::snprintf(
                    row, sizeof row, "%s('%s', '%s', '%02d:%02d:%02d', 'V%05d', %d, %d, %d, %d, %d, %d, %d, %d, %d)",
                    mount == first ? "" : ", ", address.c_str(), date.c_str(), second / 3600, second / 60 % 60,
                    second % 60, cartridge, drive % 4 + 1, drive / 4 + 1, day + 1, day / 40, day / 90,
                    (cartridge + day) / 60, day / 120, cartridge % 3 == 0 ? 1 : 0, (cartridge + day) % 97 == 0 ? 1 : 0);
                sql += row;
            }
            if (!execute(handles.statement, sql)) {
                db.reportDiagnostics(SQL_HANDLE_STMT, handles.statement, Diagnostics::LogOnly);
                return false;
            }
        }
        SQLEndTran(SQL_HANDLE_DBC, handles.connection, SQL_COMMIT);
    }
    db.disconnectDB(handles);
    return true;
}

long long rowsInRange(const std::string& dsn, const std::string& user, const std::string& table,
                      const std::string& address, const std::string& begin, const std::string& end)
{
    qmxDB db;
    OdbcHandles handles;
    if (!db.connectDB(dsn, user, "", handles, Diagnostics::ShowUser))
        return -1;
    const std::string sql = "select count(*) from " + table + " where ipaddress = '" + address + "' and date >= '"
                            + begin + "' and date <= '" + end + "'";
    long long rows = -1;
    if (SQLExecDirect(handles.statement, sqlText(sql), SQL_NTS) == SQL_SUCCESS
        && fetchSucceeded(SQLFetch(handles.statement)))
        rows = std::atoll(getColumnText(handles.statement, 1).value_or("-1").c_str());
    closeCursor(handles.statement);
    db.disconnectDB(handles);
    return rows;
}

// One GROUP BY statement's time, its groups fetched.
double timeGroupBy(const char* label, const std::string& dsn, const std::string& user, const std::string& sql)
{
    qmxDB db;
    OdbcHandles handles;
    if (!db.connectDB(dsn, user, "", handles, Diagnostics::ShowUser))
        return -1;
    const auto start = Clock::now();
    SQLExecDirect(handles.statement, sqlText(sql), SQL_NTS);
    long groups = 0;
    while (fetchSucceeded(SQLFetch(handles.statement)))
        ++groups;
    closeCursor(handles.statement);
    const double seconds = secondsSince(start);
    db.disconnectDB(handles);
    std::printf("    GROUP BY %s: %.3f s (%ld groups)\n", label, seconds, groups);
    return seconds;
}

// A report run's time and its text after the header line (which carries the time of the run).
struct TimedReport {
    double seconds = 0;
    std::string text;
};

// batch: the text of the same report read with the whole-range statements, for a reference run
// to be compared with.
TimedReport timeReport(const char* name, int (*procedure)(const ReportRequest&), const std::string& address,
                       const std::string& begin, const std::string& end, const std::string& dsn,
                       const std::string& user, const std::string& table, const TimedReport* batch = nullptr)
{
    TextReportSink sink;
    ReportRequest request = ReportRequest::fromSettings(begin, end, {address});
    request.sink = &sink;
    request.referenceCounts = batch != nullptr;
    const auto start = Clock::now();
    const int result = procedure(request);
    TimedReport timed;
    timed.seconds = secondsSince(start);
    const std::string text = sink.text();
    timed.text = text.substr(std::min(text.size(), text.find("\r\n") + 2));
    const char* comparison = batch == nullptr ? "" : (batch->text == timed.text ? ", the same text" : ", ANOTHER TEXT");
    std::printf("    %-22s %s to %s: %8.3f s, %lld rows in range, %zu bytes of text%s%s\n", name, begin.c_str(),
                end.c_str(), timed.seconds, rowsInRange(dsn, user, table, address, begin, end), text.size(), comparison,
                result == 1 ? "" : "  (stopped on a database error)");
    std::fflush(stdout);
    return timed;
}

void benchDatabase(const char* label, const std::string& dsn, const std::string& user, const std::string& address,
                   int days, double yearLimit)
{
    CQmxApp& app = theApp();
    const std::string table = "BENCH" + std::to_string(getpid());
    app.settings.databaseName = dsn;
    app.settings.userName = user;
    app.settings.DatabaseType = 2;
    app.settings.mountHistoryTableName = table;
    std::printf("%s\n", label);
    std::fflush(stdout);
    if (createTables(table, "DEFAULT", dsn, user, "") != 1) {
        std::printf("    could not create the tables\n");
        return;
    }
    const auto loadStart = Clock::now();
    if (!fill(dsn, user, table, address, days)) {
        std::printf("    could not load the rows\n");
        dropTables(table, dsn, user, "", nullptr);
        return;
    }
    std::printf("    loaded %d rows in %.1f s\n", days * MountsPerDay, secondsSince(loadStart));

    const std::string first = dayText(0);
    const std::string monthEnd = dayText(30);
    const std::string last = dayText(days - 1);
    timeReport("mount rates", ReportLibThread, address, first, monthEnd, dsn, user, table);
    const double mountYear = timeReport("mount rates", ReportLibThread, address, first, last, dsn, user, table).seconds;
    timeReport("cartridge statistics", ReportCtgStatThread, address, first, monthEnd, dsn, user, table);
    const double statisticsYear =
        timeReport("cartridge statistics", ReportCtgStatThread, address, first, last, dsn, user, table).seconds;
    timeReport("encryption status", ReportEncThread, address, first, monthEnd, dsn, user, table);
    const double encryptionYear =
        timeReport("encryption status", ReportEncThread, address, first, last, dsn, user, table).seconds;
    const ReportStatements statements(table, Dialect(2));
    const double groupBy =
        timeGroupBy("per-day drive counts, all days", dsn, user, statements.driveCountsByDate(address, first, last));
    // What mount rates cannot do without: the per-day count of every cartridge (some 730,000
    // groups, against the drives' 17,000), summed on the server.
    timeGroupBy("per-day cartridge counts summed, all days", dsn, user,
                statements.volserCountSums(address, first, last));
    const TimedReport week =
        timeReport("mount rates, batched", ReportLibThread, address, first, dayText(6), dsn, user, table);
    timeReport("mount rates, per date", ReportLibThread, address, first, dayText(6), dsn, user, table, &week);
    const TimedReport statisticsDay =
        timeReport("cartridge statistics", ReportCtgStatThread, address, first, first, dsn, user, table);
    timeReport("  per cartridge", ReportCtgStatThread, address, first, first, dsn, user, table, &statisticsDay);
    const TimedReport encryptionDay =
        timeReport("encryption status", ReportEncThread, address, first, first, dsn, user, table);
    timeReport("  per cartridge", ReportEncThread, address, first, first, dsn, user, table, &encryptionDay);

    const double slowest = std::max({mountYear, statisticsYear, encryptionYear});
    std::printf("    whole year: slowest report %.1f s (limit %.0f s): %s; mount rates %.1f times its GROUP BY "
                "(limit 10): %s\n",
                slowest, yearLimit, slowest <= yearLimit ? "within" : "OVER", groupBy > 0 ? mountYear / groupBy : 0.0,
                groupBy > 0 && mountYear <= 10 * groupBy ? "within" : "OVER");
    dropTables(table, dsn, user, "", nullptr);
}
} // namespace

int main(int argc, char** argv)
{
    const int days = argc > 1 ? std::max(31, std::atoi(argv[1])) : 365;
    const auto folder = std::filesystem::temp_directory_path() / ("report_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    {
        std::ofstream ini(folder / "odbc.ini");
        ini << "[VaultlineReportBench]\nDriver=SQLite3\nDatabase=" << (folder / "bench.sqlite").string()
            << "\nJournalMode=WAL\nTimeout=100000\n\n";
        if (const char* port = std::getenv("VAULTLINE_TEST_PG_PORT"); port != nullptr && *port != '\0') {
            const char* database = std::getenv("VAULTLINE_TEST_PG_DATABASE");
            ini << "[VaultlineReportBenchPG]\nDriver=PostgreSQL ANSI\nServername=127.0.0.1\nPort=" << port
                << "\nDatabase=" << (database != nullptr ? database : "vaultline") << "\nUseServerSidePrepare=0\n\n";
        }
    }
    setenv("ODBCINI", (folder / "odbc.ini").c_str(), 1);
    theApp().debugLog().open((folder / "lvr_debug.txt").string());

    // The library whose drive statistics file names the 48 drives.
    libsim::LibraryOptions library;
    library.frames = 4;
    library.drives = Drives;
    library.days = 1;
    libsim::LibraryFileServer server(library);
    if (!server.start()) {
        std::fprintf(stderr, "report_bench: the simulated library did not start\n");
        return 1;
    }

    const std::string only = argc > 2 ? argv[2] : "";
    if (only != "postgresql")
        benchDatabase("SQLite", "VaultlineReportBench", "", server.address(), days, 30);
    if (const char* port = std::getenv("VAULTLINE_TEST_PG_PORT");
        port != nullptr && *port != '\0' && only != "sqlite") {
        const char* user = std::getenv("VAULTLINE_TEST_PG_USER");
        benchDatabase("PostgreSQL", "VaultlineReportBenchPG", user != nullptr ? user : "postgres", server.address(),
                      days, 60);
    }
    server.stop();
    theApp().debugLog().close();
    std::filesystem::remove_all(folder);
    return 0;
}
