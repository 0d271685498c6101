#pragma once
// Bytes received but not yet handed out (a socket's LineBuffer). Reads take
// bytes from the front without moving the rest, and new packets land at the
// back in place, so handing out many lines of one packet, or gathering one
// long line from many small packets, costs time in proportion to the bytes.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace lunaro::net {

class TReceiveBuffer {
public:
    bool Empty() const { return begin_ == end_; }
    std::size_t Size() const { return end_ - begin_; }
    std::string_view View() const { return {storage_.get() + begin_, Size()}; }

    // Makes room for count more bytes at the back and returns where they go;
    // Commit then says how many of them were filled.
    char* Reserve(std::size_t count);
    void Commit(std::size_t count) { end_ += count; }

    void Append(std::string_view bytes);
    void Assign(const std::string& bytes);
    // Empties the buffer; storage grown by an unusually long line is returned.
    void Clear();
    // Drops count bytes (at most Size()) from the front.
    void Consume(std::size_t count);
    // The first count bytes (at most Size()), removed from the buffer.
    std::string Take(std::size_t count);

private:
    std::unique_ptr<char[]> storage_;
    std::size_t capacity_ = 0;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
};

}  // namespace lunaro::net
