#pragma once
// Records what a socket's status hook reports, for tests that watch a
// socket talk to a peer.
#include <cstdint>
#include <string>
#include <vector>

#include "net/socket/block_socket.h"

namespace lunaro::testkit {

class StatusLog {
public:
    using Reason = net::THookSocketReason;
    struct Entry {
        Reason reason;
        std::string value;
    };

    void Attach(net::TBlockSocket& socket) {
        socket.OnStatus = [this](net::TBlockSocket*, Reason reason, const std::string& value) {
            entries.push_back({reason, value});
        };
    }
    void Clear() { entries.clear(); }

    std::vector<Reason> Reasons() const {
        std::vector<Reason> reasons;
        for (const Entry& entry : entries) reasons.push_back(entry.reason);
        return reasons;
    }
    int Count(Reason reason) const {
        int count = 0;
        for (const Entry& entry : entries) count += entry.reason == reason;
        return count;
    }
    // Index of the first report of reason, or -1.
    int IndexOf(Reason reason) const {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].reason == reason) return static_cast<int>(i);
        }
        return -1;
    }
    std::string ValueOf(Reason reason) const {
        const int index = IndexOf(reason);
        return index < 0 ? std::string() : entries[static_cast<std::size_t>(index)].value;
    }
    // Sum of the decimal values of every report of reason (byte counts).
    int64_t Sum(Reason reason) const {
        int64_t sum = 0;
        for (const Entry& entry : entries) {
            if (entry.reason == reason) sum += std::stoll(entry.value);
        }
        return sum;
    }

    std::vector<Entry> entries;
};

}  // namespace lunaro::testkit
