#pragma once

#include "FleetMath.h"
#include "reports/CounterGrowth.h"
#include "reports/LifetimeThresholds.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// One mount as the fleet figures read it. Counters are the cartridge's lifetime counters in
// the order write retries, write perms, read retries, read perms; NULL is nothing.
struct FleetMount {
    std::string date; // "YYYY-MM-DD"
    std::string time; // "HH:MM:SS"
    std::string volser;
    int frame = 0;
    int drive = 0;
    std::array<std::optional<std::int64_t>, 4> counters{};
    std::optional<std::int64_t> lifeMounts;
    std::int64_t tapeAlert = 0;
    // 0 when the mount has none.
    int driveRating = 0;
    int mediaRating = 0;
};

struct FleetOptions {
    // A mount is troubled when its write and read retries together grew by more than this.
    int retryThreshold = 10;
    // The cartridges' lifetime maxima are classified against these (the threshold sheet's).
    LifetimeThresholds thresholds;
    // Units beyond these are not followed (their mounts are counted as skipped): the figures'
    // memory stays bounded whatever the table holds.
    std::size_t maxDrives = 4096;
    std::size_t maxCartridges = 250000;
};

enum class FleetVerdict { Suspect, Watch, Ok };
const char* fleetVerdictName(FleetVerdict verdict); // "suspect", "watch", "ok"

// What a unit's troubled mounts say about it, in numbers.
struct FleetEvidence {
    // Troubled mounts with partners that are clean elsewhere, and how many chance would give
    // over the same mounts at the library's usual rate.
    std::int64_t withCleanPartners = 0;
    double expected = 0;
    // -log10 of the chance of that many or more (3 is one in a thousand).
    double surprise = 0;
    // Distinct clean partners it was troubled with.
    int cleanPartners = 0;
    // How its troubled mounts split: pointing at this unit (partner clean elsewhere, this unit
    // not), at the partner (the reverse), at both (neither clean elsewhere), or chance (both
    // clean elsewhere).
    std::int64_t againstUnit = 0;
    std::int64_t againstPartner = 0;
    std::int64_t shared = 0;
    std::int64_t chance = 0;
};

// A rating over the range: its least-squares line through the unit's non-zero ratings, read
// at the unit's first and last mount in the range, and the line's slope per 30 days.
struct FleetRating {
    std::optional<double> start;
    std::optional<double> end;
    std::optional<double> slopePer30Days;
};

struct FleetDrive {
    int frame = 0;
    int drive = 0;
    std::int64_t mounts = 0;
    double mountsPerDay = 0;
    int cartridges = 0;
    std::int64_t troubled = 0;
    int troubledCartridges = 0;
    FleetRating rating;
    // This drive's end rating and slope less the median drive's.
    std::optional<double> ratingVsMedian;
    std::optional<double> slopeVsMedian;
    FleetEvidence evidence;
    FleetVerdict verdict = FleetVerdict::Ok;

    std::string unit() const; // "F:D"
};

struct FleetCartridge {
    std::string volser;
    std::int64_t mounts = 0;
    int drives = 0;
    std::int64_t troubled = 0;
    int troubledDrives = 0;
    FleetRating rating; // the media rating
    // The highest value of each lifetime counter in the range, in the order of the threshold
    // sheet (mounts, write retries, write perms, read retries, read perms).
    std::array<std::optional<std::int64_t>, 5> maxima{};
    // The worst level of the maxima against the thresholds: 0 none, 1 warning, 2 error.
    int thresholdLevel = 0;
    FleetEvidence evidence;
    FleetVerdict verdict = FleetVerdict::Ok;
};

struct FleetResult {
    std::string beginDate;
    std::string endDate;
    std::int64_t mounts = 0;
    std::int64_t troubled = 0;
    // Mounts of units past the limits, and mounts without a drive or volser: not followed.
    std::int64_t skipped = 0;
    // The troubled share of mounts whose partners are both clean elsewhere.
    double usualRate = 0;
    // Worst first: verdict, then how surprising, then troubled mounts.
    std::vector<FleetDrive> drives;
    std::vector<FleetCartridge> cartridges;

    int drivesNeedingAttention() const;
    // Suspect or watch, or over a threshold.
    int cartridgesNeedingAttention() const;
};

// The per-drive and per-cartridge figures of one library over a range, and whether a troubled
// mount is the drive's or the tape's. Mounts are given one at a time in date and time order;
// only per-unit and per-pair state is kept, never the rows.
class FleetHealth {
public:
    explicit FleetHealth(FleetOptions options = {});

    void add(const FleetMount& mount);
    // Whether a mount with these growths and alert is troubled under the options.
    bool troubled(const std::array<std::int64_t, 4>& growth, std::int64_t tapeAlert) const;
    // The figures and verdicts for the range the mounts came from ("YYYY-MM-DD").
    FleetResult finish(const std::string& beginDate, const std::string& endDate) const;

private:
    struct Pair {
        std::size_t drive = 0;
        std::int64_t mounts = 0;
        std::int64_t troubled = 0;
    };
    struct DriveState {
        int frame = 0;
        int drive = 0;
        std::int64_t mounts = 0;
        std::int64_t troubled = 0;
        fleet_math::LeastSquares fit; // rating over day number
    };
    struct CartridgeState {
        std::string volser;
        std::int64_t mounts = 0;
        std::int64_t troubled = 0;
        std::array<CounterGrowth, 4> growth;
        std::array<std::optional<std::int64_t>, 5> maxima{};
        fleet_math::LeastSquares fit;
        std::vector<Pair> pairs;
    };

    static FleetRating ratingOf(const fleet_math::LeastSquares& fit);

    FleetOptions m_options;
    std::unordered_map<std::int64_t, std::size_t> m_driveIndex;
    std::unordered_map<std::string, std::size_t> m_cartridgeIndex;
    std::vector<DriveState> m_drives;
    std::vector<CartridgeState> m_cartridges;
    std::int64_t m_mounts = 0;
    std::int64_t m_troubled = 0;
    std::int64_t m_skipped = 0;
};
