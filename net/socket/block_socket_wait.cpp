// TBlockSocket: waiting for readiness (with heartbeat rounds and StopFlag),
// the rate limiter, and draining what is left to read.
#include <poll.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <exception>
#include <thread>

#include "net/socket/block_socket.h"
#include "net/text_utils.h"
#include "platform/socket_errors.h"

namespace lunaro::net {

namespace {

constexpr int kMaxWaitingData = 65536;
constexpr int kRateSleepSliceMs = 250;
// Closing drains what is still arriving; a peer that keeps sending must not
// hold the close forever.
constexpr int64_t kMaxPurgeBytes = 16 << 20;

// poll() that resumes after a signal with the time that is left.
int PollFor(std::vector<pollfd>& fds, int Timeout) {
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        int wait = Timeout;
        if (Timeout > 0) {
            const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
            wait = static_cast<int>(std::max<int64_t>(0, Timeout - spent.count()));
        }
        const int result = ::poll(fds.data(), fds.size(), wait < 0 ? -1 : wait);
        if (result >= 0 || errno != EINTR) return result;
    }
}

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

void TBlockSocket::DoHeartbeat() {
    if (OnHeartbeat && HeartbeatRate != 0) OnHeartbeat(this);
}

bool TBlockSocket::CheckStop() {
    DoHeartbeat();
    if (!StopFlag) return false;
    StopFlag = false;
    FLastError = platform::WSAECONNABORTED;
    ExceptCheck();
    return true;
}

bool TBlockSocket::WaitFor(short Events, int Timeout) {
    if (FFDset.empty()) {
        FLastError = platform::WSAENOTSOCK;
        FLastErrorDesc = GetErrorDescEx();
        return false;
    }
    std::vector<pollfd> fds;
    fds.reserve(FFDset.size());
    for (TSocket socket : FFDset) fds.push_back({socket, Events, 0});
    const int result = PollFor(fds, Timeout);
    SockCheck(result);
    for (const pollfd& fd : fds) {
        if (fd.revents & POLLNVAL) {
            FLastError = platform::WSAENOTSOCK;
            FLastErrorDesc = GetErrorDescEx();
        }
    }
    // Hang-up and error count as ready, as they do for select: the next
    // receive or send then reports what happened.
    return FLastError == 0 && result > 0;
}

bool TBlockSocket::WaitReadable(int Timeout) { return WaitFor(POLLIN, Timeout); }

bool TBlockSocket::WaitWritable(int Timeout) { return WaitFor(POLLOUT, Timeout); }

bool TBlockSocket::WaitWithHeartbeat(int Timeout, bool Writing) {
    const int rate = std::max(HeartbeatRate, 0);
    int rounds = 0;
    int firstWait = Timeout;
    if (rate != 0 && Timeout != -1) {
        rounds = Timeout / rate;
        firstWait = Timeout % rate;
    }
    auto wait = [&](int ms) { return Writing ? WaitWritable(ms) : WaitReadable(ms); };
    bool ready = wait(firstWait);
    for (int round = 0; !ready && FLastError == 0 && round <= rounds; ++round) {
        DoHeartbeat();
        if (StopFlag) {
            // Reported as the stop it is, not as a timeout.
            StopFlag = false;
            FLastError = platform::WSAECONNABORTED;
            ExceptCheck();
            return false;
        }
        ready = wait(rate);
    }
    ExceptCheck();
    if (ready) DoStatus(Writing ? THookSocketReason::HR_CanWrite : THookSocketReason::HR_CanRead, "");
    return ready;
}

bool TBlockSocket::CanRead(int Timeout) { return WaitWithHeartbeat(Timeout, false); }

bool TBlockSocket::CanWrite(int Timeout) { return WaitWithHeartbeat(Timeout, true); }

bool TBlockSocket::CanReadEx(int Timeout) { return !FBuffer.Empty() || CanRead(Timeout); }

int TBlockSocket::WaitingData() {
    int count = 0;
    if (FSocket == INVALID_SOCKET || ::ioctl(FSocket, FIONREAD, &count) != 0) return 0;
    return std::clamp(count, 0, kMaxWaitingData);
}

int TBlockSocket::WaitingDataEx() {
    return FBuffer.Empty() ? WaitingData() : static_cast<int>(std::min<std::size_t>(FBuffer.Size(), INT32_MAX));
}

void TBlockSocket::Purge() {
    SleepMs(1);
    try {
        int64_t drained = 0;
        while ((!FBuffer.Empty() || WaitingData() > 0) && drained < kMaxPurgeBytes) {
            drained += static_cast<int64_t>(RecvPacket(0).size());
            if (FLastError != 0) break;
        }
    } catch (const std::exception&) {
        // Draining is a courtesy to the peer; its failure changes nothing.
    }
    ResetLastError();
}

void TBlockSocket::LimitRate(int Length, int32_t MaxB, uint32_t& Next) {
    if (StopFlag || MaxB <= 0) return;
    // Next is 0 until the first limited transfer; the signed difference
    // keeps "before" right across the 32-bit wrap of the tick.
    const int32_t ahead = static_cast<int32_t>(Next - TickNow());
    if (Next != 0 && ahead > 0) {
        DoStatus(THookSocketReason::HR_Wait, std::to_string(ahead));
        SleepMs(ahead % kRateSleepSliceMs);
        for (int slice = 0; slice < ahead / kRateSleepSliceMs && !StopFlag; ++slice) SleepMs(kRateSleepSliceMs);
    }
    const double interval = std::min(static_cast<double>(Length) / MaxB * 1000, static_cast<double>(INT32_MAX));
    Next = TickNow() + static_cast<uint32_t>(std::max(interval, 0.0));
}

bool TBlockSocket::GroupCanRead(const std::vector<TBlockSocket*>& List, int Timeout,
                                std::vector<TBlockSocket*>& CanReadList) {
    CanReadList.clear();
    std::vector<pollfd> fds;
    std::vector<TBlockSocket*> owners;
    for (TBlockSocket* socket : List) {
        if (socket == nullptr || socket->FSocket == INVALID_SOCKET) continue;
        fds.push_back({socket->FSocket, POLLIN, 0});
        owners.push_back(socket);
    }
    if (fds.empty() || PollFor(fds, Timeout) <= 0) return false;
    for (std::size_t i = 0; i < fds.size(); ++i) {
        if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) CanReadList.push_back(owners[i]);
    }
    return !CanReadList.empty();
}

}  // namespace lunaro::net
