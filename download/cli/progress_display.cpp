#include "download/cli/progress_display.h"

#include <algorithm>
#include <cmath>

namespace lunaro::download::cli {

namespace {

constexpr int kBarWidth = 24;
constexpr auto kTerminalInterval = std::chrono::milliseconds(200);
constexpr auto kPlainInterval = std::chrono::seconds(5);

std::string Printf(const char* format, double value, const char* unit) {
    char text[64];
    std::snprintf(text, sizeof text, format, value, unit);
    return text;
}

}  // namespace

std::string FormatBytes(int64_t bytes) {
    if (bytes < 1024) return std::to_string(std::max<int64_t>(bytes, 0)) + " B";
    static const char* const kUnits[] = {"KiB", "MiB", "GiB", "TiB"};
    double value = static_cast<double>(bytes) / 1024.0;
    size_t unit = 0;
    while (value >= 1024.0 && unit + 1 < std::size(kUnits)) {
        value /= 1024.0;
        ++unit;
    }
    return Printf("%.1f %s", value, kUnits[unit]);
}

std::string FormatDuration(int64_t seconds) {
    seconds = std::max<int64_t>(seconds, 0);
    char text[48];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return text;
}

std::string FormatProgress(const TProgressFigures& figures, bool withBar) {
    const bool sizeKnown = figures.Total > 0;
    const double fraction =
        sizeKnown ? std::clamp(static_cast<double>(figures.Downloaded) / static_cast<double>(figures.Total), 0.0, 1.0)
                  : 0.0;
    std::string text;
    if (withBar && sizeKnown) {
        const int filled = static_cast<int>(fraction * kBarWidth);
        text += "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '-') + "] ";
    }
    if (sizeKnown) text += Printf("%5.1f%s", fraction * 100.0, "%") + "  ";
    text += FormatBytes(figures.Downloaded);
    if (sizeKnown) text += " / " + FormatBytes(figures.Total);
    const double bytesPerSecond = figures.SpeedKBs * 1024.0;
    text += "  " + FormatBytes(static_cast<int64_t>(bytesPerSecond)) + "/s";
    if (sizeKnown && bytesPerSecond > 0 && figures.Downloaded <= figures.Total) {
        const double left = static_cast<double>(figures.Total - figures.Downloaded) / bytesPerSecond;
        text += "  " + FormatDuration(static_cast<int64_t>(std::ceil(left))) + " left";
    }
    return text;
}

// The first line waits one interval: the first reports, read with the reply
// headers, carry no size and no meaningful speed yet.
TProgressDisplay::TProgressDisplay(std::FILE* out, bool terminal)
    : out_(out), terminal_(terminal), lastShown_(std::chrono::steady_clock::now()) {}

void TProgressDisplay::Update(const TProgressFigures& figures) {
    last_ = figures;
    pending_ = true;
    const auto now = std::chrono::steady_clock::now();
    const auto interval = terminal_ ? std::chrono::steady_clock::duration(kTerminalInterval)
                                    : std::chrono::steady_clock::duration(kPlainInterval);
    if (now - lastShown_ < interval) return;
    lastShown_ = now;
    Show(figures);
}

void TProgressDisplay::Finish() {
    if (pending_) Show(last_);
    if (terminal_ && lastWidth_ > 0) std::fputc('\n', out_);
    std::fflush(out_);
    lastWidth_ = 0;
}

void TProgressDisplay::Finish(const TProgressFigures& final) {
    last_ = final;
    pending_ = true;
    Finish();
}

void TProgressDisplay::Show(const TProgressFigures& figures) {
    pending_ = false;
    const std::string text = FormatProgress(figures, terminal_);
    if (terminal_) {
        // Spaces wipe what a longer previous line left behind.
        const size_t pad = lastWidth_ > text.size() ? lastWidth_ - text.size() : 0;
        std::fprintf(out_, "\r%s%s", text.c_str(), std::string(pad, ' ').c_str());
        lastWidth_ = text.size();
    } else {
        std::fprintf(out_, "%s\n", text.c_str());
    }
    std::fflush(out_);
}

}  // namespace lunaro::download::cli
