#pragma once
// Where each selected entry's bytes lie in the archive file (local header
// start, up to the end of its data); refuses overlapping claims so that a
// small archive cannot expand the same bytes many times.
#include <cstdint>
#include <vector>

namespace lunaro::engine {

// [Begin, End): End is one past the entry's last byte.
struct TEntryExtent {
    uint64_t Begin;
    uint64_t End;
    uint32_t Index;
};

// The indexes of entries whose extent overlaps an earlier one (sorted by
// Begin; at the same Begin the lower index counts as earlier), in ascending
// order; empty when none does. An extent that ends before it begins cannot
// be told apart from a forged one and is reported too.
std::vector<uint32_t> OverlappingEntries(std::vector<TEntryExtent> extents);

}  // namespace lunaro::engine
