#include "archive/directory/fn_match.h"

#include <algorithm>

#include "platform/text_case.h"
#include "platform/utf8.h"

namespace lunaro::archive {

namespace {

// Upper-cased code points with "/" turned into "\". Entry names must match
// the same way on every machine, so the locale-independent mapping is used.
std::u32string Fold(std::string_view text) {
    const std::string upper = platform::InvariantUpperCase(text);
    std::u32string out;
    out.reserve(upper.size());
    size_t pos = 0;
    while (pos < upper.size()) {
        const size_t start = pos;
        char32_t cp = platform::DecodeUtf8(upper, pos);
        if (cp == platform::kInvalidCodePoint) cp = static_cast<uint8_t>(upper[start]);
        out.push_back(cp == U'/' ? U'\\' : cp);
    }
    return out;
}

bool AllStars(std::u32string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char32_t c) { return c == U'*'; });
}

bool HasStar(std::u32string_view s) { return s.find(U'*') != std::u32string_view::npos; }

// Position of the "." that separates main part and extension, or npos: the
// last one after the last "\" or ":", never the very first character.
size_t ExtensionDot(std::u32string_view s) {
    const size_t dot = s.rfind(U'.');
    if (dot == std::u32string_view::npos || dot == 0) return std::u32string_view::npos;
    const size_t sep = s.find_last_of(U"\\:");
    if (sep != std::u32string_view::npos && sep > dot) return std::u32string_view::npos;
    return dot;
}

// "?" matches one character but "\", a run of stars any run at all.
bool MatchPart(std::u32string_view pat, std::u32string_view s) {
    if (AllStars(pat)) return true;
    size_t p = 0, i = 0;
    size_t resumeP = std::u32string_view::npos, resumeI = 0;
    while (i < s.size()) {
        if (p < pat.size() && pat[p] == U'*') {
            while (p < pat.size() && pat[p] == U'*') ++p;
            resumeP = p;
            resumeI = i;
        } else if (p < pat.size() && (pat[p] == s[i] || (pat[p] == U'?' && s[i] != U'\\'))) {
            ++p;
            ++i;
        } else if (resumeP != std::u32string_view::npos) {
            p = resumeP;
            i = ++resumeI;
        } else {
            return false;
        }
    }
    while (p < pat.size() && pat[p] == U'*') ++p;
    return p == pat.size();
}

bool IsSeparator(char32_t c) { return c == U'|' || c < 0x20; }

}  // namespace

TFNPattern::TFNPattern(std::string_view pattern) : patternEmpty_(pattern.empty()) {
    const std::u32string folded = Fold(pattern);
    size_t pos = 0;
    while (pos <= folded.size()) {
        size_t end = pos;
        while (end < folded.size() && !IsSeparator(folded[end])) ++end;
        std::u32string_view text(folded.data() + pos, end - pos);
        // Blanks next to a separator or the end do not belong to the pattern.
        while (!text.empty() && text.front() == U' ') text.remove_prefix(1);
        while (!text.empty() && text.back() == U' ') text.remove_suffix(1);
        if (!text.empty()) {
            Spec spec;
            const size_t dot = ExtensionDot(text);
            spec.hasDot = dot != std::u32string_view::npos;
            spec.main = spec.hasDot ? text.substr(0, dot) : text;
            if (spec.hasDot) spec.ext = text.substr(dot + 1);
            spec.matchesAll = AllStars(spec.main) && (!spec.hasDot || AllStars(spec.ext));
            specs_.push_back(std::move(spec));
        }
        pos = end + 1;
    }
}

bool TFNPattern::Matches(std::string_view name) const {
    if (patternEmpty_ || name.empty()) return patternEmpty_ && name.empty();
    std::u32string folded = Fold(name);
    size_t skip = 0;
    while (skip < folded.size() && folded[skip] <= U' ') ++skip;
    const std::u32string_view whole(folded.data() + skip, folded.size() - skip);
    const size_t dot = ExtensionDot(whole);
    const std::u32string_view nameMain = dot == std::u32string_view::npos ? whole : whole.substr(0, dot);
    const std::u32string_view nameExt =
        dot == std::u32string_view::npos ? std::u32string_view() : whole.substr(dot + 1);

    for (const Spec& spec : specs_) {
        if (spec.matchesAll) return true;
        if (!HasStar(spec.main) && spec.main.size() != nameMain.size()) continue;
        if (!spec.ext.empty() && !HasStar(spec.ext) && spec.ext.size() != nameExt.size()) continue;
        if (!spec.hasDot) {
            if (MatchPart(spec.main, whole)) return true;
            continue;
        }
        if (AllStars(spec.ext)) {
            // any extension, or none
        } else if (spec.ext.empty()) {
            if (!nameExt.empty()) continue;
        } else if (nameExt.empty() || !MatchPart(spec.ext, nameExt)) {
            continue;
        }
        if (MatchPart(spec.main, nameMain)) return true;
    }
    return false;
}

bool FNMatch(std::string_view pattern, std::string_view name) { return TFNPattern(pattern).Matches(name); }

}  // namespace lunaro::archive
