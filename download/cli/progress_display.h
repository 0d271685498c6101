#pragma once
// The progress of one download on standard error: a bar redrawn in place on
// a terminal, plain lines at longer intervals otherwise.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace lunaro::download::cli {

// "512 B", "12.3 KiB", "1.5 MiB", "2.0 GiB".
std::string FormatBytes(int64_t bytes);
// "00:01:05"; hours beyond 99 are written in full.
std::string FormatDuration(int64_t seconds);

struct TProgressFigures {
    int64_t Downloaded = 0;
    int64_t Total = 0;         // 0 or less: size unknown
    double SpeedKBs = 0;       // average, 1 KB = 1024 bytes
};

// One progress text. With a bar (terminal) the line starts with the bar;
// percentage and time left appear only when the size is known and a speed
// has been measured.
std::string FormatProgress(const TProgressFigures& figures, bool withBar);

class TProgressDisplay {
public:
    TProgressDisplay(std::FILE* out, bool terminal);
    // Shows the figures unless the last line is too recent.
    void Update(const TProgressFigures& figures);
    // Shows the last figures and ends the line.
    void Finish();
    // The same, with the figures of a transfer known to be complete.
    void Finish(const TProgressFigures& final);

private:
    void Show(const TProgressFigures& figures);

    std::FILE* out_;
    bool terminal_;
    std::chrono::steady_clock::time_point lastShown_;
    TProgressFigures last_;
    bool pending_ = false;  // figures arrived that are not on screen yet
    size_t lastWidth_ = 0;
};

}  // namespace lunaro::download::cli
