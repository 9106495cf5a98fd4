#include "http/url.h"

#include <gtest/gtest.h>

namespace {

struct UrlCase {
    const char* url;
    const char* host;
    const char* hostWithPort;
    int port;
    const char* path;
};

const UrlCase kUrlCases[] = {
    {"HTTP://Example.COM:81/A/b?x=1", "example.com", "example.com:81", 81, "/A/b?x=1"},
    {"https://example.com", "example.com", "example.com", 443, "/"},
    {"HTTPS://Example.com/P", "example.com", "example.com", 443, "/P"},
    {"https://example.com:8443/p", "example.com", "example.com:8443", 8443, "/p"},
    {"example.com/x", "example.com", "example.com", 80, "/x"},
    {"http://example.com?x=1", "example.com?x=1", "example.com?x=1", 80, "/"},
    {"http://example.com:/x", "example.com", "example.com:", 0, "/x"},
    {"ftp://x/?u=http://y/z", "y", "y", 80, "/z"},
    {"https://a.com/?r=http://b/", "a.com", "a.com", 443, "/?r=http://b/"},
    {"http://h/x", "h", "h", 80, "//h/x"},
    {"", "", "", 80, "/"},
    {"http://127.0.0.1:8731/uploads/soft/quorvel/zemtak.txt", "127.0.0.1", "127.0.0.1:8731", 8731,
     "/uploads/soft/quorvel/zemtak.txt"},
    // The trail byte of a double-byte character is neither lower-cased nor taken for ":".
    {"HTTP://\x81" "A\x81:B.COM/Q", "\x81" "A\x81:b.com", "\x81" "A\x81:b.com", 80, "/Q"},
    // Only a ":" that starts a character counts as the last one.
    {"http://w:8\x81:9/", "w", "w:8\x81:9", 8, "/"},
    {"http://w:99x/", "w", "w:99x", 99, "/"},
    {"http://[::1]:8080/", "[", "[::1]:8080", 8080, "/"},
    // Full-width digits 8 and 1.
    {"http://w:\xA3\xB8\xA3\xB1/", "w", "w:\xA3\xB8\xA3\xB1", 81, "/"},
};

TEST(UrlTest, DecomposesUrls) {
    for (const UrlCase& c : kUrlCases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(UrlHost(c.url), c.host);
        EXPECT_EQ(UrlHost(c.url, false, true), c.hostWithPort);
        EXPECT_EQ(UrlPort(c.url), c.port);
        EXPECT_EQ(UrlPath(c.url), c.path);
    }
}

TEST(UrlTest, LastTwoLabels) {
    struct Case {
        const char* url;
        bool keepPort;
        const char* host;
    };
    const Case cases[] = {
        {"http://a.b.example.com/", false, "example.com"},
        {"http://a.b.example.com:81/", false, "example.com"},
        {"http://a.b.example.com:81/", true, "example.com:81"},
        {"http://example.com/", false, "example.com"},
        {"http://localhost/", false, "localhost"},
        {"https://www.example.com.", false, "example.com"},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(UrlHost(c.url, true, c.keepPort), c.host);
    }
}

}  // namespace
