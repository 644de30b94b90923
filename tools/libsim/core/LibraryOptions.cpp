#include "LibraryOptions.h"

#include <algorithm>

namespace libsim {

std::string LibraryOptions::validate() const
{
    if (frames < 1 || frames > MaxFrames) {
        return "frames must be between 1 and " + std::to_string(MaxFrames);
    }
    const int driveFrames = std::min(frames, MaxDriveFrames);
    if (drives < 1 || drives > driveFrames * MaxDrivesPerFrame) {
        return "drives must be between 1 and " + std::to_string(driveFrames * MaxDrivesPerFrame) + " for "
               + std::to_string(frames) + " frames";
    }
    if (logicalLibraries < 1 || logicalLibraries > drives) {
        return "logical libraries must be between 1 and the number of drives";
    }
    if (cartridges < logicalLibraries || cartridges > logicalLibraries * MaxCartridgesPerLogicalLibrary) {
        return "cartridges must be between the number of logical libraries and "
               + std::to_string(logicalLibraries * MaxCartridgesPerLogicalLibrary);
    }
    if (days < 0 || days > 3660) {
        return "days must be between 0 and 3660";
    }
    if (mountsPerDay < 0 || mountsPerDay > 100000) {
        return "mounts per day must be between 0 and 100000";
    }
    if (start && *start > end) {
        return "the start of the history must not be after its end";
    }
    if (name.empty() || name.size() > 20) {
        return "the library name must have 1 to 20 characters";
    }
    for (const char c : name) {
        const bool allowed =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == ' ';
        if (!allowed) {
            return "the library name may hold only letters, digits, blanks and '-'";
        }
    }
    // Readers search the configuration text for the first "OVIS" and take any line with
    // "5005" past its first character for a drive line; the name must not fool either.
    // The import tells its two files apart by the title words of their first lines, and the
    // drive status reader takes every line with "TAPEDRIVE" for a drive.
    for (const char* word : {"OVIS", "5005", "TAPEDRIVE", "Mount History", "Library Statistics"}) {
        if (name.find(word) != std::string::npos) {
            return std::string("the library name must not contain \"") + word + "\"";
        }
    }
    return {};
}

LibraryMinute LibraryOptions::historyStart() const
{
    return floorToHour(start ? *start : end - static_cast<LibraryMinute>(days) * MinutesPerDay);
}

LibraryOptions LibraryOptions::demonstration()
{
    LibraryOptions options;
    options.seed = 16;
    options.frames = 5;
    options.drives = 32;
    options.cartridges = 1600;
    options.logicalLibraries = 4;
    options.days = 365;
    options.mountsPerDay = 1000;
    options.name = "DEMO LIBRARY";
    return options;
}

} // namespace libsim
