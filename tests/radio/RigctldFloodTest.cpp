// Our rigctld client against hostile peers on loopback: one that answers
// "RPRT 0" without end, one that sends bytes without a line end. The client
// must keep returning at once, keep its buffer small, say so once and try
// again later; before, the first call read the flood for ever.
#include "radio/plugin/RigctldClient.h"

#include "FloodingPeer.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace aostrack {
namespace {

using namespace std::chrono_literals;

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
        test::FloodingPeer flood(peer.chunk);
        RigctldClient client("127.0.0.1", flood.Port());
        client.Open();
        // Ticks of the tracker (sped up): each call must come back. The
        // peer floods only once asked, so "connected" is always seen first;
        // the loop waits for the third connection, however slow the machine
        // (the bound only keeps a broken client from hanging the suite).
        std::string firstDrop;
        int statusChanges = 0;
        std::string last;
        const auto until = std::chrono::steady_clock::now() + 120s;
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
