#include "zipcli/list_writer.h"

#include <charconv>

namespace lunaro::zipcli {

namespace {

// Rows collect in blocks of about this size.
constexpr size_t kBlockSize = 1 << 16;
// Where the name column of the table starts.
constexpr size_t kNameColumn = 57;
// The most a TSV row holds beside its name: three numbers of up to 20
// digits, 8 hex digits, a method of up to 5 digits, the flag, 5 tabs and
// the line break.
constexpr size_t kTsvRowTail = 3 * 20 + 8 + 5 + 1 + 5 + 1;

// Copies text to out with control characters as '?'; returns the end.
char* CopyPrintable(char* out, std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = byte < 0x20 || byte == 0x7F ? '?' : c;
    }
    return out;
}

char* PutUnsigned(char* out, uint64_t value) { return std::to_chars(out, out + 20, value).ptr; }

char* PutHex8(char* out, uint32_t value) {
    static constexpr char kHex[] = "0123456789abcdef";
    for (int shift = 28; shift >= 0; shift -= 4) *out++ = kHex[(value >> shift) & 0xF];
    return out;
}

void AppendUnsigned(std::string& out, uint64_t value, int width) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    const auto length = static_cast<int>(end - digits);
    if (length < width) out.append(static_cast<size_t>(width - length), ' ');
    out.append(digits, end);
}

void AppendHex8(std::string& out, uint32_t value) {
    char digits[8];
    out.append(digits, PutHex8(digits, value));
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
    out.resize(start + text.size());
    CopyPrintable(out.data() + start, text);
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

// Written through a pointer into room made once per row: one size check
// instead of one per field, as this is the format scripts list huge
// archives in.
void TListWriter::AppendTsvRow(archive::TZKIRec& entry) {
    const std::string_view name = entry.DecodedName();
    const size_t start = buffer_.size();
    buffer_.resize(start + name.size() + kTsvRowTail);
    char* out = CopyPrintable(buffer_.data() + start, name);
    *out++ = '\t';
    out = PutUnsigned(out, static_cast<uint64_t>(entry.UncompressedSize()));
    *out++ = '\t';
    out = PutUnsigned(out, static_cast<uint64_t>(entry.CompressedSize()));
    *out++ = '\t';
    out = PutHex8(out, entry.CRC32());
    *out++ = '\t';
    out = PutUnsigned(out, entry.CompressionMethod());
    *out++ = '\t';
    *out++ = entry.Encrypted() ? '1' : '0';
    *out++ = '\n';
    buffer_.resize(static_cast<size_t>(out - buffer_.data()));
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
