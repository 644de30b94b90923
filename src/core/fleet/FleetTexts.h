#pragma once

// The library overview's and the suspects list's fixed texts.
namespace fleet_texts {
inline constexpr const char* OverviewHeader = "Starting library overview on %s";
inline constexpr const char* LibraryLine = "Library %s, %s to %s: %lld mounts, %lld troubled";
// "2 drives and 11 cartridges need attention"
inline constexpr const char* AttentionLine = "%d %s and %d %s need attention";
inline constexpr const char* NoMounts = "No mounts of library %s between %s and %s";
inline constexpr const char* SuspectsHeading = "Suspects and watch list:";
inline constexpr const char* NoSuspects = "No drive or cartridge is suspect or on the watch list.";
inline constexpr const char* DriveEvidence =
    "  drive %s  %s: %lld of %lld mounts troubled, %lld with %d cartridges that are clean elsewhere "
    "(%.1f expected by chance), rating %s (%s a month, %s against the median drive)";
inline constexpr const char* CartridgeEvidence =
    "  cartridge %s  %s: %lld of %lld mounts troubled, %lld on %d drives that are clean elsewhere "
    "(%.1f expected by chance), media rating %s (%s a month)";
inline constexpr const char* RetirementHeading = "Retirement list (lifetime counters over a threshold):";
inline constexpr const char* NoRetirement = "No cartridge is over a threshold of the threshold sheet.";
inline constexpr const char* RetirementLine = "  cartridge %s  %s: %s";
inline constexpr const char* Warning = "WARNING";
inline constexpr const char* Error = "ERROR";
inline constexpr const char* Skipped =
    "%lld mounts of units past the overview's limits or without a drive or volser were left out.";
inline constexpr const char* Done = "Done!";
inline constexpr const char* Canceled = "Canceled";

// The agent's mail.
inline constexpr const char* MailName = "Library Overview";

// The debug log's lines for a failed read.
inline constexpr const char* Preparing = "Error preparing the select statement in the library overview:";
inline constexpr const char* Executing = "Error executing the select statement in the library overview:";
inline constexpr const char* Fetching = "Error fetching data from the select statement in the library overview:";
} // namespace fleet_texts
