#pragma once

#include <atomic>
#include <chrono>
#include <string>

// One TCP connection of the mail client. Every wait is bounded by poll(); the descriptor is
// closed when the object goes, on every path. Calls report -1 with errno set on failure
// (ETIMEDOUT when the limit passed).
class CSocketX {
public:
    CSocketX() = default;
    ~CSocketX();
    CSocketX(const CSocketX&) = delete;
    CSocketX& operator=(const CSocketX&) = delete;

    // Connects to host and port, trying each address the name resolves to, within limit.
    // Returns 0, -1 with errno, or -2 when the socket could not be created at all.
    int Connect(const std::string& host, const std::string& port, std::chrono::milliseconds limit);

    // Sends the whole text; each wait for room in the send buffer is bounded by limit.
    long TimedSend(const std::string& text, std::chrono::milliseconds limit);

    // Receives one whole reply into reply: lines up to the last one, which has a blank (or
    // nothing) after its three digits instead of "-". A last line without its line end is
    // taken as complete once nothing more arrives within linePause. The whole reply must
    // arrive within limit. A longer reply is kept to MaxReply bytes and its rest, up to the
    // end of its last line, is read within the same limits and dropped. Returns its length,
    // or -1.
    long TimedReceive(std::string& reply, std::chrono::milliseconds limit, std::chrono::milliseconds linePause);

    // Whether the last reply was longer than MaxReply and cut.
    bool lastReplyCut() const { return m_replyCut; }

    void Close();
    // A flag that cuts every wait short (ECANCELED) once set: the program is ending.
    void setStopFlag(const std::atomic<bool>* stop) { m_stop = stop; }

    // The system's text for the last failure (the resolver's for a name that does not resolve).
    const std::string& lastErrorText() const { return m_errorText; }

    static constexpr std::size_t MaxReply = 4096;

private:
    using Clock = std::chrono::steady_clock;
    enum class Piece { Bytes, Quiet, Closed, Failed };
    // Waits for and appends the next bytes; Quiet when a partial line stays without more for
    // linePause; Failed (errno and the error text set) on a failure or at the deadline.
    Piece receivePiece(std::string& into, Clock::time_point deadline, std::chrono::milliseconds linePause,
                       bool partialLine);
    bool discardReplyRest(std::string text, Clock::time_point deadline, std::chrono::milliseconds linePause);

    int m_socket = -1;
    bool m_replyCut = false;
    const std::atomic<bool>* m_stop = nullptr;
    long fail(int error);

    std::string m_pending; // bytes that arrived after the end of the last reply
    std::string m_errorText;
};
