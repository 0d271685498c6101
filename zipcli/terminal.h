#pragma once
// What lunaro-zip does only on a terminal: asking questions and drawing a
// progress bar on stderr.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace lunaro::zipcli {

// True when both stdin and stderr are terminals, so a question can be
// asked and answered.
bool CanAsk();

// Text from an archive made safe for a terminal: control characters as '?'.
std::string Printable(std::string_view text);

enum class Answer { Yes, No, All, None };

// Asks on stderr and reads a line from stdin; the end of input answers None.
Answer AskOverwrite(const std::string& name);

// Reads a password without echo; nullopt-like empty result when the input
// ends or the user just presses Enter.
std::string AskPassword(const std::string& name);

// A one-line bar on stderr that appears only once a run has taken a while,
// and is redrawn a few times a second at most.
class TProgressBar {
public:
    explicit TProgressBar(std::FILE* to);
    ~TProgressBar() { Finish(); }
    void Update(int64_t position, int64_t total);
    // Clears the line when the bar was shown (before other output, too).
    void Finish();

private:
    std::FILE* to_;
    bool enabled_;
    bool shown_ = false;
    uint64_t startMs_;
    uint64_t lastDrawMs_ = 0;
};

}  // namespace lunaro::zipcli
