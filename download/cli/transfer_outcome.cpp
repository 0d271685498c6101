#include "download/cli/transfer_outcome.h"

namespace lunaro::download::cli {

namespace {

std::string SocketProblem(const TTransferFacts& facts) {
    return facts.SocketErrorDesc + " (socket error " + std::to_string(facts.SocketError) + ")";
}

std::string ResumeHint(const TTransferFacts& facts) {
    if (facts.PartFileSize <= 0) return "";
    return "; " + std::to_string(facts.PartFileSize) + " bytes are kept in " + facts.PartFile +
           ", run again to resume";
}

}  // namespace

TTransferOutcome DescribeOutcome(const TTransferFacts& facts) {
    if (facts.Finished && facts.FinalFileExists) return {true, "saved " + facts.FinalFile};
    const int32_t code = facts.ResultCode;
    if (code == 200 || code == 206) {
        const std::string why = facts.SocketError != 0 ? SocketProblem(facts) : "the connection ended early";
        return {false, "the transfer was cut short: " + why + ResumeHint(facts)};
    }
    if (code == 500 && facts.ResultString.empty() && facts.SocketError != 0) {
        return {false, "cannot reach the server: " + SocketProblem(facts) + ResumeHint(facts)};
    }
    if (code == 0) {
        std::string why = "the server did not answer with HTTP";
        if (facts.SocketError != 0) why += ": " + SocketProblem(facts);
        return {false, why + ResumeHint(facts)};
    }
    std::string reply = "the server answered " + std::to_string(code);
    if (!facts.ResultString.empty()) reply += " " + facts.ResultString;
    return {false, reply + ResumeHint(facts)};
}

}  // namespace lunaro::download::cli
