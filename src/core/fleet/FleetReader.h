#pragma once

#include "FleetHealth.h"
#include "custom/GraphDrawing.h"
#include "reports/ReportRequest.h"

#include <optional>
#include <string>

class ReportConnection;

// Reads one library's mount history over a range, oldest first, into the fleet figures: a
// statement a week, one row at a time. The request's connection settings and table are used; its stop
// flags are polled as rows arrive.
class FleetReader {
public:
    enum class Outcome { Done, Stopped, Failed };

    FleetReader(const ReportRequest& request, ReportConnection& connection);

    // Feeds every mount of the address in [beginDate, endDate] to `health`.
    Outcome read(const std::string& address, FleetHealth& health) const;

    // The rating of one drive ("F:D") or cartridge (volser) over the range, one point a day (the
    // mean of the day's non-zero ratings), labelled with its date: the graph of a double-click.
    Outcome ratingSeries(const std::string& address, bool drive, const std::string& unit, GraphData& data) const;

    // The mount history statement of some days of the range, oldest first.
    std::string mountsStatement(const std::string& address, const std::string& begin, const std::string& end) const;

private:
    Outcome readRange(const std::string& address, const std::string& begin, const std::string& end,
                      FleetHealth& health) const;

    const ReportRequest& m_request;
    ReportConnection& m_connection;
};

// The fleet figures of one library over the request's range: connects, reads and finishes.
// `result` is set when the outcome is Done; a failure is logged.
FleetReader::Outcome computeFleetHealth(const ReportRequest& request, const std::string& address,
                                        const FleetOptions& options, FleetResult& result);
