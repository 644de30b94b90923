#pragma once

#include "MovingAverageTrend.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Where the field names of a finished health report stand, and what a click on one of them is
// about. Positions count bytes of the report text (one per character of the view's text).

struct TextRange {
    std::size_t start = 0;
    std::size_t length = 0;
    bool operator==(const TextRange&) const = default;
};

// Every occurrence of every name, name by name in the order given, each name searched from the
// start of the text (not-enough lines included).
std::vector<TextRange> fieldLinkRanges(const std::string& text, const std::vector<std::string>& names);

// The name whose occurrence covers the position, or nothing.
std::optional<std::string> fieldAt(const std::string& text, std::size_t position,
                                   const std::vector<std::string>& names);

// The section header line of a drive or cartridge, as the report writes it (with its "\r\n").
std::string healthContextLine(const HealthSubject& subject);
// The drive or cartridge of the nearest section header line at or above the position; nothing
// when there is none or it cannot be read.
std::optional<HealthSubject> contextAbove(const std::string& text, std::size_t position);
