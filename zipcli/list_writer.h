#pragma once
// Writes a directory listing, either as a table for people or as one
// tab-separated line per entry for scripts. Nothing is written before End
// (or an explicit Flush). Control characters in names are printed as '?' so
// that a hostile name can neither break a line apart nor send escape
// sequences to a terminal.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "archive/reader/irec.h"

namespace lunaro::zipcli {

enum class ListFormat { Table, Tsv };

class TListWriter {
public:
    TListWriter(std::FILE* out, ListFormat format) : out_(out), format_(format) {}
    ~TListWriter() = default;
    TListWriter(const TListWriter&) = delete;
    TListWriter& operator=(const TListWriter&) = delete;

    void Begin();
    void Row(archive::TZKIRec& entry);
    void End();
    // Drops what was not written yet.
    void Discard();
    // False when the output could not be written.
    bool Flush();

private:
    void AppendTableRow(archive::TZKIRec& entry);
    void AppendTsvRow(archive::TZKIRec& entry);

    std::FILE* out_;
    ListFormat format_;
    std::string buffer_;              // the block being filled
    std::vector<std::string> held_;  // full blocks, kept apart so that none is ever copied
    uint64_t entries_ = 0;
    uint64_t totalSize_ = 0;
    uint64_t totalCompressed_ = 0;
    bool failed_ = false;
};

void AppendPrintable(std::string& out, std::string_view text);

}  // namespace lunaro::zipcli
