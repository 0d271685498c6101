#pragma once

#include "engine/codec/huffman_code.h"
#include "engine/codec/stream_decoder.h"

#include <memory>

namespace lunaro::engine {

// Method 9: deflate with a 64 KiB window, length code 285 carrying 16 extra
// bits (base 3) and distance codes 30 and 31 (14 extra bits each).
//
// Every step needs at most 32 bits and the bit buffer is topped up to 57 bits
// whenever input is there, so a step that cannot complete means all input has
// been taken: the decoder never holds back input it was given. Decoded bytes
// go through a ring that keeps the last 64 KiB for back references.
class TDeflate64Decoder final : public TStreamDecoder {
public:
    TDeflate64Decoder();

protected:
    TDecodeStatus Step(const uint8_t* in, size_t inLen, size_t& inUsed,
                       uint8_t* out, size_t outCap, size_t& outMade) override;

private:
    enum class TState : uint8_t {
        BlockHeader, StoredLengths, StoredCopy, TableSizes, CodeLengthLengths,
        CodeLengths, Symbol, Distance, Done
    };
    enum class TStepResult : uint8_t { Progress, NeedInput, OutputFull, Failed };

    TStepResult DecodeStep();
    TStepResult ReadBlockHeader();
    TStepResult ReadStoredLengths();
    TStepResult CopyStored();
    TStepResult ReadTableSizes();
    TStepResult ReadCodeLengthLengths();
    TStepResult ReadCodeLengths();
    TStepResult ReadSymbol();
    TStepResult ReadDistance();
    TStepResult UseFixedCodes();
    TStepResult BuildBlockCodes();
    TStepResult Failure(const char* why);

    void Refill();
    void DropBits(int n);
    size_t Room() const;
    void Put(uint8_t byte);
    void Deliver(uint8_t* out, size_t outCap, size_t& outMade);

    static constexpr size_t kHistory = size_t{1} << 16;
    static constexpr size_t kRingSize = size_t{1} << 18;
    static constexpr size_t kMaxMatch = 65538;

    std::unique_ptr<uint8_t[]> Ring;
    size_t WritePos = 0;       // ring index of the next byte decoded
    size_t Pending = 0;        // decoded bytes not yet handed out
    uint64_t Produced = 0;     // bytes decoded so far, for the back-reference check

    const uint8_t* In = nullptr;
    size_t InLeft = 0;
    uint64_t Bits = 0;
    int BitCount = 0;

    TState State = TState::BlockHeader;
    bool FinalBlock = false;
    uint32_t StoredLeft = 0;
    int LiteralCount = 0;
    int DistanceCount = 0;
    int LengthCodeCount = 0;
    int Filled = 0;
    uint32_t MatchLength = 0;
    uint8_t Lengths[THuffmanCode::kMaxSymbols + 32] = {};
    THuffmanCode LengthLengthCode;
    THuffmanCode LiteralCode;
    THuffmanCode DistanceCode;
    bool NoDistances = false;
    const char* Why = nullptr;
};

}  // namespace lunaro::engine
