#pragma once
// A scripted FTP control connection for byte-exact cases: a greeting, then
// one reply for each command line the client sends.
#include <string>
#include <vector>

#include "tests/support/peer_scripted.h"

namespace lunaro::testkit {

inline PeerScript FtpDialogue(const std::string& greeting, const std::vector<std::string>& replies) {
    PeerScript script;
    script.Send(greeting);
    for (const std::string& reply : replies) script.ReadUntil("\r\n").Send(reply);
    script.AwaitClientClose(5000);
    return script;
}

// The login replies, then those to what Login sends after the user is in
// (TYPE, STRU, MODE, and REST 0 / REST 1 with restart refused), then later.
inline std::vector<std::string> AfterLogin(std::vector<std::string> replies, const std::vector<std::string>& later = {}) {
    for (const char* reply : {"200 I\r\n", "200 F\r\n", "200 S\r\n", "350 0\r\n", "501 no\r\n"}) replies.push_back(reply);
    replies.insert(replies.end(), later.begin(), later.end());
    return replies;
}

// A 227 reply announcing host (commas for dots) and port.
inline std::string PasvReply(const std::string& commaHost, int port) {
    return "227 Entering Passive Mode (" + commaHost + "," + std::to_string(port / 256) + "," +
           std::to_string(port % 256) + ")\r\n";
}

}  // namespace lunaro::testkit
