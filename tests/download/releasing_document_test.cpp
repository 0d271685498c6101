#include "download/releasing_document.h"

#include <gtest/gtest.h>

#include <string>

namespace lunaro::download {
namespace {

using platform::EStreamError;
using platform::TMemoryStream;
using platform::TSeekOrigin;

void Append(TReleasingDocument& document, const std::string& bytes) {
    document.Seek(0, TSeekOrigin::soEnd);
    document.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

TEST(ReleasingDocument, KeepsCountingWhatItReleases) {
    TReleasingDocument document;
    Append(document, "hello ");
    TMemoryStream file;
    document.WriteTailTo(file, 6);
    document.Release();
    EXPECT_EQ(document.Size(), 6);
    EXPECT_EQ(document.HeldSize(), 0);
    EXPECT_EQ(document.Position(), 6);

    Append(document, "world");
    EXPECT_EQ(document.Size(), 11);
    EXPECT_EQ(document.HeldSize(), 5);
    document.WriteTailTo(file, 5);
    EXPECT_EQ(file.ToString(), "hello world");
}

TEST(ReleasingDocument, ReleasedBytesCannotBeReadWrittenOrDelivered) {
    TReleasingDocument document;
    Append(document, "abcdef");
    document.Release();
    Append(document, "gh");
    TMemoryStream file;
    EXPECT_THROW(document.WriteTailTo(file, 3), EStreamError);
    document.Seek(2, TSeekOrigin::soBeginning);
    char byte = 0;
    EXPECT_THROW(document.Read(&byte, 1), EStreamError);
    EXPECT_THROW(document.Write("x", 1), EStreamError);
    EXPECT_THROW(document.SetSize(3), EStreamError);

    document.Seek(-2, TSeekOrigin::soEnd);
    char held[2] = {};
    document.ReadBuffer(held, 2);
    EXPECT_EQ(std::string(held, 2), "gh");
}

TEST(ReleasingDocument, SetSizeZeroStartsOverAndPositionsStayInside) {
    TReleasingDocument document;
    Append(document, "abc");
    document.Release();
    document.SetSize(0);
    EXPECT_EQ(document.Size(), 0);
    Append(document, "xyz");
    EXPECT_EQ(document.Size(), 3);
    EXPECT_EQ(document.Seek(100, TSeekOrigin::soBeginning), 3);
    EXPECT_EQ(document.Seek(-100, TSeekOrigin::soCurrent), 0);
    EXPECT_EQ(document.Seek(INT64_MAX, TSeekOrigin::soEnd), 3);
    document.SetSize(1);
    EXPECT_EQ(document.Size(), 1);
}

}  // namespace
}  // namespace lunaro::download
