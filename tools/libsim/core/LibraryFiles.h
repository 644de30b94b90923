#pragma once

#include "LibraryModel.h"
#include "LibrarySimulation.h"
#include "MountRecord.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace libsim {

namespace file_names {
inline constexpr const char* MountHistory = "LIBLG_01_CS.bin";
inline constexpr const char* LibraryPerformance = "LIBLG_01_LP.bin";
inline constexpr const char* Configuration = "LIBLG_01_MR.bin";
inline constexpr const char* DriveStatus = "LIBLG_00_MR.bin";
inline constexpr const char* DriveStatistics = "LIBLG_01_DS.bin";
// The two data files as an operator saves them for import.
inline constexpr const char* SavedMountHistory = "mount_history.csv";
inline constexpr const char* SavedLibraryStatistics = "library_statistics.csv";
} // namespace file_names

// The mount history file always has this size on the library: the newest records that fit,
// then NUL bytes.
inline constexpr std::size_t MountHistoryFileSize = 34483;
inline constexpr int MountHistoryFields = 36;
inline constexpr int MountHistoryHeaderLines = 5;
inline constexpr int PerformanceFields = 11;
inline constexpr int PerformanceHeaderLines = 6;

// What the configuration file says about the library, changeable at run time.
struct ConfigurationSwitches {
    bool ovisEnabled = true;
    bool performanceModel = true; // frame 1 is a model that keeps performance statistics
};

// One data line each, without its line end. Numbers are right-aligned with "_" as padding
// and names padded on the right, as the library writes its fixed-width records.
std::string mountHistoryLine(const MountRecord& record, const LibraryModel& model);
std::string performanceLine(const PerformanceInterval& interval, const LibraryModel& model);

// "YYYY__MM__DD__HH.MM": two padding characters between the parts.
std::string mountTimeStamp(LibraryMinute minute);
// "YYYY_MM_DD_HH:MM".
std::string performanceTimeStamp(LibraryMinute minute);

std::string mountHistoryHeader(const LibraryModel& model); // five lines
std::string performanceHeader(const LibraryModel& model);  // six lines

std::string renderMountHistoryFile(const LibrarySimulation& simulation);
std::string renderLibraryPerformanceFile(const LibrarySimulation& simulation);
std::string renderConfigurationFile(const LibraryModel& model, const ConfigurationSwitches& switches);
std::string renderDriveStatusFile(const LibraryModel& model);
std::string renderDriveStatisticsFile(const LibrarySimulation& simulation);
// Every record written so far, not only those that fit the library's file.
std::string renderSavedMountHistory(const LibrarySimulation& simulation);
std::string renderSavedLibraryStatistics(const LibrarySimulation& simulation);

// The five files the library serves, in a fixed order.
const std::vector<std::string>& libraryFileNames();
// The named library file as it reads now; nothing for a name the library does not have.
std::optional<std::string> renderLibraryFile(std::string_view name, const LibrarySimulation& simulation,
                                             const ConfigurationSwitches& switches);

// Writes the five library files and the two saved files into the folder, creating it when
// needed. On failure returns false and says why.
bool writeLibraryFiles(const std::filesystem::path& folder, const LibrarySimulation& simulation,
                       const ConfigurationSwitches& switches, std::string& error);

} // namespace libsim
