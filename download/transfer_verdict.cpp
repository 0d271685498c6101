#include "download/transfer_verdict.h"

#include "download/nexo_download_class.h"
#include "platform/files.h"

namespace lunaro::download {

TTransferFacts CollectTransferFacts(const TNexoDownloadClass& worker) {
    TTransferFacts facts;
    facts.Reply = worker.LastReply();
    facts.Finished = worker.Finished();
    facts.FinalFile = worker.FinalFileName();
    facts.FinalFileExists = platform::FileExists(facts.FinalFile);
    if (facts.FinalFileExists) facts.FinalFileSize = platform::FileSize(facts.FinalFile);
    facts.PartFile = worker.FilePart();
    if (!facts.PartFile.empty() && platform::FileExists(facts.PartFile)) {
        facts.PartFileSize = platform::FileSize(facts.PartFile);
    }
    // A reply that brings no file (a 416 proving the partial file whole)
    // announces the size of its note, not of the file.
    if (facts.Reply.CarriesFile && worker.DownloadSize() > 0) facts.ExpectedSize = worker.BytesResumed() + worker.DownloadSize();
    return facts;
}

TTransferVerdict JudgeTransfer(const TTransferFacts& facts) {
    if (facts.Finished) {
        if (!facts.FinalFileExists) return TTransferVerdict::FileMissing;
        if (facts.ExpectedSize >= 0 && facts.FinalFileSize != facts.ExpectedSize) return TTransferVerdict::Incomplete;
        return TTransferVerdict::Saved;
    }
    const TTransferReply& reply = facts.Reply;
    if (reply.Refusal != TReplyRefusal::None) return TTransferVerdict::Mismatch;
    if (!reply.Received) {
        return reply.SocketError != 0 ? TTransferVerdict::Unreachable : TTransferVerdict::Refused;
    }
    if (!reply.Understood) return TTransferVerdict::NotUnderstood;
    return reply.CarriesFile ? TTransferVerdict::CutShort : TTransferVerdict::Refused;
}

}  // namespace lunaro::download
