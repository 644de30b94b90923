#pragma once

// The library files' fixed names, markers and titles, byte for byte.
namespace library_texts {
// The files the library's web server offers under /FS/.
inline constexpr const char* MountHistoryFileName = "LIBLG_01_CS.bin";
inline constexpr const char* LibraryPerformanceFileName = "LIBLG_01_LP.bin";
inline constexpr const char* ConfigurationFileName = "LIBLG_01_MR.bin";
inline constexpr const char* DriveStatusFileName = "LIBLG_00_MR.bin";
inline constexpr const char* DriveStatisticsFileName = "LIBLG_01_DS.bin";
inline constexpr const char* FileUrl = "http://%s/FS/%s";

// Title words of line 1 of a saved file.
inline constexpr const char* MountHistoryTitle = "Mount History";
inline constexpr const char* LibraryStatisticsTitle = "Library Statistics";
inline constexpr const char* InvalidFileFormat = "Invalid file format!";

// Our own message for a library name or address that the address column cannot hold.
inline constexpr const char* AddressTooLong =
    "The library name or address \"%s\" is longer than %d characters, the most the database stores "
    "with each row.\nEnter the library's IP address or a shorter name.";

// Configuration file: the frame models that keep library performance data, and the OVIS feature.
inline constexpr const char* PerformanceFrames[] = {"FRAME:1:7790:D91", "FRAME:1:7790:D61", "FRAME:1:7790:D90",
                                                    "FRAME:1:7790:D60"};
inline constexpr const char* OvisKeyword = "OVIS";

// Drive status file: the keyword of a drive line and the window's column titles.
inline constexpr const char* TapeDriveKeyword = "TAPEDRIVE";
inline constexpr const char* DriveStatusColumns[] = {"Frame",
                                                     "Row",
                                                     "Drive",
                                                     "Attachment",
                                                     "Emulation Mode",
                                                     "Encryption Capability",
                                                     "Encryption Method",
                                                     "Scratch Encryption Policy"};

// Drive statistics file: a drive line carries this after its first character.
inline constexpr const char* DriveWwnnMarker = "5005";

// Library performance fields as the library statistics window titles them, in file order.
inline constexpr const char* LibraryPerformanceTitles[] = {
    "Date and Time",        "Logical Library",  "Max Residency (sec)",  "Avg Residency (sec)",
    "Total Mounts (count)", "Max Mounts (sec)", "Avg Mounts (sec)",     "Total Ejects (count)",
    "Max Ejects (sec)",     "Avg Ejects (sec)", "Total Inserts (count)"};
} // namespace library_texts
