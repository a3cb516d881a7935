#pragma once
// A client of hamlib's rigctld network daemon that never makes its caller
// wait: the socket is non-blocking, the connection is made in the background
// of successive calls, answers are read as they come (at most a few kB and
// about a millisecond per call: a peer that floods is dropped), and a daemon
// that went away is connected again. Plain POSIX sockets, no event loop.
//
// Protocol (rigctld, one command per line): "F <Hz>\n" sets the frequency of
// the current VFO; the daemon answers "RPRT 0\n" on success, "RPRT -<n>\n"
// with a hamlib error code otherwise.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include <sys/socket.h>

namespace aostrack {

class RigctldClient {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    RigctldClient(std::string host, std::string port);
    ~RigctldClient();
    RigctldClient(const RigctldClient&) = delete;
    RigctldClient& operator=(const RigctldClient&) = delete;

    // Resolves the address (the one call that may wait, for a name lookup)
    // and starts connecting.
    void Open();
    void Close();
    // Asks for the frequency; sent when it differs from the one the daemon
    // last accepted on this connection, or as soon as a connection exists.
    void SetFrequency(int64_t freqHz);
    // Advances connecting, reads answers, notices a closed daemon.
    void Poll();

    // The latest change of the link, for the operator: "connected to rigctld
    // at localhost:4532", "lost rigctld at ...", "cannot connect to ...".
    const std::string& Status() const { return m_status; }

private:
    enum class State { Closed, Waiting, Connecting, Connected };

    void StartConnect(TimePoint now);
    void AttemptFailed(TimePoint now, const std::string& why);
    // Closes and reconnects at once; why (when not empty) becomes the status.
    void Drop(TimePoint now, const std::string& why);
    // A peer that sends far more than answers: dropped, reconnected a second later.
    void Flooded(TimePoint now);
    void ReadAnswers(TimePoint now);
    void Flush(TimePoint now);
    void Note(const std::string& text);

    std::string m_host;
    std::string m_port;
    std::vector<sockaddr_storage> m_addresses;
    std::vector<socklen_t> m_addressLengths;
    size_t m_nextAddress = 0;

    State m_state = State::Closed;
    int m_fd = -1;
    TimePoint m_since {}; // start of the current connection attempt
    TimePoint m_retryAt {}; // earliest next attempt while Waiting
    TimePoint m_waitSince {}; // oldest command without an answer

    int64_t m_wantedHz = -1;
    int64_t m_sentHz = -1; // sent on this connection; -1: nothing yet
    int m_pending = 0; // commands without an answer yet
    // Bytes of lines that answered nothing we asked, on this connection: a
    // flood read a little at a time on a busy machine adds up here.
    size_t m_unaskedBytes = 0;
    std::string m_in;
    std::string m_out;
    std::string m_status;
    bool m_refused = false; // the daemon refused the last frequency
    bool m_flooded = false; // the last connection was dropped for flooding
};

} // namespace aostrack
