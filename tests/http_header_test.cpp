#include "http/header.h"

#include <gtest/gtest.h>

namespace {

const char kDefaultBlock[] =
    "Referer: HTTP://Host:81/A?b=1\r\n"
    "Accept: */*\r\n"
    "Accept-Language: zh-cn\r\n"
    "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)\r\n"
    "Content-Type: application/x-www-form-urlencoded";

TEST(HeaderValueTest, TakesTheTextAfterTheFirstColonTrimmed) {
    struct Case {
        const char* line;
        const char* value;
    };
    const Case cases[] = {
        {"Location: http://h:81/x", "http://h:81/x"},
        {"Location:x", "x"},
        {"Location:   ", ""},
        {"Location:", ""},
        {"no colon here", ""},
        {"", ""},
        {":v", "v"},
        {"X: \t v \t ", "\t v \t"},
        {"X:\xA1\xA1v\xA1\xA1 ", "v"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(HeaderValue(c.line), c.value);
    }
}

TEST(PrepareRequestHeadersTest, BuildsTheBlockAndAppendsCookies) {
    struct Case {
        const char* name;
        const char* headers;
        std::optional<Text> cookies;
        Text expected;
    };
    const Case cases[] = {
        {"default block, referer as given", "", std::nullopt, kDefaultBlock},
        {"empty cookie string adds no line", "", Text(), kDefaultBlock},
        {"cookies appended", "", Text("a=1; b=2"), ConcatText(kDefaultBlock, "\r\nCookie: a=1; b=2")},
        {"caller block kept", "X-A: 1\r\nX-B: 2", std::nullopt, "X-A: 1\r\nX-B: 2"},
        {"caller block gains cookies", "X-A: 1", Text("s=1"), "X-A: 1\r\nCookie: s=1"},
        {"an earlier cookie line stays", "X-A: 1\r\nCookie: s=1", Text("s=2"),
         "X-A: 1\r\nCookie: s=1\r\nCookie: s=2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RequestOptions options;
        options.headers = c.headers;
        options.cookies = c.cookies;
        PrepareRequestHeaders("HTTP://Host:81/A?b=1", options);
        EXPECT_EQ(options.headers, c.expected);
    }
}

TEST(ReadResponseHeadersTest, CollectsLocationAndCookies) {
    struct Case {
        const char* name;
        const char* responseHeaders;
        const char* location;
        const char* receivedCookies;
    };
    const Case cases[] = {
        {"two cookies with attributes",
         "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2; Path=/\r\n\r\n",
         "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2; Path=/\r\n\r\n", "a=1; b=2; "},
        {"cookie without semicolon is an empty entry", "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\n\r\n",
         "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\n\r\n", "; "},
        {"lower-case header name", "HTTP/1.1 200 OK\r\nset-cookie: a=1;\r\n",
         "HTTP/1.1 200 OK\r\nset-cookie: a=1;\r\n", ""},
        {"location", "HTTP/1.1 302 Found\r\nLocation: http://h/n\r\n\r\n", "http://h/n", ""},
        {"content-location counts", "HTTP/1.1 200 OK\r\nContent-Location: /x\r\n\r\n", "/x", ""},
        {"the last location wins", "HTTP/1.1 200 OK\r\nLocation: /a\r\nContent-Location: /b\r\n", "/b", ""},
        {"lower-case location ignored", "HTTP/1.1 200 OK\r\nlocation: /y\r\n\r\n",
         "HTTP/1.1 200 OK\r\nlocation: /y\r\n\r\n", ""},
        {"empty location value falls back", "HTTP/1.1 200 OK\r\nLocation:  \r\n",
         "HTTP/1.1 200 OK\r\nLocation:  \r\n", ""},
        {"nothing received", "     ", "     ", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RequestOptions options;
        options.responseHeaders = c.responseHeaders;
        options.receivedCookies = "stale=1; ";
        ReadResponseHeaders(options);
        EXPECT_EQ(options.location, c.location);
        EXPECT_EQ(options.receivedCookies, c.receivedCookies);
        EXPECT_FALSE(options.cookies);
    }
}

TEST(ReadResponseHeadersTest, MergesOnlyWhenTheCallerManagesCookies) {
    const char* const kHeaders =
        "HTTP/1.1 200 OK\r\nSet-Cookie: b=3; path=/\r\nSet-Cookie: c=4; Max-Age=60\r\n\r\n";
    RequestOptions managed;
    managed.cookies = "a=1; b=2";
    managed.responseHeaders = kHeaders;
    ReadResponseHeaders(managed);
    EXPECT_EQ(managed.cookies, "b=3; c=4; a=1");
    EXPECT_EQ(managed.receivedCookies, "b=3;c=4;");

    RequestOptions emptyButManaged;
    emptyButManaged.cookies = Text();
    emptyButManaged.responseHeaders = "HTTP/1.1 200 OK\r\nSet-Cookie: s = a b; path=/\r\n";
    ReadResponseHeaders(emptyButManaged);
    EXPECT_EQ(emptyButManaged.cookies, "s=ab");
    EXPECT_EQ(emptyButManaged.receivedCookies, "s=ab;");

    RequestOptions unmanaged;
    unmanaged.responseHeaders = kHeaders;
    ReadResponseHeaders(unmanaged);
    EXPECT_FALSE(unmanaged.cookies);
    EXPECT_EQ(unmanaged.receivedCookies, "b=3; c=4; ");
}

TEST(ReadResponseHeadersTest, KeepsALocationSetBeforeWhenNoneArrives) {
    RequestOptions options;
    options.location = "/earlier";
    options.responseHeaders = "HTTP/1.1 200 OK\r\n\r\n";
    ReadResponseHeaders(options);
    EXPECT_EQ(options.location, "/earlier");
}

TEST(IsMovedPermanentlyTest, OnlyHttp11Status301WithMovedReason) {
    struct Case {
        const char* headers;
        bool moved;
    };
    const Case cases[] = {
        {"HTTP/1.1 301 Moved Permanently\r\nLocation: /x\r\n\r\n", true},
        {"http/1.1 301 moved permanently\r\n", true},
        {"HTTP/1.1 301 Moved\r\n", true},
        {"HTTP/1.1 302 Found\r\nLocation: /x\r\n", false},
        {"HTTP/1.0 301 Moved Permanently\r\n", false},
        {"HTTP/1.1 301 Permanently Moved\r\n", false},
        {"HTTP/1.1 301 \r\n", false},
        {"HTTP/1.1 200 OK\r\nX-Note: 301 Moved\r\n", false},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.headers);
        EXPECT_EQ(IsMovedPermanently(c.headers), c.moved);
    }
}

TEST(DeclaresUtf8Test, WithinTheFirst499BytesExactly) {
    struct Case {
        const char* name;
        int offset;  // bytes before the declaration
        const char* declaration;
        bool declares;
    };
    const Case cases[] = {
        {"at the start", 0, "charset=utf-8", true},
        {"starting at byte 499", 498, "charset=utf-8", true},
        {"starting at byte 500", 499, "charset=utf-8", false},
        {"in capitals", 0, "charset=UTF-8", false},
        {"cut short", 0, "charset=utf-", false},
        {"nothing", 0, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes body = ConcatBytes(Bytes(c.offset, 'a'), ToBytes(c.declaration), ToBytes("\xE4\xB8\xAD"));
        EXPECT_EQ(DeclaresUtf8(body), c.declares);
    }
}

}  // namespace
