#include "app/install_log.h"

#include "platform/date_time.h"

namespace lunaro::app {

namespace {

std::string Timestamp() { return platform::LocalTimeText("%Y-%m-%d %H:%M:%S"); }

std::string Indented(const std::string& text) {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        result += (c == '\r' || c == '\n') ? std::string("\n    ") : std::string(1, c);
    }
    return result;
}

}  // namespace

InstallLog::InstallLog(const std::string& file, bool echo) : fileName_(file), echo_(echo) {
    if (!file.empty()) file_ = std::fopen(file.c_str(), "a");
}

InstallLog::~InstallLog() {
    if (file_) std::fclose(file_);
}

void InstallLog::Write(const std::string& text) {
    const std::string entry = Indented(text) + "\n";
    if (file_) {
        std::fputs((Timestamp() + " " + entry).c_str(), file_);
        std::fflush(file_);
    }
    if (echo_) std::fputs(entry.c_str(), stderr);
}

}  // namespace lunaro::app
