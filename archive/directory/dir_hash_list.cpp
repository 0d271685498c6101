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

// Names are looked at only when the hashes agree: an entry's name is far
// away in memory, its hash is in the node.
template <typename NameOf>
bool SameName(const THashedDirEntry* node, uint32_t hash, NameOf name) {
    return node->Hash == hash && platform::SameTextInvariant(node->ZRec->DecodedName(), name());
}

}  // namespace

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

TZKIRec* TZKDirHashList::Add(TZKIRec* rec, int index) {
    if (Empty()) SetSize(kDefaultSize);
    return AddHashed(rec, index, rec->GetHash());
}

int TZKDirHashList::AddBatch(std::span<TZKIRec> recs) {
    if (recs.empty()) return 0;
    if (Empty()) SetSize(kDefaultSize);
    struct Pending {
        TZKIRec* rec;
        uint32_t hash;
        int index;
    };
    const size_t buckets = chains_.size();
    std::vector<uint32_t> first(buckets + 1, 0);
    for (TZKIRec& rec : recs) ++first[rec.GetHash() % buckets + 1];
    for (size_t b = 0; b < buckets; ++b) first[b + 1] += first[b];
    // A stable counting sort: within a bucket the entries keep their order.
    std::vector<Pending> sorted(recs.size());
    for (size_t i = 0; i < recs.size(); ++i) {
        const uint32_t hash = recs[i].GetHash();
        sorted[first[hash % buckets]++] = Pending{&recs[i], hash, static_cast<int>(i)};
    }
    int duplicates = 0;
    for (const Pending& p : sorted)
        if (AddHashed(p.rec, p.index, p.hash) != nullptr) ++duplicates;
    return duplicates;
}

TZKIRec* TZKDirHashList::AddHashed(TZKIRec* rec, int index, uint32_t hash) {
    THashedDirEntry** link = &Bucket(hash);
    while (*link != nullptr) {
        if (SameName(*link, hash, [rec] { return rec->DecodedName(); })) return (*link)->ZRec;
        link = &(*link)->Next;
    }
    THashedDirEntry* node = NewNode();
    *node = THashedDirEntry{nullptr, rec, index, hash};
    *link = node;
    return nullptr;
}

int TZKDirHashList::Find(std::string_view name) const {
    if (Empty()) return -1;
    const uint32_t hash = NameHash(name);
    for (const THashedDirEntry* node = chains_[hash % chains_.size()]; node != nullptr; node = node->Next)
        if (SameName(node, hash, [name] { return name; })) return node->ZIndex;
    return -1;
}

void TZKDirHashList::Remove(TZKIRec* rec) {
    if (Empty()) return;
    THashedDirEntry** link = &Bucket(rec->GetHash());
    while (*link != nullptr && (*link)->ZRec != rec) link = &(*link)->Next;
    if (*link == nullptr) return;
    THashedDirEntry* node = *link;
    *link = node->Next;
    *node = THashedDirEntry{fEmpties, nullptr, -1, 0};
    fEmpties = node;
}

}  // namespace lunaro::archive
