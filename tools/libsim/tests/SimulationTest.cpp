// The simulated library's behaviour over time: determinism, counters, health and the
// agreement between its mount records and its performance intervals.
#include "LibraryFiles.h"
#include "LibrarySimulation.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace libsim;

namespace {

LibraryOptions smallLibrary(std::uint64_t seed = 7)
{
    LibraryOptions options;
    options.seed = seed;
    options.frames = 3;
    options.drives = 8;
    options.cartridges = 60;
    options.logicalLibraries = 2;
    options.days = 10;
    options.mountsPerDay = 400;
    return options;
}

std::vector<std::string> allFiles(const LibrarySimulation& simulation)
{
    std::vector<std::string> files;
    for (const std::string& name : libraryFileNames()) {
        files.push_back(*renderLibraryFile(name, simulation, {}));
    }
    files.push_back(renderSavedMountHistory(simulation));
    files.push_back(renderSavedLibraryStatistics(simulation));
    return files;
}

} // namespace

TEST(LibrarySimulation, SameSeedSameFilesOtherSeedOtherFiles)
{
    const LibrarySimulation first(smallLibrary(7));
    const LibrarySimulation second(smallLibrary(7));
    const LibrarySimulation other(smallLibrary(8));
    EXPECT_EQ(allFiles(first), allFiles(second));
    EXPECT_NE(renderSavedMountHistory(first), renderSavedMountHistory(other));
    EXPECT_NE(renderDriveStatusFile(first.model()), renderDriveStatusFile(other.model()));
}

TEST(LibrarySimulation, SmallStepsGiveTheSameRecordsAsOneLargeStep)
{
    LibraryOptions options = smallLibrary();
    options.days = 2;
    LibrarySimulation stepped(options);
    LibrarySimulation jumped(options);
    const LibraryMinute target = options.end + 5 * MinutesPerHour + 17;
    for (LibraryMinute minute = options.end + 7; minute < target; minute += 7) {
        stepped.advanceTo(minute);
    }
    stepped.advanceTo(target);
    jumped.advanceTo(target);
    EXPECT_EQ(allFiles(stepped), allFiles(jumped));
    EXPECT_GT(jumped.mounts().size(), LibrarySimulation(options).mounts().size());
}

TEST(LibrarySimulation, ClockNeverGoesBack)
{
    LibrarySimulation simulation(smallLibrary());
    const std::size_t before = simulation.mounts().size();
    const std::uint64_t version = simulation.version();
    simulation.advanceTo(simulation.now() - 3 * MinutesPerDay);
    EXPECT_EQ(simulation.mounts().size(), before);
    EXPECT_EQ(simulation.version(), version);
    EXPECT_EQ(simulation.now(), smallLibrary().end);
}

TEST(LibrarySimulation, RecordsAreWrittenInOrderAndNothingFromTheFuture)
{
    LibrarySimulation simulation(smallLibrary());
    simulation.advanceTo(simulation.now() + 90);
    const auto& mounts = simulation.mounts();
    ASSERT_GT(mounts.size(), 3000u);
    std::map<int, LibraryMinute> driveFreeAt;
    for (std::size_t i = 0; i < mounts.size(); ++i) {
        const MountRecord& record = mounts[i];
        EXPECT_LE(record.writtenAt, simulation.now());
        EXPECT_GE(record.mountedAt, simulation.model().historyStart);
        EXPECT_GT(record.writtenAt, record.mountedAt);
        if (i > 0) {
            EXPECT_GE(record.writtenAt, mounts[i - 1].writtenAt);
        }
    }
    // A drive holds one cartridge at a time.
    std::vector<MountRecord> byMount(mounts.begin(), mounts.end());
    std::sort(byMount.begin(), byMount.end(),
              [](const MountRecord& a, const MountRecord& b) { return a.mountedAt < b.mountedAt; });
    for (const MountRecord& record : byMount) {
        EXPECT_GE(record.mountedAt, driveFreeAt[record.drive]) << "drive " << record.drive;
        driveFreeAt[record.drive] = record.writtenAt;
    }
}

TEST(LibrarySimulation, LifetimeCountersOnlyGrowPerCartridge)
{
    LibrarySimulation simulation(smallLibrary());
    simulation.advanceTo(simulation.now() + 2 * MinutesPerDay); // live mounts continue the counts
    std::map<int, MountRecord> last;
    std::set<std::pair<int, LibraryMinute>> keys;
    int grewRetries = 0;
    for (const MountRecord& record : simulation.mounts()) {
        // The database keys a mount on volser, date and time to the minute.
        EXPECT_TRUE(keys.insert({record.cartridge, record.mountedAt}).second);
        const auto previous = last.find(record.cartridge);
        if (previous != last.end()) {
            const MountRecord& before = previous->second;
            EXPECT_EQ(record.lifeMounts, before.lifeMounts + 1);
            EXPECT_GE(record.lifeWriteRetries, before.lifeWriteRetries);
            EXPECT_GE(record.lifeWritePerms, before.lifeWritePerms);
            EXPECT_GE(record.lifeReadRetries, before.lifeReadRetries);
            EXPECT_GE(record.lifeReadPerms, before.lifeReadPerms);
            EXPECT_GT(record.mountedAt, before.writtenAt);
            grewRetries += record.lifeWriteRetries > before.lifeWriteRetries ? 1 : 0;
        }
        last[record.cartridge] = record;
    }
    EXPECT_GT(grewRetries, 100);
}

TEST(LibrarySimulation, DegradingDrivesLoseRatingAndRaiseMoreTapeAlerts)
{
    LibraryOptions options = smallLibrary();
    options.days = 30;
    const LibrarySimulation simulation(options);
    const LibraryModel& model = simulation.model();

    std::map<int, std::vector<const MountRecord*>> byDrive;
    int healthyAlerts = 0;
    int healthyMounts = 0;
    int encrypted = 0;
    int rekeys = 0;
    for (const MountRecord& record : simulation.mounts()) {
        byDrive[record.drive].push_back(&record);
        if (!model.drives[static_cast<std::size_t>(record.drive)].health.degrading) {
            healthyAlerts += record.tapeAlert != 0 ? 1 : 0;
            ++healthyMounts;
        }
        encrypted += record.cryptoStatus;
        rekeys += record.cryptoRekey;
        if (record.cryptoRekey != 0) {
            EXPECT_EQ(record.cryptoStatus, 1); // only an encrypted cartridge is re-keyed
        }
        EXPECT_GE(record.driveRating, 1);
        EXPECT_LE(record.driveRating, 255);
    }
    const double healthyAlertRate = static_cast<double>(healthyAlerts) / healthyMounts;
    EXPECT_GT(healthyAlerts, 0);
    EXPECT_LT(healthyAlertRate, 0.03);

    const auto averageRating = [](auto first, auto last) {
        double sum = 0;
        for (auto it = first; it != last; ++it) {
            sum += (*it)->driveRating;
        }
        return sum / static_cast<double>(last - first);
    };
    int degradingDrives = 0;
    for (std::size_t d = 0; d < model.drives.size(); ++d) {
        const std::vector<const MountRecord*>& series = byDrive[static_cast<int>(d)];
        ASSERT_GE(series.size(), 100u);
        const double early = averageRating(series.begin(), series.begin() + 20);
        const double late = averageRating(series.end() - 20, series.end());
        if (!model.drives[d].health.degrading) {
            EXPECT_NEAR(late, early, 15) << "drive " << d;
            continue;
        }
        ++degradingDrives;
        EXPECT_LT(late, early - 60) << "drive " << d;
        // Its last quarter raises alerts far more often than a healthy drive.
        const std::size_t quarter = series.size() / 4;
        int alerts = 0;
        for (auto it = series.end() - static_cast<long>(quarter); it != series.end(); ++it) {
            alerts += (*it)->tapeAlert != 0 ? 1 : 0;
        }
        EXPECT_GT(static_cast<double>(alerts) / quarter, 3 * healthyAlertRate) << "drive " << d;
    }
    EXPECT_GE(degradingDrives, 1);
    EXPECT_GT(encrypted, 100);
    EXPECT_GT(rekeys, 0);
    EXPECT_LT(encrypted, static_cast<int>(simulation.mounts().size()));
}

TEST(LibrarySimulation, PerformanceIntervalsCountTheHoursMounts)
{
    const LibrarySimulation simulation(smallLibrary());
    const LibraryModel& model = simulation.model();
    // Mounts per logical library and hour, counted from the records written well before the
    // end (later ones may still be in a drive).
    std::map<std::pair<int, LibraryMinute>, int> counted;
    for (const MountRecord& record : simulation.mounts()) {
        const int logical = model.cartridges[static_cast<std::size_t>(record.cartridge)].logicalLibrary;
        ++counted[{logical, floorToHour(record.mountedAt) + MinutesPerHour}];
    }
    const auto& intervals = simulation.intervals();
    ASSERT_EQ(intervals.size(), static_cast<std::size_t>(10 * 24 * 2));
    int checked = 0;
    for (const PerformanceInterval& interval : intervals) {
        EXPECT_LE(interval.endsAt, simulation.now());
        EXPECT_GE(interval.residencyMax, interval.residencyAverage);
        EXPECT_GE(interval.mountsMax, interval.mountsAverage);
        EXPECT_GE(interval.ejectsMax, interval.ejectsAverage);
        EXPECT_LE(interval.mountsTotal, 32767);
        if (interval.endsAt <= simulation.now() - 4 * MinutesPerHour) {
            EXPECT_EQ(interval.mountsTotal, (counted[{interval.logicalLibrary, interval.endsAt}]));
            ++checked;
        }
    }
    EXPECT_GT(checked, 400);
}

TEST(LibraryOptions, RejectsLibrariesThatCannotBeBuiltOrWouldMisleadReaders)
{
    LibraryOptions options;
    EXPECT_EQ(options.validate(), "");
    options.frames = 17;
    EXPECT_NE(options.validate(), "");
    options = {};
    options.frames = 2;
    options.drives = 25; // twelve a frame at most
    EXPECT_NE(options.validate(), "");
    options.drives = 24;
    EXPECT_EQ(options.validate(), "");
    options.logicalLibraries = 25;
    EXPECT_NE(options.validate(), "");
    options = {};
    options.cartridges = 2; // fewer than logical libraries
    EXPECT_NE(options.validate(), "");
    for (const char* name : {"MY OVIS", "LIB5005", "Mount History", "A,B", "A_B", ""}) {
        options = {};
        options.name = name;
        EXPECT_NE(options.validate(), "") << name;
    }
}

TEST(LibraryModel, LargestLibraryFitsTheDriveDigits)
{
    LibraryOptions options;
    options.frames = 16;
    options.drives = 13 * 12;
    options.cartridges = 3000;
    options.logicalLibraries = 30;
    options.days = 0;
    ASSERT_EQ(options.validate(), "");
    const LibraryModel model = buildLibraryModel(options);
    std::set<std::pair<int, int>> places;
    std::set<std::string> volsers;
    for (const Drive& drive : model.drives) {
        EXPECT_LE(drive.frame, 13);
        EXPECT_GE(drive.position, 1);
        EXPECT_LE(drive.position, 12);
        EXPECT_TRUE(places.insert({drive.frame, drive.position}).second);
        EXPECT_EQ(drive.wwnn.size(), 16u);
    }
    for (const Cartridge& cartridge : model.cartridges) {
        EXPECT_EQ(cartridge.volser.size(), 8u);
        EXPECT_TRUE(volsers.insert(cartridge.volser).second);
    }
    for (const LogicalLibrary& logical : model.logicalLibraries) {
        EXPECT_FALSE(logical.drives.empty());
        EXPECT_LE(logical.name.size(), 16u);
    }
}
