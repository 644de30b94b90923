// The five library files and the two saved files, read back with the program's own reading
// rules (ReaderRules.h).
#include "LibraryFiles.h"
#include "LibrarySimulation.h"
#include "ReaderRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace libsim;
using namespace reader_rules;

namespace {

LibraryOptions mediumLibrary()
{
    LibraryOptions options;
    options.seed = 42;
    options.days = 5;
    return options;
}

bool allDigits(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Field count of line 1 as the import counts it: commas up to the first "\n" or "\r", plus one.
int firstLineFields(const std::string& file)
{
    const std::string line = file.substr(0, file.find_first_of("\r\n"));
    return static_cast<int>(std::count(line.begin(), line.end(), ',')) + 1;
}

std::string firstLine(const std::string& file)
{
    return file.substr(0, file.find('\n'));
}

} // namespace

TEST(MountHistoryFile, HoldsTheNewestWholeLinesThenNulBytes)
{
    const LibrarySimulation simulation(mediumLibrary());
    const std::string file = renderMountHistoryFile(simulation);
    ASSERT_EQ(file.size(), MountHistoryFileSize);

    const std::size_t lastLineEnd = file.rfind('\n');
    ASSERT_NE(lastLineEnd, std::string::npos);
    EXPECT_EQ(file.find('\0'), lastLineEnd + 1);
    EXPECT_TRUE(
        std::all_of(file.begin() + static_cast<long>(lastLineEnd) + 1, file.end(), [](char c) { return c == '\0'; }));

    const std::vector<std::string> lines = terminatedLines(file);
    const std::vector<std::string> saved = terminatedLines(renderSavedMountHistory(simulation));
    ASSERT_GT(saved.size(), lines.size()); // the history is longer than the file holds
    for (int i = 0; i < MountHistoryHeaderLines; ++i) {
        EXPECT_EQ(lines[static_cast<std::size_t>(i)], saved[static_cast<std::size_t>(i)]);
    }
    // The data lines are the last ones the library wrote, and the one before them would not fit.
    const std::size_t kept = lines.size() - MountHistoryHeaderLines;
    ASSERT_GT(kept, 100u);
    EXPECT_TRUE(std::equal(lines.end() - static_cast<long>(kept), lines.end(), saved.end() - static_cast<long>(kept)));
    const std::string& nextOlder = saved[saved.size() - kept - 1];
    EXPECT_GT(lastLineEnd + 1 + nextOlder.size() + 1, MountHistoryFileSize);
    EXPECT_EQ(saved.back(), mountHistoryLine(simulation.mounts().back(), simulation.model()));

    // Whether lines are split the monitor's way (empty lines are no lines) or the import's,
    // the header is the same five lines.
    for (const std::string& line : lines) {
        EXPECT_FALSE(withoutBlanks(asRead(line)).empty());
    }
}

TEST(MountHistoryFile, ASmallHistoryIsWholeAndPadded)
{
    LibraryOptions options = mediumLibrary();
    options.days = 0;
    LibrarySimulation simulation(options);
    simulation.advanceTo(options.end + 2 * MinutesPerHour);
    ASSERT_GT(simulation.mounts().size(), 0u);
    const std::string file = renderMountHistoryFile(simulation);
    EXPECT_EQ(file.size(), MountHistoryFileSize);
    const std::string saved = renderSavedMountHistory(simulation);
    ASSERT_LT(saved.size(), MountHistoryFileSize);
    EXPECT_EQ(file.substr(0, saved.size()), saved);
    EXPECT_EQ(file.find_first_not_of('\0', saved.size()), std::string::npos);
}

TEST(MountHistoryFile, LinesReadBackAsTheirRecords)
{
    const LibrarySimulation simulation(mediumLibrary());
    const LibraryModel& model = simulation.model();
    const std::vector<std::string> lines = terminatedLines(asRead(renderSavedMountHistory(simulation)));
    ASSERT_EQ(lines.size(), simulation.mounts().size() + MountHistoryHeaderLines);
    for (std::size_t i = 0; i < simulation.mounts().size(); ++i) {
        const MountRecord& record = simulation.mounts()[i];
        const std::vector<std::string> values = fields(lines[i + MountHistoryHeaderLines]);
        ASSERT_EQ(values.size(), static_cast<std::size_t>(MountHistoryFields)) << lines[i + MountHistoryHeaderLines];

        const DateTime stamp = mountDateTime(values[0]);
        const std::string expected = formatLibraryTime(record.mountedAt);
        EXPECT_EQ(stamp.date, expected.substr(0, 10));
        EXPECT_EQ(stamp.time, expected.substr(11, 5));

        const Cartridge& cartridge = model.cartridges[static_cast<std::size_t>(record.cartridge)];
        const Drive& drive = model.drives[static_cast<std::size_t>(record.drive)];
        EXPECT_EQ(withoutBlanks(values[1]), cartridge.volser);
        EXPECT_EQ(withoutBlanks(values[2]), std::to_string(drive.frame));
        EXPECT_EQ(withoutBlanks(values[3]), std::to_string(drive.position));
        EXPECT_EQ(withoutBlanks(values[4]),
                  model.logicalLibraries[static_cast<std::size_t>(cartridge.logicalLibrary)].name);
        EXPECT_EQ(withoutBlanks(values[12]), std::to_string(record.lifeMounts));
        EXPECT_EQ(withoutBlanks(values[35]), std::to_string(record.cryptoRekey));
        // Field 23 is the lone blank that stands for no value; every other number field
        // must keep digits once its padding is gone (two blanks would be an empty value).
        EXPECT_EQ(values[22], " ");
        for (std::size_t f = 2; f < values.size(); ++f) {
            if (f != 4 && f != 22) {
                EXPECT_TRUE(allDigits(withoutBlanks(values[f])))
                    << "field " << f + 1 << ": " << lines[i + MountHistoryHeaderLines];
            }
        }
    }
}

TEST(PerformanceFile, LinesReadBackAsTheirIntervals)
{
    const LibrarySimulation simulation(mediumLibrary());
    const std::string file = renderLibraryPerformanceFile(simulation);
    const std::vector<std::string> lines = terminatedLines(asRead(file));
    ASSERT_EQ(lines.size(), simulation.intervals().size() + PerformanceHeaderLines);
    for (std::size_t i = 0; i < simulation.intervals().size(); ++i) {
        const PerformanceInterval& interval = simulation.intervals()[i];
        const std::vector<std::string> values = fields(lines[i + PerformanceHeaderLines]);
        ASSERT_EQ(values.size(), static_cast<std::size_t>(PerformanceFields));
        const DateTime stamp = performanceDateTime(values[0]);
        const std::string expected = formatLibraryTime(interval.endsAt);
        EXPECT_EQ(stamp.date, expected.substr(0, 10));
        EXPECT_EQ(stamp.time, expected.substr(11, 5));
        EXPECT_EQ(withoutBlanks(values[1]),
                  simulation.model().logicalLibraries[static_cast<std::size_t>(interval.logicalLibrary)].name);
        EXPECT_EQ(withoutBlanks(values[4]), std::to_string(interval.mountsTotal));
        for (std::size_t f = 2; f < values.size(); ++f) {
            EXPECT_TRUE(allDigits(withoutBlanks(values[f]))) << lines[i + PerformanceHeaderLines];
        }
    }
}

TEST(SavedFiles, FirstLinesTellTheImportWhichFileItIs)
{
    const LibrarySimulation simulation(mediumLibrary());
    const std::string mountHistory = asRead(renderSavedMountHistory(simulation));
    const std::string performance = asRead(renderSavedLibraryStatistics(simulation));

    EXPECT_NE(firstLine(mountHistory).find("Mount History"), std::string::npos);
    EXPECT_EQ(firstLineFields(mountHistory), 36);
    EXPECT_NE(firstLine(performance).find("Library Statistics"), std::string::npos);
    EXPECT_EQ(firstLine(performance).find("Mount History"), std::string::npos);
    EXPECT_EQ(firstLineFields(performance), 11);

    // The import stops at the first empty line and drops a last line without its line end.
    for (const std::string* file : {&mountHistory, &performance}) {
        EXPECT_EQ(file->back(), '\n');
        EXPECT_EQ(file->find("\n\n"), std::string::npos);
        EXPECT_EQ(file->find('\r'), std::string::npos);
    }
    // The library's own mount history file starts the same way.
    EXPECT_EQ(firstLine(asRead(renderMountHistoryFile(simulation))), firstLine(mountHistory));
}

TEST(ConfigurationFile, SaysWhatTheSwitchesSay)
{
    const LibrarySimulation simulation(mediumLibrary());
    for (const bool ovis : {true, false}) {
        for (const bool performance : {true, false}) {
            ConfigurationSwitches switches;
            switches.ovisEnabled = ovis;
            switches.performanceModel = performance;
            const std::string text = asRead(renderConfigurationFile(simulation.model(), switches));
            EXPECT_EQ(ovisEnabled(text), ovis) << text;
            EXPECT_EQ(performanceAvailable(text), performance) << text;
        }
    }
}

TEST(DriveStatusFile, ListsEveryDriveBeforeAnyEmptyLine)
{
    const LibrarySimulation simulation(mediumLibrary());
    const std::vector<std::string> lines = terminatedLines(asRead(renderDriveStatusFile(simulation.model())));
    std::vector<std::vector<std::string>> rows;
    for (const std::string& raw : lines) {
        const std::string line = withoutBlanks(raw);
        if (line.empty()) {
            break;
        }
        if (line.find("TAPEDRIVE") == std::string::npos) {
            continue;
        }
        std::vector<std::string> cells;
        std::size_t start = line.find(':') + 1; // the record tag is dropped
        for (std::size_t colon = line.find(':', start); colon != std::string::npos; colon = line.find(':', start)) {
            cells.push_back(line.substr(start, colon - start));
            start = colon + 1;
        }
        rows.push_back(cells);
    }
    const auto& drives = simulation.model().drives;
    ASSERT_EQ(rows.size(), drives.size());
    for (std::size_t i = 0; i < drives.size(); ++i) {
        ASSERT_GE(rows[i].size(), 8u);
        EXPECT_EQ(rows[i][0], std::to_string(drives[i].frame));
        EXPECT_EQ(rows[i][1], std::to_string(drives[i].row));
        EXPECT_EQ(rows[i][2], std::to_string(drives[i].position));
        EXPECT_EQ(rows[i][4], drives[i].emulation);
        for (std::size_t c = 0; c < 8; ++c) {
            EXPECT_FALSE(rows[i][c].empty());
        }
    }
}

TEST(DriveStatisticsFile, NamesEveryDriveWhereTheMountHistoryHasIt)
{
    // The largest library uses the letter digits for frames and drive positions.
    for (const bool largest : {false, true}) {
        LibraryOptions options = mediumLibrary();
        if (largest) {
            options.frames = 14;
            options.drives = 13 * 12;
            options.cartridges = 2000;
            options.logicalLibraries = 6;
            options.days = 1;
            options.mountsPerDay = 3000;
        }
        const LibrarySimulation simulation(options);
        std::set<std::pair<int, int>> named;
        for (const std::string& line : terminatedLines(asRead(renderDriveStatisticsFile(simulation)))) {
            if (!isDriveStatisticsLine(line)) {
                continue;
            }
            const std::size_t comma = line.find(',');
            ASSERT_NE(comma, std::string::npos);
            const std::string wwnn = withoutBlanks(line.substr(0, comma));
            ASSERT_GE(wwnn.size(), 2u);
            const int frame = wwnnDigitValue(wwnn[wwnn.size() - 2]) + 1;
            const int drive = wwnnDigitValue(wwnn.back());
            EXPECT_TRUE(named.insert({frame, drive}).second) << line;
        }
        std::set<std::pair<int, int>> modelled;
        for (const Drive& drive : simulation.model().drives) {
            modelled.insert({drive.frame, drive.position});
        }
        EXPECT_EQ(named, modelled);
        for (const MountRecord& record : simulation.mounts()) {
            const Drive& drive = simulation.model().drives[static_cast<std::size_t>(record.drive)];
            EXPECT_TRUE(named.count({drive.frame, drive.position}));
        }
    }
}
