#include <gtest/gtest.h>

#include "platform/command_line.h"
#include "platform/main_thread.h"
#include "platform/text_case.h"

#include <thread>

using namespace lunaro::platform;

TEST(TextCase, EachFlavourTouchesOnlyWhatItShould) {
    EXPECT_EQ(AsciiUpperCase("ação"), "AçãO");
    EXPECT_TRUE(SameTextAscii("ListaServidores", "LISTASERVIDORES"));
    EXPECT_FALSE(SameTextAscii("ação", "AÇÃO"));
    EXPECT_EQ(InvariantUpperCase("ação ñ ß"), "AÇÃO Ñ ß");
    EXPECT_EQ(InvariantUpperCase("a\xFF" "b"), "A\xFF" "B");
    EXPECT_TRUE(SameTextInvariant("Área", "ÁREA"));
}

TEST(CommandLine, SplitsWithWindowsQuotingRules) {
    using Args = std::vector<std::string>;
    EXPECT_EQ(SplitCommandLine(""), Args{});
    EXPECT_EQ(SplitCommandLine("  a\tb  "), (Args{"a", "b"}));
    EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\x\" /s"), (Args{"C:\\Program Files\\x", "/s"}));
    EXPECT_EQ(SplitCommandLine("a\\\\\"b c\" d\\e"), (Args{"a\\b c", "d\\e"}));
    EXPECT_EQ(SplitCommandLine("a\\\"b"), (Args{"a\"b"}));
    EXPECT_EQ(SplitCommandLine("\"\" x"), (Args{"", "x"}));
    EXPECT_EQ(SplitCommandLine("\"open"), (Args{"open"}));
}

TEST(MainThread, OnlyTheProcessesFirstThreadIsMain) {
    EXPECT_TRUE(IsMainThread());
    bool other = true;
    std::thread([&] { other = IsMainThread(); }).join();
    EXPECT_FALSE(other);
}
