// UTF-8 to UTF-16LE to code page 936, through the platform's own conversion tables.
#include "http/charset.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* name;
    Bytes utf8;
    Bytes utf16;
    Bytes gbk;
};

const Case kCases[] = {
    {"two Chinese characters",
     {0xE4, 0xB8, 0xAD, 0xE6, 0x96, 0x87},
     {0x2D, 0x4E, 0x87, 0x65},
     {0xD6, 0xD0, 0xCE, 0xC4}},
    {"ASCII", {'a', 'Z', '1'}, {'a', 0, 'Z', 0, '1', 0}, {'a', 'Z', '1'}},
    {"empty", {}, {}, {}},
    {"a 00 byte is converted and so is what follows",
     {'a', 0, 0xE4, 0xB8, 0xAD},
     {'a', 0, 0, 0, 0x2D, 0x4E},
     {'a', 0, 0xD6, 0xD0}},
    {"euro sign", {0xE2, 0x82, 0xAC}, {0xAC, 0x20}, {0x80}},
    {"malformed byte becomes U+FFFD, then the default character", {'a', 0xFF, 'b'},
     {'a', 0, 0xFD, 0xFF, 'b', 0}, {'a', '?', 'b'}},
    {"cut-off sequence", {0xE4, 0xB8}, {0xFD, 0xFF}, {'?'}},
    {"character code page 936 lacks", {0xE0, 0xB8, 0x81}, {0x01, 0x0E}, {'?'}},
    {"CR LF kept", {'\r', '\n'}, {'\r', 0, '\n', 0}, {'\r', '\n'}},
};

TEST(CharsetTest, ConvertsThroughUtf16) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
        EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk);
    }
}

// A base letter with a combining acute accent is folded into the precomposed letter, which code
// page 936 has.
TEST(CharsetTest, FoldsCombiningMarksBeforeRecoding) {
    const Bytes decomposed = {'e', 0xCC, 0x81};
    EXPECT_EQ(Utf8ToUtf16(decomposed), (Bytes{'e', 0, 0x01, 0x03}));
    EXPECT_EQ(Utf8ToGbk(decomposed), (Bytes{0xA8, 0xA6}));
}

}  // namespace
