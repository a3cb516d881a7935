#pragma once
// A hostile (or merely odd) daemon on 127.0.0.1 for the tests of the rotctld
// and rigctld links: it accepts one connection at a time and answers each
// line it receives with what Script returns for it (nothing: no answer).
// Flood, when set, then follows every answer. Plain POSIX and a thread of
// its own, so it keeps answering while the code under test is busy.
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace aostrack::test {

class ScriptedPeer {
public:
    using Script = std::function<std::string(const std::string& line)>;

    explicit ScriptedPeer(Script script, std::string flood = {})
        : m_script(std::move(script))
        , m_flood(std::move(flood))
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
    ~ScriptedPeer()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_listen);
    }
    uint16_t Port() const { return m_port; }
    int Connections() const { return m_connections; }

private:
    void Send(int client, const std::string& bytes)
    {
        // Whatever the socket takes at once: a flood is cut, not waited for.
        if (!bytes.empty())
            (void)::send(client, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    }

    void Run()
    {
        int client = -1;
        std::string in;
        while (!m_stop) {
            pollfd fds[2] = { { m_listen, POLLIN, 0 }, { client, POLLIN, 0 } };
            if (::poll(fds, client >= 0 ? 2 : 1, 20) <= 0)
                continue;
            if (fds[0].revents & POLLIN) {
                if (client >= 0)
                    ::close(client);
                client = ::accept(m_listen, nullptr, nullptr);
                in.clear();
                ++m_connections;
                continue;
            }
            if (client < 0 || !(fds[1].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buffer[512];
            const ssize_t n = ::recv(client, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n <= 0) {
                if (n == 0 || errno != EAGAIN) {
                    ::close(client);
                    client = -1;
                }
                continue;
            }
            in.append(buffer, static_cast<size_t>(n));
            for (size_t end; (end = in.find('\n')) != std::string::npos;) {
                const std::string line = in.substr(0, end);
                in.erase(0, end + 1);
                const std::string answer = m_script(line);
                Send(client, answer);
                if (!answer.empty())
                    Send(client, m_flood);
            }
        }
        if (client >= 0)
            ::close(client);
    }

    Script m_script;
    std::string m_flood;
    int m_listen = -1;
    uint16_t m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_stop { false };
    std::atomic<int> m_connections { 0 };
};

} // namespace aostrack::test
