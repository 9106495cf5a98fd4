#include "text/text.h"

#include <gtest/gtest.h>

namespace {

struct FindCase {
    Text haystack, needle;
    int start;
    bool ignoreCase;
    int expected;
};

TEST(FindText, WalksByCharactersAndFoldsAsciiCapitalsByteWise) {
    const FindCase cases[] = {
        {"abc", "", 0, false, 1},
        {"abc", "", 3, false, 1},
        {"abc", "", 4, false, -1},
        {"", "", 0, false, -1},
        {"", "a", 0, false, -1},
        // Candidates are character starts only: the A1 A1 in the middle straddles two characters.
        {"\xB0\xA1\xA1\xB0", "\xA1\xA1", 0, false, -1},
        // A region that begins on a trail byte makes that byte a candidate.
        {"\xB0\xA1\xA1\xB0", "\xA1\xA1", 2, false, 2},
        {"ABC", "b", 0, false, -1},
        {"ABC", "b", 0, true, 2},
        {"\x81\x41", "\x81\x61", 0, true, 1},
        {"\x81\x41", "\x81\x61", 0, false, -1},
        {"aXbX", "X", 3, false, 4},
        {"aXbX", "X", 0, false, 2},
        {"aXbX", "X", -5, false, 2},
        {"abc", "c", 4, false, -1},
        {"abc", "abcd", 0, false, -1},
        // Folding applies only to A-Z: '[' (0x5B) and '{' (0x7B) stay apart.
        {"[", "{", 0, true, -1},
        // A lone lead byte at the end is compared, then the walk stops.
        {"a\xB0", "\xB0", 0, false, 2},
        {"\xB0", "x", 0, false, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.haystack << "\" / \"" << c.needle << "\" start " << c.start);
        EXPECT_EQ(FindText(c.haystack, c.needle, c.start, c.ignoreCase), c.expected);
    }
}

TEST(FindTextLast, FindsTheLastOverlappingMatch) {
    const struct { Text haystack, needle; int expected; } cases[] = {
        {"a:b:c", ":", 4}, {"aaa", "aa", 2}, {"", "a", -1}, {"", "", -1},
        {"abc", "", 1}, {"abc", "x", -1}, {"\xB0:\xB0:", ":", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.haystack + " / " + c.needle);
        EXPECT_EQ(FindTextLast(c.haystack, c.needle), c.expected);
    }
}

TEST(LeftRightMid, CountPlainBytesAndClamp) {
    EXPECT_EQ(Left("abc", 0), "");
    EXPECT_EQ(Left("abc", -1), "");
    EXPECT_EQ(Left("abc", 5), "abc");
    EXPECT_EQ(Left("\xD6\xD0", 1), "\xD6");
    EXPECT_EQ(Right("abc", 2), "bc");
    EXPECT_EQ(Right("abc", 9), "abc");
    EXPECT_EQ(Right("abc", 0), "");
    EXPECT_EQ(Mid("abc", 0, 2), "");
    EXPECT_EQ(Mid("abc", 3, 5), "c");
    EXPECT_EQ(Mid("abc", 4, 1), "");
    EXPECT_EQ(Mid("abc", 2, 0), "");
    EXPECT_EQ(Mid("abc", 2, 1), "b");
}

TEST(Spaces, OnlyAsciiAndFullWidthSpacesCount) {
    const struct { Text in, trimmed, removed; } cases[] = {
        {" \ta \r\n ", "\ta \r\n", "\ta\r\n"},
        {"\xA1\xA1" "a" "\xA1\xA1", "a", "a"},
        {"  ", "", ""},
        {"", "", ""},
        // A lone lead byte goes; the space before it stays in the trim.
        {"a \xB0", "a ", "a"},
        {"a b\xA1\xA1" "c\td", "a b\xA1\xA1" "c\td", "abc\td"},
        // B0 A1 is one character and A1 20 the next, so neither A1 A1 nor the final byte is a space.
        {"\xB0\xA1\xA1 ", "\xB0\xA1\xA1 ", "\xB0\xA1\xA1 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(TrimSpaces(c.in), c.trimmed);
        EXPECT_EQ(RemoveSpaces(c.in), c.removed);
    }
}

TEST(ReplaceText, ReplacesOnCharacterStartsWithoutOverlap) {
    const struct { Text text, find, replacement, expected; } cases[] = {
        {"a<wbr>b<wbr>", "<wbr>", "", "ab"},
        {"aaa", "aa", "b", "ba"},
        {"\xB0##", "#", "x", "\xB0#x"},
        {"", "a", "b", ""},
        {"abc", "", "x", "abc"},
        {"abc", "abcd", "x", "abc"},
        {"ab\xB0", "b", "x", "ax"},  // the lone lead byte is dropped
        {"#引号", "#引号", "\"", "\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + " / " + c.find);
        EXPECT_EQ(ReplaceText(c.text, c.find, c.replacement), c.expected);
    }
}

TEST(SplitText, KeepsInnerEmptyItemsButNoneAfterAFinalDelimiter) {
    const struct { Text text, delimiter; TextList expected; } cases[] = {
        {"a..b", ".", {"a", "", "b"}},
        {".a", ".", {"", "a"}},
        {"a.b.", ".", {"a", "b"}},
        {".", ".", {""}},
        {"", ".", {}},
        {"abc", "", {"abc"}},
        {"a\r\nb\r\n\r\n", "\r\n", {"a", "b", ""}},
        {"\xB0.a", ".", {"\xB0.a"}},
        {"a.\xB0", ".", {"a", "\xB0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + " / " + c.delimiter);
        EXPECT_EQ(SplitText(c.text, c.delimiter), c.expected);
    }
}

TEST(ToLower, FoldsOnlyOneByteCapitals) {
    EXPECT_EQ(ToLower("ABC\xB0\x41"), "abc\xB0\x41");
    EXPECT_EQ(ToLower("Z[@"), "z[@");
    EXPECT_EQ(ToLower("A\xB0"), "a\xB0");
}

TEST(ToInt, ReadsDecimalWithFullWidthFormsAndWraps) {
    const struct { Text text; int expected; } cases[] = {
        {"  -12ab", -12}, {"+7", 7}, {"x1", 0}, {"", 0}, {"\t\n42", 42},
        {"\xA3\xB8\xA3\xB0", 80},            // full-width 8 and 0
        {"\xA1\xA1\xA3\xAD" "5", -5},        // full-width space and minus
        {"4294967297", 1},                   // wraps in 32 bits
        {"-2147483648", -2147483647 - 1},
        {"1\xB0", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ToInt(c.text), c.expected);
    }
}

TEST(SmallTextOperations, GiveTheirDocumentedValues) {
    EXPECT_EQ(TextLength(""), 0);
    EXPECT_EQ(TextLength("中文"), 4);
    EXPECT_EQ(CharFromCode(0), "");
    EXPECT_EQ(CharFromCode(0x141), "A");
    EXPECT_EQ(BlankText(3), "   ");
    EXPECT_EQ(BlankText(0), "");
    EXPECT_EQ(BlankText(-2), "");
    EXPECT_EQ(ConcatText("a", "", "b", "c"), "abc");
    EXPECT_TRUE(TextEquals(Text(), ""));
    EXPECT_FALSE(TextEquals("a", "A"));
}

TEST(ByteSets, CountPlainBytesAndMayHoldZeros) {
    const Bytes ab0c{'a', 'b', 0, 'c'};
    EXPECT_EQ(ToText(ab0c), "ab");
    EXPECT_EQ(BytesLength(ToBytes("ab")), 2);
    EXPECT_EQ(BytesLength(ToBytes("")), 0);
    EXPECT_EQ(BlankBytes(3), (Bytes{0, 0, 0}));
    EXPECT_TRUE(BlankBytes(-1).empty());
    EXPECT_EQ(BytesLeft(ToBytes("abc"), 5), ToBytes("abc"));
    EXPECT_TRUE(BytesLeft(ToBytes("abc"), -1).empty());
    EXPECT_EQ(FindBytes(ToBytes("ab"), Bytes()), -1);
    EXPECT_EQ(FindBytes(ToBytes("\xB0\x41"), ToBytes("A")), 2);
    EXPECT_EQ(FindBytes(ab0c, Bytes{0, 'c'}), 3);
    EXPECT_EQ(FindBytes(ToBytes("ab"), ToBytes("abc")), -1);
    EXPECT_EQ(ConcatBytes(ToBytes("a"), Bytes(), ab0c), (Bytes{'a', 'a', 'b', 0, 'c'}));
    EXPECT_TRUE(BytesEquals(Bytes(), BlankBytes(0)));
    EXPECT_FALSE(BytesEquals(ToBytes("a"), ab0c));
}

}  // namespace
