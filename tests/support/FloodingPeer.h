#pragma once
// A hostile loopback peer for the tests: it accepts TCP connections on
// 127.0.0.1 and, once the client has sent its first line (a command or an
// HTTP request line), writes the same chunk to it as fast as the socket takes
// it, until destroyed (after a preamble sent once per connection, such as the
// head of an HTTP answer whose body never ends). Waiting for that line makes
// the order of events the same on any machine: the client has connected
// before any flood comes. Plain POSIX and a thread of its own, so it keeps
// flooding while the code under test (or a whole program) is busy.
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace aostrack::test {

class FloodingPeer {
public:
    explicit FloodingPeer(std::string chunk, std::string preamble = {})
        : m_chunk(std::move(chunk))
        , m_preamble(std::move(preamble))
    {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listen, 4);
        socklen_t length = sizeof address;
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { Run(); });
    }
    ~FloodingPeer()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_listen);
    }
    std::string Port() const { return std::to_string(m_port); }
    int Connections() const { return m_connections; }

private:
    void Run()
    {
        int client = -1;
        bool asked = false; // the client's first line has come
        std::string pending;
        while (!m_stop) {
            pollfd fds[2] = { { m_listen, POLLIN, 0 },
                { client, static_cast<short>(asked ? POLLOUT : POLLIN), 0 } };
            if (::poll(fds, client >= 0 ? 2 : 1, 20) <= 0)
                continue;
            if (fds[0].revents & POLLIN) {
                if (client >= 0)
                    ::close(client);
                client = ::accept(m_listen, nullptr, nullptr);
                asked = false;
                pending = m_preamble;
                ++m_connections;
            } else if (client >= 0 && !asked && (fds[1].revents & (POLLIN | POLLERR | POLLHUP))) {
                char line[256];
                const ssize_t n = ::recv(client, line, sizeof line, MSG_DONTWAIT);
                if (n <= 0 && errno != EAGAIN) {
                    ::close(client);
                    client = -1;
                } else if (n > 0 && std::memchr(line, '\n', static_cast<size_t>(n))) {
                    asked = true;
                }
            } else if (client >= 0 && (fds[1].revents & (POLLOUT | POLLERR | POLLHUP))) {
                const std::string& out = pending.empty() ? m_chunk : pending;
                const ssize_t sent
                    = ::send(client, out.data(), out.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
                if (sent > 0 && !pending.empty())
                    pending.erase(0, static_cast<std::size_t>(sent));
                if (sent < 0 && errno != EAGAIN) {
                    ::close(client);
                    client = -1;
                }
            }
        }
        if (client >= 0)
            ::close(client);
    }

    std::string m_chunk;
    std::string m_preamble;
    int m_listen = -1;
    uint16_t m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_stop { false };
    std::atomic<int> m_connections { 0 };
};

} // namespace aostrack::test
