#include "bank/lookup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bank/bank.h"

namespace {

// The clipboard and the answer label of the window, with every access recorded in order.
struct FakeWindow {
    // Handed out one per read; the last one stays on the clipboard.
    std::vector<Text> clipboard = {Text()};
    std::size_t clipboardReads = 0;
    Text caption;
    std::vector<std::string> log;

    LookupIo Io() {
        return {
            [this] {
                log.push_back("clipboard");
                return clipboard[std::min(clipboardReads++, clipboard.size() - 1)];
            },
            [this] {
                log.push_back("read caption");
                return caption;
            },
            [this](const Text& text) {
                log.push_back("write caption " + text);
                caption = text;
            },
        };
    }
};

TextList SuppliedBank() {
    TextList bank;
    LoadQuestionBank(kBankText, bank);
    return bank;
}

// The caption a tick shows for these matching lines.
Text Listing(const TextList& lines) {
    Text caption;
    for (const Text& line : lines) caption += "\r\n" + line;
    return caption;
}

TEST(LookupTick, ListsEveryLineHoldingTheClipboardText) {
    struct Case {
        const char* name;
        TextList bank;
        Text clipboard;
        Text caption;
    };
    const TextList supplied = SuppliedBank();
    ASSERT_EQ(supplied.size(), 46u);
    const Text& bankLine42 = supplied[41];
    const Case cases[] = {
        {"empty clipboard lists the whole bank", supplied, "", Listing(supplied)},
        {"exact case matches", {"使用PVC管材？A"}, "PVC", "\r\n使用PVC管材？A"},
        {"other case does not match", {"使用PVC管材？A"}, "pvc", ""},
        {"bytes across two characters do not match", {"中文？A"}, "形", ""},
        {"several matches in bank order", {"甲题,火？A", "乙题？B", "丙题,火？C"}, "火",
         "\r\n甲题,火？A\r\n丙题,火？C"},
        {"several lines of the supplied bank", supplied, "安全色中表示",
         Listing({supplied[2], supplied[3], supplied[4], supplied[5]})},
        {"whole line", supplied, bankLine42, "\r\n" + bankLine42},
        {"longer than the line", supplied, bankLine42 + "A", ""},
        {"line break matches nothing", supplied, "？A\r\n", ""},
        {"lone line break matches nothing", supplied, "\r\n", ""},
        {"empty bank", {}, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeWindow window;
        window.clipboard = {c.clipboard};
        window.caption = "上次的答案";
        LookupTick(c.bank, window.Io());
        EXPECT_EQ(window.caption, c.caption);
        EXPECT_EQ(window.clipboardReads, c.bank.size());
    }
}

TEST(LookupTick, ReadsTheClipboardBeforeEachLineAndWritesOncePerMatch) {
    FakeWindow window;
    window.clipboard = {"甲", "甲", "丙"};
    LookupTick({"甲题？A", "乙题？B", "丙题？C"}, window.Io());
    const std::vector<std::string> expected = {
        "write caption ",
        "clipboard",
        "read caption",
        "write caption \r\n甲题？A",
        "clipboard",
        "clipboard",
        "read caption",
        "write caption \r\n甲题？A\r\n丙题？C",
    };
    EXPECT_EQ(window.log, expected);
}

TEST(LookupTick, RebuildsTheCaptionOnEveryTick) {
    const TextList bank = {"甲题？A", "乙题？B"};
    FakeWindow window;
    window.clipboard = {"甲"};
    LookupTick(bank, window.Io());
    LookupTick(bank, window.Io());
    EXPECT_EQ(window.caption, "\r\n甲题？A");
    window.clipboard = {"丁"};
    window.clipboardReads = 0;
    window.log.clear();
    LookupTick(bank, window.Io());
    EXPECT_EQ(window.caption, "");
    EXPECT_EQ(window.log, (std::vector<std::string>{"write caption ", "clipboard", "clipboard"}));
}

}  // namespace
