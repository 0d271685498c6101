#include "zipcli/terminal.h"

#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <iostream>

namespace lunaro::zipcli {

namespace {

// A bar for a run that ends quickly would only flicker.
constexpr uint64_t kShowAfterMs = 1000;
constexpr uint64_t kRedrawMs = 200;
constexpr int kBarWidth = 30;

uint64_t NowMs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

bool ReadLine(std::string& line) {
    line.clear();
    return static_cast<bool>(std::getline(std::cin, line));
}

}  // namespace

bool CanAsk() { return ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO); }

std::string Printable(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) c = '?';
    }
    return out;
}

Answer AskOverwrite(const std::string& name) {
    for (;;) {
        std::fprintf(stderr, "replace %s? [y]es, [n]o, [A]ll, [N]one: ", Printable(name).c_str());
        std::fflush(stderr);
        std::string line;
        if (!ReadLine(line)) {
            std::fputc('\n', stderr);
            return Answer::None;
        }
        if (line == "y" || line == "yes" || line == "Y") return Answer::Yes;
        if (line == "n" || line == "no") return Answer::No;
        if (line == "A" || line == "all") return Answer::All;
        if (line == "N" || line == "none") return Answer::None;
    }
}

std::string AskPassword(const std::string& name) {
    std::fprintf(stderr, "password for %s: ", Printable(name).c_str());
    std::fflush(stderr);
    termios saved{};
    const bool quiet = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (quiet) {
        termios silent = saved;
        silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &silent);
    }
    std::string line;
    ReadLine(line);
    if (quiet) ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    std::fputc('\n', stderr);
    return line;
}

TProgressBar::TProgressBar(std::FILE* to) : to_(to), enabled_(::isatty(::fileno(to)) != 0), startMs_(NowMs()) {}

void TProgressBar::Update(int64_t position, int64_t total) {
    if (!enabled_ || total <= 0) return;
    const uint64_t now = NowMs();
    if (now - startMs_ < kShowAfterMs || now - lastDrawMs_ < kRedrawMs) return;
    lastDrawMs_ = now;
    if (position < 0) position = 0;
    if (position > total) position = total;
    const int percent = static_cast<int>(position * 100 / total);
    const int filled = static_cast<int>(position * kBarWidth / total);
    std::string bar(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(kBarWidth - filled), ' ');
    std::fprintf(to_, "\r[%s] %3d%%  %lld MiB", bar.c_str(), percent,
                 static_cast<long long>(position >> 20));
    std::fflush(to_);
    shown_ = true;
}

void TProgressBar::Finish() {
    if (!shown_) return;
    std::fprintf(to_, "\r\033[K");
    std::fflush(to_);
    shown_ = false;
}

}  // namespace lunaro::zipcli
