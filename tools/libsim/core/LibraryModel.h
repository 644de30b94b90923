#pragma once

#include "LibraryOptions.h"
#include "LibraryTime.h"

#include <cstdint>
#include <string>
#include <vector>

namespace libsim {

struct Frame {
    int number = 1;
    std::string model; // "D91", ...: the configuration file writes "FRAME:<number>:7790:<model>"
    std::string serial;
    bool holdsDrives = false;
};

// How a health rating (1 to 255, higher is healthier) moves over time: steady around its
// base, or, for a degrading unit, falling by a fixed amount a day from some point on.
struct HealthCurve {
    int baseRating = 220;
    bool degrading = false;
    LibraryMinute degradeStart = 0;
    double lossPerDay = 0.0;

    int ratingAt(LibraryMinute minute) const;
    // 1 when healthy, falling toward 0 as the rating drops.
    double qualityAt(LibraryMinute minute) const;
};

struct Drive {
    int frame = 1;
    int position = 1; // the drive's number within its frame, as the mount history writes it
    int row = 1;
    int elementAddress = 257;
    int logicalLibrary = 0;
    std::string wwnn; // "5005" ... with the frame less one and the position as its last digits
    std::string serial;
    std::string emulation;  // "LTO8", "LTO9"
    std::string attachment; // "FC", "SAS"
    std::string encryptionCapability;
    std::string encryptionMethod;
    std::string scratchEncryptionPolicy;
    HealthCurve health;
    // Lifetime totals the drive had before the history starts.
    std::int64_t priorMounts = 0;
    std::int64_t priorWriteMegabytes = 0;
    std::int64_t priorReadMegabytes = 0;
    std::int64_t priorWriteRetries = 0;
    std::int64_t priorReadRetries = 0;
    std::int64_t priorCleanings = 0;
    std::int64_t priorPowerOnHours = 0;
};

// What a cartridge is and what it had been through before the history starts; its counters
// grow during the simulation (LibrarySimulation keeps them).
struct Cartridge {
    std::string volser;
    int logicalLibrary = 0;
    std::int64_t capacityMegabytes = 12000000;
    HealthCurve health;
    int priorMounts = 0;
    int priorWriteRetries = 0;
    int priorWritePerms = 0;
    int priorReadRetries = 0;
    int priorReadPerms = 0;
    int priorFillPercent = 0;
    bool priorEncrypted = false;
};

struct LogicalLibrary {
    std::string name;
    bool encrypting = false;
    std::vector<int> drives;     // indices into LibraryModel::drives
    std::vector<int> cartridges; // indices into LibraryModel::cartridges
};

// The fixed make-up of the simulated library, built from the options alone.
struct LibraryModel {
    std::string name;
    std::string serial;
    LibraryMinute historyStart = 0;
    std::vector<Frame> frames;
    std::vector<Drive> drives; // ordered by frame and position
    std::vector<Cartridge> cartridges;
    std::vector<LogicalLibrary> logicalLibraries;
};

LibraryModel buildLibraryModel(const LibraryOptions& options);

// 0 to 9, then A, B, C for 10 to 12: how the drive statistics file writes a frame or position.
char driveDigit(int value);

} // namespace libsim
