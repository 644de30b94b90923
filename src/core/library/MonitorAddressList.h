#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// The libraries the address dialog offers: every address stored in the mount history table,
// with "**ALL**" in front when there is one. Nothing when the table cannot be read (the
// dialog then closes as cancelled).
std::optional<std::vector<std::string>> setupIPCombo();

// The entered text without blanks and tabs at both ends, and only up to a blank inside.
std::string cleanLibraryAddress(const std::string& entered);

// Why rows cannot be stored under this library name or address, or nothing when they can: the
// address column of the tables holds 15 characters, and every database must be held to that.
std::string libraryAddressProblem(const std::string& address);

// One monitor to open: its library and the delay added to its first cycles.
struct MonitorStart {
    std::string address;
    std::chrono::milliseconds startOffset{0};
};

// "**ALL**" starts one monitor per listed library, from the last one back to the first, the
// n-th library of the list starting (n - 1) x 40000 ms later; anything else starts one monitor.
std::vector<MonitorStart> monitorStarts(const std::string& entered, const std::vector<std::string>& list);

inline constexpr std::chrono::milliseconds MonitorStartSpacing{40000};
