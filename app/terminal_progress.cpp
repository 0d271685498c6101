#include "app/terminal_progress.h"

#include <unistd.h>

#include <string>

#include "app/progress_display.h"

namespace lunaro::app {

namespace {

constexpr std::chrono::seconds kLineInterval{5};

bool IsStateText(const std::string& text) {
    return text == kTransferFinishedText || text == kTransferStoppedText || text == kTransferPausedText;
}

}  // namespace

TerminalProgress::TerminalProgress(std::FILE* stream)
    : stream_(stream), interactive_(stream && ::isatty(::fileno(stream))) {}

TerminalProgress::~TerminalProgress() {
    if (lineOpen_) std::fputc('\n', stream_);
}

void TerminalProgress::SetConnectionInfo(const std::string& text) {
    if (!stream_) return;
    if (interactive_) {
        // Pad so a shorter line covers the previous one.
        std::fprintf(stream_, "\r%-64s", text.c_str());
        lineOpen_ = true;
        if (IsStateText(text)) {
            std::fputc('\n', stream_);
            lineOpen_ = false;
        }
        std::fflush(stream_);
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!IsStateText(text) && now - lastShown_ < kLineInterval) return;
    lastShown_ = now;
    std::fprintf(stream_, "%s\n", text.c_str());
    std::fflush(stream_);
}

}  // namespace lunaro::app
