#pragma once
// The buffer through which the driver hands a text back to the engine in
// a callback record: owned by the driver, zero-terminated, sized to the
// text plus 4 bytes rounded up to a multiple of 512, and valid until the
// next answer or the end of the operation object.
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/abi/zip_engine_abi.h"

namespace lunaro::archive {

inline constexpr size_t kAnswerGranule = 512;

class TZKAnswerBuffer {
public:
    // UTF-16 text (HaveWide 1), from UTF-8.
    void SetText(TZCallBackStruct& rec, std::string_view utf8);
    // 8-bit data (HaveWide 0), as given.
    void SetBytes(TZCallBackStruct& rec, std::string_view bytes);

    size_t Capacity() const { return buffer_.size(); }

private:
    uint8_t* Prepare(size_t bytes);

    std::vector<uint8_t> buffer_;
};

}  // namespace lunaro::archive
