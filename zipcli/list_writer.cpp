#include "zipcli/list_writer.h"

#include <charconv>

namespace lunaro::zipcli {

namespace {

// Rows collect in blocks of about this size.
constexpr size_t kBlockSize = 1 << 16;
// Where the name column of the table starts.
constexpr size_t kNameColumn = 57;

void AppendUnsigned(std::string& out, uint64_t value, int width) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    const auto length = static_cast<int>(end - digits);
    if (length < width) out.append(static_cast<size_t>(width - length), ' ');
    out.append(digits, end);
}

void AppendHex8(std::string& out, uint32_t value) {
    static constexpr char kHex[] = "0123456789abcdef";
    for (int shift = 28; shift >= 0; shift -= 4) out.push_back(kHex[(value >> shift) & 0xF]);
}

void AppendTwoDigits(std::string& out, unsigned value) {
    out.push_back(static_cast<char>('0' + value / 10 % 10));
    out.push_back(static_cast<char>('0' + value % 10));
}

// The stored DOS date and time as written, without time-zone arithmetic.
void AppendDosDateTime(std::string& out, uint32_t dos) {
    const unsigned day = (dos >> 16) & 0x1F, month = (dos >> 21) & 0x0F;
    if (day == 0 || month == 0 || month > 12) {
        out.append("----------  -----");
        return;
    }
    AppendUnsigned(out, 1980 + (dos >> 25), 4);
    out.push_back('-');
    AppendTwoDigits(out, month);
    out.push_back('-');
    AppendTwoDigits(out, day);
    out.append("  ");
    AppendTwoDigits(out, (dos >> 11) & 0x1F);
    out.push_back(':');
    AppendTwoDigits(out, (dos >> 5) & 0x3F);
}

}  // namespace

void AppendPrintable(std::string& out, std::string_view text) {
    const size_t start = out.size();
    out.append(text);
    for (size_t i = start; i < out.size(); ++i) {
        const auto byte = static_cast<unsigned char>(out[i]);
        if (byte < 0x20 || byte == 0x7F) out[i] = '?';
    }
}

void TListWriter::Begin() {
    if (format_ == ListFormat::Table)
        buffer_.append(
            "        Size    Compressed  Date        Time   CRC-32    Name\n"
            "------------  ------------  ----------  -----  --------  ----\n");
}

void TListWriter::Row(archive::TZKIRec& entry) {
    ++entries_;
    totalSize_ += static_cast<uint64_t>(entry.UncompressedSize());
    totalCompressed_ += static_cast<uint64_t>(entry.CompressedSize());
    if (format_ == ListFormat::Table) AppendTableRow(entry);
    else AppendTsvRow(entry);
    if (buffer_.size() >= kBlockSize) {
        held_.push_back(std::move(buffer_));
        buffer_.clear();
        buffer_.reserve(kBlockSize + 4096);
    }
}

void TListWriter::AppendTableRow(archive::TZKIRec& entry) {
    AppendUnsigned(buffer_, static_cast<uint64_t>(entry.UncompressedSize()), 12);
    buffer_.append("  ");
    AppendUnsigned(buffer_, static_cast<uint64_t>(entry.CompressedSize()), 12);
    buffer_.append("  ");
    AppendDosDateTime(buffer_, entry.DateTime());
    buffer_.append("  ");
    AppendHex8(buffer_, entry.CRC32());
    buffer_.append("  ");
    AppendPrintable(buffer_, entry.DecodedName());
    buffer_.push_back('\n');
}

void TListWriter::AppendTsvRow(archive::TZKIRec& entry) {
    AppendPrintable(buffer_, entry.DecodedName());
    buffer_.push_back('\t');
    AppendUnsigned(buffer_, static_cast<uint64_t>(entry.UncompressedSize()), 0);
    buffer_.push_back('\t');
    AppendUnsigned(buffer_, static_cast<uint64_t>(entry.CompressedSize()), 0);
    buffer_.push_back('\t');
    AppendHex8(buffer_, entry.CRC32());
    buffer_.push_back('\t');
    AppendUnsigned(buffer_, entry.CompressionMethod(), 0);
    buffer_.push_back('\t');
    buffer_.push_back(entry.Encrypted() ? '1' : '0');
    buffer_.push_back('\n');
}

void TListWriter::End() {
    if (format_ == ListFormat::Table) {
        buffer_.append("------------  ------------" + std::string(kNameColumn - 26, ' ') + "----\n");
        AppendUnsigned(buffer_, totalSize_, 12);
        buffer_.append("  ");
        AppendUnsigned(buffer_, totalCompressed_, 12);
        buffer_.append(std::string(kNameColumn - 26, ' '));
        AppendUnsigned(buffer_, entries_, 0);
        buffer_.append(entries_ == 1 ? " entry\n" : " entries\n");
    }
    Flush();
}

void TListWriter::Discard() {
    held_.clear();
    buffer_.clear();
}

bool TListWriter::Flush() {
    held_.push_back(std::move(buffer_));
    for (const std::string& block : held_)
        if (!block.empty() && std::fwrite(block.data(), 1, block.size(), out_) != block.size()) failed_ = true;
    Discard();
    if (std::fflush(out_) != 0) failed_ = true;
    return !failed_;
}

}  // namespace lunaro::zipcli
