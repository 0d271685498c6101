#pragma once
// Transfer progress on a terminal: the status line rewritten in place on an
// interactive terminal, otherwise a line at most every few seconds, so a
// log collector is not flooded.
#include <chrono>
#include <cstdio>

#include "app/progress_view.h"

namespace lunaro::app {

class TerminalProgress : public ProgressView {
public:
    // A null stream shows nothing.
    explicit TerminalProgress(std::FILE* stream);
    ~TerminalProgress() override;

    void SetProgressMaximum(int32_t) override {}
    void SetProgressPosition(int32_t) override {}
    void SetConnectionInfo(const std::string& text) override;

private:
    std::FILE* stream_;
    bool interactive_;
    bool lineOpen_ = false;
    std::chrono::steady_clock::time_point lastShown_{};
};

}  // namespace lunaro::app
