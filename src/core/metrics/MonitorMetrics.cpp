#include "MonitorMetrics.h"

#include "ExpositionText.h"
#include "library/Download.h"
#include "db/MountHistoryLine.h"

#include <curl/curl.h>

#include <charconv>
#include <ctime>
#include <optional>

namespace {
constexpr std::array<const char*, 3> FileLabels = {"mount_history", "library_performance", "configuration"};
constexpr std::array<const char*, 2> TableLabels = {"mount_history", "library_performance"};
constexpr std::array<const char*, 7> ReasonLabels = {"connect", "http_status",        "timeout", "too_large",
                                                     "cut",     "not_a_library_file", "other"};
// Seconds: a cycle that reads a few hundred lines takes well under one; a server under load
// or a slow library takes minutes.
const std::vector<double> CycleBounds = {0.1, 0.25, 0.5, 1, 2.5, 5, 10, 30, 60, 120, 300};

constexpr std::size_t MountHistoryFrameField = 3;
constexpr std::size_t MountHistoryDriveField = 4;
constexpr std::size_t MountHistoryDriveRatingField = 18;

std::optional<int> smallNumber(const std::optional<std::string>& text)
{
    if (!text || text->empty() || text->size() > 6)
        return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc() || end != text->data() + text->size() || value < 0)
        return std::nullopt;
    return value;
}

// The mount's time stamp in the library's (local) time, or nothing for one that is not a time.
std::optional<double> mountTime(const MountHistoryLine& line)
{
    std::tm parts{};
    char dateEnd = 0;
    char timeEnd = 0;
    if (std::sscanf(line.date.c_str(), "%4d-%2d-%2d%c", &parts.tm_year, &parts.tm_mon, &parts.tm_mday, &dateEnd) != 3
        || std::sscanf(line.time.c_str(), "%2d:%2d%c", &parts.tm_hour, &parts.tm_min, &timeEnd) != 2)
        return std::nullopt;
    if (parts.tm_mon < 1 || parts.tm_mon > 12 || parts.tm_mday < 1 || parts.tm_mday > 31 || parts.tm_hour > 23
        || parts.tm_min > 59)
        return std::nullopt;
    parts.tm_year -= 1900;
    parts.tm_mon -= 1;
    parts.tm_isdst = -1;
    const std::time_t when = std::mktime(&parts);
    if (when == static_cast<std::time_t>(-1))
        return std::nullopt;
    return static_cast<double>(when);
}

std::string driveLabel(const std::pair<int, int>& drive)
{
    return std::to_string(drive.first) + ":" + std::to_string(drive.second);
}
} // namespace

const char* downloadFailureReason(const DownloadResult& result)
{
    switch (result.status) {
    case DownloadResult::Status::NoFile:
        return "http_status";
    case DownloadResult::Status::NotLibraryFile:
        return "not_a_library_file";
    case DownloadResult::Status::TooLarge:
        return "too_large";
    case DownloadResult::Status::TimedOut:
        return "timeout";
    case DownloadResult::Status::Complete:
    case DownloadResult::Status::Stopped:
        return "other";
    case DownloadResult::Status::InternetError:
        break;
    }
    switch (result.internetError) {
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
        return "connect";
    case CURLE_OPERATION_TIMEDOUT:
        return "timeout";
    case CURLE_PARTIAL_FILE:
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
        return "cut";
    default:
        return "other";
    }
}

std::string metricsLibraryLabel(const std::string& address)
{
    const std::size_t at = address.rfind('@');
    if (at == std::string::npos)
        return address;
    const std::size_t colon = address.find(':');
    if (colon == std::string::npos || colon > at)
        return address;
    return address.substr(0, colon) + address.substr(at);
}

MonitorMetrics::MonitorMetrics(Clock clock) : m_clock(std::move(clock)), m_startTime(now())
{
}

double MonitorMetrics::now() const
{
    if (m_clock)
        return m_clock();
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

MonitorMetrics::LibraryState* MonitorMetrics::library(const std::string& address)
{
    const std::string label = metricsLibraryLabel(address);
    if (const auto found = m_libraries.find(label); found != m_libraries.end())
        return &found->second;
    if (m_libraries.size() >= MaxLibraries)
        return nullptr;
    LibraryState& state = m_libraries[label];
    for (TableCounters& table : state.tables)
        table.durationCounts.assign(CycleBounds.size() + 1, 0);
    return &state;
}

MonitorMetrics::DriveState* MonitorMetrics::drive(LibraryState& state, int frame, int position)
{
    const std::pair<int, int> key{frame, position};
    if (const auto found = state.drives.find(key); found != state.drives.end())
        return &found->second;
    if (state.drives.size() >= MaxDrivesPerLibrary) {
        // Drives the last file did not name make room; a file that names more is cut short.
        std::erase_if(state.drives, [](const auto& entry) { return !entry.second.inLastFile; });
        if (state.drives.size() >= MaxDrivesPerLibrary)
            return nullptr;
    }
    return &state.drives[key];
}

void MonitorMetrics::addLibrary(const std::string& address)
{
    std::lock_guard lock(m_mutex);
    library(address);
}

void MonitorMetrics::downloadEnded(const std::string& address, MonitorFile file, const DownloadResult& result)
{
    if (result.status == DownloadResult::Status::Stopped)
        return;
    const double when = now();
    std::lock_guard lock(m_mutex);
    LibraryState* state = library(address);
    if (state == nullptr)
        return;
    FileCounters& counters = state->files[static_cast<std::size_t>(file)];
    ++counters.attempts;
    if (result.complete()) {
        counters.bytes += result.text.size();
        counters.lastSuccess = when;
        counters.consecutiveFailures = 0;
        return;
    }
    ++counters.consecutiveFailures;
    const std::string_view reason = downloadFailureReason(result);
    for (std::size_t at = 0; at < ReasonLabels.size(); ++at)
        if (reason == ReasonLabels[at])
            ++counters.failures[at];
}

void MonitorMetrics::mountHistoryRead(const std::string& address, const std::vector<std::string>& lines)
{
    // Parsed before the lock: a scrape does not wait for a whole file's lines.
    struct Mount {
        int frame;
        int position;
        double time;
        std::optional<int> rating;
    };
    std::vector<Mount> mounts;
    for (const std::string& text : lines) {
        const MountHistoryLine line = MountHistoryLine::parse(text);
        const auto frame = smallNumber(line.field(MountHistoryFrameField));
        const auto position = smallNumber(line.field(MountHistoryDriveField));
        const auto time = mountTime(line);
        if (frame && position && time)
            mounts.push_back(Mount{*frame, *position, *time, smallNumber(line.field(MountHistoryDriveRatingField))});
    }
    std::lock_guard lock(m_mutex);
    LibraryState* state = library(address);
    if (state == nullptr)
        return;
    for (auto& [key, drive] : state->drives)
        drive.inLastFile = false;
    for (const Mount& mount : mounts) {
        DriveState* found = drive(*state, mount.frame, mount.position);
        if (found == nullptr)
            continue;
        // The file is in demount order: the latest mount is the one with the latest time.
        if (!found->inLastFile || mount.time >= found->lastMount) {
            found->lastMount = mount.time;
            found->rating = mount.rating ? *mount.rating : 0;
        }
        found->inLastFile = true;
    }
}

void MonitorMetrics::lineStored(const std::string& address, MonitorTable table, const std::string& line, int result)
{
    std::optional<std::pair<int, int>> mountDrive;
    if (table == MonitorTable::MountHistory && result == 1) {
        const MountHistoryLine parsed = MountHistoryLine::parse(line);
        const auto frame = smallNumber(parsed.field(MountHistoryFrameField));
        const auto position = smallNumber(parsed.field(MountHistoryDriveField));
        if (frame && position)
            mountDrive.emplace(*frame, *position);
    }
    std::lock_guard lock(m_mutex);
    LibraryState* state = library(address);
    if (state == nullptr)
        return;
    TableCounters& counters = state->tables[static_cast<std::size_t>(table)];
    switch (result) {
    case 1:
        ++counters.inserted;
        break;
    case 2:
        ++counters.duplicate;
        break;
    default:
        ++counters.failed;
        ++counters.failedInCycle;
        break;
    }
    if (mountDrive)
        if (DriveState* found = drive(*state, mountDrive->first, mountDrive->second))
            ++found->mounts;
}

void MonitorMetrics::databaseFailed(const std::string& address, MonitorTable)
{
    std::lock_guard lock(m_mutex);
    if (LibraryState* state = library(address))
        ++state->databaseErrors;
}

void MonitorMetrics::cycleEnded(const std::string& address, MonitorTable table, std::chrono::duration<double> took,
                                bool stored)
{
    const double when = now();
    std::lock_guard lock(m_mutex);
    LibraryState* state = library(address);
    if (state == nullptr)
        return;
    TableCounters& counters = state->tables[static_cast<std::size_t>(table)];
    // A cycle that stored its file with every line in the table.
    if (stored && counters.failedInCycle == 0)
        counters.lastInsert = when;
    counters.failedInCycle = 0;
    const double seconds = took.count() < 0 ? 0 : took.count();
    std::size_t bucket = 0;
    while (bucket < CycleBounds.size() && seconds > CycleBounds[bucket])
        ++bucket;
    ++counters.durationCounts[bucket];
    counters.durationSum += seconds;
}

std::string MonitorMetrics::exposition() const
{
    ExpositionText out;
    std::lock_guard lock(m_mutex);
    out.family("vaultline_monitor_up", "gauge", "1 while the monitor runs.");
    out.sample("vaultline_monitor_up", {}, 1);
    out.family("vaultline_monitor_start_time_seconds", "gauge",
               "When the monitor started, in seconds since the epoch.");
    out.sample("vaultline_monitor_start_time_seconds", {}, m_startTime);

    const auto perFile = [&](const char* name, const char* type, const char* help, auto value) {
        out.family(name, type, help);
        for (const auto& [label, state] : m_libraries)
            for (std::size_t file = 0; file < FileCount; ++file)
                out.sample(name, {{"library", label}, {"file", FileLabels[file]}}, value(state.files[file]));
    };
    perFile("vaultline_download_attempts_total", "counter",
            "Downloads of the library's file, ended other than by a stop.",
            [](const FileCounters& file) { return static_cast<double>(file.attempts); });
    out.family("vaultline_download_failures_total", "counter",
               "Downloads of the library's file that failed, by reason.");
    for (const auto& [label, state] : m_libraries)
        for (std::size_t file = 0; file < FileCount; ++file)
            for (std::size_t reason = 0; reason < ReasonCount; ++reason)
                out.sample("vaultline_download_failures_total",
                           {{"library", label}, {"file", FileLabels[file]}, {"reason", ReasonLabels[reason]}},
                           static_cast<double>(state.files[file].failures[reason]));
    perFile("vaultline_download_consecutive_failures", "gauge",
            "Downloads of the library's file that failed since the last one that succeeded.",
            [](const FileCounters& file) { return static_cast<double>(file.consecutiveFailures); });
    perFile("vaultline_last_download_success_timestamp_seconds", "gauge",
            "When the library's file last arrived whole, in seconds since the epoch; 0 before the first time.",
            [](const FileCounters& file) { return file.lastSuccess; });
    perFile("vaultline_download_bytes_total", "counter", "Bytes of the library's file that arrived whole.",
            [](const FileCounters& file) { return static_cast<double>(file.bytes); });

    const auto perTable = [&](const char* name, const char* type, const char* help, auto value) {
        out.family(name, type, help);
        for (const auto& [label, state] : m_libraries)
            for (std::size_t table = 0; table < TableCount; ++table)
                out.sample(name, {{"library", label}, {"table", TableLabels[table]}}, value(state.tables[table]));
    };
    perTable("vaultline_rows_inserted_total", "counter", "Lines of the library's file stored as new rows.",
             [](const TableCounters& table) { return static_cast<double>(table.inserted); });
    perTable("vaultline_rows_duplicate_total", "counter", "Lines of the library's file that were already stored.",
             [](const TableCounters& table) { return static_cast<double>(table.duplicate); });
    perTable("vaultline_rows_failed_total", "counter", "Lines of the library's file the database did not store.",
             [](const TableCounters& table) { return static_cast<double>(table.failed); });
    perTable("vaultline_last_insert_timestamp_seconds", "gauge",
             "When a cycle last stored the library's whole file in the table, in seconds since the epoch; 0 before "
             "the first time.",
             [](const TableCounters& table) { return table.lastInsert; });

    out.family("vaultline_cycle_duration_seconds", "histogram",
               "How long the library's cycles took, from the download to the last stored line.");
    for (const auto& [label, state] : m_libraries)
        for (std::size_t table = 0; table < TableCount; ++table)
            out.histogram("vaultline_cycle_duration_seconds", {{"library", label}, {"table", TableLabels[table]}},
                          CycleBounds, state.tables[table].durationCounts, state.tables[table].durationSum);
    out.family("vaultline_database_errors_total", "counter",
               "Cycles of the library that could not connect to the database or prepare the connection.");
    for (const auto& [label, state] : m_libraries)
        out.sample("vaultline_database_errors_total", {{"library", label}}, static_cast<double>(state.databaseErrors));

    const auto perDrive = [&](const char* name, const char* type, const char* help, auto value) {
        out.family(name, type, help);
        for (const auto& [label, state] : m_libraries)
            for (const auto& [key, drive] : state.drives)
                if (drive.inLastFile)
                    out.sample(name, {{"library", label}, {"drive", driveLabel(key)}}, value(drive));
    };
    perDrive("vaultline_drive_last_mount_timestamp_seconds", "gauge",
             "The drive's last mount in the library's last mount history file, in seconds since the epoch.",
             [](const DriveState& drive) { return drive.lastMount; });
    perDrive("vaultline_drive_rating", "gauge", "The drive rating of the drive's last mount.",
             [](const DriveState& drive) { return drive.rating; });
    perDrive("vaultline_drive_mounts_total", "counter", "Mounts of the drive stored since the monitor started.",
             [](const DriveState& drive) { return static_cast<double>(drive.mounts); });
    return out.text();
}
