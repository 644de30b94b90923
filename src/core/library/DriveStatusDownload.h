#pragma once

#include "Download.h"
#include "DriveStatusLine.h"

#include <optional>
#include <string>
#include <vector>

// The Drive Info command's download: the library's drive status file, read into its drive
// lines. A library that cannot be reached shows "No IP address entered.", one that has no
// such file "Problem getting the MRPD file"; either gives nothing and no window opens.
std::optional<std::vector<DriveStatusLine>> fetchDriveStatus(const std::string& address,
                                                             const DownloadLimits& limits = {});
