// Our rigctld client against hostile peers on loopback: one that answers
// "RPRT 0" without end, one that sends bytes without a line end. The client
// must keep returning at once, keep its buffer small, say so once and try
// again later; before, the first call read the flood for ever.
#include "radio/plugin/RigctldClient.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace aostrack {
namespace {

using namespace std::chrono_literals;

// Accepts connections on 127.0.0.1 and writes `chunk` to each as fast as the
// socket takes it, until destroyed.
class FloodingPeer {
public:
    explicit FloodingPeer(std::string chunk)
        : m_chunk(std::move(chunk))
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
        while (!m_stop) {
            pollfd fds[2] = { { m_listen, POLLIN, 0 }, { client, POLLOUT, 0 } };
            if (::poll(fds, client >= 0 ? 2 : 1, 20) <= 0)
                continue;
            if (fds[0].revents & POLLIN) {
                if (client >= 0)
                    ::close(client);
                client = ::accept(m_listen, nullptr, nullptr);
                ++m_connections;
            } else if (client >= 0 && (fds[1].revents & (POLLOUT | POLLERR | POLLHUP))) {
                if (::send(client, m_chunk.data(), m_chunk.size(), MSG_NOSIGNAL | MSG_DONTWAIT) < 0
                    && errno != EAGAIN) {
                    ::close(client);
                    client = -1;
                }
            }
        }
        if (client >= 0)
            ::close(client);
    }

    std::string m_chunk;
    int m_listen = -1;
    uint16_t m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_stop { false };
    std::atomic<int> m_connections { 0 };
};

std::string Repeat(const std::string& piece, int times)
{
    std::string s;
    for (int i = 0; i < times; ++i)
        s += piece;
    return s;
}

TEST(RigctldFlood, PeerIsDroppedOnceAndTriedAgain)
{
    const struct {
        const char* what;
        std::string chunk;
    } peers[] = {
        { "endless answers", Repeat("RPRT 0\n", 1000) },
        { "a line without end", std::string(8192, 'x') },
    };
    for (const auto& peer : peers) {
        SCOPED_TRACE(peer.what);
        FloodingPeer flood(peer.chunk);
        RigctldClient client("127.0.0.1", flood.Port());
        client.Open();
        // Ticks of the tracker (sped up): each call must come back.
        std::string firstDrop;
        int statusChanges = 0;
        std::string last;
        const auto until = std::chrono::steady_clock::now() + 10s;
        while (flood.Connections() < 3 && std::chrono::steady_clock::now() < until) {
            client.SetFrequency(145800000);
            if (client.Status() != last) {
                last = client.Status();
                ++statusChanges;
                if (firstDrop.empty() && last.rfind("dropped", 0) == 0)
                    firstDrop = last;
            }
            std::this_thread::sleep_for(10ms);
        }
        EXPECT_GE(flood.Connections(), 3); // reconnected, as for a daemon that went away
        EXPECT_EQ(firstDrop,
            "dropped rigctld at 127.0.0.1:" + flood.Port()
                + ": it sends more than 4096 bytes unasked; reconnecting every second");
        // "connected", then the drop; the reconnections say nothing new.
        EXPECT_EQ(statusChanges, 2) << last;
        client.Close();
    }
}

} // namespace
} // namespace aostrack
