#include "archive/directory/text_arena.h"

#include <algorithm>
#include <cstring>

namespace lunaro::archive {

char* TZKTextArena::Allocate(size_t size) {
    if (size == 0) return nullptr;
    if (size > capacity_ - used_) {
        const size_t next = chunks_.empty() ? kFirstChunk : std::min(capacity_ * 2, kLargestChunk);
        capacity_ = std::max(next, size);
        chunks_.push_back(std::make_unique_for_overwrite<char[]>(capacity_));
        used_ = 0;
    }
    char* room = chunks_.back().get() + used_;
    used_ += size;
    return room;
}

std::string_view TZKTextArena::Store(std::string_view text) {
    if (text.empty()) return {};
    char* room = Allocate(text.size());
    std::memcpy(room, text.data(), text.size());
    return {room, text.size()};
}

void TZKTextArena::Clear() {
    chunks_.clear();
    used_ = 0;
    capacity_ = 0;
}

}  // namespace lunaro::archive
