#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>

// How long a download may wait for a library before it counts as not answering: a library
// that never accepts the connection, or one that stops sending in the middle of a file, must
// not hold a monitor cycle for ever.
struct DownloadLimits {
    std::chrono::milliseconds connectTimeout{30000};
    // Fewer than lowSpeedBytes per second for lowSpeedTime ends the transfer.
    std::chrono::seconds lowSpeedTime{60};
    long lowSpeedBytes = 1;
};

// One file fetched from a library's web server, read with the byte replacement.
struct DownloadResult {
    enum class Status {
        Complete,      // the whole file (or the first `limit` bytes of it) arrived
        NoFile,        // the server answered, but not with the file (404, 500, ...)
        InternetError, // no answer, a stall, a connection closed early: internetError says which
        Stopped,       // the stop flag was seen before the file was whole
    };
    Status status = Status::InternetError;
    int internetError = 0; // the internet library's code when status is InternetError
    long httpStatus = 0;
    std::string text;       // the file's text; only meaningful when Complete
    bool cutAtLimit = false; // the file was longer than the limit and was cut there

    bool complete() const { return status == Status::Complete; }
};

// Fetches "http://<address>/FS/<file name>" past any cache, without line-end translation,
// reading at most `limit` bytes. The stop flag is tested as bytes arrive and at least once a
// second while none do, so a stop is seen within a second. Nothing is thrown.
DownloadResult downloadLibraryFile(const std::string& address, const std::string& fileName,
                                   const std::atomic<bool>* stop, const DownloadLimits& limits = {},
                                   std::size_t limit = std::string::npos);

// The text of an internet error code: the internet library's own message, or the system's,
// or "Unknown Error: %d\n".
std::string FormatWinInetError(int code);
