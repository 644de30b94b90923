#pragma once

#include "Download.h"
#include "DriveStatusLine.h"

#include <atomic>
#include <optional>
#include <string>
#include <vector>

// The Drive Info command's download: the library's drive status file, read into its drive lines.
struct DriveStatusFetch {
    DownloadResult::Status status = DownloadResult::Status::InternetError;
    int internetError = 0;
    std::vector<DriveStatusLine> drives;
};

// Downloads and reads the file; any thread, no messages. The stop flag cancels it within a second.
DriveStatusFetch downloadDriveStatus(const std::string& address, const std::atomic<bool>* stop,
                                     const DownloadLimits& limits = {});

// The drives of a fetch that worked. Otherwise the message for the user: "No IP address
// entered." for a library that cannot be reached (or not in time), "Problem getting the MRPD
// file" for one that does not send the file; a cancelled fetch shows nothing.
std::optional<std::vector<DriveStatusLine>> driveStatusOrMessage(const DriveStatusFetch& fetch);

// Both on the calling thread, under the wait cursor.
std::optional<std::vector<DriveStatusLine>> fetchDriveStatus(const std::string& address,
                                                             const DownloadLimits& limits = {});
