#include "LibrarySimulation.h"

#include "DeterministicRandom.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace libsim {

namespace {

// Share of a day's mounts per hour: busiest in the evening and night backup window.
constexpr int HourWeights[24] = {9, 9, 8, 7, 6, 5, 5, 6, 8, 9, 10, 10, 10, 10, 10, 9, 9, 9, 10, 12, 14, 15, 14, 12};

// TapeAlert codes a worn drive raises, codes worn media raise, and the everyday ones.
constexpr int DriveAlerts[] = {20, 21, 38, 30, 3, 32, 39};
constexpr int MediaAlerts[] = {4, 7, 19, 1, 2, 5, 6, 52};
constexpr int EverydayAlerts[] = {20, 21, 16, 1, 2};

int clampRating(double value)
{
    return std::clamp(static_cast<int>(value), 1, 255);
}

int clampPercent(double value)
{
    return std::clamp(static_cast<int>(value), 1, 100);
}

template <std::size_t N>
int pick(DeterministicRandom& random, const int (&codes)[N])
{
    return codes[random.below(N)];
}

} // namespace

LibrarySimulation::LibrarySimulation(const LibraryOptions& options)
    : m_options(options), m_model(buildLibraryModel(options))
{
    for (const Cartridge& cartridge : m_model.cartridges) {
        CartridgeState state;
        state.lifeMounts = cartridge.priorMounts;
        state.lifeWriteRetries = cartridge.priorWriteRetries;
        state.lifeWritePerms = cartridge.priorWritePerms;
        state.lifeReadRetries = cartridge.priorReadRetries;
        state.lifeReadPerms = cartridge.priorReadPerms;
        state.filledMegabytes = cartridge.capacityMegabytes * cartridge.priorFillPercent / 100;
        state.encrypted = cartridge.priorEncrypted;
        m_cartridges.push_back(state);
    }
    m_driveBusyUntil.assign(m_model.drives.size(), 0);
    for (const Drive& drive : m_model.drives) {
        DriveTotals totals;
        totals.mounts = drive.priorMounts;
        totals.writeMegabytes = drive.priorWriteMegabytes;
        totals.readMegabytes = drive.priorReadMegabytes;
        totals.writeRetries = drive.priorWriteRetries;
        totals.readRetries = drive.priorReadRetries;
        m_driveTotals.push_back(totals);
    }
    // Drives should be busy about half the time at the asked mount rate, so that the rate is
    // reached outside the busiest hours too.
    const double driveSecondsPerMount =
        static_cast<double>(options.drives) * 86400.0 / std::max(1, options.mountsPerDay);
    m_meanResidencySeconds = std::clamp(0.45 * driveSecondsPerMount, 180.0, 2400.0);
    m_generatedUntil = m_model.historyStart;
    m_now = m_model.historyStart;
    advanceTo(options.end);
}

void LibrarySimulation::advanceTo(LibraryMinute now)
{
    if (now <= m_now) {
        return;
    }
    // Every record written by `now` belongs to a mount that started by `now`, so it is made
    // once the hour holding `now` is.
    while (m_generatedUntil <= now) {
        generateHour(m_generatedUntil);
        m_generatedUntil += MinutesPerHour;
    }
    publish(now);
    m_now = now;
}

void LibrarySimulation::publish(LibraryMinute now)
{
    const auto mountsReady = std::stable_partition(m_pendingMounts.begin(), m_pendingMounts.end(),
                                                   [now](const MountRecord& record) { return record.writtenAt > now; });
    std::vector<MountRecord> ready(std::make_move_iterator(mountsReady),
                                   std::make_move_iterator(m_pendingMounts.end()));
    m_pendingMounts.erase(mountsReady, m_pendingMounts.end());
    std::sort(ready.begin(), ready.end(), [](const MountRecord& a, const MountRecord& b) {
        if (a.writtenAt != b.writtenAt) {
            return a.writtenAt < b.writtenAt;
        }
        return a.mountedAt != b.mountedAt ? a.mountedAt < b.mountedAt : a.drive < b.drive;
    });
    for (const MountRecord& record : ready) {
        DriveTotals& totals = m_driveTotals[static_cast<std::size_t>(record.drive)];
        ++totals.mounts;
        totals.writeMegabytes += record.hostWriteMegabytes;
        totals.readMegabytes += record.hostReadMegabytes;
        totals.writeRetries += record.writeRetriesAdded;
        totals.readRetries += record.readRetriesAdded;
        totals.tapeAlerts += record.tapeAlert != 0 ? 1 : 0;
        m_mounts.push_back(record);
    }

    const auto intervalsReady =
        std::stable_partition(m_pendingIntervals.begin(), m_pendingIntervals.end(),
                              [now](const PerformanceInterval& interval) { return interval.endsAt > now; });
    const bool anyInterval = intervalsReady != m_pendingIntervals.end();
    m_intervals.insert(m_intervals.end(), intervalsReady, m_pendingIntervals.end());
    m_pendingIntervals.erase(intervalsReady, m_pendingIntervals.end());

    if (!ready.empty() || anyInterval) {
        ++m_version;
    }
}

void LibrarySimulation::generateHour(LibraryMinute hourStart)
{
    DeterministicRandom random = DeterministicRandom::forStream(m_options.seed, "hour", hourStart / MinutesPerHour);
    const int hourOfDay = toCivil(hourStart).hour;
    int weightSum = 0;
    for (const int weight : HourWeights) {
        weightSum += weight;
    }
    const double expected = static_cast<double>(m_options.mountsPerDay) * HourWeights[hourOfDay] / weightSum;
    const auto count = static_cast<int>(expected * (0.75 + 0.5 * random.unit()) + random.unit());

    std::vector<int> minutes;
    for (int i = 0; i < count; ++i) {
        minutes.push_back(static_cast<int>(random.below(60)));
    }
    std::sort(minutes.begin(), minutes.end());

    const std::size_t logicalCount = m_model.logicalLibraries.size();
    std::vector<std::vector<const MountRecord*>> hourMounts(logicalCount);
    std::vector<MountRecord> made;
    made.reserve(minutes.size());
    for (const int offset : minutes) {
        const LibraryMinute minute = hourStart + offset;
        const std::size_t logicalIndex = random.below(logicalCount);
        const LogicalLibrary& logical = m_model.logicalLibraries[logicalIndex];

        int drive = -1;
        const std::size_t driveCount = logical.drives.size();
        const std::size_t firstDrive = random.below(driveCount);
        for (std::size_t k = 0; k < driveCount && drive < 0; ++k) {
            const int candidate = logical.drives[(firstDrive + k) % driveCount];
            if (m_driveBusyUntil[static_cast<std::size_t>(candidate)] <= minute) {
                drive = candidate;
            }
        }
        // A few tries for a cartridge that is in its slot; a busy library simply mounts less.
        int cartridge = -1;
        for (int attempt = 0; attempt < 8 && cartridge < 0 && drive >= 0; ++attempt) {
            const int candidate = logical.cartridges[random.below(logical.cartridges.size())];
            if (m_cartridges[static_cast<std::size_t>(candidate)].busyUntil <= minute) {
                cartridge = candidate;
            }
        }
        if (drive < 0 || cartridge < 0) {
            continue;
        }
        made.push_back(makeMount(random, minute, drive, cartridge));
    }
    for (const MountRecord& record : made) {
        const auto logicalIndex =
            static_cast<std::size_t>(m_model.cartridges[static_cast<std::size_t>(record.cartridge)].logicalLibrary);
        hourMounts[logicalIndex].push_back(&record);
    }

    for (std::size_t l = 0; l < logicalCount; ++l) {
        PerformanceInterval interval;
        interval.endsAt = hourStart + MinutesPerHour;
        interval.logicalLibrary = static_cast<int>(l);
        long residencySum = 0;
        long robotSum = 0;
        for (const MountRecord* record : hourMounts[l]) {
            interval.residencyMax = std::max(interval.residencyMax, record->residencySeconds);
            interval.mountsMax = std::max(interval.mountsMax, record->robotSeconds);
            residencySum += record->residencySeconds;
            robotSum += record->robotSeconds;
        }
        interval.mountsTotal = static_cast<int>(hourMounts[l].size());
        if (interval.mountsTotal > 0) {
            interval.residencyAverage = static_cast<int>(residencySum / interval.mountsTotal);
            interval.mountsAverage = static_cast<int>(robotSum / interval.mountsTotal);
        }
        if (random.chance(0.1)) {
            interval.ejectsTotal = static_cast<int>(random.between(1, 4));
            int ejectSum = 0;
            for (int e = 0; e < interval.ejectsTotal; ++e) {
                const int seconds = static_cast<int>(random.between(15, 55));
                interval.ejectsMax = std::max(interval.ejectsMax, seconds);
                ejectSum += seconds;
            }
            interval.ejectsAverage = ejectSum / interval.ejectsTotal;
        }
        if (random.chance(0.08)) {
            interval.insertsTotal = static_cast<int>(random.between(1, 8));
        }
        m_pendingIntervals.push_back(interval);
    }
    m_pendingMounts.insert(m_pendingMounts.end(), made.begin(), made.end());
}

MountRecord LibrarySimulation::makeMount(DeterministicRandom& random, LibraryMinute minute, int driveIndex,
                                         int cartridgeIndex)
{
    const Drive& drive = m_model.drives[static_cast<std::size_t>(driveIndex)];
    const Cartridge& cartridge = m_model.cartridges[static_cast<std::size_t>(cartridgeIndex)];
    const LogicalLibrary& logical = m_model.logicalLibraries[static_cast<std::size_t>(cartridge.logicalLibrary)];
    CartridgeState& state = m_cartridges[static_cast<std::size_t>(cartridgeIndex)];

    MountRecord record;
    record.mountedAt = minute;
    record.drive = driveIndex;
    record.cartridge = cartridgeIndex;
    record.robotSeconds = static_cast<int>(random.between(9, 38));

    const int hourOfDay = toCivil(minute).hour;
    const bool night = hourOfDay >= 19 || hourOfDay < 5;
    const bool writes = random.chance(night ? 0.7 : 0.35);
    const bool reads = !writes || random.chance(0.25);
    // Mostly short stays and a few long ones around the library's mean; night backups
    // stream longer.
    const double spread = random.unit();
    double residency = m_meanResidencySeconds * (0.2 + 2.4 * spread * spread);
    if (writes && night) {
        residency *= 1.3;
    }
    record.residencySeconds = std::max(60, static_cast<int>(residency));
    record.writtenAt = minute + (record.residencySeconds + 59) / 60;
    // The accessor needs a minute to put the cartridge back before either is used again.
    m_driveBusyUntil[static_cast<std::size_t>(driveIndex)] = record.writtenAt + 1;
    state.busyUntil = record.writtenAt + 1;

    const double driveQuality = drive.health.qualityAt(minute);
    const double mediaQuality = cartridge.health.qualityAt(minute);
    const double wear = 1.0 - std::min(driveQuality, mediaQuality);
    const double rate = drive.emulation == "LTO9" ? 400.0 : 360.0; // MB/s

    if (writes) {
        auto written = static_cast<std::int64_t>(record.residencySeconds * rate * (0.15 + 0.5 * random.unit())
                                                 * (0.5 + 0.5 * driveQuality));
        written = std::min(written, cartridge.capacityMegabytes);
        // A full cartridge, or one its owner expired, is written again from the start, and
        // then takes on its logical library's encryption policy.
        if (state.filledMegabytes + written > cartridge.capacityMegabytes || random.chance(0.08)) {
            state.filledMegabytes = written;
            state.encrypted = logical.encrypting;
        } else {
            state.filledMegabytes += written;
        }
        record.hostWriteMegabytes = written;
    }
    if (reads) {
        record.hostReadMegabytes = static_cast<std::int64_t>(
            record.residencySeconds * rate * (0.1 + 0.45 * random.unit()) * (0.5 + 0.5 * mediaQuality));
    }

    ++state.lifeMounts;
    if (writes && random.chance(0.25 + 0.5 * wear)) {
        record.writeRetriesAdded = static_cast<int>(random.between(1, 2 + static_cast<int>(wear * 25)));
    }
    if (writes && random.chance(0.0008 + (1.0 - mediaQuality) * 0.03)) {
        ++state.lifeWritePerms;
    }
    if (reads && random.chance(0.15 + 0.5 * wear)) {
        record.readRetriesAdded = static_cast<int>(random.between(1, 2 + static_cast<int>(wear * 20)));
    }
    if (reads && random.chance(0.0005 + (1.0 - mediaQuality) * 0.02)) {
        ++state.lifeReadPerms;
    }
    state.lifeWriteRetries += record.writeRetriesAdded;
    state.lifeReadRetries += record.readRetriesAdded;
    record.lifeMounts = state.lifeMounts;
    record.lifeWriteRetries = state.lifeWriteRetries;
    record.lifeWritePerms = state.lifeWritePerms;
    record.lifeReadRetries = state.lifeReadRetries;
    record.lifeReadPerms = state.lifeReadPerms;

    record.driveRating = clampRating(drive.health.ratingAt(minute) + random.jitter(16));
    record.mediaRating = clampRating(cartridge.health.ratingAt(minute) + random.jitter(16));
    record.portsRating = clampRating(228 + random.jitter(20));
    record.port0Rating = clampRating(record.portsRating + random.jitter(10));
    record.port1Rating = clampRating(record.portsRating + random.jitter(10));

    // Utilisation figures are 0 for a direction the mount did not use.
    if (writes) {
        record.writePerformanceUtil = clampPercent(55 + 40 * driveQuality + random.jitter(10));
        record.writeErpsImpact = clampPercent(1 + (1 - driveQuality) * 45 + (1 - mediaQuality) * 20 + random.jitter(4));
        record.writeBurstUtil = static_cast<int>(random.between(35, 95));
        record.writeBufferUtil = static_cast<int>(random.between(55, 99));
    }
    if (reads) {
        record.readPerformanceUtil = clampPercent(50 + 45 * mediaQuality + random.jitter(10));
        record.readErpsImpact = clampPercent(1 + (1 - mediaQuality) * 40 + (1 - driveQuality) * 25 + random.jitter(4));
        record.readBurstUtil = static_cast<int>(random.between(30, 95));
        record.readBufferUtil = static_cast<int>(random.between(45, 99));
    }
    record.capacityTotalUtil =
        state.filledMegabytes > 0 ? clampPercent(std::ceil(state.filledMegabytes * 100.0 / cartridge.capacityMegabytes))
                                  : 0;
    record.capacityWritesUtil =
        record.hostWriteMegabytes > 0
            ? clampPercent(std::ceil(record.hostWriteMegabytes * 100.0 / cartridge.capacityMegabytes))
            : 0;
    record.capacityControlUtil = static_cast<int>(random.between(1, 3));

    // Healthy units raise only the odd everyday alert; worn ones raise their own kind.
    const double driveWear = std::max(0.0, 0.8 - driveQuality);
    const double mediaWear = std::max(0.0, 0.8 - mediaQuality);
    if (random.chance(0.004 + driveWear * 0.25 + mediaWear * 0.2)) {
        if (driveWear > 0 && driveWear >= mediaWear) {
            record.tapeAlert = pick(random, DriveAlerts);
        } else if (mediaWear > 0) {
            record.tapeAlert = pick(random, MediaAlerts);
        } else {
            record.tapeAlert = pick(random, EverydayAlerts);
        }
    }

    record.cryptoStatus = state.encrypted ? 1 : 0;
    record.cryptoRekey = state.encrypted && random.chance(0.012) ? 1 : 0;
    return record;
}

} // namespace libsim
