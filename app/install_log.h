#pragma once
// The unattended mode's log: time-stamped lines appended to a file, echoed
// to the terminal (standard error) when asked to.
#include <cstdio>
#include <string>

namespace lunaro::app {

class InstallLog {
public:
    // An empty file name keeps no file. Opened() tells whether a named file
    // could be opened for appending.
    InstallLog(const std::string& file, bool echo);
    ~InstallLog();
    InstallLog(const InstallLog&) = delete;
    InstallLog& operator=(const InstallLog&) = delete;

    bool Opened() const { return file_ != nullptr || fileName_.empty(); }
    bool Echoes() const { return echo_; }
    // Line breaks inside the text (LF, CR LF or a lone CR) continue the entry
    // on indented lines.
    void Write(const std::string& text);

private:
    std::string fileName_;
    std::FILE* file_ = nullptr;
    bool echo_;
};

}  // namespace lunaro::app
