#pragma once

#include <cstddef>
#include <string>

// What a saved library file is, judged by its line 1 alone.
enum class SavedFileKind { MountHistory, LibraryPerformance, Invalid };

// Mount history: line 1 holds "Mount History" and 36 comma-separated fields. Library
// performance: line 1 holds "Library Statistics" (and not "Mount History") and 11 fields.
// Anything else is reported as "Invalid file format!".
SavedFileKind checkSavedFile(const std::string& text);

// Fields of line 1: its commas plus one.
std::size_t firstLineFieldCount(const std::string& text);

// Header lines to remove before the data of a file of that kind (0 for an invalid file).
std::size_t headerLineCount(SavedFileKind kind);
