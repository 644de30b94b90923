#pragma once

// The application core's fixed texts, byte for byte.
namespace app_texts {
inline constexpr const char* DebugFileFailed = "ERROR: Failed to open debug file!\n";
inline constexpr const char* DebuggingOn = "Debuging turned on!";
inline constexpr const char* SelectDatabaseType = "Please Select a Database type";
inline constexpr const char* SelectDateFormat = "Please select a date format";
inline constexpr const char* DebugSwitch = "lvr_debug";
inline constexpr const char* DebugLogName = "lvr_debug.txt";
// Our own line after DebugFileFailed when another process holds the log.
inline constexpr const char* DebugLogHeld = "%s is in use by another Vaultline process: pass --log FILE to write "
                                            "another file, or run from another folder\n";
// Our own line after DebugFileFailed when the log's name is a symbolic link.
inline constexpr const char* DebugLogIsLink = "%s is a symbolic link, and the debug log is never written through one: "
                                              "remove the link, or run from another folder\n";
inline constexpr const char* ExitQuestion = "Are you sure you would like to exit from LVR?";
inline constexpr const char* AboutTitle = "About Kestrix Vaultline";
inline constexpr const char* AboutTextPrefix = "Kestrix Vaultline v";
inline constexpr const char* SocketsFailed = "ERROR: Failed to initialize sockets";
} // namespace app_texts
