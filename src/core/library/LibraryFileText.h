#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// How every one of the library's files is read: byte 0 and "_" read as blanks, lines end
// with "\n", data files are comma-separated and start with a few header lines.

// The mount history file on the library is this long; a download reads no more.
inline constexpr std::size_t MountHistoryFileLimit = 34483;
// Header lines before the data of each data file (line 1 included).
inline constexpr std::size_t MountHistoryHeaderLines = 5;
inline constexpr std::size_t LibraryPerformanceHeaderLines = 6;

// One byte as the program reads it: byte 0 and "_" become blanks.
char libraryByte(char byte);
// Appends bytes with the replacement until text holds limit bytes. False when the limit cut
// the bytes short (the piece after the last "\n" is then an incomplete line).
bool appendLibraryBytes(std::string& text, std::string_view bytes, std::size_t limit = std::string::npos);
// A whole file's bytes as text.
std::string libraryFileText(std::string_view bytes);
// "http://<address>/FS/<file name>".
std::string libraryFileUrl(const std::string& address, const std::string& fileName);

// A downloaded file without the piece after its last line end: a transfer that ended early leaves
// a line without its end, and a cut line must not be stored with a wrong value. (A saved file
// is whole: its last line counts without a line end.)
void dropUnfinishedLine(std::string& text);

// Line 1: the text up to the first "\n" or "\r".
std::string firstLine(const std::string& text);
// True for a line with nothing but blanks, tabs and line-end characters.
bool isBlankLine(std::string_view line);
// The data lines after the header lines, in file order. The last line counts even without a
// final "\n"; blank lines anywhere are passed over rather than ending the data; "\n", "\r\n"
// and a lone "\r" each end a line, so downloaded and saved files read alike.
std::vector<std::string> dataLines(const std::string& text, std::size_t headerLines);
// As dataLines, but empty lines are not lines: they do not count among the five header lines.
std::vector<std::string> mountHistoryDataLines(const std::string& text);
// A data part of fewer than two characters counts as an empty file.
std::vector<std::string> libraryPerformanceDataLines(const std::string& text);
