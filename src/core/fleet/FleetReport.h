#pragma once

#include "FleetHealth.h"
#include "reports/ReportRequest.h"

#include <string>
#include <vector>

// The suspects list: a header row whose first columns are Kind, Unit and Verdict, then one row
// for every drive and cartridge with a troubled mount, worst first. Lines end in "\n".
std::vector<std::string> fleetSuspectColumns();
std::vector<std::vector<std::string>> fleetSuspectRows(const FleetResult& result);
std::string fleetSuspectsCsv(const FleetResult& result);

// "2 drives and 11 cartridges need attention"
std::string fleetAttentionSentence(const FleetResult& result);

// The overview for people and mail: what was read, the sentence, the suspects and watch list
// with their evidence, the retirement list. Lines end in "\r\n".
std::string fleetOverviewText(const std::string& address, const FleetResult& result);

// A number as the lists show it: one decimal, or empty for none.
std::string fleetFigure(const std::optional<double>& value, int decimals = 1);

// The Library Overview report (the agent's and vaultlinectl's): the header, then the overview of
// each address. 1 when it ran to its end, 0 when a database error stopped it.
int ReportFleetThread(const ReportRequest& request, const FleetOptions& options);
