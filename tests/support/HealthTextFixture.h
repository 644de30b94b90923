#pragma once

#include "reports/HealthStatements.h"
#include "reports/HealthTexts.h"

#include <cstdio>
#include <string>

// A cartridge health report text of `cartridges` sections, each the context line and a
// not-enough line for every field: the shape of a short range over a large library, where every
// field name is a link.
inline std::string cartridgeHealthFixture(int cartridges)
{
    std::string text;
    char line[256];
    for (int cartridge = 0; cartridge < cartridges; ++cartridge) {
        char volser[16];
        std::snprintf(volser, sizeof volser, "C%05d", cartridge);
        std::snprintf(line, sizeof line, health_texts::CartridgeContextLine, "127.0.0.1:18080", volser);
        text += line;
        for (const std::string& field : healthFieldNames(HealthReportKind::Cartridge)) {
            std::snprintf(line, sizeof line, health_texts::CartridgeNotEnough, field.c_str(), "127.0.0.1:18080",
                          volser);
            text += line;
        }
        text += "\r\n";
    }
    return text;
}
