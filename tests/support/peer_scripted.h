#pragma once
// A small TCP peer on a loopback address that accepts one connection and
// plays a script: send these bytes, pause, read so many bytes, close. For
// byte-exact protocol cases (split line ends, short or malformed proxy
// answers, a peer that closes or goes silent). Every wait is bounded, and
// the peer stops when the object goes.
#include <atomic>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lunaro::testkit {

class ScriptedPeer;

// The steps, in the order they run on the accepted connection.
class PeerScript {
public:
    PeerScript& Send(std::string bytes);
    PeerScript& Pause(int ms);
    // Reads exactly count bytes (or until the client closes or 5 s pass).
    PeerScript& Read(std::size_t count);
    // Reads until the received bytes end with marker.
    PeerScript& ReadUntil(std::string marker);
    // Sends count copies of byte as fast as the client takes them, stopping
    // early when the client closes or stops reading for 2 s.
    PeerScript& Flood(char byte, std::size_t count);
    // Waits (at most ms) until the client closes its side.
    PeerScript& AwaitClientClose(int ms);
    // Orderly close: the client sees the end of the data.
    PeerScript& Close();
    // Abortive close: the connection is reset, and the client sees an error
    // instead of the end of the data.
    PeerScript& Reset();

private:
    friend class ScriptedPeer;
    std::vector<std::function<bool(ScriptedPeer&, int fd)>> steps_;
};

class ScriptedPeer {
public:
    // Listens on host ("127.0.0.1" or "::1") at a port the system picks and
    // serves one connection with script.
    explicit ScriptedPeer(PeerScript script, const std::string& host = "127.0.0.1");
    ~ScriptedPeer();
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;

    bool Listening() const { return listener_ >= 0; }
    int Port() const { return port_; }
    std::string PortText() const { return std::to_string(port_); }
    // Waits (at most ms) for the script to finish; true when it ran to its end.
    bool WaitDone(int ms = 5000) const;
    // Everything the client sent that the script read so far.
    std::string Received() const;

private:
    friend class PeerScript;
    void Run(PeerScript script);
    void Record(const char* bytes, std::size_t count);
    bool Stopping() const { return stop_; }
    // Waits for fd to become ready for events; false on timeout or stop.
    bool WaitFor(int fd, short events, int ms) const;

    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<bool> scriptEnded_{false};
    std::atomic<bool> completed_{false};
    mutable std::mutex mutex_;
    std::string received_;
    std::thread thread_;
};

}  // namespace lunaro::testkit
