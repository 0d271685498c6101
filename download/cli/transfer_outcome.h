#pragma once
// What lunaro-download tells its user when a transfer is over.
#include <cstdint>
#include <string>

namespace lunaro::download::cli {

// What is known once StartDownload has returned.
struct TTransferFacts {
    bool Finished = false;      // the partial file took its final name
    bool FinalFileExists = false;
    std::string FinalFile;
    std::string PartFile;
    int64_t PartFileSize = -1;  // -1: no partial file
    int32_t ResultCode = 0;     // the last HTTP reply code
    std::string ResultString;   // its reason phrase
    int32_t SocketError = 0;
    std::string SocketErrorDesc;
};

struct TTransferOutcome {
    bool Succeeded = false;
    std::string Message;  // one line, without the program name
};

TTransferOutcome DescribeOutcome(const TTransferFacts& facts);

}  // namespace lunaro::download::cli
