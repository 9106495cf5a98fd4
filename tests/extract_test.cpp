#include "text/extract.h"

#include <gtest/gtest.h>

namespace {

struct AllBetweenCase {
    const char* name;
    Text source;
    TextList expected;
};

TEST(ExtractAllBetween, SplitsLinesWithCrLfAsBothMarkers) {
    const AllBetweenCase cases[] = {
        {"two lines", "\r\nA\r\nB\r\n", {"A", "B"}},
        {"text before the first marker and an unclosed last piece", "X\r\nA\r\nB", {"A"}},
        {"a blank line joins the next", "\r\nA\r\n\r\nB\r\n", {"A", "\r\nB"}},
        {"a spaces-only piece ends the extraction", "\r\nA\r\n   \r\nB\r\n", {"A"}},
        {"spaces trimmed, other whitespace kept", "\r\n  A\t  \r\n", {"A\t"}},
        // The end search starts on D0, so C4 0D is taken as one character and that CR is missed.
        {"double-byte stepping out of line", "\r\n\xD6\xD0\xCE\xC4\r\nAB\r\n", {"\xD6\xD0\xCE\xC4\r\nAB"}},
        {"an ASCII comma brings the stepping back", "\r\n\xD6\xD0\xCE\xC4,\r\nAB\r\n",
         {"\xD6\xD0\xCE\xC4,", "AB"}},
        {"nothing found", "no markers", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TextList list;
        const int count = ExtractAllBetween(c.source, "\r\n", "\r\n", list);
        EXPECT_EQ(list, c.expected);
        EXPECT_EQ(count, static_cast<int>(c.expected.size()));
    }
}

TEST(ExtractAllBetween, AppliesLimitDecorationAndCaseRule) {
    TextList list;
    EXPECT_EQ(ExtractAllBetween("\r\nAB\r\nABC\r\nA\r\n", "\r\n", "\r\n", list, false, 2), 1);
    EXPECT_EQ(list, TextList{"AB"});

    list.clear();
    ExtractAllBetween("\r\nAB\r\nC\r\n", "\r\n", "\r\n", list, false, 0, "[", "]", true, true);
    EXPECT_EQ(list, (TextList{"\r\n[AB]\r\n", "\r\n[C]\r\n"}));

    list.clear();
    ExtractAllBetween("ab1zAB2zab3z", "ab", "z", list);
    EXPECT_EQ(list, (TextList{"1", "2", "3"}));
    list.clear();
    ExtractAllBetween("ab1zAB2zab3z", "ab", "z", list, true);
    EXPECT_EQ(list, (TextList{"1", "3"}));

    // A negative limit ends the extraction at the first piece.
    list.clear();
    EXPECT_EQ(ExtractAllBetween("\r\nA\r\n", "\r\n", "\r\n", list, false, -1), 0);
    // The start position skips earlier pieces.
    EXPECT_EQ(ExtractAllBetween("\r\nA\r\nB\r\n", "\r\n", "\r\n", list, false, 0, "", "", false, false, 4), 1);
    EXPECT_EQ(list, TextList{"B"});
}

TEST(ExtractAllBetween, AppendsAndCountsWhatTheListAlreadyHeld) {
    TextList list;
    EXPECT_EQ(ExtractAllBetween("\r\nA\r\nB\r\n", "\r\n", "\r\n", list), 2);
    EXPECT_EQ(ExtractAllBetween("\r\nA\r\nB\r\n", "\r\n", "\r\n", list), 4);
    EXPECT_EQ(ExtractAllBetween("nothing", "\r\n", "\r\n", list), 0);
    EXPECT_EQ(list.size(), 4u);
}

TEST(ExtractAllBetween, DegenerateMarkersAppendNothing) {
    TextList list;
    EXPECT_EQ(ExtractAllBetween("\r\nA\r\n", "\r\n", "", list), 0);
    EXPECT_EQ(ExtractAllBetween("\r\nA\r\n", "", "\r\n", list), 0);
    EXPECT_TRUE(list.empty());
}

TEST(ExtractAllBetween, HandlesAHundredThousandPiecesWithoutDeepRecursion) {
    Text page;
    for (int i = 0; i < 100000; ++i) page += "<t>x</t>";
    TextList list;
    EXPECT_EQ(ExtractAllBetween(page, "<t>", "</t>", list), 100000);
}

TEST(ExtractBetweenAndField, ShareTheSearchButDifferOnFailure) {
    const struct {
        Text source, start, end, between, field;
    } cases[] = {
        {"版本号【V1.0】结束", "版本号【", "】结束", "V1.0", "V1.0"},
        {"版本号【V1.0", "版本号【", "】结束", "", "获取失败"},
        {"V1.0】结束", "版本号【", "】结束", "", "获取失败"},
        {"版本号【】结束", "版本号【", "】结束", "", ""},
        {"xz【http://a/】结束", "XZ【", "】结束", "http://a/", "http://a/"},
        {"set-cookie: a=1; path=/", "Set-Cookie:", ";", " a=1", " a=1"},
        {"abc", "ab", "bc", "", "获取失败"},
        {"id=\"42\"", "id=#引号", "#引号", "42", "获取失败"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(ExtractBetween(c.source, c.start, c.end), c.between);
        EXPECT_EQ(ExtractField(c.source, c.start, c.end), c.field);
    }
}

TEST(ExtractBetween, HonoursCaseFlagAndStartPosition) {
    EXPECT_EQ(ExtractBetween("set-cookie: a=1;", "Set-Cookie:", ";", 0, true), "");
    EXPECT_EQ(ExtractBetween("Set-Cookie: a=1;", "Set-Cookie:", ";", 0, true), " a=1");
    EXPECT_EQ(ExtractBetween("[1][2]", "[", "]", 2), "2");
    EXPECT_EQ(ExtractField("[1][2]", "[", "]", 2), "2");
}

}  // namespace
