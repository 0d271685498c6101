#include <gtest/gtest.h>

#include <cstring>

#include "platform/dynamic_library.h"
#include "tests/support/test_support.h"

using namespace lunaro::platform;
using lunaro::testkit::TempDir;
using lunaro::testkit::WriteFile;

TEST(DynamicLibrary, MissingLibrariesAre126) {
    TDynamicLibrary lib;
    TempDir dir;
    EXPECT_FALSE(lib.Load(dir.File("ZipEngine190.dll")));
    EXPECT_EQ(lib.LastError(), kErrorModuleNotFound);
    EXPECT_NE(lib.LastErrorText().find("ZipEngine190.dll"), std::string::npos);
    EXPECT_FALSE(lib.Load("NoSuchLibrary190.dll"));
    EXPECT_EQ(lib.LastError(), kErrorModuleNotFound);
    EXPECT_FALSE(lib.Load(""));
    EXPECT_EQ(lib.LastError(), kErrorModuleNotFound);
    EXPECT_FALSE(lib.Loaded());
}

TEST(DynamicLibrary, FilesThatAreNotLibrariesForThisMachineAre193) {
    TDynamicLibrary lib;
    TempDir dir;
    WriteFile(dir.File("text.dll"), "MZ this is a program for another system");
    EXPECT_FALSE(lib.Load(dir.File("text.dll")));
    EXPECT_EQ(lib.LastError(), kErrorBadExeFormat);

    WriteFile(dir.File("empty.dll"), "");
    EXPECT_FALSE(lib.Load(dir.File("empty.dll")));
    EXPECT_EQ(lib.LastError(), kErrorBadExeFormat);

    // A well-formed header of the other word size.
    std::string header(64, '\0');
    std::memcpy(header.data(), "\x7F" "ELF", 4);
    header[4] = sizeof(void*) == 8 ? 1 : 2;
    header[5] = 1;
    header[16] = 3;  // shared object
    WriteFile(dir.File("other.so"), header);
    EXPECT_FALSE(lib.Load(dir.File("other.so")));
    EXPECT_EQ(lib.LastError(), kErrorBadExeFormat);
}

TEST(DynamicLibrary, LoadsResolvesAndFrees) {
    TDynamicLibrary lib;
    EXPECT_EQ(lib.Resolve("strlen"), nullptr);
    EXPECT_EQ(lib.LastError(), kErrorInvalidHandle);
    ASSERT_TRUE(lib.Load("libc.so.6")) << lib.LastErrorText();
    EXPECT_EQ(lib.LastError(), 0);
    using StrLen = size_t (*)(const char*);
    auto strlenFn = reinterpret_cast<StrLen>(lib.Resolve("strlen"));
    ASSERT_NE(strlenFn, nullptr);
    EXPECT_EQ(strlenFn("abc"), 3u);
    EXPECT_EQ(lib.Resolve("ZE_NoSuchExport"), nullptr);
    EXPECT_EQ(lib.LastError(), kErrorProcNotFound);
    lib.Free();
    EXPECT_FALSE(lib.Loaded());
}
