#pragma once

#include <string>

// What the library's configuration file tells the monitor: whether frame 1 is a model that
// keeps library performance data, and whether the OVIS feature is enabled.
struct LibraryConfiguration {
    bool performanceAvailable = false;
    bool ovisEnabled = false;

    // The whole configuration file, as read with the byte replacement.
    static LibraryConfiguration read(const std::string& text);
};

// Frame 1 is one of the four models that keep library performance data.
bool hasPerformanceFrame(const std::string& text);
// The first "OVIS" is followed by a separator, the enabled digit "1", a separator and a
// second digit that is not "0". Anything else, a missing "OVIS" included, is not enabled.
bool isOvisEnabled(const std::string& text);
