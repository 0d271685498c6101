#pragma once
// The name index of a loaded directory: a bucket table of singly linked
// chains whose nodes come from blocks of 511, so that indexing a directory of
// any size costs one allocation per 511 entries. Names that differ only in
// letter case count as duplicates; the first one stays in the index.
// Nodes hold positions in the entry list, never addresses: the list may
// grow (and move its entries) while the index is alive.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace lunaro::archive {

class TZKIRec;

struct THashedDirEntry {
    THashedDirEntry* Next;
    int ZIndex;
    uint32_t Hash;  // the entry's name hash, kept here so that walking a chain never touches the entries
};

class TZKDirHashList {
public:
    static constexpr int kBlockNodes = 511;
    static constexpr int kMinSize = 61;
    static constexpr int kMaxSize = 65537;
    static constexpr int kDefaultSize = 1283;

    // Indexes (some of) entries, which must outlive the list.
    explicit TZKDirHashList(std::vector<TZKIRec>& entries) : entries_(&entries) {}
    TZKDirHashList(const TZKDirHashList&) = delete;
    TZKDirHashList& operator=(const TZKDirHashList&) = delete;

    // Whether the positions index entries.
    bool Indexes(const std::vector<TZKIRec>& entries) const { return entries_ == &entries; }

    // Adds the entry at index under its name hash; returns the position of
    // the earlier entry with the same name (ignoring case) instead when
    // there is one, leaving the list as it was; -1 when added.
    int Add(int index);
    // Adds every entry, with the same outcome as adding them one after the
    // other, but bucket by bucket: each chain is then built from
    // neighbouring nodes instead of nodes scattered over the whole
    // directory. Returns how many names were already present.
    int AddAll();
    // Index of the entry whose name equals name (ignoring case among names
    // with the same case-sensitive hash), or -1.
    int Find(std::string_view name) const;
    // Unlinks the node that holds exactly the entry at index.
    void Remove(int index);
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
    int AddHashed(int index, uint32_t hash);
    bool SameName(const THashedDirEntry* node, uint32_t hash, std::string_view name) const;
    TZKIRec& Rec(int index) const;
    THashedDirEntry*& Bucket(uint32_t hash) { return chains_[hash % chains_.size()]; }

    std::vector<TZKIRec>* entries_;
    std::vector<THashedDirEntry*> chains_;
    std::vector<std::unique_ptr<THDEBlock>> blocks_;
    int fNextEntry = -1;
    THashedDirEntry* fEmpties = nullptr;
};

}  // namespace lunaro::archive
