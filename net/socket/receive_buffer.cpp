#include "net/socket/receive_buffer.h"

#include <algorithm>
#include <cstring>

namespace lunaro::net {

namespace {
constexpr std::size_t kKeptCapacity = 1 << 20;
}

char* TReceiveBuffer::Reserve(std::size_t count) {
    if (capacity_ - end_ >= count) return storage_.get() + end_;
    const std::size_t size = Size();
    if (capacity_ - size >= count && begin_ >= size) {
        // Enough room once the handed-out front is reclaimed, and moving the
        // rest costs less than what was consumed since the last move.
        std::memmove(storage_.get(), storage_.get() + begin_, size);
    } else {
        const std::size_t capacity = std::max(size + count, capacity_ * 2);
        std::unique_ptr<char[]> grown(new char[capacity]);
        if (size > 0) std::memcpy(grown.get(), storage_.get() + begin_, size);
        storage_ = std::move(grown);
        capacity_ = capacity;
    }
    begin_ = 0;
    end_ = size;
    return storage_.get() + end_;
}

void TReceiveBuffer::Append(std::string_view bytes) {
    if (bytes.empty()) return;
    std::memcpy(Reserve(bytes.size()), bytes.data(), bytes.size());
    Commit(bytes.size());
}

void TReceiveBuffer::Assign(const std::string& bytes) {
    Clear();
    Append(bytes);
}

void TReceiveBuffer::Clear() {
    begin_ = end_ = 0;
    if (capacity_ > kKeptCapacity) {
        storage_.reset();
        capacity_ = 0;
    }
}

void TReceiveBuffer::Consume(std::size_t count) {
    begin_ += std::min(count, Size());
    if (begin_ == end_) Clear();
}

std::string TReceiveBuffer::Take(std::size_t count) {
    count = std::min(count, Size());
    std::string taken(storage_.get() + begin_, count);
    Consume(count);
    return taken;
}

}  // namespace lunaro::net
