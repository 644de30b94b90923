#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One drive of the drive status file, as the drive status window shows it: up to eight cells,
// frame, row, drive, attachment, emulation mode, encryption capability, encryption method and
// scratch encryption policy.
struct DriveStatusLine {
    static constexpr std::size_t CellCount = 8;
    std::vector<std::string> cells;

    // A line holding "TAPEDRIVE", blanks removed: its colon-terminated fields after the
    // keyword (text after the last colon is not a field). Nothing for any other line.
    static std::optional<DriveStatusLine> parse(std::string_view line);
};

// The drive lines in file order, read up to the first empty line (a line of blanks is empty).
std::vector<DriveStatusLine> readDriveStatusLines(const std::string& text);
