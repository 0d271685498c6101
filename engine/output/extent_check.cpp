#include "engine/output/extent_check.h"

#include <algorithm>

namespace lunaro::engine {

std::vector<uint32_t> OverlappingEntries(std::vector<TEntryExtent> extents) {
    std::sort(extents.begin(), extents.end(), [](const TEntryExtent& a, const TEntryExtent& b) {
        return a.Begin != b.Begin ? a.Begin < b.Begin : a.Index < b.Index;
    });
    std::vector<uint32_t> overlapping;
    // Every claim so far counts, refused ones too: an entry that overlaps only
    // a refused one still shares bytes the archive claimed twice.
    uint64_t claimedUpTo = 0;
    bool anyClaimed = false;
    for (const TEntryExtent& e : extents) {
        if (e.End < e.Begin || (anyClaimed && e.Begin < claimedUpTo)) overlapping.push_back(e.Index);
        claimedUpTo = std::max(claimedUpTo, e.End);
        anyClaimed = true;
    }
    std::sort(overlapping.begin(), overlapping.end());
    return overlapping;
}

}  // namespace lunaro::engine
