#include "cli/JsonLine.h"

#include <gtest/gtest.h>

namespace {

struct QuoteCase {
    const char* name;
    std::string text;
    std::string expected;
};

class JsonQuotedTest : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(JsonQuotedTest, EscapesWhatJsonForbidsAndKeepsValidUtf8) {
    EXPECT_EQ(JsonQuoted(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, JsonQuotedTest,
    ::testing::Values(QuoteCase{"Plain", "puzzles/cat.tb", "\"puzzles/cat.tb\""}, QuoteCase{"Empty", "", "\"\""},
                      QuoteCase{"QuotesAndBackslashes", "a \"b\" \\c\\", "\"a \\\"b\\\" \\\\c\\\\\""},
                      QuoteCase{"LineEndsAndTab", "a\nb\r\tc", "\"a\\nb\\r\\tc\""},
                      QuoteCase{"OtherControlCharacters", std::string("\x01\x08\x0c\x1f\x7f\0z", 7),
                                "\"\\u0001\\u0008\\u000c\\u001f\\u007f\\u0000z\""},
                      QuoteCase{"Utf8KeptAsItIs", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",
                                "\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\""},
                      QuoteCase{"LineAndParagraphSeparators",
                                "a\xE2\x80\xA8"
                                "b\xE2\x80\xA9",
                                "\"a\\u2028b\\u2029\""},
                      QuoteCase{"LoneBytes",
                                "\xFF"
                                "a\x80",
                                "\"\\ufffda\\ufffd\""},
                      QuoteCase{"CutSequence", "\xC3", "\"\\ufffd\""},
                      QuoteCase{"CutBeforeAnAsciiByte",
                                "\xE2\x82"
                                "a",
                                "\"\\ufffd\\ufffda\""},
                      QuoteCase{"Overlong", "\xC0\xAF\xE0\x80\xAF", "\"\\ufffd\\ufffd\\ufffd\\ufffd\\ufffd\""},
                      QuoteCase{"Surrogate", "\xED\xA0\x80", "\"\\ufffd\\ufffd\\ufffd\""},
                      QuoteCase{"PastTheLastCharacter", "\xF4\x90\x80\x80", "\"\\ufffd\\ufffd\\ufffd\\ufffd\""},
                      QuoteCase{"LastCharacter", "\xF4\x8F\xBF\xBF", "\"\xF4\x8F\xBF\xBF\""}),
    [](const ::testing::TestParamInfo<QuoteCase>& info) { return info.param.name; });

TEST(JsonLine, HoldsItsMembersInOrderOnOneLine) {
    CJsonLine json;
    json.String("file", "a\"b");
    json.Number("rows", 32767);
    json.Milliseconds("ms", 1.5);
    json.Null("score");
    json.Strings("grid", {"X-", " X"});
    json.Strings("none", {});
    EXPECT_EQ(
        json.Text(),
        "{\"file\":\"a\\\"b\",\"rows\":32767,\"ms\":1.500,\"score\":null,\"grid\":[\"X-\",\" X\"],\"none\":[]}\n");
    EXPECT_EQ(CJsonLine().Text(), "{}\n");
}

} // namespace
