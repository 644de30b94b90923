// The library overview over the demonstration library's year (5 frames, 32 drives, 1,600
// cartridges, about 1,000 mounts a day; 4 drives and 48 cartridges wear out), on a fresh SQLite
// file and, when VAULTLINE_TEST_PG_PORT names a running PostgreSQL server, on a table there.
// For each database it prints the time to store the year, then (measured in a process of its
// own, so that the simulated year in this one does not count) the overview's time and peak
// memory, and the verdicts against the simulator's own list of wearing units: wearing drives
// found suspect, wearing cartridges found suspect or watch, healthy units called suspect.
//
//   fleet_bench [days] [sqlite|postgresql]        (default 365, both)

#include "DemonstrationRows.h"
#include "LibraryModel.h"
#include "LibraryOptions.h"
#include "app/CQmxApp.h"
#include "db/Tables.h"
#include "fleet/FleetReader.h"
#include "fleet/FleetReport.h"
#include "reports/ReportRunner.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;
constexpr const char* Address = "127.0.0.1:18080";

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

libsim::LibraryOptions demonstration(int days)
{
    libsim::LibraryOptions options = libsim::LibraryOptions::demonstration();
    options.days = days;
    options.start = libsim::fromCivil({2026, 1, 1, 0, 0});
    options.end = *options.start + days * libsim::MinutesPerDay;
    return options;
}

// The measured part: the overview over the whole history, then the comparison.
int compute(const std::string& dsn, const std::string& user, const std::string& table, int days)
{
    const libsim::LibraryOptions options = demonstration(days);
    theApp().settings.databaseName = dsn;
    theApp().settings.userName = user;
    theApp().settings.mountHistoryTableName = table;
    theApp().settings.DatabaseType = 2;
    const std::string from = demonstrationDate(*options.start);
    const std::string to = demonstrationDate(options.end);
    ReportRequest request = ReportRequest::fromSettings(from, to, {Address});
    FleetResult result;
    const auto start = Clock::now();
    if (computeFleetHealth(request, Address, FleetOptions{}, result) != FleetReader::Outcome::Done) {
        std::printf("  the overview stopped on a database error\n");
        return 1;
    }
    const double seconds = secondsSince(start);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const GroundTruthFigures figures = compareWithGroundTruth(result, libsim::buildLibraryModel(options));
    std::printf("  overview %s to %s: %.2f s, peak memory %.1f MB, %lld mounts, %lld troubled, usual rate %.4f\n",
                from.c_str(), to.c_str(), seconds, usage.ru_maxrss / 1024.0, static_cast<long long>(result.mounts),
                static_cast<long long>(result.troubled), result.usualRate);
    std::printf("  %s\n", fleetAttentionSentence(result).c_str());
    std::printf("  wearing drives suspect:            %d / %d\n", figures.wearingDrivesSuspect, figures.wearingDrives);
    std::printf("  wearing cartridges suspect/watch:  %d / %d (%.1f %%)\n", figures.wearingCartridgesFlagged,
                figures.wearingCartridges,
                100.0 * figures.wearingCartridgesFlagged / std::max(1, figures.wearingCartridges));
    std::printf("  healthy units suspect:             %d / %d (%.2f %%), on the watch list %d\n",
                figures.healthySuspects, figures.healthyUnits,
                100.0 * figures.healthySuspects / std::max(1, figures.healthyUnits), figures.healthyWatch);
    return 0;
}

bool benchDatabase(const char* label, const std::string& dsn, const std::string& user,
                   const libsim::LibrarySimulation& simulation, int days)
{
    std::printf("%s:\n", label);
    const std::string table = "fleet_bench_" + std::to_string(getpid());
    if (createTables(table, "DEFAULT", dsn, user, "") != 1) {
        std::printf("  the tables could not be created\n");
        return false;
    }
    const auto start = Clock::now();
    const bool stored = storeDemonstrationRows(simulation, dsn, user, table, Address);
    std::printf("  stored %zu mounts in %.1f s\n", simulation.mounts().size(), secondsSince(start));
    bool ok = stored;
    if (stored) {
        const std::string command = "\"" + std::filesystem::read_symlink("/proc/self/exe").string() + "\" --compute "
                                    + dsn + " \"" + user + "\" " + table + " " + std::to_string(days);
        ok = std::system(command.c_str()) == 0;
    }
    dropTables(table, dsn, user, "", nullptr);
    return ok;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc == 6 && std::string(argv[1]) == "--compute")
        return compute(argv[2], argv[3], argv[4], std::atoi(argv[5]));

    const int days = argc > 1 ? std::max(30, std::atoi(argv[1])) : 365;
    const auto folder = std::filesystem::temp_directory_path() / ("fleet_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    {
        std::ofstream ini(folder / "odbc.ini");
        ini << "[VaultlineFleetBench]\nDriver=SQLite3\nDatabase=" << (folder / "bench.sqlite").string()
            << "\nJournalMode=WAL\nTimeout=100000\nStepAPI=1\n\n";
        if (const char* port = std::getenv("VAULTLINE_TEST_PG_PORT"); port != nullptr && *port != '\0') {
            const char* database = std::getenv("VAULTLINE_TEST_PG_DATABASE");
            ini << "[VaultlineFleetBenchPG]\nDriver=PostgreSQL ANSI\nServername=127.0.0.1\nPort=" << port
                << "\nDatabase=" << (database != nullptr ? database : "vaultline") << "\nUseServerSidePrepare=0\n\n";
        }
    }
    setenv("ODBCINI", (folder / "odbc.ini").c_str(), 1);
    theApp().debugLog().open((folder / "lvr_debug.txt").string());

    const auto start = Clock::now();
    const libsim::LibrarySimulation simulation(demonstration(days));
    std::printf("The demonstration library, %d days: %zu mounts simulated in %.1f s\n", days,
                simulation.mounts().size(), secondsSince(start));
    const std::string only = argc > 2 ? argv[2] : "";
    bool ok = true;
    if (only != "postgresql")
        ok = benchDatabase("SQLite", "VaultlineFleetBench", "", simulation, days) && ok;
    if (const char* port = std::getenv("VAULTLINE_TEST_PG_PORT");
        port != nullptr && *port != '\0' && only != "sqlite") {
        const char* user = std::getenv("VAULTLINE_TEST_PG_USER");
        ok = benchDatabase("PostgreSQL", "VaultlineFleetBenchPG", user != nullptr ? user : "postgres", simulation, days)
             && ok;
    }
    theApp().debugLog().close();
    std::filesystem::remove_all(folder);
    return ok ? 0 : 1;
}
