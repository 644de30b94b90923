#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>

// How long and how much a download may take before it counts as failed: a library that never
// accepts the connection, stops sending in the middle of a file, sends a few bytes a second
// for ever or sends without end must not hold a monitor cycle, or its memory, for ever.
struct DownloadLimits {
    std::chrono::milliseconds connectTimeout{30000};
    // Fewer than lowSpeedBytes per second for lowSpeedTime ends the transfer.
    std::chrono::seconds lowSpeedTime{60};
    long lowSpeedBytes = 1;
    // The whole transfer, however slowly the bytes come in.
    std::chrono::milliseconds totalTime{300000};
    // The most a file may hold; far above any library's file. A download with its own cut
    // (the mount history file) is cut there instead.
    std::size_t maxBytes = std::size_t{32} * 1024 * 1024;
};

// One file fetched from a library's web server, read with the byte replacement.
struct DownloadResult {
    enum class Status {
        Complete,       // the whole file (or the first `limit` bytes of it) arrived
        NoFile,         // the server answered, but not with the file (404, 500, ...)
        NotLibraryFile, // the server answered with a web page instead of the file
        TooLarge,       // the file is longer than the limits allow
        TimedOut,       // the file did not arrive within the overall time limit
        InternetError,  // no answer, a stall, a connection closed early: internetError says which
        Stopped,        // the stop flag was seen before the file was whole
    };
    Status status = Status::InternetError;
    int internetError = 0; // the internet library's code when status is InternetError
    long httpStatus = 0;
    std::string text;        // the file's text; only meaningful when Complete
    bool cutAtLimit = false; // the file was longer than the limit and was cut there

    bool complete() const { return status == Status::Complete; }
};

// Fetches "http://<address>/FS/<file name>" past any cache, without line-end translation.
// With a `limit` the file is cut after that many bytes; without one a file longer than the
// limits' maxBytes fails. A body that ends short of its announced length fails. The stop flag
// is tested as bytes arrive and at least once a second while none do, so a stop is seen
// within a second. Nothing is thrown.
DownloadResult downloadLibraryFile(const std::string& address, const std::string& fileName,
                                   const std::atomic<bool>* stop, const DownloadLimits& limits = {},
                                   std::size_t limit = std::string::npos);

// What went wrong with a download that neither completed nor was stopped, as the text after
// "   o ERROR: " (ends with "\n"); empty for a complete or stopped one.
std::string downloadProblemText(const DownloadResult& result, const std::string& fileName,
                                const DownloadLimits& limits);

// The text of an internet error code: the internet library's own message, or the system's,
// or "Unknown Error: %d\n".
std::string FormatWinInetError(int code);
