#include "archive/directory/dir_hash_list.h"

#include <algorithm>
#include <array>

#include "archive/reader/irec.h"
#include "archive/directory/name_hash.h"
#include "platform/text_case.h"

namespace lunaro::archive {

namespace {

constexpr std::array<int, 30> kBucketCounts = {61,    131,   257,   389,   521,   641,   769,   1031,  1283,  1543,
                                               2053,  2579,  3593,  4099,  5147,  6151,  7177,  8209,  10243, 12289,
                                               14341, 16411, 18433, 20483, 22521, 24593, 28687, 32771, 40961, 65537};

}  // namespace

TZKIRec& TZKDirHashList::Rec(int index) const { return entries_->at(static_cast<size_t>(index)); }

// Names are looked at only when the hashes agree: an entry's name is far
// away in memory, its hash is in the node.
bool TZKDirHashList::SameName(const THashedDirEntry* node, uint32_t hash, std::string_view name) const {
    return node->Hash == hash && platform::SameTextInvariant(Rec(node->ZIndex).DecodedName(), name);
}

void TZKDirHashList::Clear() {
    chains_.clear();
    chains_.shrink_to_fit();
    blocks_.clear();
    fNextEntry = -1;
    fEmpties = nullptr;
}

void TZKDirHashList::SetSize(int v) {
    Clear();
    if (v == 0) return;
    chains_.assign(static_cast<size_t>(std::clamp(v, kMinSize, kMaxSize)), nullptr);
}

void TZKDirHashList::AutoSize(int n) {
    int chosen = n;
    if (n < 12000) {
        auto it = std::find_if(kBucketCounts.begin(), kBucketCounts.end(), [n](int v) { return v >= n; });
        if (it != kBucketCounts.end()) chosen = *it;
    } else {
        // Large directories share buckets rather than grow the table further.
        auto it = std::find_if(kBucketCounts.rbegin(), kBucketCounts.rend(), [n](int v) { return v < n; });
        if (it != kBucketCounts.rend()) chosen = *it;
    }
    SetSize(chosen);
}

THashedDirEntry* TZKDirHashList::NewNode() {
    if (fEmpties != nullptr) {
        THashedDirEntry* node = fEmpties;
        fEmpties = node->Next;
        return node;
    }
    if (fNextEntry < 0 || fNextEntry >= kBlockNodes) {
        blocks_.push_back(std::make_unique<THDEBlock>());  // value-initialised: zero-filled
        fNextEntry = 0;
    }
    return &blocks_.back()->nodes[fNextEntry++];
}

int TZKDirHashList::Add(int index) {
    if (Empty()) SetSize(kDefaultSize);
    return AddHashed(index, Rec(index).GetHash());
}

int TZKDirHashList::AddAll() {
    if (entries_->empty()) return 0;
    if (Empty()) SetSize(kDefaultSize);
    struct Pending {
        uint32_t hash;
        int index;
    };
    const size_t buckets = chains_.size();
    const size_t count = entries_->size();
    std::vector<uint32_t> first(buckets + 1, 0);
    for (TZKIRec& rec : *entries_) ++first[rec.GetHash() % buckets + 1];
    for (size_t b = 0; b < buckets; ++b) first[b + 1] += first[b];
    // A stable counting sort: within a bucket the entries keep their order.
    std::vector<Pending> sorted(count);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t hash = (*entries_)[i].GetHash();
        sorted[first[hash % buckets]++] = Pending{hash, static_cast<int>(i)};
    }
    int duplicates = 0;
    for (const Pending& p : sorted)
        if (AddHashed(p.index, p.hash) >= 0) ++duplicates;
    return duplicates;
}

int TZKDirHashList::AddHashed(int index, uint32_t hash) {
    THashedDirEntry** link = &Bucket(hash);
    while (*link != nullptr) {
        // Asked again each time: decoding another entry's name may move the texts.
        if (SameName(*link, hash, Rec(index).DecodedName())) return (*link)->ZIndex;
        link = &(*link)->Next;
    }
    THashedDirEntry* node = NewNode();
    *node = THashedDirEntry{nullptr, index, hash};
    *link = node;
    return -1;
}

int TZKDirHashList::Find(std::string_view name) const {
    if (Empty()) return -1;
    const uint32_t hash = NameHash(name);
    for (const THashedDirEntry* node = chains_[hash % chains_.size()]; node != nullptr; node = node->Next)
        if (SameName(node, hash, name)) return node->ZIndex;
    return -1;
}

void TZKDirHashList::Remove(int index) {
    if (Empty()) return;
    THashedDirEntry** link = &Bucket(Rec(index).GetHash());
    while (*link != nullptr && (*link)->ZIndex != index) link = &(*link)->Next;
    if (*link == nullptr) return;
    THashedDirEntry* node = *link;
    *link = node->Next;
    *node = THashedDirEntry{fEmpties, -1, 0};
    fEmpties = node;
}

}  // namespace lunaro::archive
