// The drive-or-tape attribution on a small hand-made library, on each test database: a bad
// drive, a bad cartridge, the clean units that met them, and clean fillers whose counters have
// NULLs and decreases in them.

#include "ScopedApp.h"
#include "fleet/FleetHealth.h"
#include "fleet/FleetMath.h"
#include "fleet/FleetReader.h"
#include "fleet/FleetReport.h"
#include "reports/ReportRunner.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <map>
#include <sstream>

namespace {
constexpr const char* Library = "10.9.8.7";

// Mounts written with the cartridge's counters grown by the given amounts since its last mount.
class HandMadeLibrary {
public:
    struct Unit {
        int frame;
        int drive;
    };

    void mount(int day, const std::string& volser, Unit drive, std::array<int, 4> growth = {}, int alert = 0,
               int driveRating = 220)
    {
        auto& life = m_life[volser];
        for (std::size_t i = 0; i < 4; ++i)
            life[i] += growth[i];
        char counters[96];
        std::snprintf(counters, sizeof counters, "%d, %d, %d, %d", life[0], life[1], life[2], life[3]);
        raw(day, volser, drive, counters, alert, driveRating);
    }

    // The four counters as SQL literals, as they stand (NULLs, decreases).
    void raw(int day, const std::string& volser, Unit drive, const std::string& counters, int alert = 0,
             int driveRating = 220)
    {
        char values[256];
        std::snprintf(values, sizeof values, "('%s', '2026-03-%02d', '%02d:%02d:00', '%s', %d, %d, %s, %d, %d, %d, %d)",
                      Library, day, 1 + m_count / 60 % 23, m_count % 60, volser.c_str(), drive.frame, drive.drive,
                      counters.c_str(), ++m_mounts[volser], alert, driveRating, 210);
        ++m_count;
        m_rows.push_back(values);
    }

    void store(const TestBackend& backend, const std::string& table) const
    {
        std::string values;
        for (const std::string& row : m_rows)
            values += (values.empty() ? "" : ", ") + row;
        ASSERT_TRUE(executeSql(backend, "insert into " + table
                                            + " (ipAddress, Date, Time, Volser, Frame, Drive, "
                                              "Life_Write_Retries_Media, Life_Write_Perms_Media, "
                                              "Life_Read_Retries_Media, Life_Read_Perms_Media, Life_Mounts_Media, "
                                              "Mount_TapeAlert_Media, Mount_Rating_Drive, Mount_Rating_Media) values "
                                            + values));
    }

private:
    std::map<std::string, std::array<int, 4>> m_life;
    std::map<std::string, int> m_mounts;
    std::vector<std::string> m_rows;
    int m_count = 0;
};

class FleetAttribution : public BackendTablesTest {
protected:
    FleetAttribution() : BackendTablesTest("fleet") {}
};

TEST_P(FleetAttribution, BlamesTheBadDriveAndTheBadTapeButNotTheCleanUnitsThatMetThem)
{
    const HandMadeLibrary::Unit bad{1, 1};
    const std::vector<HandMadeLibrary::Unit> clean = {{1, 2}, {1, 3}, {1, 4}, {2, 1}};
    HandMadeLibrary library;
    // Fillers: clean cartridges mounted twice on every clean drive. Two of them carry a NULL
    // and a decrease in their counters that must not read as growth.
    int day = 1;
    for (int round = 0; round < 2; ++round)
        for (int f = 1; f <= 8; ++f)
            for (const auto& drive : clean)
                library.mount(day++ % 28 + 1, "FILL0" + std::to_string(f), drive);
    library.raw(3, "NULL01", clean[0], "15, 0, 0, 0");
    library.raw(4, "NULL01", clean[1], "NULL, NULL, 0, 0");
    library.raw(5, "NULL01", clean[2], "15, 0, 0, 0");
    library.raw(6, "DROP01", clean[0], "20, 0, 0, 0");
    library.raw(7, "DROP01", clean[1], "3, 0, 0, 0");
    library.raw(8, "DROP01", clean[3], "12, 0, 0, 0");
    // The bad drive: a falling rating, clean mounts with three fillers, and one troubled mount
    // with each of six cartridges that are clean on the other drives (the last, KIND01, met it
    // only that once).
    for (int f = 1; f <= 3; ++f)
        library.mount(f, "FILL0" + std::to_string(f), bad, {}, 0, 200);
    const std::vector<std::pair<std::array<int, 4>, int>> troubles = {{{0, 0, 0, 0}, 20}, {{0, 1, 0, 0}, 0},
                                                                      {{8, 0, 5, 0}, 0},  {{0, 0, 0, 1}, 0},
                                                                      {{0, 0, 0, 0}, 21}, {{0, 0, 0, 0}, 38}};
    for (std::size_t c = 0; c < troubles.size(); ++c) {
        // A mount before the bad drive's gives the counters their base in the range.
        const std::string volser = c < 5 ? "CART0" + std::to_string(c + 1) : "KIND01";
        library.mount(4 + static_cast<int>(c), volser, clean[c % clean.size()]);
        library.mount(10 + static_cast<int>(c), volser, bad, troubles[c].first, troubles[c].second,
                      150 - 12 * static_cast<int>(c));
        for (int m = 1; m < 3; ++m)
            library.mount(17 + m, volser, clean[(c + static_cast<std::size_t>(m)) % clean.size()]);
    }
    // The bad cartridge: troubled on three clean drives and once on a fourth that met it only then.
    library.mount(20, "BADT01", clean[0]);
    library.mount(21, "BADT01", clean[0], {0, 1, 0, 0});
    library.mount(22, "BADT01", clean[1], {0, 0, 0, 0}, 4);
    library.mount(23, "BADT01", clean[2], {9, 0, 7, 0});
    library.mount(24, "BADT01", clean[3], {0, 0, 0, 0}, 7);
    library.store(GetParam(), base);

    ReportRequest request = ReportRequest::fromSettings("2026-03-01", "2026-03-31", {Library});
    FleetResult result;
    ASSERT_EQ(computeFleetHealth(request, Library, FleetOptions{}, result), FleetReader::Outcome::Done);

    const auto rows = fleetSuspectRows(result);
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], "drive");
    EXPECT_EQ(rows[0][1], "1:1");
    EXPECT_EQ(rows[0][2], "suspect");
    EXPECT_EQ(rows[1][0], "cartridge");
    EXPECT_EQ(rows[1][1], "BADT01");
    EXPECT_EQ(rows[1][2], "suspect");
    // Everyone else with a troubled mount is there, after them, and none is suspect: the clean
    // cartridge that met the bad drive once, the drive that met the bad tape once, and the rest.
    std::map<std::string, std::string> verdicts;
    for (std::size_t at = 2; at < rows.size(); ++at) {
        verdicts[rows[at][1]] = rows[at][2];
        EXPECT_NE(rows[at][2], "suspect") << rows[at][1];
    }
    EXPECT_EQ(verdicts.count("KIND01"), 1u);
    EXPECT_EQ(verdicts.count("2:1"), 1u);
    EXPECT_EQ(verdicts.count("CART03"), 1u);
    for (const char* fillers : {"FILL01", "NULL01", "DROP01", "1:2"})
        EXPECT_EQ(verdicts.count(fillers), fillers == std::string("1:2") ? 1u : 0u) << fillers;
    EXPECT_EQ(rows.size(), 2u + 6u + 4u);

    // The evidence in numbers: six clean partners against the drive, four against the tape.
    ASSERT_EQ(result.drives.front().unit(), "1:1");
    const FleetDrive& drive = result.drives.front();
    EXPECT_EQ(drive.troubled, 6);
    EXPECT_EQ(drive.evidence.cleanPartners, 6);
    EXPECT_EQ(drive.evidence.againstUnit, 6);
    EXPECT_EQ(drive.troubledCartridges, 6);
    EXPECT_EQ(drive.cartridges, 9);
    ASSERT_TRUE(drive.rating.end && drive.rating.start && drive.ratingVsMedian);
    EXPECT_LT(*drive.rating.end, *drive.rating.start);
    EXPECT_LT(*drive.ratingVsMedian, -50);
    ASSERT_EQ(result.cartridges.front().volser, "BADT01");
    EXPECT_EQ(result.cartridges.front().evidence.cleanPartners, 4);
    EXPECT_EQ(result.cartridges.front().drives, 4);
    EXPECT_EQ(result.troubled, 10);

    // The CSV: the header's first three columns, then the same rows.
    std::istringstream csv(fleetSuspectsCsv(result));
    std::string header, first;
    std::getline(csv, header);
    std::getline(csv, first);
    EXPECT_EQ(header.rfind("Kind,Unit,Verdict,", 0), 0u) << header;
    EXPECT_EQ(first.rfind("drive,1:1,suspect,", 0), 0u) << first;
    EXPECT_NE(fleetOverviewText(Library, result).find("1 drive and 1 cartridge need attention"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Databases, FleetAttribution, ::testing::ValuesIn(testBackends()), BackendName());

TEST(FleetFigures, TroubleGrowthAndChance)
{
    // One cartridge in one drive: a NULL gives no growth and the next value is compared with the
    // last one stored; a decrease is a new base; retries count when they exceed the threshold.
    FleetOptions options;
    options.retryThreshold = 4;
    FleetHealth health(options);
    const auto mount = [&](std::optional<std::int64_t> writeRetries, std::int64_t alert = 0) {
        FleetMount m;
        m.date = "2026-01-01";
        m.volser = "V1";
        m.frame = 1;
        m.drive = 1;
        m.counters = {writeRetries, 0, 0, 0};
        m.tapeAlert = alert;
        health.add(m);
    };
    mount(10);
    mount(std::nullopt);
    mount(14);                    // 4 since the 10: not more than the threshold
    mount(2);                     // lower: a new base
    mount(7);                     // 5 since the 2: troubled
    mount(7, 3);                  // an alert: troubled
    mount(std::int64_t{1} << 40); // far above: troubled, without overflow
    const FleetResult result = health.finish("2026-01-01", "2026-01-01");
    EXPECT_EQ(result.troubled, 3);
    EXPECT_EQ(result.drives.front().mountsPerDay, 7);

    EXPECT_NEAR(fleet_math::poissonSurprise(3, 0.1), 3.80, 0.02);
    EXPECT_NEAR(fleet_math::poissonSurprise(1, 0.5), 0.41, 0.01);
    EXPECT_EQ(fleet_math::poissonSurprise(2, 5.0), 0);
    EXPECT_GT(fleet_math::poissonSurprise(900, 100.0), 200);
}
} // namespace
