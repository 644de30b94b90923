#include "LibraryOverview.h"

#include "FleetReader.h"
#include "FleetReport.h"
#include "FleetTexts.h"

namespace {
std::string rounded(const std::optional<double>& value)
{
    return fleetFigure(value, 0);
}
} // namespace

LibraryOverview::~LibraryOverview()
{
    m_worker.close();
    m_worker.join();
}

void LibraryOverview::start(ReportRequest request, const std::string& address, FleetOptions options,
                            std::function<void()> finished)
{
    m_worker.join();
    {
        std::lock_guard lock(m_mutex);
        m_request = request;
        m_request.flags = nullptr;
        m_request.sink = nullptr;
        m_address = address;
        m_result.reset();
        m_state = State::Running;
    }
    m_worker.start(std::move(request), [this, address, options = std::move(options),
                                        finished = std::move(finished)](const ReportRequest& run) {
        FleetResult result;
        const auto outcome = computeFleetHealth(run, address, options, result);
        {
            std::lock_guard lock(m_mutex);
            if (outcome == FleetReader::Outcome::Done) {
                m_result = std::move(result);
                m_state = State::Done;
            } else {
                m_state = outcome == FleetReader::Outcome::Stopped ? State::Cancelled : State::Failed;
            }
        }
        if (finished && !run.closing())
            finished();
        return outcome == FleetReader::Outcome::Failed ? 0 : 1;
    });
}

LibraryOverview::State LibraryOverview::state() const
{
    std::lock_guard lock(m_mutex);
    return m_state;
}

std::optional<FleetResult> LibraryOverview::result() const
{
    std::lock_guard lock(m_mutex);
    return m_result;
}

std::string LibraryOverview::address() const
{
    std::lock_guard lock(m_mutex);
    return m_address;
}

std::vector<std::string> LibraryOverview::driveColumns()
{
    return {"Drive", "Mounts/Day", "Troubled", "Rating", "Slope/30 Days", "Vs Median", "Verdict"};
}

std::vector<std::string> LibraryOverview::cartridgeColumns()
{
    return {"Volser", "Mounts", "Drives", "Troubled", "Troubled Drives", "Media Rating", "Threshold", "Verdict"};
}

bool LibraryOverview::driveColumnNumeric(int column)
{
    return column >= 1 && column <= 5;
}

bool LibraryOverview::cartridgeColumnNumeric(int column)
{
    return column >= 1 && column <= 5;
}

std::vector<std::vector<std::string>> LibraryOverview::driveRows(const FleetResult& result)
{
    std::vector<std::vector<std::string>> rows;
    for (const FleetDrive& drive : result.drives)
        rows.push_back({drive.unit(), fleetFigure(drive.mountsPerDay, 1), std::to_string(drive.troubled),
                        rounded(drive.rating.end), fleetFigure(drive.rating.slopePer30Days),
                        fleetFigure(drive.ratingVsMedian), fleetVerdictName(drive.verdict)});
    return rows;
}

std::vector<std::vector<std::string>> LibraryOverview::cartridgeRows(const FleetResult& result)
{
    std::vector<std::vector<std::string>> rows;
    for (const FleetCartridge& cartridge : result.cartridges) {
        if (cartridge.verdict == FleetVerdict::Ok && cartridge.thresholdLevel == 0)
            continue;
        const char* threshold = cartridge.thresholdLevel == 2   ? fleet_texts::Error
                                : cartridge.thresholdLevel == 1 ? fleet_texts::Warning
                                                                : "";
        rows.push_back({cartridge.volser, std::to_string(cartridge.mounts), std::to_string(cartridge.drives),
                        std::to_string(cartridge.troubled), std::to_string(cartridge.troubledDrives),
                        rounded(cartridge.rating.end), threshold, fleetVerdictName(cartridge.verdict)});
    }
    return rows;
}

std::string LibraryOverview::summary() const
{
    const auto found = result();
    if (!found)
        return "";
    if (found->mounts == 0)
        return fleetOverviewText(address(), *found);
    return fleetAttentionSentence(*found);
}

ReportRequest LibraryOverview::lastRequest() const
{
    std::lock_guard lock(m_mutex);
    return m_request;
}

std::optional<GraphData> LibraryOverview::ratingGraph(ReportRequest request, const std::string& address,
                                                      const std::string& unit, bool drive)
{
    request.flags = nullptr;
    request.sink = nullptr;
    ReportConnection connection(request);
    if (!connection.isOpen())
        return std::nullopt;
    GraphData data;
    data.library = address;
    data.title = (drive ? "Drive rating of drive " : "Media rating of cartridge ") + unit;
    if (FleetReader(request, connection).ratingSeries(address, drive, unit, data) != FleetReader::Outcome::Done)
        return std::nullopt;
    return data;
}
