#pragma once

#include "LibraryTime.h"

#include <cstdint>
#include <optional>
#include <string>

namespace libsim {

// What the simulated library looks like and how much history it has. Everything the
// simulator produces follows from these values; the same values give the same files.
struct LibraryOptions {
    std::uint64_t seed = 1;
    int frames = 4;
    int drives = 12;
    int cartridges = 400;
    int logicalLibraries = 3;
    int days = 14;
    int mountsPerDay = 300;
    // The library's clock at the end of the history (live mode continues from here).
    LibraryMinute end = fromCivil({2024, 6, 3, 8, 0});
    // A fixed beginning of the history instead of `days` before the end. Units then degrade
    // over the `days` after it, so what the library writes at any minute no longer depends
    // on where the history ends: a library started again later repeats its earlier records.
    std::optional<LibraryMinute> start;
    std::string name = "VAULTSIM";

    // Largest frame that can hold drives: the drive statistics file names a drive's frame and
    // position with one digit each (0 to 9, then A to C).
    static constexpr int MaxDriveFrames = 13;
    static constexpr int MaxDrivesPerFrame = 12;
    static constexpr int MaxFrames = 16;
    static constexpr int MaxCartridgesPerLogicalLibrary = 9999;

    // An empty text when the options describe a library that can be built, else why not.
    std::string validate() const;

    // The first minute of the history.
    LibraryMinute historyStart() const;

    // The library the demonstration runs: a few frames, a few dozen drives, a couple of
    // thousand cartridges and a year of history, small enough to import in well under a
    // minute and busy enough that every cartridge has a health trend.
    static LibraryOptions demonstration();
};

} // namespace libsim
