// Times the import of generated mount history files of 20,000 and 100,000 lines into a fresh
// SQLite database (WAL) and, when VAULTLINE_TEST_PG_PORT names a running PostgreSQL server, into
// fresh tables there; each file is imported a second time to time the duplicate path. Prints
// lines per second and the peak resident memory each run added for every run, the ratio of the
// two sizes' times, the time the database's own bulk load (sqlite3 .import, psql \copy) takes for
// the same rows into the same tables and indexes, and whether each floor was reached (the exit
// status is 1 when one was not).
// Before that, files that must cost next to nothing: a 2 MB library performance line, a 50 MB
// file that is no library's, and /dev/zero.

#include "app/CQmxApp.h"
#include "app/UserPrompts.h"
#include "db/Tables.h"
#include "db/qmxDB.h"
#include "library/Import.h"
#include "db/LibraryPerformanceLine.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Backend {
    std::string name;
    std::string dsn;
    std::string user;
    double firstImportFloor; // lines per second
};

// Minute i after 2009-01-01 00:00, with a new cartridge every line: every line is its own mount.
std::string mountLine(long index)
{
    using namespace std::chrono;
    const long minute = index * 3;
    const year_month_day day{sys_days{2009y / January / 1} + days{minute / 1440}};
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d__%02u__%02u__%02ld.%02ld", static_cast<int>(day.year()),
                  static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()), minute % 1440 / 60,
                  minute % 60);
    char volser[16];
    std::snprintf(volser, sizeof volser, "V%05ldL9", index % 100000);
    std::string line = std::string(stamp) + "," + volser + ",_" + std::to_string(1 + index % 4) + ",_"
                       + std::to_string(1 + index % 12) + ",ARCHIVE_____,__" + std::to_string(256 + index % 12)
                       + ",0,0";
    for (int counter = 9; counter <= 36; ++counter)
        line += counter == 23 ? ",_" : "," + std::to_string((index * counter) % 997);
    return line;
}

std::string writeMountHistoryFile(const std::string& path, long lines)
{
    std::ofstream out(path, std::ios::binary);
    out << "Mount History,Library,BENCH" << std::string(33, ',') << "\nFrames,4\nRecord,Mount\nTime Stamp\nMount "
        << "Time,Volser\n";
    for (long index = 0; index < lines; ++index)
        out << mountLine(index) << "\n";
    return path;
}

// The process's peak resident memory in KB since the last reset (Linux keeps it in VmHWM).
long peakResidentKilobytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

void resetPeakResident()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

struct Timed {
    ImportResult result;
    double seconds = 0;
    long peakGrowthKilobytes = 0; // peak resident memory during the import over that before it
};

Timed timedImport(const std::string& path)
{
    resetPeakResident();
    const long before = peakResidentKilobytes();
    const auto start = Clock::now();
    Timed timed;
    timed.result = importSavedFile(path, "10.0.0.1");
    timed.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    timed.peakGrowthKilobytes = peakResidentKilobytes() - before;
    return timed;
}

// Runs a shell command line; true when it ran and succeeded.
bool run(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

std::string quoted(const std::string& text)
{
    return "'" + text + "'";
}

// The database's own bulk load of the rows the import stored in table, copied out to a CSV file
// first, into fresh tables with the same columns and indexes, in one transaction: the sqlite3
// shell's .import, or psql's \copy. Seconds, or a negative number when the tool failed.
double bulkLoadSeconds(const std::string& backend, const std::string& dsn, const std::string& user,
                       const fs::path& folder, const std::string& table)
{
    const std::string rows = (folder / "rows.csv").string();
    const std::string copy = table + "_copy";
    if (createTables(copy, "DEFAULT", dsn, user, "") != 1)
        return -1;
    std::string out;
    std::string in;
    if (backend == "SQLite") {
        // The data source BenchSQLite<size> is the file bench<size>.sqlite.
        const std::string database =
            (folder / ("bench" + dsn.substr(std::string("BenchSQLite").size()) + ".sqlite")).string();
        out = "sqlite3 -csv " + quoted(database) + " " + quoted("select * from " + table) + " > " + quoted(rows);
        // The shell's .import runs in one transaction of its own.
        in = "sqlite3 " + quoted(database) + " " + quoted(".import --csv " + rows + " " + copy);
    } else {
        const std::string psql = "psql -X -q -h 127.0.0.1 -p " + std::string(std::getenv("VAULTLINE_TEST_PG_PORT"))
                                 + " -U " + user + " -d vaultline -c ";
        out = psql + quoted("\\copy (select * from " + table + ") to " + rows + " csv");
        in = psql + quoted("\\copy " + copy + " from " + rows + " csv");
    }
    double seconds = -1;
    if (run(out)) {
        const auto start = Clock::now();
        if (run(in))
            seconds = std::chrono::duration<double>(Clock::now() - start).count();
    }
    dropTables(copy, dsn, user, "", nullptr);
    std::error_code ignored;
    fs::remove(rows, ignored);
    return seconds;
}

bool report(const char* what, bool reached)
{
    std::printf("  %-62s %s\n", what, reached ? "reached" : "NOT REACHED");
    return reached;
}
} // namespace

int main()
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // figures appear as each run ends
    const fs::path folder = fs::temp_directory_path() / ("vaultline-import-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    if (theApp().debugLog().open((folder / "lvr_debug.txt").string()) != 0) {
        std::fprintf(stderr, "cannot open the debug log in %s\n", folder.c_str());
        return 2;
    }
    SilentPrompts prompts;
    theApp().setPrompts(&prompts);

    std::vector<long> sizes{20000, 100000};
    // VAULTLINE_BENCH_FILE names a saved mount history file (the demonstration's year, say) to
    // import instead of the larger generated one.
    const char* given = std::getenv("VAULTLINE_BENCH_FILE");
    if (given != nullptr && *given != '\0') {
        std::ifstream file(given, std::ios::binary);
        long lines = 0;
        for (std::string line; std::getline(file, line);)
            ++lines;
        sizes[1] = lines - 5;
    }
    std::vector<Backend> backends;
    {
        std::ofstream ini(folder / "odbc.ini");
        for (long size : sizes)
            ini << "[BenchSQLite" << size
                << "]\nDriver=SQLite3\nDatabase=" << (folder / ("bench" + std::to_string(size) + ".sqlite")).string()
                << "\nJournalMode=WAL\nTimeout=100000\n\n";
        backends.push_back({"SQLite", "BenchSQLite", "bench", 5000});
        if (const char* port = std::getenv("VAULTLINE_TEST_PG_PORT"); port != nullptr && *port != '\0') {
            // The data source as the README recommends it: every statement is prepared for one
            // execution, so a server-side prepare only adds round trips (the driver's default
            // measured about half the rate here). VAULTLINE_BENCH_PG_OPTIONS replaces the line,
            // e.g. with "UseServerSidePrepare=1" to see the default.
            const char* options = std::getenv("VAULTLINE_BENCH_PG_OPTIONS");
            const std::string extra = options != nullptr ? options : "UseServerSidePrepare=0";
            ini << "[BenchPG]\nDriver=PostgreSQL ANSI\nServername=127.0.0.1\nPort=" << port
                << "\nDatabase=vaultline\nUsername=postgres\n"
                << extra << "\n\n";
            backends.push_back({"PostgreSQL (" + extra + ")", "BenchPG", "postgres", 1000});
        }
    }
    setenv("ODBCINI", (folder / "odbc.ini").c_str(), 1);

    std::vector<std::string> files;
    for (long size : sizes)
        files.push_back(
            files.size() == 1 && given != nullptr && *given != '\0'
                ? std::string(given)
                : writeMountHistoryFile((folder / ("mounts" + std::to_string(size) + ".csv")).string(), size));

    bool allReached = true;
    {
        // Refused before any statement: no database is needed for these.
        std::printf("Files refused at once\n");
        const std::string blanks(2 << 20, ' ');
        const std::string longLine = "2009 04 28 15:" + blanks + "46,LIB1,1,2,3,4,5,6,7,8,9";
        auto start = Clock::now();
        const LibraryPerformanceLine parsed = LibraryPerformanceLine::parse(longLine);
        const double parseSeconds = std::chrono::duration<double>(Clock::now() - start).count();
        start = Clock::now();
        const int refused = qmxDB().InsertLP(longLine, "LP", "10.0.0.1", SQL_NULL_HSTMT);
        const double refuseSeconds = std::chrono::duration<double>(Clock::now() - start).count();
        std::printf("  2 MB library performance line: parsed in %.1f ms (time %s), refused in %.3f ms\n",
                    parseSeconds * 1000, parsed.time.c_str(), refuseSeconds * 1000);
        allReached &= report("2 MB line refused, parsed in under 100 ms", refused == 0 && parseSeconds < 0.1);

        const std::string huge = (folder / "huge.csv").string();
        std::ofstream(huge, std::ios::binary) << "Date,Amount,Note\n" << std::string(1 << 20, 'x') << "\n";
        fs::resize_file(huge, 50u << 20);
        for (const std::string& path : {huge, std::string("/dev/zero")}) {
            const Timed timed = timedImport(path);
            std::printf("  %-28s %s in %.1f ms, peak memory +%ld KB\n",
                        path == huge ? "50 MB file, not a library's" : "/dev/zero",
                        timed.result.outcome == ImportOutcome::InvalidFormat ? "refused" : "NOT REFUSED",
                        timed.seconds * 1000, timed.peakGrowthKilobytes);
            allReached &= report("refused in under 100 ms with under 4 MB more memory",
                                 timed.result.outcome == ImportOutcome::InvalidFormat && timed.seconds < 0.1
                                     && timed.peakGrowthKilobytes < 4096);
        }
    }
    for (const Backend& backend : backends) {
        std::printf("%s\n", backend.name.c_str());
        std::vector<double> firstSeconds;
        std::vector<long> peakGrowth;
        for (std::size_t which = 0; which < sizes.size(); ++which) {
            const long size = sizes[which];
            const std::string dsn = backend.name == "SQLite" ? backend.dsn + std::to_string(size) : backend.dsn;
            const std::string base = "bench" + std::to_string(getpid()) + "_" + std::to_string(size);
            AppSettings& settings = theApp().settings;
            settings.databaseName = dsn;
            settings.userName = backend.user;
            settings.DatabaseType = 2;
            settings.mountHistoryTableName = tableNameFor(TableKind::MountHistory, base);
            settings.libraryPerformanceTableName = tableNameFor(TableKind::LibraryPerformance, base);
            settings.reportsTableName = tableNameFor(TableKind::Reports, base);
            if (createTables(base, "DEFAULT", dsn, backend.user, "") != 1) {
                std::fprintf(stderr, "  cannot create the tables on %s: see %s\n", dsn.c_str(),
                             (folder / "lvr_debug.txt").c_str());
                return 2;
            }
            const Timed first = timedImport(files[which]);
            const Timed again = timedImport(files[which]);
            const double bulk =
                bulkLoadSeconds(backend.name.substr(0, 6), dsn, backend.user, folder, settings.mountHistoryTableName);
            dropTables(base, dsn, backend.user, "", nullptr);
            firstSeconds.push_back(first.seconds);
            char floor[96];
            peakGrowth.push_back(first.peakGrowthKilobytes);

            const double firstRate = size / first.seconds;
            const double againRate = size / again.seconds;
            std::printf("  %6ld lines  first import %8.2f s %9.0f lines/s (%d new)   again %8.2f s %9.0f lines/s "
                        "(%d new, %d already stored)\n",
                        size, first.seconds, firstRate, first.result.inserted, again.seconds, againRate,
                        again.result.inserted, again.result.duplicates);
            std::printf("  %6ld lines  peak memory during the first import +%ld KB\n", size, first.peakGrowthKilobytes);
            const bool sqlite = backend.name == "SQLite";
            const double share = sqlite ? 0.5 : 0.25;
            if (bulk > 0) {
                std::printf("  %6ld lines  the database's own bulk load (%s) %8.2f s %9.0f rows/s; the import runs at "
                            "%.2f of its speed\n",
                            size, sqlite ? "sqlite3 .import" : "psql \\copy", bulk, size / bulk, bulk / first.seconds);
                std::snprintf(floor, sizeof floor, "first import of %ld lines at least %.2f of the bulk load's speed",
                              size, share);
                allReached &= report(floor, bulk / first.seconds >= share);
            } else {
                std::printf("  %6ld lines  the database's own bulk load did not run\n", size);
                allReached = false;
            }
            if (first.result.inserted != size || again.result.duplicates != size || first.result.failed != 0) {
                std::printf("  the imports did not store every line: see %s\n", (folder / "lvr_debug.txt").c_str());
                allReached = false;
            }
            std::snprintf(floor, sizeof floor, "first import of %ld lines at least %.0f lines/s", size,
                          backend.firstImportFloor);
            allReached &= report(floor, firstRate >= backend.firstImportFloor);
            std::snprintf(floor, sizeof floor, "import again of %ld lines at least as fast as the first", size);
            allReached &= report(floor, again.seconds <= first.seconds);
        }
        const double ratio = firstSeconds[1] / firstSeconds[0];
        std::printf("  time of 100,000 lines / time of 20,000 lines: %.2f\n", ratio);
        allReached &= report("at most 6", ratio <= 6.0);
        // The file is read line by line: five times the lines may not need more memory.
        allReached &=
            report("100,000 lines need at most 4 MB more memory than 20,000", peakGrowth[1] <= peakGrowth[0] + 4096);
    }
    theApp().setPrompts(nullptr);
    theApp().debugLog().close();
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return allReached ? 0 : 1;
}
