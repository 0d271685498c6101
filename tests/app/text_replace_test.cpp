#include "app/text_replace.h"

#include <gtest/gtest.h>

#include "app/shell_folder_names.h"
#include "platform/exception.h"

namespace lunaro::app {
namespace {

TEST(SubstituirTexto, RemovalsThatFormNewMatchesAreReplacedToo) {
    EXPECT_EQ(SubstituirTexto("aabb", "ab", ""), "");
    EXPECT_EQ(SubstituirTexto("A&B&&C", "&", ""), "ABC");
}

TEST(SubstituirTexto, MatchingIgnoresCaseWhileTheReplacementKeepsItsOwn) {
    EXPECT_EQ(SubstituirTexto("Cafe", "FE", "x"), "Cax");
    EXPECT_EQ(SubstituirTexto("Ação", "ÇÃO", "x"), "Ação");  // only ASCII letters fold
}

TEST(SubstituirTexto, NothingToDoLeavesTheText) {
    EXPECT_EQ(SubstituirTexto("", "&", ""), "");
    EXPECT_EQ(SubstituirTexto("ABC", "", "x"), "ABC");
    EXPECT_EQ(SubstituirTexto("ABC", "&", ""), "ABC");
}

TEST(SubstituirTexto, AReplacementThatContainsThePatternIsRefused) {
    EXPECT_THROW(SubstituirTexto("a&b", "&", "&&"), platform::Exception);
    EXPECT_THROW(SubstituirTexto("a&b", "x", "X"), platform::Exception);
}

TEST(ShellFolderValueName, TheDesktopCodesAndTheTable) {
    for (int code : {0, 1, 20, 255}) EXPECT_EQ(ShellFolderValueName(static_cast<uint8_t>(code)), "Desktop") << code;
    EXPECT_EQ(ShellFolderValueName(2), "Templates");
    EXPECT_EQ(ShellFolderValueName(17), "Local AppData");
    EXPECT_EQ(ShellFolderValueName(19), "Administrative Tools");
}

}  // namespace
}  // namespace lunaro::app
