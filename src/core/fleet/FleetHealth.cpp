#include "FleetHealth.h"

#include "reports/ReportStatements.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace {
// The usual rate is never taken as lower than one troubled mount in 200: a library whose clean
// pairs never had trouble in the range does not make a single troubled mount a certainty.
constexpr double SmallestUsualRate = 0.005;
// A partner is in trouble elsewhere when its troubled mounts with others are at least twice what
// the usual rate gives, two or more, and would come by chance less than once in a hundred. The
// factor keeps a busy drive whose rate is only a little above the usual from counting as hot:
// over ten thousand mounts any small difference is "significant".
constexpr double HotSurprise = 2.0;
constexpr double HotFactor = 2.0;
// Verdicts: one chance in a thousand, twice the usual rate and three clean partners; one in
// a hundred, one and a half times the usual rate and two clean partners.
constexpr double SuspectSurprise = 3.0;
constexpr double SuspectFactor = 2.0;
constexpr int SuspectPartners = 3;
constexpr double WatchSurprise = 2.0;
constexpr double WatchFactor = 1.5;
constexpr int WatchPartners = 2;
constexpr int AttributionRounds = 8;

std::int64_t driveKey(int frame, int drive)
{
    return (static_cast<std::int64_t>(frame) << 32) | static_cast<std::uint32_t>(drive);
}

bool hot(std::int64_t troubledElsewhere, std::int64_t mountsElsewhere, double usualRate)
{
    const double expected = static_cast<double>(mountsElsewhere) * usualRate;
    return troubledElsewhere >= 2 && static_cast<double>(troubledElsewhere) >= HotFactor * expected
           && fleet_math::poissonSurprise(troubledElsewhere, expected) >= HotSurprise;
}

int verdictRank(FleetVerdict verdict)
{
    return verdict == FleetVerdict::Suspect ? 0 : verdict == FleetVerdict::Watch ? 1 : 2;
}

FleetVerdict verdictOf(const FleetEvidence& evidence)
{
    const double observed = static_cast<double>(evidence.withCleanPartners);
    if (evidence.surprise >= SuspectSurprise && observed >= SuspectFactor * evidence.expected
        && evidence.cleanPartners >= SuspectPartners)
        return FleetVerdict::Suspect;
    if (evidence.surprise >= WatchSurprise && observed >= WatchFactor * evidence.expected
        && evidence.cleanPartners >= WatchPartners)
        return FleetVerdict::Watch;
    return FleetVerdict::Ok;
}

template <class Unit>
bool worseFirst(const Unit& a, const Unit& b)
{
    if (verdictRank(a.verdict) != verdictRank(b.verdict))
        return verdictRank(a.verdict) < verdictRank(b.verdict);
    if (a.evidence.surprise != b.evidence.surprise)
        return a.evidence.surprise > b.evidence.surprise;
    return a.troubled > b.troubled;
}

// The evidence of one pair for one of its units: the pair's troubled mounts, split by whether
// the unit and its partner are in trouble elsewhere.
void weigh(FleetEvidence& evidence, double& cleanMounts, std::int64_t mounts, std::int64_t troubled, bool unitHot,
           bool partnerHot)
{
    if (!partnerHot) {
        evidence.withCleanPartners += troubled;
        cleanMounts += static_cast<double>(mounts);
        if (troubled > 0)
            ++evidence.cleanPartners;
    }
    if (!partnerHot && unitHot)
        evidence.againstUnit += troubled;
    else if (partnerHot && !unitHot)
        evidence.againstPartner += troubled;
    else if (partnerHot)
        evidence.shared += troubled;
    else
        evidence.chance += troubled;
}
} // namespace

const char* fleetVerdictName(FleetVerdict verdict)
{
    switch (verdict) {
    case FleetVerdict::Suspect:
        return "suspect";
    case FleetVerdict::Watch:
        return "watch";
    case FleetVerdict::Ok:
        return "ok";
    }
    return "ok";
}

std::string FleetDrive::unit() const
{
    return std::to_string(frame) + ":" + std::to_string(drive);
}

int FleetResult::drivesNeedingAttention() const
{
    return static_cast<int>(
        std::count_if(drives.begin(), drives.end(), [](const FleetDrive& d) { return d.verdict != FleetVerdict::Ok; }));
}

int FleetResult::cartridgesNeedingAttention() const
{
    return static_cast<int>(std::count_if(cartridges.begin(), cartridges.end(), [](const FleetCartridge& c) {
        return c.verdict != FleetVerdict::Ok || c.thresholdLevel > 0;
    }));
}

FleetHealth::FleetHealth(FleetOptions options) : m_options(std::move(options))
{
}

bool FleetHealth::troubled(const std::array<std::int64_t, 4>& growth, std::int64_t tapeAlert) const
{
    const std::int64_t retries = growth[0] > INT64_MAX - growth[2] ? INT64_MAX : growth[0] + growth[2];
    return growth[1] > 0 || growth[3] > 0 || tapeAlert != 0 || retries > m_options.retryThreshold;
}

void FleetHealth::add(const FleetMount& mount)
{
    if (mount.volser.empty()) {
        ++m_skipped;
        return;
    }
    const std::int64_t key = driveKey(mount.frame, mount.drive);
    auto driveAt = m_driveIndex.find(key);
    if (driveAt == m_driveIndex.end()) {
        if (m_drives.size() >= m_options.maxDrives) {
            ++m_skipped;
            return;
        }
        driveAt = m_driveIndex.emplace(key, m_drives.size()).first;
        DriveState state;
        state.frame = mount.frame;
        state.drive = mount.drive;
        m_drives.push_back(std::move(state));
    }
    auto cartridgeAt = m_cartridgeIndex.find(mount.volser);
    if (cartridgeAt == m_cartridgeIndex.end()) {
        if (m_cartridges.size() >= m_options.maxCartridges) {
            ++m_skipped;
            return;
        }
        cartridgeAt = m_cartridgeIndex.emplace(mount.volser, m_cartridges.size()).first;
        CartridgeState state;
        state.volser = mount.volser;
        m_cartridges.push_back(std::move(state));
    }
    DriveState& drive = m_drives[driveAt->second];
    CartridgeState& cartridge = m_cartridges[cartridgeAt->second];

    // Wear only grows: a lower value than the last gives none and becomes the new base.
    std::array<std::int64_t, 4> growth{};
    for (std::size_t counter = 0; counter < 4; ++counter) {
        const auto grown = cartridge.growth[counter].next(mount.counters[counter]);
        growth[counter] = grown && *grown > 0 ? *grown : 0;
        if (mount.counters[counter])
            cartridge.maxima[counter + 1] =
                std::max(cartridge.maxima[counter + 1].value_or(INT64_MIN), *mount.counters[counter]);
    }
    if (mount.lifeMounts)
        cartridge.maxima[0] = std::max(cartridge.maxima[0].value_or(INT64_MIN), *mount.lifeMounts);
    const bool isTroubled = troubled(growth, mount.tapeAlert);

    ++m_mounts;
    ++drive.mounts;
    ++cartridge.mounts;
    if (isTroubled) {
        ++m_troubled;
        ++drive.troubled;
        ++cartridge.troubled;
    }
    auto pair = std::find_if(cartridge.pairs.begin(), cartridge.pairs.end(),
                             [&](const Pair& p) { return p.drive == driveAt->second; });
    if (pair == cartridge.pairs.end()) {
        cartridge.pairs.push_back(Pair{driveAt->second, 0, 0});
        pair = std::prev(cartridge.pairs.end());
    }
    ++pair->mounts;
    if (isTroubled)
        ++pair->troubled;

    if (const auto day = fleet_math::dayNumber(mount.date, mount.time)) {
        if (mount.driveRating > 0)
            drive.fit.add(*day, mount.driveRating);
        if (mount.mediaRating > 0)
            cartridge.fit.add(*day, mount.mediaRating);
    }
}

FleetRating FleetHealth::ratingOf(const fleet_math::LeastSquares& fit)
{
    FleetRating rating;
    rating.start = fit.valueAt(fit.firstX());
    rating.end = fit.valueAt(fit.lastX());
    if (const auto slope = fit.slope())
        rating.slopePer30Days = *slope * 30;
    return rating;
}

FleetResult FleetHealth::finish(const std::string& beginDate, const std::string& endDate) const
{
    FleetResult result;
    result.beginDate = beginDate;
    result.endDate = endDate;
    result.mounts = m_mounts;
    result.troubled = m_troubled;
    result.skipped = m_skipped;

    // Every pair of a drive and a cartridge that met, and whether each of the two is in trouble
    // with its other partners. The usual rate starts as the library's and is then taken from the
    // pairs whose units are both clean elsewhere, until the judgement stops changing.
    struct PairRef {
        std::size_t drive;
        std::size_t cartridge;
        std::int64_t mounts;
        std::int64_t troubled;
        bool driveHot = false;
        bool cartridgeHot = false;
    };
    std::vector<PairRef> pairs;
    for (std::size_t c = 0; c < m_cartridges.size(); ++c)
        for (const Pair& pair : m_cartridges[c].pairs)
            pairs.push_back(PairRef{pair.drive, c, pair.mounts, pair.troubled});

    double usual = m_mounts > 0 ? static_cast<double>(m_troubled) / static_cast<double>(m_mounts) : 0;
    usual = std::max(usual, SmallestUsualRate);
    for (int round = 0; round < AttributionRounds; ++round) {
        bool changed = false;
        for (PairRef& pair : pairs) {
            const DriveState& drive = m_drives[pair.drive];
            const CartridgeState& cartridge = m_cartridges[pair.cartridge];
            const bool driveHot = hot(drive.troubled - pair.troubled, drive.mounts - pair.mounts, usual);
            const bool cartridgeHot = hot(cartridge.troubled - pair.troubled, cartridge.mounts - pair.mounts, usual);
            changed = changed || driveHot != pair.driveHot || cartridgeHot != pair.cartridgeHot || round == 0;
            pair.driveHot = driveHot;
            pair.cartridgeHot = cartridgeHot;
        }
        if (!changed)
            break;
        double cleanMounts = 0;
        double cleanTroubled = 0;
        for (const PairRef& pair : pairs)
            if (!pair.driveHot && !pair.cartridgeHot) {
                cleanMounts += static_cast<double>(pair.mounts);
                cleanTroubled += static_cast<double>(pair.troubled);
            }
        usual = std::max(cleanMounts > 0 ? cleanTroubled / cleanMounts : 0, SmallestUsualRate);
    }
    result.usualRate = usual;

    std::vector<FleetEvidence> driveEvidence(m_drives.size());
    std::vector<double> driveCleanMounts(m_drives.size(), 0);
    std::vector<int> driveCartridges(m_drives.size(), 0);
    std::vector<int> driveTroubledCartridges(m_drives.size(), 0);
    std::vector<FleetEvidence> cartridgeEvidence(m_cartridges.size());
    std::vector<double> cartridgeCleanMounts(m_cartridges.size(), 0);
    for (const PairRef& pair : pairs) {
        weigh(driveEvidence[pair.drive], driveCleanMounts[pair.drive], pair.mounts, pair.troubled, pair.driveHot,
              pair.cartridgeHot);
        weigh(cartridgeEvidence[pair.cartridge], cartridgeCleanMounts[pair.cartridge], pair.mounts, pair.troubled,
              pair.cartridgeHot, pair.driveHot);
        ++driveCartridges[pair.drive];
        if (pair.troubled > 0)
            ++driveTroubledCartridges[pair.drive];
    }
    const auto conclude = [usual](FleetEvidence& evidence, double cleanMounts) {
        evidence.expected = cleanMounts * usual;
        evidence.surprise = fleet_math::poissonSurprise(evidence.withCleanPartners, evidence.expected);
    };

    const auto first = fleet_math::dayNumber(beginDate);
    const auto last = fleet_math::dayNumber(endDate);
    const double days = first && last && *last >= *first ? *last - *first + 1 : 1;
    std::vector<double> endRatings;
    std::vector<double> slopes;
    for (std::size_t d = 0; d < m_drives.size(); ++d) {
        const DriveState& state = m_drives[d];
        FleetDrive drive;
        drive.frame = state.frame;
        drive.drive = state.drive;
        drive.mounts = state.mounts;
        drive.mountsPerDay = static_cast<double>(state.mounts) / days;
        drive.cartridges = driveCartridges[d];
        drive.troubled = state.troubled;
        drive.troubledCartridges = driveTroubledCartridges[d];
        drive.rating = ratingOf(state.fit);
        drive.evidence = driveEvidence[d];
        conclude(drive.evidence, driveCleanMounts[d]);
        drive.verdict = verdictOf(drive.evidence);
        if (drive.rating.end)
            endRatings.push_back(*drive.rating.end);
        if (drive.rating.slopePer30Days)
            slopes.push_back(*drive.rating.slopePer30Days);
        result.drives.push_back(std::move(drive));
    }
    const auto medianEnd = fleet_math::median(endRatings);
    const auto medianSlope = fleet_math::median(slopes);
    for (FleetDrive& drive : result.drives) {
        if (drive.rating.end && medianEnd)
            drive.ratingVsMedian = *drive.rating.end - *medianEnd;
        if (drive.rating.slopePer30Days && medianSlope)
            drive.slopeVsMedian = *drive.rating.slopePer30Days - *medianSlope;
    }

    const auto& counters = ReportStatements::lifetimeCounters();
    for (std::size_t c = 0; c < m_cartridges.size(); ++c) {
        const CartridgeState& state = m_cartridges[c];
        FleetCartridge cartridge;
        cartridge.volser = state.volser;
        cartridge.mounts = state.mounts;
        cartridge.drives = static_cast<int>(state.pairs.size());
        cartridge.troubled = state.troubled;
        cartridge.troubledDrives = static_cast<int>(
            std::count_if(state.pairs.begin(), state.pairs.end(), [](const Pair& p) { return p.troubled > 0; }));
        cartridge.rating = ratingOf(state.fit);
        cartridge.maxima = state.maxima;
        for (std::size_t counter = 0; counter < counters.size() && counter < state.maxima.size(); ++counter)
            if (state.maxima[counter]) {
                const int value = static_cast<int>(std::clamp<std::int64_t>(*state.maxima[counter], INT_MIN, INT_MAX));
                cartridge.thresholdLevel = std::max(
                    cartridge.thresholdLevel, ClassifyLifetimeValue(m_options.thresholds, counters[counter], value));
            }
        cartridge.evidence = cartridgeEvidence[c];
        conclude(cartridge.evidence, cartridgeCleanMounts[c]);
        cartridge.verdict = verdictOf(cartridge.evidence);
        result.cartridges.push_back(std::move(cartridge));
    }

    std::stable_sort(result.drives.begin(), result.drives.end(), [](const FleetDrive& a, const FleetDrive& b) {
        return worseFirst(a, b) || (!worseFirst(b, a) && std::pair(a.frame, a.drive) < std::pair(b.frame, b.drive));
    });
    std::stable_sort(result.cartridges.begin(), result.cartridges.end(),
                     [](const FleetCartridge& a, const FleetCartridge& b) {
                         return worseFirst(a, b) || (!worseFirst(b, a) && a.volser < b.volser);
                     });
    return result;
}
