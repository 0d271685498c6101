#include "download/releasing_document.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace lunaro::download {

using platform::EStreamError;
using platform::TSeekOrigin;

int64_t TReleasingDocument::Read(void* buffer, int64_t count) {
    if (count <= 0 || position_ >= Size()) return 0;
    if (position_ < released_) throw EStreamError("Document bytes already released");
    const int64_t n = std::min(count, Size() - position_);
    std::memcpy(buffer, held_.data() + (position_ - released_), static_cast<size_t>(n));
    position_ += n;
    return n;
}

int64_t TReleasingDocument::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    if (position_ < released_) throw EStreamError("Document bytes already released");
    const auto offset = static_cast<size_t>(position_ - released_);
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    // Bytes that overwrite held ones are copied in place, the rest appended.
    const size_t overlap = std::min(held_.size() - offset, static_cast<size_t>(count));
    // Nothing held yet means no buffer at all: memcpy must not see it.
    if (overlap > 0) std::memcpy(held_.data() + offset, bytes, overlap);
    try {
        held_.insert(held_.end(), bytes + overlap, bytes + count);
    } catch (const std::bad_alloc&) {
        throw EStreamError("Out of memory while expanding document");
    }
    position_ += count;
    return count;
}

int64_t TReleasingDocument::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = 0;
    if (origin == TSeekOrigin::soCurrent) base = position_;
    if (origin == TSeekOrigin::soEnd) base = Size();
    int64_t target = 0;
    if (__builtin_add_overflow(base, offset, &target)) target = offset < 0 ? 0 : Size();
    position_ = std::clamp<int64_t>(target, 0, Size());
    return position_;
}

void TReleasingDocument::SetSize(int64_t size) {
    if (size <= 0) {
        held_.clear();
        released_ = 0;
        position_ = 0;
        return;
    }
    if (size >= Size()) return;
    if (size < released_) throw EStreamError("Document bytes already released");
    held_.resize(static_cast<size_t>(size - released_));
    position_ = std::min(position_, size);
}

void TReleasingDocument::WriteTailTo(platform::TStream& target, int64_t count) {
    if (count <= 0) return;
    if (count > HeldSize()) throw EStreamError("Document bytes already released");
    target.WriteBuffer(held_.data() + (held_.size() - static_cast<size_t>(count)), count);
}

void TReleasingDocument::Release() {
    released_ = Size();
    held_.clear();  // the capacity stays for the next block
    position_ = released_;
}

}  // namespace lunaro::download
