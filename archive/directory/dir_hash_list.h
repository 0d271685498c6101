#pragma once
// The name index of a loaded directory: a bucket table of singly linked
// chains whose nodes come from blocks of 511, so that indexing a directory of
// any size costs one allocation per 511 entries. Names that differ only in
// letter case count as duplicates; the first one stays in the index.
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace lunaro::archive {

class TZKIRec;

struct THashedDirEntry {
    THashedDirEntry* Next;
    TZKIRec* ZRec;
    int ZIndex;
    uint32_t Hash;  // ZRec's name hash, kept here so that walking a chain never touches the entries
};

class TZKDirHashList {
public:
    static constexpr int kBlockNodes = 511;
    static constexpr int kMinSize = 61;
    static constexpr int kMaxSize = 65537;
    static constexpr int kDefaultSize = 1283;

    TZKDirHashList() = default;
    TZKDirHashList(const TZKDirHashList&) = delete;
    TZKDirHashList& operator=(const TZKDirHashList&) = delete;

    // Adds rec under its name hash; returns the earlier entry with the same
    // name (ignoring case) instead when there is one, leaving the list as it was.
    TZKIRec* Add(TZKIRec* rec, int index);
    // Adds recs[i] with index i, with the same outcome as adding them one
    // after the other, but bucket by bucket: each chain is then built from
    // neighbouring nodes instead of nodes scattered over the whole
    // directory. Returns how many names were already present.
    int AddBatch(std::span<TZKIRec> recs);
    // Index of the entry whose name equals name (ignoring case among names
    // with the same case-sensitive hash), or -1.
    int Find(std::string_view name) const;
    // Unlinks the node that holds exactly rec.
    void Remove(TZKIRec* rec);
    // Picks a bucket count for n entries and empties the list.
    void AutoSize(int n);
    void Clear();

    bool Empty() const { return chains_.empty(); }
    int Size() const { return static_cast<int>(chains_.size()); }
    // Empties the list; v is clamped to the allowed bucket counts, 0 leaves it empty.
    void SetSize(int v);
    int Blocks() const { return static_cast<int>(blocks_.size()); }

private:
    struct THDEBlock {
        THashedDirEntry nodes[kBlockNodes];
    };
    THashedDirEntry* NewNode();
    TZKIRec* AddHashed(TZKIRec* rec, int index, uint32_t hash);
    THashedDirEntry*& Bucket(uint32_t hash) { return chains_[hash % chains_.size()]; }

    std::vector<THashedDirEntry*> chains_;
    std::vector<std::unique_ptr<THDEBlock>> blocks_;
    int fNextEntry = -1;
    THashedDirEntry* fEmpties = nullptr;
};

}  // namespace lunaro::archive
