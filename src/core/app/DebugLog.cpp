#include "DebugLog.h"

#include "AppTexts.h"
#include "CQmxApp.h"
#include "SystemError.h"
#include "TimeFormat.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Owner read and write only: the log holds statements and addresses of the site.
constexpr mode_t OwnerOnly = S_IRUSR | S_IWUSR;

// The file opened for appending and locked for this process; -1 with errno set when it cannot be.
// A symbolic link in the log's place is refused (ELOOP): through it, anyone who can write the
// working folder could have the program empty and narrow a file of their choosing.
int openLocked(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, OwnerOnly);
    if (fd < 0)
        return -1;
    // A file made earlier with wider permissions is narrowed too.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fchmod(fd, OwnerOnly) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

void writeAll(int fd, const std::string& bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t result = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (result < 0 && errno == EINTR)
            continue;
        if (result <= 0)
            return;
        written += static_cast<std::size_t>(result);
    }
}
} // namespace

DebugLog::~DebugLog()
{
    close();
}

int DebugLog::open(const std::string& path)
{
    std::lock_guard lock(m_mutex);
    writeGathered();
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    // Open without truncating, take the lock, then truncate: a second process must not
    // empty the log that a running one is writing.
    const int fd = openLocked(path);
    if (fd < 0)
        return errno;
    if (::ftruncate(fd, 0) != 0) {
        const int error = errno;
        ::close(fd);
        return error;
    }
    m_fd = fd;
    m_path = path;
    m_renameFailed = false;
    return 0;
}

void DebugLog::close()
{
    std::lock_guard lock(m_mutex);
    writeGathered();
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

bool DebugLog::isOpen() const
{
    std::lock_guard lock(m_mutex);
    return m_fd >= 0;
}

std::string DebugLog::path() const
{
    std::lock_guard lock(m_mutex);
    return m_path;
}

void DebugLog::setClock(std::function<std::time_t()> clock)
{
    std::lock_guard lock(m_mutex);
    m_clock = std::move(clock);
}

void DebugLog::setSizeLimit(std::uint64_t bytes)
{
    std::lock_guard lock(m_mutex);
    m_sizeLimit = bytes;
}

std::string debugLogOpenFailure(const std::string& path, int error)
{
    std::string text = std::string(app_texts::DebugFileFailed) + FormatSystemError(error);
    struct stat info {};
    if (error == ELOOP && ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        std::string link = app_texts::DebugLogIsLink;
        text += link.replace(link.find("%s"), 2, path);
    }
    return text;
}

void DebugLog::startNewFile()
{
    // A rename replaces a link named "<path>.1" itself and never writes where it points.
    const std::string previous = m_path + ".1";
    if (::rename(m_path.c_str(), previous.c_str()) != 0) {
        m_renameFailed = true;
        return;
    }
    // The renamed file stays locked through m_fd until the new one is locked too.
    const int fd = openLocked(m_path);
    if (fd < 0) {
        // Another process took the name in between, or the folder refuses: go on in the old file.
        m_renameFailed = true;
        return;
    }
    ::close(m_fd);
    m_fd = fd;
}

void DebugLog::writeStamped(const std::string& line)
{
    // The size is asked of the file each time: someone may have truncated it from outside.
    struct stat info {};
    if (!m_renameFailed && ::fstat(m_fd, &info) == 0 && info.st_size > 0
        && static_cast<std::uint64_t>(info.st_size) + line.size() > m_sizeLimit)
        startNewFile();
    writeAll(m_fd, line);
}

void DebugLog::writeLine(const std::string& text)
{
    // Gathered lines are written once this many bytes wait.
    constexpr std::size_t GatheredLimit = std::size_t{1} << 20;
    std::lock_guard lock(m_mutex);
    if (m_fd < 0)
        return;
    const std::time_t now = m_clock ? m_clock() : std::time(nullptr);
    std::string line = formatLocalTime(StampFormat, now) + ": " + text + "\n";
    if (m_gathering > 0 && std::this_thread::get_id() == m_gatherer) {
        m_gatheredBytes += line.size();
        m_gathered.push_back(std::move(line));
        if (m_gatheredBytes >= GatheredLimit)
            writeGathered();
        return;
    }
    writeStamped(line);
}

// The gathered lines in as few writes as the size limit allows: a new file starts at the line
// it would start at if each were written on its own.
void DebugLog::writeGathered()
{
    if (m_fd >= 0) {
        struct stat info {};
        std::uint64_t size =
            ::fstat(m_fd, &info) == 0 && info.st_size > 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
        std::string pending;
        pending.reserve(m_gatheredBytes);
        for (const std::string& line : m_gathered) {
            if (!m_renameFailed && size > 0 && size + line.size() > m_sizeLimit) {
                writeAll(m_fd, pending);
                pending.clear();
                startNewFile();
                size = ::fstat(m_fd, &info) == 0 && info.st_size > 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
            }
            pending += line;
            size += line.size();
        }
        writeAll(m_fd, pending);
    }
    m_gathered.clear();
    m_gatheredBytes = 0;
}

bool DebugLog::beginGathering()
{
    std::lock_guard lock(m_mutex);
    if (m_gathering > 0 && m_gatherer != std::this_thread::get_id())
        return false;
    m_gatherer = std::this_thread::get_id();
    ++m_gathering;
    return true;
}

void DebugLog::endGathering()
{
    std::lock_guard lock(m_mutex);
    if (m_gathering == 0 || --m_gathering > 0)
        return;
    writeGathered();
    m_gatherer = std::thread::id();
}

GatheredDebugLines::GatheredDebugLines(DebugLog& log) : m_log(log), m_gathering(log.beginGathering())
{
}

GatheredDebugLines::~GatheredDebugLines()
{
    if (m_gathering)
        m_log.endGathering();
}

void WriteDebugLine(const std::string& text)
{
    theApp().debugLog().writeLine(text);
}

void WriteTraceLine(const std::string& text)
{
    if (theApp().DebugLevel.load() > 1)
        theApp().debugLog().writeLine(text);
}
