#pragma once

#include <cstdint>

namespace lunaro::engine {

// A canonical prefix code as deflate blocks describe it: code lengths per
// symbol, codes read least significant bit first.
class THuffmanCode {
public:
    static constexpr int kMaxBits = 15;
    static constexpr int kMaxSymbols = 288;
    static constexpr int kNeedBits = -1;  // Decode: more bits are needed
    static constexpr int kNoCode = -2;    // Decode: the bits match no code

    enum class TBuild : uint8_t { Complete, Empty, Oversubscribed, Incomplete };

    // Empty when every length is 0; Incomplete when codes are left unused,
    // except, when allowLoneCode, for a single code of length 1 (what a
    // block with one literal or one distance legally sends).
    TBuild Build(const uint8_t* lengths, int count, bool allowLoneCode);

    // The symbol at the front of bits (avail of them valid) and, through
    // used, its length; kNeedBits or kNoCode otherwise.
    int Decode(uint64_t bits, int avail, int& used) const;

private:
    uint16_t Count[kMaxBits + 1] = {};
    uint16_t Symbol[kMaxSymbols] = {};
};

}  // namespace lunaro::engine
