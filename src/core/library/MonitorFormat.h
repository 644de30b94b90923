#pragma once

#include <string>

// printf-style formatting of the monitor's fixed texts into a string of whatever length the
// values need.
std::string formatMonitorText(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

// A file dialog's "description|pattern|...||" filter as the "description;;description" list
// the dialogs take (each description names its patterns).
std::string dialogFilterList(const std::string& filter);
