#include "download/cli/transfer_outcome.h"

#include "platform/printable_text.h"

namespace lunaro::download::cli {

namespace {

std::string SocketProblem(const TTransferReply& reply) {
    return reply.SocketErrorDesc + " (socket error " + std::to_string(reply.SocketError) + ")";
}

// The reply's code and its text, made safe to print.
std::string ServerAnswer(const TTransferReply& reply) {
    std::string answer = std::to_string(reply.Code);
    if (!reply.Text.empty()) answer += " " + platform::PrintableText(reply.Text);
    return answer;
}

std::string ResumeHint(const TTransferFacts& facts) {
    if (facts.PartFileSize <= 0) return "";
    return "; " + std::to_string(facts.PartFileSize) + " bytes are kept in " + facts.PartFile +
           ", run again to resume";
}

std::string Failure(const TTransferFacts& facts) {
    const TTransferReply& reply = facts.Reply;
    switch (JudgeTransfer(facts)) {
        case TTransferVerdict::Saved:
            return "";
        case TTransferVerdict::FileMissing:
            return "the file " + facts.FinalFile + " is not in the folder";
        case TTransferVerdict::Incomplete:
            return "the file " + facts.FinalFile + " has " + std::to_string(facts.FinalFileSize) + " bytes, not the " +
                   std::to_string(facts.ExpectedSize) + " announced";
        case TTransferVerdict::CutShort:
            return "the transfer was cut short: " +
                   (reply.SocketError != 0 ? SocketProblem(reply) : "the connection ended early");
        case TTransferVerdict::Unreachable:
            return "cannot reach the server: " + SocketProblem(reply);
        case TTransferVerdict::NotUnderstood:
            return "the server did not answer with HTTP" +
                   (reply.SocketError != 0 ? ": " + SocketProblem(reply) : std::string());
        case TTransferVerdict::Refused:
            break;
    }
    return "the server answered " + ServerAnswer(reply);
}

}  // namespace

std::string DescribeStartError(const ENexoDownloadError& error, const TTransferReply& reply) {
    switch (error.Id()) {
        case TDownloadErrorId::NoFileName:
            return error.Message() + " (the URL names no file: use --name=NAME)";
        case TDownloadErrorId::LoginFailed:
            if (reply.Received) return error.Message() + " (the server answered " + ServerAnswer(reply) + ")";
            if (reply.SocketError != 0) return error.Message() + " (cannot reach the server: " + SocketProblem(reply) + ")";
            return error.Message() + " (no FTP host in the URL)";
        default:
            return error.Message();
    }
}

TTransferOutcome DescribeOutcome(const TTransferFacts& facts) {
    if (JudgeTransfer(facts) == TTransferVerdict::Saved) return {true, "saved " + facts.FinalFile};
    return {false, Failure(facts) + ResumeHint(facts)};
}

}  // namespace lunaro::download::cli
