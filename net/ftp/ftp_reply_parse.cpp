// Reading the data-connection address out of PASV and EPSV replies.
#include <cctype>

#include "net/ftp/decimal_text.h"
#include "net/ftp/ftp_send.h"
#include "net/text_utils.h"

namespace lunaro::net {

bool ParsePasvReply(const std::string& Reply, std::string& IP, int& Port) {
    std::string text;
    const size_t open = Reply.find('(');
    const size_t close = open == std::string::npos ? std::string::npos : Reply.find(')', open);
    if (open != std::string::npos && close != std::string::npos) {
        text = Reply.substr(open + 1, close - open - 1);
    } else {
        const size_t space = Reply.rfind(' ');
        text = space == std::string::npos ? Reply : Reply.substr(space + 1);
    }
    int64_t parts[6];
    for (int i = 0; i < 6; ++i) {
        const bool last = i == 5;
        if (!last && text.find(',') == std::string::npos) return false;
        parts[i] = DecimalOr(Trim(last ? text : TextBefore(text, ",")), -1);
        if (parts[i] < 0 || parts[i] > 255) return false;
        if (!last) text = TextAfter(text, ",");
    }
    IP = std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." + std::to_string(parts[2]) + "." +
         std::to_string(parts[3]);
    Port = static_cast<int>(parts[4] * 256 + parts[5]);
    return true;
}

int ParseEpsvReply(const std::string& Reply) {
    const size_t open = Reply.find('(');
    const size_t close = open == std::string::npos ? std::string::npos : Reply.find(')', open);
    if (close == std::string::npos) return -1;
    std::string text = Trim(Reply.substr(open + 1, close - open - 1));
    if (text.empty()) return -1;
    text.pop_back();  // the closing delimiter
    size_t start = text.size();
    while (start > 0 && std::isdigit(static_cast<unsigned char>(text[start - 1]))) --start;
    const int64_t port = DecimalOr(text.substr(start), -1);
    return port > 0 && port <= 65535 ? static_cast<int>(port) : -1;
}

}  // namespace lunaro::net
