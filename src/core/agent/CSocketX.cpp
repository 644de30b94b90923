#include "CSocketX.h"

#include "app/SystemError.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <optional>

namespace {
using Clock = std::chrono::steady_clock;

int remainingMilliseconds(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    constexpr long long Day = 24LL * 3600 * 1000;
    return left <= 0 ? 0 : left > Day ? static_cast<int>(Day) : static_cast<int>(left);
}

// Waits for the event; 1 ready, 0 time-out, -1 failure (errno set; ECANCELED when the stop
// flag was set). Signals do not cut it short; the stop flag is looked at every 200 ms.
int waitFor(int socket, short events, int milliseconds, const std::atomic<bool>* stop)
{
    constexpr int StopCheck = 200;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (stop != nullptr && stop->load()) {
            errno = ECANCELED;
            return -1;
        }
        pollfd entry{socket, events, 0};
        const int left = remainingMilliseconds(deadline);
        const int ready = ::poll(&entry, 1, stop != nullptr && left > StopCheck ? StopCheck : left);
        if (ready > 0)
            return 1;
        if (ready == 0 && remainingMilliseconds(deadline) == 0)
            return 0;
        if (ready < 0 && errno != EINTR)
            return -1;
    }
}

// Where the first complete reply in text ends: after the line end of its first line that is
// not a continuation line (three digits and "-").
std::optional<std::size_t> completeReplyEnd(const std::string& text)
{
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        const std::size_t length = end - start;
        if (length < 4 || text[start + 3] != '-')
            return end + 1;
        start = end + 1;
    }
    return std::nullopt;
}
} // namespace

CSocketX::~CSocketX()
{
    Close();
}

void CSocketX::Close()
{
    if (m_socket >= 0)
        ::close(m_socket);
    m_socket = -1;
    m_pending.clear();
}

long CSocketX::fail(int error)
{
    m_errorText = FormatSystemError(error);
    errno = error;
    return -1;
}

int CSocketX::Connect(const std::string& host, const std::string& port, std::chrono::milliseconds limit)
{
    Close();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (const int resolved = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found); resolved != 0) {
        m_errorText = resolved == EAI_SYSTEM ? FormatSystemError(errno) : std::string(gai_strerror(resolved)) + "\n";
        return -1;
    }
    const Clock::time_point deadline = Clock::now() + limit;
    int error = ECONNREFUSED;
    bool created = false;
    for (addrinfo* address = found; address != nullptr && m_socket < 0; address = address->ai_next) {
        const int socket =
            ::socket(address->ai_family, address->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, address->ai_protocol);
        if (socket < 0) {
            error = errno;
            continue;
        }
        created = true;
        if (::connect(socket, address->ai_addr, address->ai_addrlen) != 0) {
            error = errno;
            if (error == EINPROGRESS) {
                const int ready = waitFor(socket, POLLOUT, remainingMilliseconds(deadline), m_stop);
                socklen_t length = sizeof error;
                if (ready == 0)
                    error = ETIMEDOUT;
                else if (ready < 0 || ::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                    error = errno;
            }
            if (error != 0) {
                ::close(socket);
                continue;
            }
        }
        m_socket = socket;
    }
    ::freeaddrinfo(found);
    if (m_socket >= 0)
        return 0;
    fail(error);
    return created ? -1 : -2;
}

long CSocketX::TimedSend(const std::string& text, std::chrono::milliseconds limit)
{
    if (m_socket < 0)
        return fail(ENOTCONN);
    std::size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t count = ::send(m_socket, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (count > 0) {
            sent += static_cast<std::size_t>(count);
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return fail(errno);
        const int ready = waitFor(m_socket, POLLOUT, static_cast<int>(limit.count()), m_stop);
        if (ready <= 0)
            return fail(ready == 0 ? ETIMEDOUT : errno);
    }
    return static_cast<long>(sent);
}

CSocketX::Piece CSocketX::receivePiece(std::string& into, Clock::time_point deadline,
                                       std::chrono::milliseconds linePause, bool partialLine)
{
    for (;;) {
        int wait = remainingMilliseconds(deadline);
        if (partialLine && linePause.count() < wait)
            wait = static_cast<int>(linePause.count());
        const int ready = waitFor(m_socket, POLLIN, wait, m_stop);
        if (ready < 0) {
            fail(errno);
            return Piece::Failed;
        }
        if (ready == 0) {
            // A server that leaves out the last line end: nothing more is coming.
            if (partialLine)
                return Piece::Quiet;
            fail(ETIMEDOUT);
            return Piece::Failed;
        }
        char piece[256];
        const ssize_t count = ::recv(m_socket, piece, sizeof piece, 0);
        if (count < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)
                continue;
            fail(errno);
            return Piece::Failed;
        }
        if (count == 0)
            return Piece::Closed;
        into.append(piece, static_cast<std::size_t>(count));
        return Piece::Bytes;
    }
}

long CSocketX::TimedReceive(std::string& reply, std::chrono::milliseconds limit, std::chrono::milliseconds linePause)
{
    reply.clear();
    m_replyCut = false;
    if (m_socket < 0)
        return fail(ENOTCONN);
    const Clock::time_point deadline = Clock::now() + limit;
    std::string buffer;
    buffer.swap(m_pending);
    for (;;) {
        if (const auto end = completeReplyEnd(buffer)) {
            reply = buffer.substr(0, *end);
            m_pending = buffer.substr(*end);
            return static_cast<long>(reply.size());
        }
        if (buffer.size() >= MaxReply) {
            // A reply this long is no SMTP reply: its start is kept, and its rest is read and
            // dropped so that it is not taken for the reply to the next command.
            reply = buffer.substr(0, MaxReply);
            m_replyCut = true;
            return discardReplyRest(buffer, deadline, linePause) ? static_cast<long>(reply.size()) : -1;
        }
        switch (receivePiece(buffer, deadline, linePause, !buffer.empty() && buffer.back() != '\n')) {
        case Piece::Bytes:
            continue;
        case Piece::Quiet:
            reply = buffer;
            return static_cast<long>(reply.size());
        case Piece::Closed:
            if (buffer.empty())
                return fail(ECONNRESET);
            reply = buffer;
            return static_cast<long>(reply.size());
        case Piece::Failed:
            return -1;
        }
    }
}

bool CSocketX::discardReplyRest(std::string text, Clock::time_point deadline, std::chrono::milliseconds linePause)
{
    // Only the first four characters of the line being read matter: they tell a continuation
    // line ("250-") from the last one. Nothing else is kept, so memory stays bounded.
    std::string lineHead;
    bool midLine = false;
    for (;;) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (c != '\n') {
                if (lineHead.size() < 4)
                    lineHead += c;
                midLine = true;
                continue;
            }
            if (lineHead.size() < 4 || lineHead[3] != '-') {
                m_pending = text.substr(i + 1);
                return true;
            }
            lineHead.clear();
            midLine = false;
        }
        text.clear();
        switch (receivePiece(text, deadline, linePause, midLine)) {
        case Piece::Bytes:
            continue;
        case Piece::Quiet:
        case Piece::Closed:
            return true;
        case Piece::Failed:
            return false;
        }
    }
}
