#include "update/update_info.h"

#include <gtest/gtest.h>

namespace {

// What one fetched text leads to: whether it ends the retry loop, the version read from it, whether
// that version is offered, and the download address.
struct InfoCase {
    const char* name;
    const char* info;
    bool hasVersionField;
    const char* version;
    bool offersUpdate;
    const char* downloadUrl;
};

const InfoCase kInfoCases[] = {
    {"same version", "版本号【V1.0】结束XZ【http://d.example/a】结束", true, "V1.0", false,
     "http://d.example/a"},
    {"newer version", "版本号【V1.1】结束\r\nXZ【http://d.example/b】结束\r\n", true, "V1.1", true,
     "http://d.example/b"},
    {"older version", "版本号【V0.9】结束", true, "V0.9", true, "获取失败"},
    {"other letter case", "版本号【v1.0】结束", true, "v1.0", true, "获取失败"},
    {"leading space", "版本号【 V1.0】结束", true, " V1.0", true, "获取失败"},
    {"trailing space", "版本号【V1.0 】结束", true, "V1.0 ", true, "获取失败"},
    {"empty value", "版本号【】结束", true, "", true, "获取失败"},
    {"no end marker", "版本号【V1.1】", true, "获取失败", false, "获取失败"},
    {"end marker only before", "】结束版本号【V1.1", true, "获取失败", false, "获取失败"},
    {"no version field", "XZ【http://d.example/c】结束", false, "获取失败", false,
     "http://d.example/c"},
    {"empty body", "", false, "获取失败", false, "获取失败"},
    {"download name in any case", "版本号【V2】结束xz【http://d.example/e】结束", true, "V2", true,
     "http://d.example/e"},
    {"first field wins", "版本号【V1.0】结束版本号【V2】结束", true, "V1.0", false, "获取失败"},
    {"value runs to the next end marker", "版本号【V1.1\r\nXZ【http://d.example/f】结束", true,
     "V1.1\r\nXZ【http://d.example/f", true, "http://d.example/f"},
    {"broken by <wbr>", "版本号<wbr>【V1.0】结束", false, "获取失败", false, "获取失败"},
};

TEST(UpdateInfoTest, ReadsAndGatesFetchedTexts) {
    for (const InfoCase& c : kInfoCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HasVersionField(c.info), c.hasVersionField);
        Text version = ReadVersion(c.info);
        EXPECT_EQ(version, c.version);
        EXPECT_EQ(OffersUpdate(version), c.offersUpdate);
        EXPECT_EQ(ReadDownloadUrl(c.info), c.downloadUrl);
    }
}

TEST(UpdateInfoTest, VersionGate) {
    struct Case {
        const char* version;
        bool offers;
    };
    const Case cases[] = {
        {"V1.0", false}, {"获取失败", false}, {"V1.1", true}, {"v1.0", true},
        {" V1.0", true}, {"V1.0\r\n", true},  {"", true},     {"获取失败 ", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        EXPECT_EQ(OffersUpdate(c.version), c.offers);
    }
}

TEST(UpdateInfoTest, HasVersionFieldIsAnExactByteSearch) {
    struct Case {
        const char* text;
        bool found;
    };
    const Case cases[] = {
        {"版本号【", true},
        {"x版本号【V1】结束", true},
        {"版本号", false},
        {"版本号[V1.0]结束", false},
        // The marker must start on a character: here its first byte is the trail of the lead 0xB0.
        {"\xB0版本号【", false},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HasVersionField(c.text), c.found);
    }
}

TEST(UpdateInfoTest, CleanRefetchedRemovesEveryWbr) {
    struct Case {
        const char* fetched;
        const char* cleaned;
    };
    const Case cases[] = {
        {"版本号<wbr>【V1.0】结束", "版本号【V1.0】结束"},
        {"<wbr>版本<wbr>号【V1.1<wbr>】结<wbr>束<wbr>", "版本号【V1.1】结束"},
        {"<wbr><wbr>", ""},
        {"<WBR>", "<WBR>"},
        {"<wb<wbr>r>", "<wbr>"},
        {"", ""},
        {"版本号【V1.0】结束", "版本号【V1.0】结束"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fetched);
        EXPECT_EQ(CleanRefetched(c.fetched), c.cleaned);
    }
    Text refetched = CleanRefetched("版本号<wbr>【V1.0】结束");
    EXPECT_TRUE(HasVersionField(refetched));
    EXPECT_EQ(ReadVersion(refetched), "V1.0");
    EXPECT_FALSE(OffersUpdate(ReadVersion(refetched)));
}

}  // namespace
