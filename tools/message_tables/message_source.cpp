#include "tools/message_tables/message_source.h"

#include <cctype>
#include <charconv>

#include "platform/utf8.h"

namespace lunaro::tools {

namespace {

class LineParser {
public:
    LineParser(std::string_view line, const std::string& where) : line_(line), where_(where) {}

    void SkipBlanks() {
        while (pos_ < line_.size() && (line_[pos_] == ' ' || line_[pos_] == '\t')) ++pos_;
    }

    bool AtEnd() {
        SkipBlanks();
        return pos_ >= line_.size();
    }

    std::string_view Word() {
        SkipBlanks();
        const size_t start = pos_;
        while (pos_ < line_.size() && line_[pos_] != ' ' && line_[pos_] != '\t') ++pos_;
        return line_.substr(start, pos_ - start);
    }

    long Number(long low, long high, const char* what) {
        const std::string_view word = Word();
        long value = 0;
        const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
        if (word.empty() || ec != std::errc() || end != word.data() + word.size() || value < low || value > high)
            Fail(std::string("bad ") + what + " '" + std::string(word) + "'");
        return value;
    }

    std::string Quoted() {
        SkipBlanks();
        if (pos_ >= line_.size() || line_[pos_] != '"') Fail("text must start with a double quote");
        ++pos_;
        std::string text;
        while (pos_ < line_.size() && line_[pos_] != '"') {
            char c = line_[pos_++];
            if (c == '\\') {
                if (pos_ >= line_.size()) break;
                const char escaped = line_[pos_++];
                if (escaped == 'n') c = '\n';
                else if (escaped == '"' || escaped == '\\') c = escaped;
                else Fail(std::string("unknown escape \\") + escaped);
            }
            text += c;
        }
        if (pos_ >= line_.size()) Fail("text has no closing double quote");
        ++pos_;
        if (!platform::IsValidUtf8(text)) Fail("text is not valid UTF-8");
        return text;
    }

    [[noreturn]] void Fail(const std::string& problem) const { throw MessageSourceError(where_ + ": " + problem); }

private:
    std::string_view line_;
    std::string where_;
    size_t pos_ = 0;
};

bool IsCodeName(std::string_view name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
    for (char c : name)
        if (!std::isupper(static_cast<unsigned char>(c)) && !std::isdigit(static_cast<unsigned char>(c)) && c != '_')
            return false;
    return true;
}

}  // namespace

MessageSource ParseMessageSource(std::string_view text, const std::string& origin) {
    MessageSource source;
    bool haveLanguage = false;
    int lineNumber = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        LineParser parser(line, origin + ":" + std::to_string(lineNumber));
        if (parser.AtEnd() || line.find_first_not_of(" \t") == line.find('#')) continue;
        if (!haveLanguage) {
            if (parser.Word() != "language") parser.Fail("expected 'language LCID NAME' first");
            source.lcid = static_cast<uint16_t>(parser.Number(1, 0xFFFF, "language identifier"));
            source.name = std::string(parser.Word());
            if (!IsCodeName(source.name)) parser.Fail("code name must be upper-case letters, digits or '_'");
            haveLanguage = true;
        } else {
            const int ident = static_cast<int>(parser.Number(0, kMaxMessageIdent, "identifier"));
            std::string value = parser.Quoted();
            if (source.texts.count(ident) != 0) parser.Fail("identifier " + std::to_string(ident) + " given twice");
            source.texts.emplace(ident, std::move(value));
        }
        if (!parser.AtEnd()) parser.Fail("unexpected text after the end of the line");
    }
    if (!haveLanguage) throw MessageSourceError(origin + ": no 'language' line");
    return source;
}

}  // namespace lunaro::tools
