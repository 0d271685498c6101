#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#include "platform/stream.h"

namespace lunaro::platform {

namespace {

// Growth failures surface as the stream error callers already handle, not
// as allocator exceptions from deep inside a protocol client.
void Resize(std::vector<uint8_t>& data, int64_t size) {
    try {
        data.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        throw EStreamError("Out of memory while expanding memory stream");
    } catch (const std::length_error&) {
        throw EStreamError("Out of memory while expanding memory stream");
    }
}

}  // namespace

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
    const int64_t size = Size();
    if (count <= 0 || position_ >= size) return 0;
    const int64_t n = std::min(count, size - position_);
    std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    if (position_ > std::numeric_limits<int64_t>::max() - count) throw EStreamError("Stream too large");
    const int64_t end = position_ + count;
    if (end > Size()) Resize(data_, end);
    std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
    position_ = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = 0;
    if (origin == TSeekOrigin::soCurrent) base = position_;
    if (origin == TSeekOrigin::soEnd) base = Size();
    int64_t target = 0;
    if (__builtin_add_overflow(base, offset, &target)) target = offset < 0 ? 0 : std::numeric_limits<int64_t>::max();
    position_ = target < 0 ? 0 : target;
    return position_;
}

void TMemoryStream::SetSize(int64_t size) {
    if (size < 0) size = 0;
    Resize(data_, size);
    if (position_ > size) position_ = size;
}

void TMemoryStream::Clear() {
    data_.clear();
    data_.shrink_to_fit();
    position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& path) {
    TFileStream file(path, fmOpenRead | fmShareDenyWrite);
    Clear();
    SetSize(file.Size());
    file.ReadBuffer(Memory(), Size());
}

void TMemoryStream::SaveToFile(const std::string& path) const {
    TFileStream file(path, fmCreate);
    file.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
}

}  // namespace lunaro::platform
