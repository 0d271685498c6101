#include "app/transfer_outcome.h"

#include "app/failure_reason_text.h"
#include "platform/printable_text.h"

namespace lunaro::app {

namespace {

using download::TTransferVerdict;

std::string SocketProblem(const download::TTransferReply& reply) {
    return SocketFailureText(reply.SocketError, platform::PrintableText(reply.SocketErrorDesc));
}

std::string NotTaken(const download::TTransferReply& reply) {
    switch (reply.Refusal) {
        case download::TReplyRefusal::RedirectRefused:
            return "o servidor redirecionou para um endereço que não é http nem https";
        case download::TReplyRefusal::NotTheFile:
            return "o servidor respondeu " + std::to_string(reply.Code) + ", que não traz o arquivo";
        case download::TReplyRefusal::WrongRange:
        case download::TReplyRefusal::NotTheRest:
        case download::TReplyRefusal::None:
            break;
    }
    return "a resposta do servidor não continua o arquivo parcial; ele foi mantido como estava";
}

std::string ServerAnswered(const download::TTransferReply& reply) {
    return "o servidor respondeu " + std::to_string(reply.Code) +
           (reply.Text.empty() ? "" : " " + platform::PrintableText(reply.Text));
}

}  // namespace

std::optional<std::string> TransferFailure(const download::TTransferFacts& facts) {
    const download::TTransferReply& reply = facts.Reply;
    switch (download::JudgeTransfer(facts)) {
        case TTransferVerdict::Saved:
            return std::nullopt;
        case TTransferVerdict::FileMissing:
            return "o arquivo " + facts.FinalFile + " não ficou na pasta";
        case TTransferVerdict::Incomplete:
            return "o arquivo veio incompleto (" + std::to_string(facts.FinalFileSize) + " de " +
                   std::to_string(facts.ExpectedSize) + " bytes)";
        case TTransferVerdict::CutShort:
            return reply.SocketError == 0 ? std::string("a transferência terminou antes do fim do arquivo")
                                          : SocketProblem(reply);
        case TTransferVerdict::Unreachable:
            return SocketProblem(reply);
        case TTransferVerdict::NotUnderstood:
            if (reply.SocketError != 0) return SocketProblem(reply);
            return ServerAnswered(reply);
        case TTransferVerdict::Mismatch:
            return NotTaken(reply);
        case TTransferVerdict::Refused:
            return ServerAnswered(reply);
    }
    return ServerAnswered(reply);
}

}  // namespace lunaro::app
