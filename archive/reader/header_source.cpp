#include "archive/reader/header_source.h"

#include <algorithm>
#include <cstring>

#include "archive/reader/work_file.h"

namespace lunaro::archive {

int TZKFileHeaderSource::Reads(void* buffer, std::span<const int> sizes) { return file_.Reads(buffer, sizes); }

int TZKBufferedHeaderSource::Reads(void* buffer, std::span<const int> sizes) {
    int wanted = 0;
    for (int size : sizes) wanted += size;
    auto* out = static_cast<uint8_t*>(buffer);
    int done = 0;
    while (done < wanted) {
        if (begin_ == end_) {
            const int got = file_.Read(buffer_.data(), kChunk);
            if (got < 0) return done > 0 ? done : got;
            if (got == 0) break;
            begin_ = 0;
            end_ = got;
        }
        const int take = std::min(wanted - done, end_ - begin_);
        std::memcpy(out + done, buffer_.data() + begin_, static_cast<size_t>(take));
        begin_ += take;
        done += take;
    }
    return done;
}

}  // namespace lunaro::archive
