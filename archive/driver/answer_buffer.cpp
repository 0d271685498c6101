#include "archive/driver/answer_buffer.h"

#include <cstring>

#include "platform/utf8.h"

namespace lunaro::archive {

uint8_t* TZKAnswerBuffer::Prepare(size_t bytes) {
    const size_t size = (bytes + 4 + kAnswerGranule - 1) / kAnswerGranule * kAnswerGranule;
    buffer_.assign(size, 0);
    return buffer_.data();
}

void TZKAnswerBuffer::SetText(TZCallBackStruct& rec, std::string_view utf8) {
    const std::u16string wide = platform::Utf8ToUtf16(utf8);
    const size_t bytes = wide.size() * sizeof(char16_t);
    std::memcpy(Prepare(bytes), wide.data(), bytes);
    rec.HaveWide = 1;
    rec.MsgP = buffer_.data();
}

void TZKAnswerBuffer::SetBytes(TZCallBackStruct& rec, std::string_view bytes) {
    std::memcpy(Prepare(bytes.size()), bytes.data(), bytes.size());
    rec.HaveWide = 0;
    rec.MsgP = buffer_.data();
}

}  // namespace lunaro::archive
