#include "download/cli/transfer_outcome.h"

#include "platform/printable_text.h"

namespace lunaro::download::cli {

namespace {

std::string SocketProblem(const TTransferReply& reply) {
    return platform::PrintableText(reply.SocketErrorDesc) + " (socket error " + std::to_string(reply.SocketError) + ")";
}

// The reply's code and its text, made safe to print.
std::string ServerAnswer(const TTransferReply& reply) {
    std::string answer = std::to_string(reply.Code);
    if (!reply.Text.empty()) answer += " " + platform::PrintableText(reply.Text);
    return answer;
}

std::string ResumeHint(const TTransferFacts& facts) {
    if (facts.PartFileSize <= 0) return "";
    return "; " + std::to_string(facts.PartFileSize) + " bytes are kept in " + platform::PrintableText(facts.PartFile) +
           ", run again to resume";
}

std::string RefusalText(const TTransferReply& reply) {
    const std::string detail =
        reply.RefusalDetail.empty() ? "" : " (\"" + platform::PrintableText(reply.RefusalDetail) + "\")";
    switch (reply.Refusal) {
        case TReplyRefusal::WrongRange:
            return "the server sent bytes that do not continue the partial file" + detail;
        case TReplyRefusal::NotTheRest:
            return "the server answered the resume with neither the missing bytes nor the whole file";
        case TReplyRefusal::NotTheFile:
            return "the server answered " + std::to_string(reply.Code) + ", which brings no file";
        case TReplyRefusal::RedirectRefused:
            return "the server redirected to an address that is not fetched" + detail;
        case TReplyRefusal::None:
            break;
    }
    return "the server's answer was not taken";
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
        case TTransferVerdict::Mismatch:
            return RefusalText(reply);
        case TTransferVerdict::Refused:
            break;
    }
    std::string answer = "the server answered " + ServerAnswer(reply);
    if (!reply.MovedTo.empty()) answer += "; the file moved to " + platform::PrintableText(reply.MovedTo);
    return answer;
}

}  // namespace

std::string DescribeStartError(const ENexoDownloadError& error, const TTransferReply& reply) {
    switch (error.Id()) {
        case TDownloadErrorId::NoFileName:
        case TDownloadErrorId::UnusableName:
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
    if (JudgeTransfer(facts) == TTransferVerdict::Saved) {
        return {true, "saved " + platform::PrintableText(facts.FinalFile)};
    }
    return {false, Failure(facts) + ResumeHint(facts)};
}

}  // namespace lunaro::download::cli
