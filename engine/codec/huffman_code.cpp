#include "engine/codec/huffman_code.h"

namespace lunaro::engine {

THuffmanCode::TBuild THuffmanCode::Build(const uint8_t* lengths, int count, bool allowLoneCode) {
    for (auto& c : Count) c = 0;
    for (int s = 0; s < count; ++s) ++Count[lengths[s]];
    const int used = count - Count[0];
    if (used == 0) return TBuild::Empty;
    int left = 1;
    for (int len = 1; len <= kMaxBits; ++len) {
        left = (left << 1) - Count[len];
        if (left < 0) return TBuild::Oversubscribed;
    }
    uint16_t offset[kMaxBits + 2] = {};
    for (int len = 1; len <= kMaxBits; ++len) offset[len + 1] = offset[len] + Count[len];
    for (int s = 0; s < count; ++s)
        if (lengths[s] != 0) Symbol[offset[lengths[s]]++] = static_cast<uint16_t>(s);
    if (left > 0 && !(allowLoneCode && used == 1 && Count[1] == 1)) return TBuild::Incomplete;
    return TBuild::Complete;
}

int THuffmanCode::Decode(uint64_t bits, int avail, int& used) const {
    int code = 0;
    int first = 0;
    int index = 0;
    for (int len = 1; len <= kMaxBits; ++len) {
        if (len > avail) return kNeedBits;
        code |= static_cast<int>(bits & 1);
        bits >>= 1;
        const int n = Count[len];
        if (code - n < first) {
            used = len;
            return Symbol[index + (code - first)];
        }
        index += n;
        first = (first + n) << 1;
        code <<= 1;
    }
    return kNoCode;
}

}  // namespace lunaro::engine
