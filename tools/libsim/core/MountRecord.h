#pragma once

#include "LibraryTime.h"

#include <cstdint>

namespace libsim {

// One cartridge mount as the library records it when the cartridge is demounted. The
// members after `writtenAt` are the record's counters and ratings in file order.
struct MountRecord {
    LibraryMinute mountedAt = 0; // the record's time stamp
    LibraryMinute writtenAt = 0; // when the library wrote the record (the demount)
    int cartridge = 0;           // index into LibraryModel::cartridges
    int drive = 0;               // index into LibraryModel::drives
    int robotSeconds = 0;        // how long the accessor took to mount; only the performance
                                 // intervals show it
    int writeRetriesAdded = 0;   // growth of the cartridge's lifetime retries at this mount,
    int readRetriesAdded = 0;    // which the drive's own totals also count

    std::int64_t hostWriteMegabytes = 0;
    std::int64_t hostReadMegabytes = 0;
    int residencySeconds = 0;
    int tapeAlert = 0; // a TapeAlert code, 0 for none
    int lifeMounts = 0;
    int lifeWriteRetries = 0;
    int lifeWritePerms = 0;
    int lifeReadRetries = 0;
    int lifeReadPerms = 0;
    int driveRating = 0;
    int mediaRating = 0;
    int portsRating = 0;
    int port0Rating = 0;
    int port1Rating = 0;
    int writePerformanceUtil = 0;
    int writeErpsImpact = 0;
    int writeBurstUtil = 0;
    int writeBufferUtil = 0;
    int readPerformanceUtil = 0;
    int readErpsImpact = 0;
    int readBurstUtil = 0;
    int readBufferUtil = 0;
    int capacityTotalUtil = 0;
    int capacityWritesUtil = 0;
    int capacityControlUtil = 0;
    int cryptoStatus = 0; // 1 when the cartridge is encrypted
    int cryptoRekey = 0;  // 1 when its key was changed at this mount
};

// One hour of one logical library, as the library performance file reports it.
struct PerformanceInterval {
    LibraryMinute endsAt = 0;
    int logicalLibrary = 0;
    int residencyMax = 0;
    int residencyAverage = 0;
    int mountsTotal = 0;
    int mountsMax = 0;
    int mountsAverage = 0;
    int ejectsTotal = 0;
    int ejectsMax = 0;
    int ejectsAverage = 0;
    int insertsTotal = 0;
};

} // namespace libsim
