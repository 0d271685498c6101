#pragma once
// Helpers for the HTTP client's tests against a scripted loopback server.
#include <string>
#include <vector>

#include "net/http/http_send.h"
#include "tests/support/peer_scripted.h"

namespace lunaro::testkit {

// Reads one request head, sends answer and ends the data.
inline PeerScript AnswerRequest(const std::string& answer) {
    PeerScript script;
    script.ReadUntil("\r\n\r\n").Send(answer).Close();
    return script;
}

inline std::string UrlOf(const ScriptedPeer& peer, const std::string& path = "/") {
    return "http://127.0.0.1:" + peer.PortText() + path;
}

// One status report on the client's socket, with what the client showed at
// that moment.
struct StatusReport {
    net::THookSocketReason Reason;
    std::string Value;
    int32_t ResultCode;
    int64_t DownloadSize;
};

inline void RecordStatus(net::THTTPSend& http, std::vector<StatusReport>& reports) {
    http.Sock().OnStatus = [&http, &reports](net::TBlockSocket*, net::THookSocketReason reason,
                                             const std::string& value) {
        reports.push_back({reason, value, http.ResultCode(), http.DownloadSize()});
    };
}

}  // namespace lunaro::testkit
