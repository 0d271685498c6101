#pragma once
// Storage for the many small byte strings of a loaded directory (stored
// names, extra fields, comments, decoded names): carved from large chunks,
// so that a directory of any size costs a few allocations, and all freed
// together when the directory is replaced.
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace lunaro::archive {

class TZKTextArena {
public:
    // Room for size bytes, valid until Clear.
    char* Allocate(size_t size);
    std::string_view Store(std::string_view text);
    void Clear();

private:
    // Chunks grow from small (most directories are) to a size where their
    // count no longer matters.
    static constexpr size_t kFirstChunk = 4 * 1024;
    static constexpr size_t kLargestChunk = 256 * 1024;
    std::vector<std::unique_ptr<char[]>> chunks_;
    size_t used_ = 0;
    size_t capacity_ = 0;
};

}  // namespace lunaro::archive
