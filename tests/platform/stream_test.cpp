#include <gtest/gtest.h>

#include "platform/stream.h"

using namespace lunaro::platform;

TEST(MemoryStream, WritesPastTheEndExtendAndSeeksClampAtZero) {
    TMemoryStream s;
    s.Seek(4, TSeekOrigin::soBeginning);
    s.WriteBuffer("ab", 2);
    EXPECT_EQ(s.Size(), 6);
    EXPECT_EQ(s.ToString(), std::string("\0\0\0\0ab", 6));
    EXPECT_EQ(s.Seek(-100, TSeekOrigin::soCurrent), 0);
    EXPECT_EQ(s.Seek(-1, TSeekOrigin::soEnd), 5);
    char c = 0;
    EXPECT_EQ(s.Read(&c, 10), 1);
    EXPECT_EQ(c, 'b');
    EXPECT_EQ(s.Read(&c, 10), 0);
    EXPECT_THROW(s.ReadBuffer(&c, 1), EStreamError);
}

TEST(MemoryStream, ShrinkingMovesThePositionBack) {
    TMemoryStream s;
    s.WriteBuffer("hello", 5);
    s.SetSize(2);
    EXPECT_EQ(s.Position(), 2);
    EXPECT_EQ(s.ToString(), "he");
}
