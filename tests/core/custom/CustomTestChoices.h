#pragma once

#include "custom/CustomReportRequest.h"

#include <ctime>
#include <string>
#include <vector>

// The form's choices over library 10.0.0.7 as the custom report tests make them: a rate when one
// is named (else the rate combo's prompt, disabled), the TapeAlert flag for the TAPEALERT field.
inline CustomReportChoices customTestChoices(const std::string& dataType, std::vector<std::string> items,
                                             std::time_t rangeStart, const std::string& rate = "",
                                             std::vector<std::string> codes = {})
{
    CustomReportChoices choices;
    choices.ipAddress = "10.0.0.7";
    choices.dataTypeItem = dataType;
    choices.rateText = rate.empty() ? "Optionally Select a Rate..." : rate;
    choices.rateEnabled = !rate.empty();
    choices.selectedItems = std::move(items);
    choices.tapeAlert = dataType.find("TAPEALERT") != std::string::npos;
    choices.tapeAlertCodes = std::move(codes);
    choices.rangeStart = rangeStart;
    return choices;
}
