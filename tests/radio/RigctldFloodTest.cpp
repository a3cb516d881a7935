// Our rigctld client against hostile peers on loopback: one that answers
// "RPRT 0" without end, one that sends bytes without a line end. The client
// must keep returning at once, keep its buffer small, say so once and try
// again later; before, the first call read the flood for ever.
#include "radio/plugin/RigctldClient.h"

#include "FloodingPeer.h"
#include "ScriptedPeer.h"

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

// The code of an answer is the peer's number: read checked, never cast. A
// code past every int (4294967296 became 0 through atoi, "accepted") or a
// text that is no code is a refusal, and a long one is cut in the status.
TEST(RigctldCodes, OnlyAPlainZeroIsAccepted)
{
    const std::string longCode(300, '9');
    const struct {
        std::string answer;
        std::string status; // after "rigctld at 127.0.0.1:<port>"; empty: connected
    } cases[] = {
        { "RPRT 0", "" },
        { "RPRT -1", "rigctld refused the frequency: RPRT -1" },
        { "RPRT 4294967296", "rigctld refused the frequency: RPRT 4294967296" },
        { "RPRT 1e308", "rigctld refused the frequency: RPRT 1e308" },
        { "RPRT 0x", "rigctld refused the frequency: RPRT 0x" },
        { "RPRT " + longCode,
            "rigctld refused the frequency: RPRT " + longCode.substr(0, 75) + "..." },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer.substr(0, 20));
        test::ScriptedPeer peer([&c](const std::string&) { return c.answer + "\n"; });
        RigctldClient client("127.0.0.1", std::to_string(peer.Port()));
        client.Open();
        const std::string connected
            = "connected to rigctld at 127.0.0.1:" + std::to_string(peer.Port());
        const std::string expected = c.status.empty() ? connected : c.status;
        const auto until = std::chrono::steady_clock::now() + 10s;
        while (client.Status() != expected && std::chrono::steady_clock::now() < until) {
            client.SetFrequency(145800000);
            std::this_thread::sleep_for(5ms);
        }
        EXPECT_EQ(client.Status(), expected);
        client.Close();
    }
}

} // namespace
} // namespace aostrack
