#include "engine/codec/deflate64_decoder.h"

#include <algorithm>
#include <cstring>

namespace lunaro::engine {
namespace {

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 3};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 16};
constexpr uint32_t kDistanceBase[32] = {1,    2,    3,    4,    5,    7,     9,     13,    17,    25,   33,
                                        49,   65,   97,   129,  193,  257,   385,   513,   769,   1025, 1537,
                                        2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577, 32769, 49153};
constexpr uint8_t kDistanceExtra[32] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,  6,
                                        7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 14, 14};
constexpr uint8_t kLengthLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

constexpr int kEndOfBlock = 256;
constexpr int kFixedLiterals = 288;
constexpr int kFixedDistances = 32;
constexpr int kMaxLiteralCodes = 286;
constexpr int kLengthLengthCodes = 19;

uint32_t LowBits(uint64_t bits, int n) { return static_cast<uint32_t>(bits & ((uint64_t{1} << n) - 1)); }

}  // namespace

TDeflate64Decoder::TDeflate64Decoder() : Ring(std::make_unique<uint8_t[]>(kRingSize)) {}

TDecodeStatus TDeflate64Decoder::Step(const uint8_t* in, size_t inLen, size_t& inUsed,
                                      uint8_t* out, size_t outCap, size_t& outMade) {
    In = in;
    InLeft = inLen;
    Deliver(out, outCap, outMade);
    bool failed = false;
    while (State != TState::Done) {
        const TStepResult r = DecodeStep();
        if (r == TStepResult::Progress) continue;
        if (r == TStepResult::OutputFull) {
            Deliver(out, outCap, outMade);
            if (outMade < outCap) continue;
        }
        failed = r == TStepResult::Failed;
        break;
    }
    inUsed = inLen - InLeft;
    In = nullptr;
    if (failed) return Fail(Why);
    Deliver(out, outCap, outMade);
    return State == TState::Done && Pending == 0 ? TDecodeStatus::dsEnd : TDecodeStatus::dsMore;
}

TDeflate64Decoder::TStepResult TDeflate64Decoder::DecodeStep() {
    Refill();
    switch (State) {
        case TState::BlockHeader: return ReadBlockHeader();
        case TState::StoredLengths: return ReadStoredLengths();
        case TState::StoredCopy: return CopyStored();
        case TState::TableSizes: return ReadTableSizes();
        case TState::CodeLengthLengths: return ReadCodeLengthLengths();
        case TState::CodeLengths: return ReadCodeLengths();
        case TState::Symbol: return ReadSymbol();
        case TState::Distance: return ReadDistance();
        case TState::Done: break;
    }
    return TStepResult::Progress;
}

TDeflate64Decoder::TStepResult TDeflate64Decoder::ReadBlockHeader() {
    if (BitCount < 3) return TStepResult::NeedInput;
    FinalBlock = (Bits & 1) != 0;
    const uint32_t type = LowBits(Bits >> 1, 2);
    DropBits(3);
    switch (type) {
        case 0:
            DropBits(BitCount % 8);
            State = TState::StoredLengths;
            return TStepResult::Progress;
        case 1:
            return UseFixedCodes();
        case 2:
            State = TState::TableSizes;
            return TStepResult::Progress;
        default:
            return Failure("deflate64 data holds a block of an unknown type");
    }
}

TDeflate64Decoder::TStepResult TDeflate64Decoder::ReadStoredLengths() {
    if (BitCount < 32) return TStepResult::NeedInput;
    const uint32_t length = LowBits(Bits, 16);
    const uint32_t check = LowBits(Bits >> 16, 16);
    if ((length ^ check) != 0xFFFF) return Failure("deflate64 stored block has a damaged length");
    DropBits(32);
    StoredLeft = length;
    State = TState::StoredCopy;
    return TStepResult::Progress;
}

TDeflate64Decoder::TStepResult TDeflate64Decoder::CopyStored() {
    // Bytes already pulled into the bit buffer come first, then the input itself.
    while (StoredLeft > 0 && BitCount >= 8) {
        if (Room() == 0) return TStepResult::OutputFull;
        Put(static_cast<uint8_t>(Bits));
        DropBits(8);
        --StoredLeft;
    }
    while (StoredLeft > 0 && InLeft > 0) {
        const size_t n = std::min({size_t{StoredLeft}, InLeft, Room(), kRingSize - WritePos});
        if (n == 0) return TStepResult::OutputFull;
        std::memcpy(Ring.get() + WritePos, In, n);
        WritePos = (WritePos + n) & (kRingSize - 1);
        Pending += n;
        Produced += n;
        In += n;
        InLeft -= n;
        StoredLeft -= static_cast<uint32_t>(n);
    }
    if (StoredLeft > 0) return TStepResult::NeedInput;
    State = FinalBlock ? TState::Done : TState::BlockHeader;
    return TStepResult::Progress;
}

TDeflate64Decoder::TStepResult TDeflate64Decoder::ReadTableSizes() {
    if (BitCount < 14) return TStepResult::NeedInput;
    LiteralCount = 257 + static_cast<int>(LowBits(Bits, 5));
    DistanceCount = 1 + static_cast<int>(LowBits(Bits >> 5, 5));
    LengthCodeCount = 4 + static_cast<int>(LowBits(Bits >> 10, 4));
    DropBits(14);
    if (LiteralCount > kMaxLiteralCodes) return Failure("deflate64 block declares too many length codes");
    std::fill(std::begin(Lengths), std::end(Lengths), uint8_t{0});
    Filled = 0;
    State = TState::CodeLengthLengths;
    return TStepResult::Progress;
}

TDeflate64Decoder::TStepResult TDeflate64Decoder::ReadCodeLengthLengths() {
    while (Filled < LengthCodeCount) {
        if (BitCount < 3) return TStepResult::NeedInput;
        Lengths[kLengthLengthOrder[Filled++]] = static_cast<uint8_t>(LowBits(Bits, 3));
        DropBits(3);
    }
    if (LengthLengthCode.Build(Lengths, kLengthLengthCodes, false) != THuffmanCode::TBuild::Complete)
        return Failure("deflate64 block has an invalid code-length code");
    std::fill(std::begin(Lengths), std::end(Lengths), uint8_t{0});
    Filled = 0;
    State = TState::CodeLengths;
    return TStepResult::Progress;
}

TDeflate64Decoder::TStepResult TDeflate64Decoder::ReadCodeLengths() {
    const int total = LiteralCount + DistanceCount;
    while (Filled < total) {
        Refill();
        int used = 0;
        const int symbol = LengthLengthCode.Decode(Bits, BitCount, used);
        if (symbol == THuffmanCode::kNeedBits) return TStepResult::NeedInput;
        if (symbol == THuffmanCode::kNoCode) return Failure("deflate64 block has an invalid code length");
        if (symbol < 16) {
            Lengths[Filled++] = static_cast<uint8_t>(symbol);
            DropBits(used);
            continue;
        }
        const int extra = symbol == 16 ? 2 : symbol == 17 ? 3 : 7;
        if (used + extra > BitCount) return TStepResult::NeedInput;
        const int base = symbol == 16 ? 3 : symbol == 17 ? 3 : 11;
        const int repeat = base + static_cast<int>(LowBits(Bits >> used, extra));
        if (symbol == 16 && Filled == 0)
            return Failure("deflate64 block repeats a code length before the first one");
        if (Filled + repeat > total) return Failure("deflate64 block's code lengths overflow its tables");
        const uint8_t value = symbol == 16 ? Lengths[Filled - 1] : 0;
        std::fill_n(Lengths + Filled, repeat, value);
        Filled += repeat;
        DropBits(used + extra);
    }
    return BuildBlockCodes();
}

TDeflate64Decoder::TStepResult TDeflate64Decoder::BuildBlockCodes() {
    if (Lengths[kEndOfBlock] == 0) return Failure("deflate64 block has no end-of-block code");
    if (LiteralCode.Build(Lengths, LiteralCount, true) != THuffmanCode::TBuild::Complete)
        return Failure("deflate64 block has an invalid literal/length code");
    const auto distances = DistanceCode.Build(Lengths + LiteralCount, DistanceCount, true);
    if (distances != THuffmanCode::TBuild::Complete && distances != THuffmanCode::TBuild::Empty)
        return Failure("deflate64 block has an invalid distance code");
    NoDistances = distances == THuffmanCode::TBuild::Empty;
    State = TState::Symbol;
    return TStepResult::Progress;
}

TDeflate64Decoder::TStepResult TDeflate64Decoder::UseFixedCodes() {
    uint8_t lengths[kFixedLiterals];
    std::fill(lengths, lengths + 144, uint8_t{8});
    std::fill(lengths + 144, lengths + 256, uint8_t{9});
    std::fill(lengths + 256, lengths + 280, uint8_t{7});
    std::fill(lengths + 280, lengths + kFixedLiterals, uint8_t{8});
    LiteralCode.Build(lengths, kFixedLiterals, false);
    std::fill(lengths, lengths + kFixedDistances, uint8_t{5});
    DistanceCode.Build(lengths, kFixedDistances, false);
    NoDistances = false;
    State = TState::Symbol;
    return TStepResult::Progress;
}

TDeflate64Decoder::TStepResult TDeflate64Decoder::ReadSymbol() {
    for (;;) {
        if (Room() < kMaxMatch) return TStepResult::OutputFull;
        Refill();
        int used = 0;
        const int symbol = LiteralCode.Decode(Bits, BitCount, used);
        if (symbol == THuffmanCode::kNeedBits) return TStepResult::NeedInput;
        if (symbol == THuffmanCode::kNoCode) return Failure("deflate64 data holds an invalid code");
        if (symbol < kEndOfBlock) {
            Put(static_cast<uint8_t>(symbol));
            DropBits(used);
            continue;
        }
        if (symbol == kEndOfBlock) {
            DropBits(used);
            State = FinalBlock ? TState::Done : TState::BlockHeader;
            return TStepResult::Progress;
        }
        const int index = symbol - 257;
        if (index >= 29) return Failure("deflate64 data holds an invalid length code");
        const int extra = kLengthExtra[index];
        if (used + extra > BitCount) return TStepResult::NeedInput;
        MatchLength = kLengthBase[index] + LowBits(Bits >> used, extra);
        DropBits(used + extra);
        State = TState::Distance;
        return TStepResult::Progress;
    }
}

TDeflate64Decoder::TStepResult TDeflate64Decoder::ReadDistance() {
    if (NoDistances) return Failure("deflate64 block refers back without a distance code");
    if (Room() < MatchLength) return TStepResult::OutputFull;
    int used = 0;
    const int symbol = DistanceCode.Decode(Bits, BitCount, used);
    if (symbol == THuffmanCode::kNeedBits) return TStepResult::NeedInput;
    if (symbol == THuffmanCode::kNoCode) return Failure("deflate64 data holds an invalid distance code");
    const int extra = kDistanceExtra[symbol];
    if (used + extra > BitCount) return TStepResult::NeedInput;
    const uint32_t distance = kDistanceBase[symbol] + LowBits(Bits >> used, extra);
    if (distance > Produced) return Failure("deflate64 data refers back beyond the data decoded so far");
    DropBits(used + extra);
    constexpr size_t kMask = kRingSize - 1;
    size_t from = (WritePos - distance) & kMask;
    for (uint32_t i = 0; i < MatchLength; ++i) {
        Ring[WritePos] = Ring[from];
        WritePos = (WritePos + 1) & kMask;
        from = (from + 1) & kMask;
    }
    Pending += MatchLength;
    Produced += MatchLength;
    State = TState::Symbol;
    return TStepResult::Progress;
}

TDeflate64Decoder::TStepResult TDeflate64Decoder::Failure(const char* why) {
    Why = why;
    return TStepResult::Failed;
}

void TDeflate64Decoder::Refill() {
    while (BitCount <= 56 && InLeft > 0) {
        Bits |= uint64_t{*In++} << BitCount;
        BitCount += 8;
        --InLeft;
    }
}

void TDeflate64Decoder::DropBits(int n) {
    Bits = n >= 64 ? 0 : Bits >> n;
    BitCount -= n;
}

size_t TDeflate64Decoder::Room() const { return kRingSize - kHistory - Pending; }

void TDeflate64Decoder::Put(uint8_t byte) {
    Ring[WritePos] = byte;
    WritePos = (WritePos + 1) & (kRingSize - 1);
    ++Pending;
    ++Produced;
}

void TDeflate64Decoder::Deliver(uint8_t* out, size_t outCap, size_t& outMade) {
    while (Pending > 0 && outMade < outCap) {
        const size_t start = (WritePos - Pending) & (kRingSize - 1);
        const size_t n = std::min({Pending, kRingSize - start, outCap - outMade});
        std::memcpy(out + outMade, Ring.get() + start, n);
        outMade += n;
        Pending -= n;
    }
}

}  // namespace lunaro::engine
