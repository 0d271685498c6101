#include "engine/exec/stream_source.h"

#include <algorithm>
#include <climits>

#include "engine/exec/stream_request.h"

namespace lunaro::engine {

TStreamSource::~TStreamSource() {
    if (!fOpen) return;
    TZStreamRec rec{};
    rec.StrmP = fStream;
    rec.Number = fNumber;
    rec.OpCode = ZE_STREAM_CLOSE;
    CallStream(fCommand, rec);
}

bool TStreamSource::Open(std::string& error) {
    TZStreamRec identify{};
    identify.Number = fNumber;
    identify.OpCode = ZE_STREAM_IDENTIFY;
    if (CallStream(fCommand, identify) != 1 || identify.ArgLL < 0) {
        error = "the caller offers no stream " + std::to_string(fNumber);
        return false;
    }
    fSize = identify.ArgLL;
    fDosDate = identify.ArgD;
    fAttributes = identify.ArgA;
    TZStreamRec open{};
    open.Number = fNumber;
    open.OpCode = ZE_STREAM_OPEN;
    fOpen = CallStream(fCommand, open) == 1 && open.StrmP != nullptr;
    fStream = open.StrmP;
    if (!fOpen) error = "the caller's stream " + std::to_string(fNumber) + " cannot be opened";
    return fOpen;
}

bool TStreamSource::Read(uint8_t* buffer, size_t len) {
    while (len > 0) {
        TZStreamRec rec{};
        rec.StrmP = fStream;
        rec.Number = fNumber;
        rec.OpCode = ZE_STREAM_READ;
        rec.BufP = buffer;
        rec.ArgI = static_cast<int32_t>(std::min<size_t>(len, INT_MAX / 2));
        CallStream(fCommand, rec);
        // A short read answers 0 but still counts what it gave.
        if (rec.ArgI <= 0 || static_cast<size_t>(rec.ArgI) > len) return false;
        buffer += rec.ArgI;
        len -= static_cast<size_t>(rec.ArgI);
    }
    return true;
}

}  // namespace lunaro::engine
