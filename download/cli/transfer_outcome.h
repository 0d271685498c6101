#pragma once
// What lunaro-download tells its user when a transfer is over.
#include <string>

#include "download/download_types.h"
#include "download/transfer_verdict.h"

namespace lunaro::download::cli {

struct TTransferOutcome {
    bool Succeeded = false;
    std::string Message;  // one line, without the program name
};

// Paths in facts are printed as they are: the caller gives host paths.
TTransferOutcome DescribeOutcome(const TTransferFacts& facts);

// An error that stopped the download before its transfer, with what the
// user can do about it, or why the server would not let it start.
std::string DescribeStartError(const ENexoDownloadError& error, const TTransferReply& reply);

}  // namespace lunaro::download::cli
