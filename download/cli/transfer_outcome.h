#pragma once
// What lunaro-download tells its user when a transfer is over.
#include <string>

#include "download/transfer_verdict.h"

namespace lunaro::download::cli {

struct TTransferOutcome {
    bool Succeeded = false;
    std::string Message;  // one line, without the program name
};

// Paths in facts are printed as they are: the caller gives host paths.
TTransferOutcome DescribeOutcome(const TTransferFacts& facts);

}  // namespace lunaro::download::cli
