#pragma once
// Whether a finished transfer delivered its file, judged once for every
// caller (the installer and lunaro-download word it each in their own
// language) and for every protocol: a worker reports what it saw in
// protocol-neutral terms.
#include <cstdint>
#include <string>

namespace lunaro::download {

class TNexoDownloadClass;

// Why a worker did not take a reply that looked like the file's.
enum class TReplyRefusal : uint8_t {
    None,
    WrongRange,       // a 206 whose Content-Range is missing or not where the partial file ends
    NotTheRest,       // a resume answered with neither the missing bytes nor the whole file
    NotTheFile,       // a success code that does not bring a file (226, an empty reply)
    RedirectRefused,  // a Location that is no http(s) address or holds control bytes
};

// The last reply a worker's client saw, and the socket's error.
struct TTransferReply {
    bool Received = false;      // a reply came from the server, understood or not
    bool Understood = false;    // it was a reply line of the protocol
    bool CarriesFile = false;   // its code is one that brings the file's bytes
    int32_t Code = 0;
    std::string Text;           // the reply's own text ("Not Found"), as received
    int32_t SocketError = 0;    // 0: none
    std::string SocketErrorDesc;
    TReplyRefusal Refusal = TReplyRefusal::None;
    std::string RefusalDetail;  // the header value behind it, as received
    // Where the server says the file moved, for a move the worker does not
    // follow; "" when it named none.
    std::string MovedTo;
};

// What is known once StartDownload has returned.
struct TTransferFacts {
    TTransferReply Reply;
    bool Finished = false;       // the partial file took its final name
    std::string FinalFile;
    bool FinalFileExists = false;
    int64_t FinalFileSize = -1;  // -1: no such file
    std::string PartFile;
    int64_t PartFileSize = -1;   // -1: no partial file
    int64_t ExpectedSize = -1;   // the size the server announced, -1 when it did not
};

enum class TTransferVerdict : uint8_t {
    Saved,          // the file is in place, whole
    FileMissing,    // named final, yet not in the folder
    Incomplete,     // in place, but not of the announced size
    CutShort,       // the file's reply came, its bytes stopped early
    Refused,        // the server answered with a reply that does not bring the file
    Mismatch,       // the reply was not taken: LastReply().Refusal says why
    NotUnderstood,  // the server answered, not in the protocol
    Unreachable,    // no reply at all: the socket error tells why
};

// The facts of the worker's last transfer, file sizes read from the disk.
TTransferFacts CollectTransferFacts(const TNexoDownloadClass& worker);

TTransferVerdict JudgeTransfer(const TTransferFacts& facts);

}  // namespace lunaro::download
