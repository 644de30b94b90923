#include "DebugLog.h"

#include "CQmxApp.h"
#include "TimeFormat.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

DebugLog::~DebugLog()
{
    close();
}

int DebugLog::open(const std::string& path)
{
    std::lock_guard lock(m_mutex);
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    // Open without truncating, take the lock, then truncate: a second process must not
    // empty the log that a running one is writing.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return errno;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ftruncate(fd, 0) != 0) {
        int error = errno;
        ::close(fd);
        return error;
    }
    m_file = ::fdopen(fd, "w");
    if (m_file == nullptr) {
        int error = errno;
        ::close(fd);
        return error;
    }
    return 0;
}

void DebugLog::close()
{
    std::lock_guard lock(m_mutex);
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}

bool DebugLog::isOpen() const
{
    std::lock_guard lock(m_mutex);
    return m_file != nullptr;
}

void DebugLog::setClock(std::function<std::time_t()> clock)
{
    std::lock_guard lock(m_mutex);
    m_clock = std::move(clock);
}

void DebugLog::writeLine(const std::string& text)
{
    std::lock_guard lock(m_mutex);
    if (m_file == nullptr)
        return;
    std::time_t now = m_clock ? m_clock() : std::time(nullptr);
    std::string line = formatLocalTime(StampFormat, now) + ": " + text + "\n";
    std::fwrite(line.data(), 1, line.size(), m_file);
    std::fflush(m_file);
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
