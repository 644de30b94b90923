#include "FleetReport.h"

#include "FleetReader.h"
#include "FleetTexts.h"
#include "app/CQmxApp.h"
#include "query/QueryExport.h"
#include "reports/ReportRunner.h"
#include "reports/ReportStatements.h"

#include <cstdarg>
#include <cstdio>

namespace {
// printf into a string of whatever length the result has.
std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* pattern, ...)
{
    va_list arguments;
    va_start(arguments, pattern);
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, pattern, copy);
    va_end(copy);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0)
        std::vsnprintf(text.data(), text.size() + 1, pattern, arguments);
    va_end(arguments);
    return text;
}

std::string signedFigure(const std::optional<double>& value)
{
    if (!value)
        return "n/a";
    return format("%+.1f", *value);
}

std::string ratingFigure(const std::optional<double>& value)
{
    return value ? format("%.0f", *value) : "n/a";
}

int rank(FleetVerdict verdict)
{
    return verdict == FleetVerdict::Suspect ? 0 : verdict == FleetVerdict::Watch ? 1 : 2;
}

std::vector<std::string> evidenceCells(const FleetEvidence& evidence)
{
    return {std::to_string(evidence.withCleanPartners),
            format("%.2f", evidence.expected),
            format("%.1f", evidence.surprise),
            std::to_string(evidence.againstUnit),
            std::to_string(evidence.againstPartner),
            std::to_string(evidence.shared),
            std::to_string(evidence.chance)};
}

std::vector<std::string> driveRow(const FleetDrive& drive)
{
    std::vector<std::string> row = {"drive",
                                    drive.unit(),
                                    fleetVerdictName(drive.verdict),
                                    std::to_string(drive.mounts),
                                    format("%.2f", drive.mountsPerDay),
                                    std::to_string(drive.cartridges),
                                    std::to_string(drive.troubled),
                                    std::to_string(drive.troubledCartridges)};
    for (std::string& cell : evidenceCells(drive.evidence))
        row.push_back(std::move(cell));
    for (const auto& figure :
         {drive.rating.start, drive.rating.end, drive.rating.slopePer30Days, drive.ratingVsMedian, drive.slopeVsMedian})
        row.push_back(fleetFigure(figure));
    row.push_back("");
    return row;
}

std::vector<std::string> cartridgeRow(const FleetCartridge& cartridge)
{
    std::vector<std::string> row = {"cartridge",
                                    cartridge.volser,
                                    fleetVerdictName(cartridge.verdict),
                                    std::to_string(cartridge.mounts),
                                    "",
                                    std::to_string(cartridge.drives),
                                    std::to_string(cartridge.troubled),
                                    std::to_string(cartridge.troubledDrives)};
    for (std::string& cell : evidenceCells(cartridge.evidence))
        row.push_back(std::move(cell));
    for (const auto& figure : {cartridge.rating.start, cartridge.rating.end, cartridge.rating.slopePer30Days})
        row.push_back(fleetFigure(figure));
    row.push_back("");
    row.push_back("");
    row.push_back(std::to_string(cartridge.thresholdLevel));
    return row;
}

std::string csvLine(const std::vector<std::string>& cells)
{
    std::string line;
    for (std::size_t at = 0; at < cells.size(); ++at)
        line += (at == 0 ? "" : ",") + csvField(cells[at]);
    return line + "\n";
}

std::string thresholdText(const FleetCartridge& cartridge, const LifetimeThresholds& thresholds)
{
    const auto& counters = ReportStatements::lifetimeCounters();
    std::string text;
    for (std::size_t counter = 0; counter < counters.size(); ++counter) {
        const auto& maximum = cartridge.maxima[counter];
        if (!maximum)
            continue;
        const int value = static_cast<int>(std::clamp<std::int64_t>(*maximum, INT32_MIN, INT32_MAX));
        const int level = ClassifyLifetimeValue(thresholds, counters[counter], value);
        if (level == 0)
            continue;
        text += (text.empty() ? "" : ", ") + counters[counter] + " " + std::to_string(*maximum) + " ("
                + (level == 2 ? fleet_texts::Error : fleet_texts::Warning) + ")";
    }
    return text;
}
} // namespace

std::string fleetFigure(const std::optional<double>& value, int decimals)
{
    if (!value)
        return "";
    return format("%.*f", decimals, *value);
}

std::vector<std::string> fleetSuspectColumns()
{
    return {"Kind",
            "Unit",
            "Verdict",
            "Mounts",
            "MountsPerDay",
            "Partners",
            "Troubled",
            "TroubledPartners",
            "TroubledWithCleanPartners",
            "ExpectedByChance",
            "Surprise",
            "AgainstUnit",
            "AgainstPartner",
            "Shared",
            "Chance",
            "RatingStart",
            "RatingEnd",
            "RatingSlopePer30Days",
            "RatingVsMedian",
            "SlopeVsMedian",
            "ThresholdLevel"};
}

std::vector<std::vector<std::string>> fleetSuspectRows(const FleetResult& result)
{
    // Drives and cartridges each come worst first; the two lists are merged by the same order.
    struct Entry {
        int rank;
        double surprise;
        std::int64_t troubled;
        std::vector<std::string> cells;
    };
    std::vector<Entry> entries;
    for (const FleetDrive& drive : result.drives)
        if (drive.troubled > 0)
            entries.push_back({rank(drive.verdict), drive.evidence.surprise, drive.troubled, driveRow(drive)});
    for (const FleetCartridge& cartridge : result.cartridges)
        if (cartridge.troubled > 0)
            entries.push_back(
                {rank(cartridge.verdict), cartridge.evidence.surprise, cartridge.troubled, cartridgeRow(cartridge)});
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.rank != b.rank)
            return a.rank < b.rank;
        if (a.surprise != b.surprise)
            return a.surprise > b.surprise;
        return a.troubled > b.troubled;
    });
    std::vector<std::vector<std::string>> rows;
    rows.reserve(entries.size());
    for (Entry& entry : entries)
        rows.push_back(std::move(entry.cells));
    return rows;
}

std::string fleetSuspectsCsv(const FleetResult& result)
{
    std::string csv = csvLine(fleetSuspectColumns());
    for (const auto& row : fleetSuspectRows(result))
        csv += csvLine(row);
    return csv;
}

std::string fleetAttentionSentence(const FleetResult& result)
{
    const int drives = result.drivesNeedingAttention();
    const int cartridges = result.cartridgesNeedingAttention();
    return format(fleet_texts::AttentionLine, drives, drives == 1 ? "drive" : "drives", cartridges,
                  cartridges == 1 ? "cartridge" : "cartridges");
}

std::string fleetOverviewText(const std::string& address, const FleetResult& result)
{
    const std::string begin = displayDate(result.beginDate);
    const std::string end = displayDate(result.endDate);
    if (result.mounts == 0)
        return format(fleet_texts::NoMounts, address.c_str(), begin.c_str(), end.c_str()) + "\r\n";
    std::string text = format(fleet_texts::LibraryLine, address.c_str(), begin.c_str(), end.c_str(),
                              static_cast<long long>(result.mounts), static_cast<long long>(result.troubled))
                       + "\r\n" + fleetAttentionSentence(result) + "\r\n\r\n" + fleet_texts::SuspectsHeading + "\r\n";
    bool any = false;
    for (const FleetDrive& drive : result.drives) {
        if (drive.verdict == FleetVerdict::Ok)
            continue;
        any = true;
        text += format(fleet_texts::DriveEvidence, drive.unit().c_str(), fleetVerdictName(drive.verdict),
                       static_cast<long long>(drive.troubled), static_cast<long long>(drive.mounts),
                       static_cast<long long>(drive.evidence.withCleanPartners), drive.evidence.cleanPartners,
                       drive.evidence.expected, ratingFigure(drive.rating.end).c_str(),
                       signedFigure(drive.rating.slopePer30Days).c_str(), signedFigure(drive.ratingVsMedian).c_str())
                + "\r\n";
    }
    for (const FleetCartridge& cartridge : result.cartridges) {
        if (cartridge.verdict == FleetVerdict::Ok)
            continue;
        any = true;
        text += format(fleet_texts::CartridgeEvidence, cartridge.volser.c_str(), fleetVerdictName(cartridge.verdict),
                       static_cast<long long>(cartridge.troubled), static_cast<long long>(cartridge.mounts),
                       static_cast<long long>(cartridge.evidence.withCleanPartners), cartridge.evidence.cleanPartners,
                       cartridge.evidence.expected, ratingFigure(cartridge.rating.end).c_str(),
                       signedFigure(cartridge.rating.slopePer30Days).c_str())
                + "\r\n";
    }
    if (!any)
        text += std::string("  ") + fleet_texts::NoSuspects + "\r\n";
    text += std::string("\r\n") + fleet_texts::RetirementHeading + "\r\n";
    const LifetimeThresholds thresholds = theApp().lifetimeThresholds();
    bool retiring = false;
    for (const FleetCartridge& cartridge : result.cartridges) {
        if (cartridge.thresholdLevel == 0)
            continue;
        retiring = true;
        text += format(fleet_texts::RetirementLine, cartridge.volser.c_str(),
                       cartridge.thresholdLevel == 2 ? fleet_texts::Error : fleet_texts::Warning,
                       thresholdText(cartridge, thresholds).c_str())
                + "\r\n";
    }
    if (!retiring)
        text += std::string("  ") + fleet_texts::NoRetirement + "\r\n";
    if (result.skipped > 0)
        text += format(fleet_texts::Skipped, static_cast<long long>(result.skipped)) + "\r\n";
    return text;
}

int ReportFleetThread(const ReportRequest& request, const FleetOptions& options)
{
    writeReportHeader(request, fleet_texts::OverviewHeader);
    for (const std::string& address : request.addresses) {
        if (request.stopped())
            break;
        FleetResult result;
        const auto outcome = computeFleetHealth(request, address, options, result);
        if (outcome == FleetReader::Outcome::Failed) {
            if (!request.mail() && !request.stopped() && request.sink != nullptr)
                request.sink->restoreButtons();
            return 0;
        }
        if (outcome == FleetReader::Outcome::Stopped)
            break;
        writeReportText(request, fleetOverviewText(address, result) + "\r\n");
    }
    finishReport(request, fleet_texts::Done, fleet_texts::Canceled, "Done!\r\n", fleet_texts::MailName);
    return 1;
}
