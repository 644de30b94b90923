// The demonstration library tells the truth about itself: the simulator marks the drives and
// cartridges it wears out, and the overview over the simulated history must find them without
// blaming the healthy ones. A half-size library keeps the demonstration's wear and each unit's
// mounts (half the drives, half the cartridges, half the mounts a day, the same year).

#include "DemonstrationRows.h"
#include "ScopedApp.h"
#include "db/Tables.h"
#include "fleet/FleetReader.h"
#include "fleet/FleetReport.h"
#include "reports/ReportRunner.h"

#include <gtest/gtest.h>

namespace {
TEST(FleetDemonstration, FindsTheWearingUnitsAndSparesTheHealthyOnes)
{
    const TestBackend backend = testBackends().front();
    ASSERT_EQ(backend.name, "SQLite");
    ScopedApp scoped;
    const std::string table = uniqueTableName("fleetdemo");
    scoped.useBackend(backend, table);
    ASSERT_EQ(createTables(table, "DEFAULT", backend.dsn, backend.user, backend.password), 1);

    libsim::LibraryOptions options = libsim::LibraryOptions::demonstration();
    options.drives = 16;
    options.cartridges = 800;
    options.mountsPerDay = 500;
    options.start = libsim::fromCivil({2026, 1, 1, 0, 0});
    options.end = *options.start + options.days * libsim::MinutesPerDay;
    const libsim::LibrarySimulation simulation(options);
    const std::string address = "127.0.0.1:18080";
    ASSERT_TRUE(storeDemonstrationRows(simulation, backend.dsn, backend.user, table, address)) << scoped.logText();

    const ReportRequest request =
        ReportRequest::fromSettings(demonstrationDate(*options.start), demonstrationDate(options.end), {address});
    FleetResult result;
    ASSERT_EQ(computeFleetHealth(request, address, FleetOptions{}, result), FleetReader::Outcome::Done);
    const GroundTruthFigures figures = compareWithGroundTruth(result, simulation.model());
    ASSERT_GE(figures.wearingDrives, 2);
    ASSERT_GE(figures.wearingCartridges, 20);
    EXPECT_EQ(figures.wearingDrivesSuspect, figures.wearingDrives);
    EXPECT_GE(figures.wearingCartridgesFlagged * 100, figures.wearingCartridges * 85)
        << figures.wearingCartridgesFlagged << " of " << figures.wearingCartridges;
    EXPECT_LE(figures.healthySuspects * 100, figures.healthyUnits * 2)
        << figures.healthySuspects << " of " << figures.healthyUnits;
    // The worst drive heads the list, and the sentence counts what the lists hold.
    EXPECT_EQ(result.drives.front().verdict, FleetVerdict::Suspect);
    EXPECT_NE(fleetOverviewText(address, result).find(fleetAttentionSentence(result)), std::string::npos);
    dropTables(table, backend.dsn, backend.user, backend.password, nullptr);
}
} // namespace
