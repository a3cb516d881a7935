#include "radio/plugin/RigctldClient.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <optional>
#include <string_view>

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <unistd.h>

namespace aostrack {

namespace {

using namespace std::chrono_literals;

// A loopback or LAN daemon answers within milliseconds; these only bound the
// wait for one that hangs.
constexpr auto kConnectTimeout = 2s;
constexpr auto kAnswerTimeout = 10s;
// After every address has refused, wait this long before the next round, so
// a stopped daemon costs one refused connect a second.
constexpr auto kRetryInterval = 1s;
// rigctld answers each command with one short line ("RPRT 0\n"). A peer that
// sends more than this between two calls, or a line longer than this, is not
// answering us: it floods, and reading it all would take the whole tick and
// all the memory there is.
constexpr size_t kMaxUnreadBytes = 4096;
// The most a call spends reading the socket: a tick is 250 ms, shared with
// the orbit, the rotor and the window.
constexpr auto kReadBudget = 1ms;

// A write to a daemon that went away must come back as an error, not as
// SIGPIPE ending the whole tracker.
#if defined(MSG_NOSIGNAL)
constexpr int kSendFlags = MSG_NOSIGNAL | MSG_DONTWAIT;
#else
constexpr int kSendFlags = MSG_DONTWAIT; // SO_NOSIGPIPE is set on the socket instead
#endif

std::string ErrorText(int error)
{
    return std::strerror(error);
}

// The code of "RPRT <code>": a whole number that fits an int, nothing for
// any other text. It is the peer's number: "RPRT 1e308" or a code past
// INT_MAX must not be converted unchecked.
std::optional<int> ReadCode(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int code = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), code);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return code;
}

// The peer's line as quoted in a status: at most 80 bytes, so that a long
// line cannot make a long message.
std::string Excerpt(std::string_view line)
{
    constexpr size_t kShown = 80;
    if (line.size() <= kShown)
        return std::string(line);
    return std::string(line.substr(0, kShown)) + "...";
}

// A socket that never blocks and is not inherited by programs we start.
int OpenSocket(int family)
{
    const int fd = ::socket(family, SOCK_STREAM, 0);
    if (fd < 0)
        return fd;
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
#if defined(SO_NOSIGPIPE)
    ::setsockopt(fd, SOL_SOCKET, SO_NOSIGPIPE, &one, sizeof one);
#endif
    return fd;
}

} // namespace

RigctldClient::RigctldClient(std::string host, std::string port)
    : m_host(std::move(host))
    , m_port(std::move(port))
{
}

RigctldClient::~RigctldClient()
{
    Close();
}

void RigctldClient::Note(const std::string& text)
{
    m_status = text;
}

void RigctldClient::Open()
{
    Close();
    m_addresses.clear();
    m_addressLengths.clear();
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int rc = getaddrinfo(m_host.c_str(), m_port.c_str(), &hints, &found);
    if (rc != 0) {
        Note("cannot find rigctld host " + m_host + ": " + gai_strerror(rc));
        return;
    }
    for (addrinfo* a = found; a; a = a->ai_next) {
        sockaddr_storage address {};
        std::memcpy(&address, a->ai_addr, a->ai_addrlen);
        m_addresses.push_back(address);
        m_addressLengths.push_back(a->ai_addrlen);
    }
    freeaddrinfo(found);
    m_nextAddress = 0;
    m_sentHz = -1;
    StartConnect(std::chrono::steady_clock::now());
}

void RigctldClient::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_state = State::Closed;
    m_in.clear();
    m_out.clear();
    m_pending = 0;
    m_unaskedBytes = 0;
    m_sentHz = -1;
}

void RigctldClient::StartConnect(TimePoint now)
{
    if (m_addresses.empty()) {
        m_state = State::Closed;
        return;
    }
    const size_t index = m_nextAddress % m_addresses.size();
    const auto* address = reinterpret_cast<const sockaddr*>(&m_addresses[index]);
    m_fd = OpenSocket(address->sa_family);
    if (m_fd < 0) {
        AttemptFailed(now, "socket: " + ErrorText(errno));
        return;
    }
    m_since = now;
    if (::connect(m_fd, address, m_addressLengths[index]) == 0) {
        m_state = State::Connecting; // completes at the next Poll
        return;
    }
    if (errno == EINPROGRESS) {
        m_state = State::Connecting;
        return;
    }
    AttemptFailed(now, ErrorText(errno));
}

void RigctldClient::AttemptFailed(TimePoint now, const std::string& why)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_state = State::Waiting;
    ++m_nextAddress;
    // Next address at once; a new round only after a pause.
    const bool roundDone = m_addresses.empty() || m_nextAddress % m_addresses.size() == 0;
    m_retryAt = roundDone ? now + kRetryInterval : now;
    if (roundDone)
        Note("cannot connect to rigctld at " + m_host + ":" + m_port + ": " + why);
}

void RigctldClient::Drop(TimePoint now, const std::string& why)
{
    if (!why.empty())
        Note("lost rigctld at " + m_host + ":" + m_port + ": " + why);
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_in.clear();
    m_out.clear();
    m_pending = 0;
    m_unaskedBytes = 0;
    m_sentHz = -1;
    // A restarted daemon is usually back at once: try again straight away.
    m_state = State::Waiting;
    m_retryAt = now;
}

void RigctldClient::Flooded(TimePoint now)
{
    // Said once: the reconnections to the same peer keep this status until it
    // answers like a daemon again.
    Note("dropped rigctld at " + m_host + ":" + m_port + ": it sends more than "
        + std::to_string(kMaxUnreadBytes) + " bytes unasked; reconnecting every second");
    Drop(now, std::string());
    m_flooded = true;
    m_retryAt = now + kRetryInterval;
}

void RigctldClient::ReadAnswers(TimePoint now)
{
    char buffer[512];
    size_t readNow = 0;
    const TimePoint deadline = std::chrono::steady_clock::now() + kReadBudget;
    for (;;) {
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) {
            m_in.append(buffer, static_cast<size_t>(n));
            readNow += static_cast<size_t>(n);
            if (readNow > kMaxUnreadBytes || m_in.size() > kMaxUnreadBytes) {
                Flooded(now);
                return;
            }
            if (std::chrono::steady_clock::now() >= deadline)
                break; // the rest waits for the next call
            continue;
        }
        if (n == 0) {
            Drop(now, "connection closed by the daemon");
            return;
        }
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            break;
        Drop(now, ErrorText(errno));
        return;
    }
    size_t start = 0;
    size_t end;
    while ((end = m_in.find('\n', start)) != std::string::npos) {
        const std::string_view line(m_in.data() + start, end - start);
        start = end + 1;
        if (m_pending == 0) {
            m_unaskedBytes += line.size() + 1;
            if (m_unaskedBytes > kMaxUnreadBytes) {
                Flooded(now); // m_in is gone: nothing more to read here
                return;
            }
        }
        if (line.rfind("RPRT", 0) != 0)
            continue;
        // "RPRT 0": accepted; any other code, or text that is no code, is a
        // refusal.
        const std::optional<int> reply = ReadCode(line.substr(4));
        if (m_pending > 0)
            --m_pending;
        m_waitSince = now;
        if (reply != 0) {
            Note("rigctld refused the frequency: " + Excerpt(line));
            m_refused = true;
        } else if (m_refused || m_flooded) {
            Note(m_flooded ? "connected to rigctld at " + m_host + ":" + m_port
                           : "rigctld at " + m_host + ":" + m_port + " takes the frequency again");
            m_refused = false;
            m_flooded = false;
        }
    }
    m_in.erase(0, start); // once, not line by line
    if (m_pending > 0 && now - m_waitSince > kAnswerTimeout)
        Drop(now, "no answer");
}

void RigctldClient::Flush(TimePoint now)
{
    if (m_out.empty() && m_wantedHz >= 0 && m_wantedHz != m_sentHz) {
        m_out = "F " + std::to_string(m_wantedHz) + "\n";
        m_sentHz = m_wantedHz;
        if (m_pending == 0)
            m_waitSince = now;
        ++m_pending;
    }
    while (!m_out.empty()) {
        const ssize_t n = ::send(m_fd, m_out.data(), m_out.size(), kSendFlags);
        if (n > 0) {
            m_out.erase(0, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return; // the rest goes with the next call
        Drop(now, n < 0 ? ErrorText(errno) : std::string("send failed"));
        return;
    }
}

void RigctldClient::Poll()
{
    const TimePoint now = std::chrono::steady_clock::now();
    if (m_state == State::Waiting && now >= m_retryAt)
        StartConnect(now);
    if (m_state == State::Connecting) {
        pollfd pfd { m_fd, POLLOUT, 0 };
        if (::poll(&pfd, 1, 0) > 0) {
            int error = 0;
            socklen_t length = sizeof error;
            if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                error = errno;
            if (error != 0) {
                AttemptFailed(now, ErrorText(error));
            } else {
                m_state = State::Connected;
                m_sentHz = -1; // a new connection may be a new daemon: send again
                m_pending = 0;
                m_unaskedBytes = 0;
                m_in.clear();
                m_out.clear();
                if (!m_flooded) // said when the peer answers properly again
                    Note("connected to rigctld at " + m_host + ":" + m_port);
            }
        } else if (now - m_since > kConnectTimeout) {
            AttemptFailed(now, "no answer to the connection request");
        }
    }
    if (m_state == State::Connected)
        ReadAnswers(now);
    if (m_state == State::Connected)
        Flush(now);
}

void RigctldClient::SetFrequency(int64_t freqHz)
{
    m_wantedHz = freqHz;
    Poll();
}

} // namespace aostrack
