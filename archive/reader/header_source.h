#pragma once
// Where central headers are read from. Single-part archives are read through
// a read-ahead buffer, so that a directory of many entries costs a few large
// reads instead of two system reads per entry; multi-part archives go
// straight to the file, whose reads may continue on the next part and never
// divide a field between parts.
#include <cstdint>
#include <span>
#include <vector>

namespace lunaro::archive {

class TZKWorkFile;

class TZKHeaderSource {
public:
    virtual ~TZKHeaderSource() = default;
    // Reads consecutive fields of the given byte sizes. Returns the
    // number of bytes read (fewer at the end of the data) or a negative
    // message identifier.
    virtual int Reads(void* buffer, std::span<const int> sizes) = 0;
};

class TZKFileHeaderSource : public TZKHeaderSource {
public:
    explicit TZKFileHeaderSource(TZKWorkFile& file) : file_(file) {}
    int Reads(void* buffer, std::span<const int> sizes) override;

private:
    TZKWorkFile& file_;
};

class TZKBufferedHeaderSource : public TZKHeaderSource {
public:
    explicit TZKBufferedHeaderSource(TZKWorkFile& file) : file_(file), buffer_(kChunk) {}
    int Reads(void* buffer, std::span<const int> sizes) override;

private:
    static constexpr int kChunk = 1 << 16;
    TZKWorkFile& file_;
    std::vector<uint8_t> buffer_;
    int begin_ = 0;
    int end_ = 0;
};

}  // namespace lunaro::archive
