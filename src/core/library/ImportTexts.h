#pragma once

// The import command's fixed texts, byte for byte.
namespace import_texts {
inline constexpr const char* FileDialogTitle = "Import Data";
// The file dialog's filter as description|pattern pairs ended by "||".
inline constexpr const char* FileDialogFilter = "Comma-seperated values (*.csv)|*.csv|All Files (*.*)|*.*||";
inline constexpr const char* FileDialogDefaultExtension = ".csv";
inline constexpr const char* LibraryNameTitle = "Library Name";
inline constexpr const char* LibraryNamePrompt = "Enter name or IP address of the library";
inline constexpr const char* OpenFailed = "ERROR: Failed to open import file!\n";
inline constexpr const char* MountHistoryInserted = "Inserted %d new entries from Mount History file into database";
inline constexpr const char* LibraryPerformanceInserted =
    "Inserted %d new entries from Library Performance file into database";
inline constexpr const char* InsertErrors =
    "Error(s) inserting data into the database.\nSee debug file for more information.";
// Our own lines for how far a long import has come, and for one cancelled.
inline constexpr const char* Progress = "Importing: %llu lines read, %llu stored, %d%% of the file";
inline constexpr const char* Stopping = "Cancelling: the lines being stored are finished first";
inline constexpr const char* Stopped = "Import cancelled: %d lines of the file are stored (%d of them new "
                                       "entries).\nImporting the file again stores the rest.";
// The desktop program's arguments for an import as its window opens, when they are not complete.
inline constexpr const char* StartupUsage =
    "Nothing is imported: the program imports files with --import FILE (once for "
    "each file) --library ADDRESS [--imported-mark FILE]";
} // namespace import_texts
