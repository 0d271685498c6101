#include "platform/charset_conversion.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

#include "platform/utf8.h"

namespace lunaro::platform {

namespace {

class Converter {
public:
    Converter(const std::string& from, const std::string& to) : cd_(::iconv_open(to.c_str(), from.c_str())) {}
    ~Converter() {
        if (Valid()) ::iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Handle() const { return cd_; }

private:
    iconv_t cd_;
};

// How far to skip past a sequence the converter refused: a whole UTF-8
// sequence when the source is UTF-8 (so one character gives one '?'), else
// one byte.
size_t RefusedLength(std::string_view rest, bool fromUtf8) {
    if (!fromUtf8) return 1;
    size_t pos = 0;
    DecodeUtf8(rest, pos);
    return pos == 0 ? 1 : pos;
}

// The replacement character in the target set ('?' in every set that keeps
// ASCII, something else in the few that do not).
std::string ReplacementIn(const std::string& to) {
    Converter converter("UTF-8", to);
    if (!converter.Valid()) return "?";
    char in[] = "?";
    char out[8];
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = 1;
    size_t outLeft = sizeof out;
    if (::iconv(converter.Handle(), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) return "?";
    return std::string(out, static_cast<size_t>(outPtr - out));
}

bool IsUtf8Name(const std::string& name) { return name == "UTF-8" || name == "UTF8" || name == "utf-8"; }

}  // namespace

bool CharsetAvailable(const std::string& from, const std::string& to) { return Converter(from, to).Valid(); }

std::optional<std::string> ConvertCharset(std::string_view bytes, const std::string& from, const std::string& to,
                                          bool* exact) {
    Converter converter(from, to);
    if (!converter.Valid()) return std::nullopt;
    const std::string replacement = ReplacementIn(to);
    const bool fromUtf8 = IsUtf8Name(from);

    std::string out;
    std::vector<char> input(bytes.begin(), bytes.end());
    char* inPtr = input.data();
    size_t inLeft = input.size();
    std::vector<char> chunk(4096);
    while (inLeft > 0) {
        char* outPtr = chunk.data();
        size_t outLeft = chunk.size();
        const size_t result = ::iconv(converter.Handle(), &inPtr, &inLeft, &outPtr, &outLeft);
        const int err = errno;
        out.append(chunk.data(), chunk.size() - outLeft);
        if (result != static_cast<size_t>(-1) || err == E2BIG) continue;
        if (exact) *exact = false;
        out += replacement;
        if (err == EILSEQ) {
            const size_t skip = std::min(inLeft, RefusedLength(std::string_view(inPtr, inLeft), fromUtf8));
            inPtr += skip;
            inLeft -= skip;
        } else {
            inLeft = 0;  // EINVAL: the input ends inside a sequence
        }
    }
    char* outPtr = chunk.data();
    size_t outLeft = chunk.size();
    ::iconv(converter.Handle(), nullptr, nullptr, &outPtr, &outLeft);
    out.append(chunk.data(), chunk.size() - outLeft);
    return out;
}

}  // namespace lunaro::platform
