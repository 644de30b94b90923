#pragma once

#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <ctime>

// The debug log shared by every thread: one time-stamped line per call, flushed at once.
// One lock around write and flush keeps lines whole when threads write together.
class DebugLog {
public:
    DebugLog() = default;
    ~DebugLog();
    DebugLog(const DebugLog&) = delete;
    DebugLog& operator=(const DebugLog&) = delete;

    // Creates or truncates the file and takes it for this process alone. Returns 0, or the
    // system's error number (another process holding the file gives EWOULDBLOCK).
    int open(const std::string& path);
    void close();
    bool isOpen() const;

    // Writes "<stamp>: " + text + "\n". Never fails towards the caller.
    void writeLine(const std::string& text);

    // Tests fix the clock to check the stamp.
    void setClock(std::function<std::time_t()> clock);

private:
    mutable std::mutex m_mutex;
    std::FILE* m_file = nullptr;
    std::function<std::time_t()> m_clock;
};

// Error lines: always written to the application's debug log.
void WriteDebugLine(const std::string& text);
// Trace lines (entering and leaving operations, progress): only when DebugLevel is above 1.
void WriteTraceLine(const std::string& text);
