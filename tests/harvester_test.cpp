#include "bank/harvester.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The harvester's edit box, with every access recorded in order.
struct FakeEditBox {
    Text content;
    std::vector<std::string> log;

    HarvestIo Io() {
        return {
            [this] {
                log.push_back("read");
                return content;
            },
            [this](const Text& text) {
                log.push_back("set " + text);
                content = text;
            },
            [this](const Text& text) {
                log.push_back("append " + text);
                content += text;
            },
        };
    }
};

const Text kTag = "<div class=\"title\">";
const Text kIndent = "          ";

// One question block as the exam page writes it.
Text Block(const Text& title) {
    return "<div class=\"item\">\r\n" + kTag + "\r\n" + kIndent + title + "\r\n        </div>\r\n";
}

TEST(HarvestTitles, ReplacesThePageWithItsTitles) {
    struct Case {
        const char* name;
        Text content;
        Text expected;
    };
    const Case cases[] = {
        {"titles in page order", Block("1、甲题？") + Block("2、乙题？"), "1、甲题？\r\n2、乙题？\r\n"},
        {"no marker empties the box", "<p>1、甲题？</p>\r\n", ""},
        {"a harvested list holds no marker", "1、甲题？\r\n2、乙题？\r\n", ""},
        {"empty box", "", ""},
        {"tag in capitals", "<DIV CLASS=\"TITLE\">\r\n" + kIndent + "1、甲题？\r\n", "1、甲题？\r\n"},
        {"lone LF line breaks", kTag + "\n" + kIndent + "1、甲题？\n</div>\n", ""},
        {"indent under ten spaces", kTag + "\r\n         1、甲题？\r\n", ""},
        {"indent over ten spaces trimmed", kTag + "\r\n" + kIndent + "    1、甲题？\r\n", "1、甲题？\r\n"},
        {"trailing spaces trimmed", kTag + "\r\n" + kIndent + "1、甲题？ 　 \r\n", "1、甲题？\r\n"},
        {"tab kept", kTag + "\r\n" + kIndent + "\t1、甲题？\t\r\n", "\t1、甲题？\t\r\n"},
        {"title of spaces ends the harvest", Block("1、甲题？") + Block("   ") + Block("3、丙题？"), "1、甲题？\r\n"},
        {"empty title line takes the next line", Block("") + Block("2、乙题？"),
         "\r\n        </div>\r\n2、乙题？\r\n"},
        // As with bank lines, a title without an ASCII byte is not closed by its own CR LF.
        {"title without an ASCII byte runs on", Block("甲题？") + Block("2、乙题？"),
         "甲题？\r\n        </div>\r\n2、乙题？\r\n"},
        {"last title without CR LF not collected", Block("1、甲题？") + kTag + "\r\n" + kIndent + "2、乙题？",
         "1、甲题？\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeEditBox box;
        box.content = c.content;
        HarvestTitles(box.Io());
        EXPECT_EQ(box.content, c.expected);
    }
}

TEST(HarvestTitles, EmptiesTheBoxThenAppendsEachTitle) {
    FakeEditBox box;
    box.content = Block("1、甲题？") + Block("2、乙题？");
    HarvestTitles(box.Io());
    const std::vector<std::string> expected = {"read", "set ", "append 1、甲题？\r\n", "append 2、乙题？\r\n"};
    EXPECT_EQ(box.log, expected);
}

}  // namespace
