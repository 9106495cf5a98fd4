#include "platform/web_url.h"

#include <gtest/gtest.h>

namespace {

TEST(IsWebUrl, OnlyAbsoluteHttpAndHttpsAddressesReachTheShell) {
    const struct {
        Text url;
        bool expected;
    } cases[] = {
        {"HTTP://ok.example/x", true},
        {"https://a.example/", true},
        {"http://a.example", true},
        {"hTtPs://a.example:8080/soft/setup.exe?v=1#top", true},
        {"http://a.example/\xCF\xC2\xD4\xD8", true},  // GBK in the path
        {"C:\\windows\\system32\\notepad.exe", false},
        {"\\\\host\\share\\x.exe", false},
        {"file:///c:/x", false},
        {"ms-msdt:/id", false},
        {"\xBB\xF1\xC8\xA1\xCA\xA7\xB0\xDC", false},  // "获取失败", the missing-field text
        {"", false},
        {"http://", false},
        {"https://", false},
        {"http:///path", false},
        {"http:a.example", false},
        {"http:\\\\a.example", false},
        {"httpx://a.example", false},
        {" http://a.example", false},
        {"www.example.com", false},
        {"http://a.example/\x01", false},
        {"http://a.example/\x1F", false},
        {"http://a.example/\x7F", false},
        {"http://a.example/\r\nx", false},
        {"http://a.example/\tx", false},
        {"http://a.example/a b", false},
        {"http://a.example/\" --flag", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(IsWebUrl(c.url), c.expected);
    }
}

}  // namespace
