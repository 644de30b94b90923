#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The drive statistics file is handed on as one text (byte replacement applied); what the
// mount rates report takes from it are its drive lines: text lines in which a drive's WWNN
// precedes the first comma.

// The lines of the text ("\n", "\r\n" or "\r" ends each), in order; the last line counts
// without a line end.
std::vector<std::string> driveStatisticsLines(const std::string& text);

// The WWNN of a drive line, blanks removed: a line is a drive line when "5005" occurs after
// its first character and it has a comma with at least two characters of WWNN before it.
std::optional<std::string> driveLineWwnn(std::string_view line);

// The WWNNs of every drive line, in file order.
std::vector<std::string> driveWwnns(const std::string& text);
