#include "app/window_texts.h"

#include <gtest/gtest.h>

#include <cstring>

#include "build_config.h"

namespace {

// The lengths hold with the default support contact; another contact shifts both by the difference.
constexpr int kContactShift = static_cast<int>(sizeof SUPPORT_CONTACT - 1) - 10;

TEST(WindowTitle, IsOneLineOf132Bytes) {
    EXPECT_EQ(TextLength(kWindowTitle), 132 + kContactShift);
    EXPECT_EQ(kWindowTitle.find_first_of("\r\n"), Text::npos);
    EXPECT_NE(FindText(kWindowTitle, SUPPORT_CONTACT), -1);
}

TEST(Notice, IsFiveParagraphsOf737BytesEndingWithTheUsageSentence) {
    EXPECT_EQ(TextLength(kNotice), 737 + kContactShift);
    const TextList paragraphs = SplitText(kNotice, "\r\n\r\n");
    ASSERT_EQ(paragraphs.size(), 5u);
    for (const Text& paragraph : paragraphs) {
        SCOPED_TRACE(paragraph);
        EXPECT_FALSE(paragraph.empty());
        EXPECT_EQ(paragraph.find_first_of("\r\n"), Text::npos);
    }
    EXPECT_EQ(paragraphs[4], kUsageSentence);
    EXPECT_EQ(kUsageSentence,
              "\xB1\xBE\xC8\xED\xBC\xFE\xCA\xB9\xD3\xC3\xBD\xCC\xB3\xCC\xA3\xBA\xB8\xB4\xD6\xC6\xB2\xBF\xB7\xD6"
              "\xCC\xE2\xC4\xBF\xCE\xC4\xB1\xBE\xCF\xD4\xCA\xBE\xB4\xF0\xB0\xB8\xA3\xAC\xC7\xEB\xB2\xBB\xD2\xAA"
              "\xB8\xB4\xD6\xC6\xD3\xEB\xCC\xE2\xC4\xBF\xCE\xDE\xB9\xD8\xB5\xC4\xC4\xDA\xC8\xDD\xA3\xAC\xC7\xEB"
              "\xB2\xBB\xD2\xAA\xB8\xB4\xD6\xC6\xB1\xB8\xD7\xA2\xA1\xA3");
    // The list of exams is parted by "、".
    EXPECT_NE(FindText(paragraphs[1], "\xA1\xA2"), -1);
    EXPECT_NE(FindText(paragraphs[2], SUPPORT_CONTACT), -1);
}

}  // namespace
