#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The debug log shared by every thread: one time-stamped line per call, written at once.
// One lock around the write keeps lines whole when threads write together. The file is
// written for appending, so that a truncation from outside (a log rotation tool) leaves no
// gap, and it is bounded: a line that would take it past the size limit first renames it to
// "<name>.1" (replacing the one before) and starts a new file, so a line is never split.
class DebugLog {
public:
    static constexpr std::uint64_t DefaultSizeLimit = std::uint64_t{10} * 1024 * 1024;

    DebugLog() = default;
    ~DebugLog();
    DebugLog(const DebugLog&) = delete;
    DebugLog& operator=(const DebugLog&) = delete;

    // Creates or truncates the file, readable by its owner only, and takes it for this
    // process alone. Returns 0, or the system's error number (another process holding the
    // file gives EWOULDBLOCK, a symbolic link in its place ELOOP).
    int open(const std::string& path);
    void close();
    bool isOpen() const;
    // The path given to open.
    std::string path() const;

    // Writes "<stamp>: " + text + "\n". Never fails towards the caller.
    void writeLine(const std::string& text);

    // While gathering (see GatheredDebugLines), the lines this thread writes wait in order and
    // go to the file together when the outermost gathering ends.
    bool beginGathering();
    void endGathering();

    // Tests fix the clock to check the stamp.
    void setClock(std::function<std::time_t()> clock);
    // Tests make the limit small to see the file renamed.
    void setSizeLimit(std::uint64_t bytes);

private:
    // Renames the full file to "<path>.1" and opens a new one in its place, under the lock.
    void startNewFile();
    // Writes a stamped line, starting a new file first when it would take this one past the limit.
    void writeStamped(const std::string& line);
    void writeGathered();

    mutable std::mutex m_mutex;
    int m_fd = -1;
    std::string m_path;
    std::uint64_t m_sizeLimit = DefaultSizeLimit;
    bool m_renameFailed = false; // once a new file could not be started, the log just grows
    std::function<std::time_t()> m_clock;
    std::thread::id m_gatherer; // the thread whose lines wait, while m_gathering > 0
    int m_gathering = 0;
    std::vector<std::string> m_gathered;
    std::size_t m_gatheredBytes = 0;
};

// The lines this thread writes to the log while it lives are written together when it ends:
// the same lines in the same order, in a few write calls instead of one each. Lines of other
// threads are written meanwhile as ever.
class GatheredDebugLines {
public:
    explicit GatheredDebugLines(DebugLog& log);
    ~GatheredDebugLines();
    GatheredDebugLines(const GatheredDebugLines&) = delete;
    GatheredDebugLines& operator=(const GatheredDebugLines&) = delete;

private:
    DebugLog& m_log;
    bool m_gathering;
};

// What to tell the user when open failed: the fixed line, the system's reason, and for a
// symbolic link in the log's place a line that says why it is refused.
std::string debugLogOpenFailure(const std::string& path, int error);

// Error lines: always written to the application's debug log.
void WriteDebugLine(const std::string& text);
// Trace lines (entering and leaving operations, progress): only when DebugLevel is above 1.
void WriteTraceLine(const std::string& text);
