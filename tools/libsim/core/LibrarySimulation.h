#pragma once

#include "LibraryModel.h"
#include "LibraryOptions.h"
#include "MountRecord.h"

#include <cstdint>
#include <vector>

namespace libsim {

class DeterministicRandom;

// Lifetime totals of one drive, counting the mounts written so far.
struct DriveTotals {
    std::int64_t mounts = 0;
    std::int64_t writeMegabytes = 0;
    std::int64_t readMegabytes = 0;
    std::int64_t writeRetries = 0;
    std::int64_t readRetries = 0;
    std::int64_t tapeAlerts = 0;
};

// The library's activity over time. Mounts are made an hour at a time, each hour from its
// own random stream and the state the earlier hours left, so what the library has written
// by a given minute depends only on the options and that minute: advancing in many small
// steps gives the same records as one large step.
class LibrarySimulation {
public:
    // Builds the library and runs it from the start of its history to options.end.
    explicit LibrarySimulation(const LibraryOptions& options);

    const LibraryOptions& options() const { return m_options; }
    const LibraryModel& model() const { return m_model; }

    // Runs the library up to the given minute. The clock never goes back: an earlier minute
    // changes nothing.
    void advanceTo(LibraryMinute now);
    LibraryMinute now() const { return m_now; }

    // Records written by now, in the order the library wrote them (by demount time).
    const std::vector<MountRecord>& mounts() const { return m_mounts; }
    // Intervals that have ended by now, oldest first, logical libraries in order.
    const std::vector<PerformanceInterval>& intervals() const { return m_intervals; }
    const std::vector<DriveTotals>& driveTotals() const { return m_driveTotals; }
    // Grows whenever a record or an interval is added.
    std::uint64_t version() const { return m_version; }

private:
    struct CartridgeState {
        int lifeMounts = 0;
        int lifeWriteRetries = 0;
        int lifeWritePerms = 0;
        int lifeReadRetries = 0;
        int lifeReadPerms = 0;
        std::int64_t filledMegabytes = 0;
        bool encrypted = false;
        LibraryMinute busyUntil = 0;
    };

    void generateHour(LibraryMinute hourStart);
    MountRecord makeMount(DeterministicRandom& random, LibraryMinute minute, int drive, int cartridge);
    void publish(LibraryMinute now);

    LibraryOptions m_options;
    LibraryModel m_model;
    std::vector<CartridgeState> m_cartridges;
    std::vector<LibraryMinute> m_driveBusyUntil;
    double m_meanResidencySeconds = 1800;
    LibraryMinute m_generatedUntil = 0;
    LibraryMinute m_now = 0;
    std::vector<MountRecord> m_pendingMounts;
    std::vector<PerformanceInterval> m_pendingIntervals;
    std::vector<MountRecord> m_mounts;
    std::vector<PerformanceInterval> m_intervals;
    std::vector<DriveTotals> m_driveTotals;
    std::uint64_t m_version = 0;
};

} // namespace libsim
