#pragma once

// The library monitor's and drive status window's fixed texts, byte for byte.
namespace monitor_texts {
inline constexpr const char* DocumentName = "Qmx";
inline constexpr const char* AllLibraries = "**ALL**";

// Library address dialog, shared by the monitor and the drive status window.
inline constexpr const char* AddressDialogTitle = "QV8800 Tape Library";
inline constexpr const char* AddressLabel = "IP Address";
inline constexpr const char* AddressListSelect = "select distinct ipaddress from %s order by ipaddress asc";
inline constexpr const char* AddressConnectFailed =
    "Method qmxDB connectDB returned flase.  Exiting with the value false";
inline constexpr const char* AddressPrepareFailed = "Error preparing the select statement for IP address";
inline constexpr const char* AddressExecuteFailed = "Error executing the select statement for IP address";
inline constexpr const char* AddressListFilled = "Exiting setupIPCombo returning true";

// Window lines.
inline constexpr const char* StartingMonitor = "Starting Monitor on Tape Library %s\r\n";
inline constexpr const char* NotResponding = "The IP address %s is either invalid or not responding on %s\n";
inline constexpr const char* PerformanceNotAvailable = "Library Performance for %s is not available\r\n";
inline constexpr const char* ErrorPrefix = "   o ERROR: ";
inline constexpr const char* OvisNotEnabled =
    "   o ERROR: The OVIS feature must be enabled on tape library %s before it can be monitored";
inline constexpr const char* GettingMountHistory = "Getting Mount History file from %s on %s";
inline constexpr const char* InsertedMountHistory = "Inserted %d new entries from Mount History file into database";
inline constexpr const char* GettingLibraryPerformance = "Getting Library Performance file from %s on %s";
inline constexpr const char* InsertedLibraryPerformance =
    "Inserted %d new entries from Library Performance file into database";
inline constexpr const char* SkippingMountHistory =
    "Skipping Mount History file. Previous Mount History still processing\n";
inline constexpr const char* SkippingLibraryPerformance =
    "Skipping Library Performance file. Previous Library Performance still processing\n";
inline constexpr const char* MountHistoryRetry =
    "Problem getting Mount History file. Will try again in one minute.\r\n";
inline constexpr const char* LibraryPerformanceRetry =
    "Problem getting Library Performance file. Will try again in one minute.\r\n";
inline constexpr const char* InsertProblem = "ERROR: Problem inserting line. See debug file for more information";
inline constexpr const char* LibraryPerformanceErrorPrefix = "Library Performance for %s   o ERROR: ";
inline constexpr const char* Repeat = "Repeat";
inline constexpr const char* NoLibraryPerformanceFile = "Problem getting the Library Performance file";
inline constexpr const char* UnknownError = "Unknown Error: %d\n";

// Why a download failed, after "   o ERROR: ".
inline constexpr const char* DownloadHttpStatus = "The library answered HTTP status %s instead of sending %s\n";
inline constexpr const char* DownloadWebPage = "The library sent a web page instead of %s\n";
inline constexpr const char* DownloadTooLarge =
    "%s is longer than %s bytes, more than a library's file holds; it was not read\n";
inline constexpr const char* DownloadTimedOut = "%s did not arrive within %s seconds\n";

// Close and Save of a monitor window.
inline constexpr const char* StopQuestion = "Are you sure you would like to stop monitoring on tape library %s?";
inline constexpr const char* SaveTitle = "Save monitor log of %s";
inline constexpr const char* SaveDefaultName = ".txt";
inline constexpr const char* SaveFilter = "Text Documents (*.txt)|*.txt|All Files (*.*)|*.*||";

// Drive status window.
inline constexpr const char* DriveStatusTitle = "Drive Status for Tape Library %s";
inline constexpr const char* NoDriveStatusFile = "Problem getting the MRPD file";
inline constexpr const char* NoAddressEntered = "No IP address entered.";
inline constexpr const char* GettingDriveStatus = "Getting the drive status of tape library %s...";
} // namespace monitor_texts
