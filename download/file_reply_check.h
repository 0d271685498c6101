#pragma once
// Whether an HTTP reply brings the bytes a partial file needs. A resumed
// file is only ever continued by the bytes that follow it, so a range reply
// must say exactly where its bytes belong, and that they run to the file's
// end; anything else would put bytes in the wrong place and give the result
// the final name.
#include <cstdint>
#include <string>

#include "download/transfer_verdict.h"
#include "platform/string_list.h"

namespace lunaro::download {

struct TFileReplyCheck {
    TReplyRefusal Refusal = TReplyRefusal::None;
    std::string Detail;  // the header value behind a refusal, as received
};

// headers: the status line and the reply's header lines. requestedStart is
// the first byte asked for (0 when the request asked for no range). A 200
// to a resume is taken (the whole file replaces the partial one) unless it
// announces an empty body; codes outside 2xx bring no file and are left to
// the caller.
TFileReplyCheck CheckFileReply(int32_t code, const platform::TStringList& headers, int64_t requestedStart);

// A resume whose partial file already holds every byte is answered 416; it
// is whole only when the reply's "Content-Range: bytes */TOTAL" gives
// exactly the partial file's size (a run killed between its last byte and
// the rename leaves such a file).
bool RangeReplyProvesFileWhole(int32_t code, const platform::TStringList& headers, int64_t requestedStart);

}  // namespace lunaro::download
