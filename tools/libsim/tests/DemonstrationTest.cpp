// The demonstration library: a year that imports quickly yet gives every cartridge a health
// trend, and a history with a fixed start that a later run repeats record for record.
#include "LibraryFiles.h"
#include "LibrarySimulation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace libsim;

namespace {

// The trend reports need 109 mounts of a cartridge before they draw its trend.
constexpr int TrendMounts = 109;

bool sameRecord(const MountRecord& a, const MountRecord& b)
{
    return a.mountedAt == b.mountedAt && a.writtenAt == b.writtenAt && a.cartridge == b.cartridge && a.drive == b.drive
           && a.lifeMounts == b.lifeMounts && a.lifeWriteRetries == b.lifeWriteRetries && a.driveRating == b.driveRating
           && a.mediaRating == b.mediaRating && a.tapeAlert == b.tapeAlert
           && a.hostWriteMegabytes == b.hostWriteMegabytes && a.cryptoStatus == b.cryptoStatus;
}

} // namespace

TEST(DemonstrationLibrary, AYearStaysSmallEnoughToImportAndGivesEveryCartridgeATrend)
{
    LibraryOptions options = LibraryOptions::demonstration();
    ASSERT_EQ(options.validate(), "");
    options.end = fromCivil({2026, 12, 8, 10, 30});
    const LibrarySimulation simulation(options);
    const LibraryModel& model = simulation.model();

    std::map<LibraryMinute, int> perDay;
    std::vector<int> perCartridge(model.cartridges.size(), 0);
    std::vector<std::vector<int>> driveRatings(model.drives.size());
    std::vector<std::vector<int>> mediaRatings(model.cartridges.size());
    for (const MountRecord& record : simulation.mounts()) {
        ++perDay[record.mountedAt / MinutesPerDay];
        ++perCartridge[static_cast<std::size_t>(record.cartridge)];
        driveRatings[static_cast<std::size_t>(record.drive)].push_back(record.driveRating);
        mediaRatings[static_cast<std::size_t>(record.cartridge)].push_back(record.mediaRating);
    }

    // Whole days only: the first and the last day of the history are cut.
    perDay.erase(perDay.begin());
    perDay.erase(std::prev(perDay.end()));
    ASSERT_GE(perDay.size(), 360u);
    long total = 0;
    for (const auto& [day, count] : perDay) {
        EXPECT_LE(count, 1100) << "day " << day;
        EXPECT_GE(count, 600) << "day " << day;
        total += count;
    }
    EXPECT_LE(total / static_cast<long>(perDay.size()), 1000);
    EXPECT_LE(simulation.mounts().size(), 370000u);

    const auto [fewest, most] = std::minmax_element(perCartridge.begin(), perCartridge.end());
    EXPECT_GT(*fewest, TrendMounts + 30);
    EXPECT_LT(*most, 2 * *fewest);

    // Some drives and cartridges degrade over the year, visibly in their ratings; the rest
    // hold steady.
    const auto firstAndLastMonth = [](const std::vector<int>& ratings) {
        const std::size_t month = ratings.size() / 12;
        double early = 0;
        double late = 0;
        for (std::size_t i = 0; i < month; ++i) {
            early += ratings[i];
            late += ratings[ratings.size() - 1 - i];
        }
        return std::pair{early / month, late / month};
    };
    int degradingDrives = 0;
    for (std::size_t d = 0; d < model.drives.size(); ++d) {
        const auto [early, late] = firstAndLastMonth(driveRatings[d]);
        if (model.drives[d].health.degrading) {
            ++degradingDrives;
            EXPECT_LT(late, early - 60) << "drive " << d;
        } else {
            EXPECT_NEAR(late, early, 15) << "drive " << d;
        }
    }
    int degradingCartridges = 0;
    for (std::size_t c = 0; c < model.cartridges.size(); ++c) {
        if (model.cartridges[c].health.degrading) {
            ++degradingCartridges;
            const auto [early, late] = firstAndLastMonth(mediaRatings[c]);
            EXPECT_LT(late, early - 50) << "cartridge " << model.cartridges[c].volser;
        }
    }
    EXPECT_GE(degradingDrives, 2);
    EXPECT_GE(degradingCartridges, 20);
}

TEST(DemonstrationLibrary, AFixedStartRepeatsTheEarlierRecordsWhenTheHistoryEndsLater)
{
    LibraryOptions options;
    options.seed = 3;
    options.cartridges = 120;
    options.days = 20;
    options.start = fromCivil({2026, 3, 1, 9, 0});
    options.end = *options.start + 6 * MinutesPerDay + 125;
    const LibrarySimulation first(options);
    // The library started again a week later, in live mode from there.
    options.end += 7 * MinutesPerDay + 333;
    LibrarySimulation later(options);
    later.advanceTo(options.end + 90);

    EXPECT_EQ(first.model().historyStart, later.model().historyStart);
    ASSERT_GT(first.mounts().size(), 1000u);
    ASSERT_GT(later.mounts().size(), first.mounts().size());
    for (std::size_t i = 0; i < first.mounts().size(); ++i) {
        ASSERT_TRUE(sameRecord(first.mounts()[i], later.mounts()[i])) << "record " << i;
    }
    // Every saved line of the first run is a line of the later one, in the same place.
    const std::string firstSaved = renderSavedMountHistory(first);
    const std::string laterSaved = renderSavedMountHistory(later);
    EXPECT_EQ(laterSaved.compare(0, firstSaved.size(), firstSaved), 0);
    const std::string firstStatistics = renderSavedLibraryStatistics(first);
    EXPECT_EQ(renderSavedLibraryStatistics(later).compare(0, firstStatistics.size(), firstStatistics), 0);
}
