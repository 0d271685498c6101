// The table compiler's input: text lists are parsed strictly, and a
// translation that would format its arguments differently is refused.
#include <gtest/gtest.h>

#include "tools/message_tables/message_source.h"
#include "tools/message_tables/placeholders.h"

namespace lunaro::tools {
namespace {

TEST(MessageSource, ParsesEscapesAndRejectsMalformedLines) {
    const MessageSource source = ParseMessageSource(
        "# comment\n\nlanguage 1046 BR\r\n10104 \"a\\nb \\\"q\\\" \\\\\"\n  # indented comment\n11007 \"Operação\"\n", "t");
    EXPECT_EQ(source.lcid, 1046);
    EXPECT_EQ(source.name, "BR");
    EXPECT_EQ(source.texts.at(10104), "a\nb \"q\" \\");
    EXPECT_EQ(source.texts.at(11007), "Operação");

    for (const char* bad : {"10096 \"x\"\n", "language 0 BR\n", "language 1046 br\n", "language 1046 BR\n10096 x\n",
                            "language 1046 BR\n10096 \"x\n", "language 1046 BR\n10096 \"x\" y\n",
                            "language 1046 BR\n10096 \"\\t\"\n", "language 1046 BR\n1 \"a\"\n1 \"b\"\n",
                            "language 1046 BR\n-5 \"a\"\n", "language 1046 BR\n10096 \"\xC3\"\n", ""})
        EXPECT_THROW(ParseMessageSource(bad, "t"), MessageSourceError) << bad;
}

TEST(MessageSource, TranslationsMustKeepThePlaceholders) {
    EXPECT_EQ(PlaceholderKinds("Error [%d %s] loading %s, 100%% %.1d"), "dssd");
    MessageSource builtin;
    builtin.texts = {{10110, "Index (%d) outside range 0..%d"}, {10650, "Failed to load %s"}};
    MessageSource translation;
    translation.name = "XX";
    translation.texts = {{10110, "Índice (%d) fora de 0..%d"}, {10650, "Falha: %d"}, {12000, "extra"}};
    const std::vector<std::string> problems = TranslationProblems(builtin, translation);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find("10650"), std::string::npos);
    EXPECT_NE(problems[1].find("12000"), std::string::npos);
}

}  // namespace
}  // namespace lunaro::tools
