#pragma once
// The wildcard matcher used by name lookup and selection. A pattern holds
// one or more alternatives separated by "|" or control characters; "*"
// matches any run of characters (path separators included), "?" any one
// character but a backslash. Letter case is ignored, "/" counts as "\", and
// an alternative with a "." matches main part and extension separately.
#include <string>
#include <string_view>
#include <vector>

namespace lunaro::archive {

// A pattern prepared once for matching many names.
class TFNPattern {
public:
    explicit TFNPattern(std::string_view pattern);
    bool Matches(std::string_view name) const;

private:
    struct Spec {
        std::u32string main;
        std::u32string ext;
        bool hasDot = false;
        bool matchesAll = false;
    };
    std::vector<Spec> specs_;
    bool patternEmpty_;
};

// False when exactly one of pattern and name is empty.
bool FNMatch(std::string_view pattern, std::string_view name);

}  // namespace lunaro::archive
