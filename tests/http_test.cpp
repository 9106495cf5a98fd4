// The WinINet client against the scripted server of tests/server, whose port arrives as "--port N".
// Every test scripts and requests paths of its own, so the tests need no order.
#include <winsock2.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "http/http.h"

namespace {

int g_port = 0;

Text PortText(int port) { return std::to_string(port); }

Text Url(const Text& path, int port = g_port) {
    return ConcatText("http://127.0.0.1:", PortText(port), path);
}

Bytes B(const Text& text) { return ToBytes(text); }

// One exchange with the server's control endpoint over a plain socket, so that the client under
// test stays out of the test's own bookkeeping. Returns the response body.
Text Control(const char* method, const Text& target, const Text& body = {}) {
    struct Socket {
        SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        ~Socket() { closesocket(s); }
    } conn;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(g_port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(conn.s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ADD_FAILURE() << "control connection refused";
        return Text();
    }
    const Text request = ConcatText(method, " ", target, " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: ",
                                    PortText(TextLength(body)), "\r\nConnection: close\r\n\r\n", body);
    send(conn.s, request.data(), TextLength(request), 0);
    std::string response;
    char chunk[4096];
    for (int n; (n = recv(conn.s, chunk, sizeof chunk, 0)) > 0;) response.append(chunk, n);
    const std::size_t end = response.find("\r\n\r\n");
    EXPECT_EQ(response.compare(0, 15, "HTTP/1.1 200 OK"), 0) << target;
    return end == std::string::npos ? Text() : response.substr(end + 4);
}

Text Encoded(const Text& path) {
    Text out;
    for (char c : path)
        out += c == '?' ? Text("%3F") : c == '&' ? Text("%26") : c == '=' ? Text("%3D") : Text(1, c);
    return out;
}

// responses: one JSON response object or a JSON list of them, served in turn.
void Script(const Text& path, const Text& responses) {
    Control("POST", "/__control/script", ConcatText("{\"", path, "\": ", responses, "}"));
}

int RequestCount(const Text& path) {
    return ToInt(Control("GET", ConcatText("/__control/count?path=", Encoded(path))));
}

// A request as the server received it: the request line, the header lines and the body.
struct Received {
    Text requestLine;
    TextList headers;
    Text body;
};

Received LastRequest(const Text& path) {
    const Text raw = Control("GET", ConcatText("/__control/request?path=", Encoded(path), "&index=-1"));
    Received received;
    const std::size_t end = raw.find("\r\n\r\n");
    if (end == Text::npos) return received;
    TextList lines = SplitText(raw.substr(0, end), "\r\n");
    received.requestLine = lines.empty() ? Text() : lines.front();
    received.headers.assign(lines.begin() + (lines.empty() ? 0 : 1), lines.end());
    received.body = raw.substr(end + 4);
    return received;
}

TextList LinesStartingWith(const TextList& lines, const Text& prefix) {
    TextList found;
    for (const Text& line : lines)
        if (line.compare(0, prefix.size(), prefix) == 0) found.push_back(line);
    return found;
}

const char kUserAgent[] = "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)";

TEST(HttpRequestTest, SendsTheDefaultHeaderBlockWithTheUrlAsGivenAsReferer) {
    Script("/Req/Default", R"({"body": "ok"})");
    const Text url = ConcatText("HTTP://127.0.0.1:", PortText(g_port), "/Req/Default?Q=A");
    RequestOptions options;
    EXPECT_EQ(HttpRequest(url, options), B("ok"));

    const Received received = LastRequest("/Req/Default?Q=A");
    EXPECT_EQ(received.requestLine, "GET /Req/Default?Q=A HTTP/1.1");
    EXPECT_EQ(LinesStartingWith(received.headers, "Host:"),
              TextList{ConcatText("Host: 127.0.0.1:", PortText(g_port))});
    const TextList expected = {ConcatText("Referer: ", url), "Accept: */*", "Accept-Language: zh-cn",
                               kUserAgent, "Content-Type: application/x-www-form-urlencoded"};
    TextList ours;
    for (const Text& line : received.headers)
        for (const Text& wanted : expected)
            if (line == wanted) ours.push_back(line);
    EXPECT_EQ(ours, expected) << "the five default lines, once each, in this order";
    EXPECT_EQ(LinesStartingWith(received.headers, "User-Agent:"), TextList{kUserAgent});
    EXPECT_TRUE(LinesStartingWith(received.headers, "Cookie:").empty());
    EXPECT_EQ(options.headers, ConcatText(expected[0], "\r\n", expected[1], "\r\n", expected[2], "\r\n",
                                          expected[3], "\r\n", expected[4]));
}

TEST(HttpRequestTest, SendsTheBodyByMethod) {
    struct Case {
        const char* name;
        int method;
        const char* bodyText;
        Bytes bodyBytes;
        const char* requestLine;
        Text sentBody;
        Bytes bodyBytesAfter;
    };
    const Case cases[] = {
        {"GET sends no body", 0, "a=1", {}, "GET /body/0 HTTP/1.1", "", {}},
        {"POST sends the text", 1, "a=1", {}, "POST /body/1 HTTP/1.1", "a=1", B("a=1")},
        {"bytes win over the text",
         1,
         "a=1",
         {'x', 0, 'y'},
         "POST /body/2 HTTP/1.1",
         Text("x\0y", 3),
         {'x', 0, 'y'}},
        {"method 2 sends a body under GET", 2, "a=1", {}, "GET /body/3 HTTP/1.1", "a=1", B("a=1")},
        {"POST without any body", 1, "", {}, "POST /body/4 HTTP/1.1", "", {}},
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Text path = ConcatText("/body/", PortText(i++));
        Script(path, R"({"body": "done"})");
        RequestOptions options;
        options.method = c.method;
        options.bodyText = c.bodyText;
        options.bodyBytes = c.bodyBytes;
        EXPECT_EQ(HttpRequest(Url(path), options), B("done"));
        const Received received = LastRequest(path);
        EXPECT_EQ(received.requestLine, c.requestLine);
        EXPECT_EQ(received.body, c.sentBody);
        EXPECT_EQ(options.bodyBytes, c.bodyBytesAfter);
    }
}

// What the client reads out of one response, with the platform's cookie store and redirects left on.
TEST(HttpRequestTest, ReadsTheResponse) {
    struct Case {
        const char* name;
        const char* response;
        Bytes body;
        const char* receivedCookies;
        const char* location;  // nullptr: a copy of the whole header text
        int headerLength;      // of responseHeaders; 0: not checked
    };
    const Case cases[] = {
        {"cookies collected",
         R"({"headers": ["Set-Cookie: a=1; path=/rr0", "Set-Cookie: b=2; Path=/rr0"], "body": "x"})", B("x"),
         "a=1; b=2; ", nullptr, 0},
        {"cookie without attributes is an empty entry",
         R"({"headers": ["Set-Cookie: a=1"]})",
         {},
         "; ",
         nullptr,
         0},
        {"content-location sets location", R"({"headers": ["Content-Location: /x"]})", {}, "", "/x", 0},
        {"lower-case location ignored", R"({"headers": ["location: /y"]})", {}, "", nullptr, 0},
        {"reason-less status line", R"({"status": "HTTP/1.1 200", "body": "r"})", B("r"), "", nullptr, 0},
        {"header block of 4999 bytes fits", R"({"pad_headers_to": 4999})", {}, "", nullptr, 4999},
        {"header block of 5000 bytes does not", R"({"pad_headers_to": 5000, "body": "b"})", B("b"), "",
         nullptr, 5000},
        {"utf-8 declared at byte 499 is recoded",
         R"({"body": [{"repeat": "a", "count": 498}, "charset=utf-8", {"hex": "e4b8ade69687"}]})",
         ConcatBytes(Bytes(498, 'a'), B("charset=utf-8"), Bytes{0xD6, 0xD0, 0xCE, 0xC4}), "", nullptr, 0},
        {"utf-8 declared at byte 500 is not",
         R"({"body": [{"repeat": "a", "count": 499}, "charset=utf-8", {"hex": "e4b8ad"}]})",
         ConcatBytes(Bytes(499, 'a'), B("charset=utf-8"), Bytes{0xE4, 0xB8, 0xAD}), "", nullptr, 0},
        {"UTF-8 in capitals is not", R"({"body": ["charset=UTF-8", {"hex": "e4b8ad"}]})",
         ConcatBytes(B("charset=UTF-8"), Bytes{0xE4, 0xB8, 0xAD}), "", nullptr, 0},
        {"close-delimited body", R"({"content_length": false, "body": "till close"})", B("till close"), "",
         nullptr, 0},
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Text path = ConcatText("/rr", PortText(i++), "/res");
        Script(path, c.response);
        RequestOptions options;
        EXPECT_EQ(HttpRequest(Url(path), options), c.body);
        EXPECT_EQ(options.receivedCookies, c.receivedCookies);
        EXPECT_EQ(options.location, c.location ? Text(c.location) : options.responseHeaders);
        if (c.headerLength == 5000) {
            EXPECT_EQ(options.responseHeaders, BlankText(5000));
        } else {
            EXPECT_EQ(options.responseHeaders.compare(0, 9, "HTTP/1.1 "), 0) << options.responseHeaders;
            EXPECT_EQ(Right(options.responseHeaders, 4), "\r\n\r\n");
            if (c.headerLength) {
                EXPECT_EQ(TextLength(options.responseHeaders), c.headerLength);
            }
        }
    }
}

TEST(HttpRequestTest, FollowsHttp11Status301ItselfWithTheOldPath) {
    struct Case {
        const char* name;
        bool noRedirect;
        const char* firstStatus;
        const char* location;
        const char* finalPath;  // where the body comes from; nullptr: the first response is final
    };
    const Case cases[] = {
        {"301 to the new place plus the old path", true, "HTTP/1.1 301 Moved Permanently",
         "http://127.0.0.1:{port}/moved", "/moved/f0/a/b.txt?q=1"},
        {"302 left alone", true, "HTTP/1.1 302 Found", "http://127.0.0.1:{port}/moved/f1", nullptr},
        {"301 over HTTP/1.0 left alone", true, "HTTP/1.0 301 Moved Permanently",
         "http://127.0.0.1:{port}/moved/f2", nullptr},
        {"302 followed by the platform", false, "HTTP/1.1 302 Found", "http://127.0.0.1:{port}/moved/f3",
         "/moved/f3"},
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Text path = ConcatText("/f", PortText(i++), "/a/b.txt?q=1");
        Script(path, ConcatText(R"({"status": ")", c.firstStatus, R"(", "headers": ["Location: )", c.location,
                                R"("], "body": "first"})"));
        if (c.finalPath) Script(c.finalPath, R"({"body": "final"})");
        RequestOptions options;
        options.noRedirect = c.noRedirect;
        const Bytes body = HttpRequest(Url(path), options);
        EXPECT_EQ(RequestCount(path), 1);
        if (c.finalPath) {
            EXPECT_EQ(body, B("final"));
            EXPECT_EQ(RequestCount(c.finalPath), 1);
            EXPECT_EQ(options.location, options.responseHeaders);
        } else {
            EXPECT_EQ(body, B("first"));
            EXPECT_EQ(options.location, ReplaceText(c.location, "{port}", PortText(g_port)));
        }
    }
}

// The client's own 301 following stops after ten hops.
TEST(HttpRequestTest, BoundsTheChainOf301) {
    struct Case {
        int moves;
        Bytes body;
        int requests;
    };
    const Case cases[] = {{10, B("end"), 11}, {11, {}, 11}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.moves);
        const Text path = ConcatText("/chain/", PortText(c.moves));
        Text responses = "[";
        for (int i = 0; i < c.moves; ++i)
            responses += R"({"status": "HTTP/1.1 301 Moved Permanently",)"
                         R"( "headers": ["Location: http://127.0.0.1:{port}"]}, )";
        responses += R"({"body": "end"}])";
        Script(path, responses);
        RequestOptions options;
        options.noRedirect = true;
        EXPECT_EQ(HttpRequest(Url(path), options), c.body);
        EXPECT_EQ(RequestCount(path), c.requests);
    }
}

TEST(HttpRequestTest, ManagesTheCallersCookies) {
    Script("/ck/a", R"({"headers": ["Set-Cookie: b=3; path=/", "Set-Cookie: c=4; path=/ck"], "body": "x"})");
    RequestOptions options;
    options.cookies = "a=1; b=2";
    EXPECT_EQ(HttpRequest(Url("/ck/a"), options), B("x"));
    EXPECT_EQ(LinesStartingWith(LastRequest("/ck/a").headers, "Cookie:"), TextList{"Cookie: a=1; b=2"});
    EXPECT_EQ(options.cookies, "b=3; c=4; a=1");
    EXPECT_EQ(options.receivedCookies, "b=3;c=4;");

    // The platform stored nothing from that response: a later request without cookies of its own
    // carries none.
    Script("/ck/b", R"({"body": "y"})");
    RequestOptions later;
    EXPECT_EQ(HttpRequest(Url("/ck/b"), later), B("y"));
    EXPECT_TRUE(LinesStartingWith(LastRequest("/ck/b").headers, "Cookie:").empty());
}

TEST(HttpRequestTest, LeavesCookiesToThePlatformWhenTheCallerKeepsNone) {
    Script("/pc/a", R"({"headers": ["Set-Cookie: p=7; path=/pc"]})");
    Script("/pc/b", R"({"body": "y"})");
    RequestOptions first, second;
    HttpRequest(Url("/pc/a"), first);
    EXPECT_EQ(first.receivedCookies, "p=7; ");
    EXPECT_EQ(HttpRequest(Url("/pc/b"), second), B("y"));
    EXPECT_EQ(LinesStartingWith(LastRequest("/pc/b").headers, "Cookie:"), TextList{"Cookie: p=7"});
}

// A 301 followed with managed cookies sends the merged cookies in one more Cookie line.
TEST(HttpRequestTest, FollowsA301WithTheMergedCookies) {
    Script("/cm/a", R"({"status": "HTTP/1.1 301 Moved Permanently", "headers": [)"
                    R"("Location: http://127.0.0.1:{port}/next", "Set-Cookie: t=2; path=/"]})");
    Script("/next/cm/a", R"({"body": "z"})");
    RequestOptions options;
    options.noRedirect = true;
    options.cookies = "s=1";
    EXPECT_EQ(HttpRequest(Url("/cm/a"), options), B("z"));
    EXPECT_EQ(options.cookies, "t=2; s=1");
    const Text cookieLines = "\r\nCookie: s=1\r\nCookie: t=2; s=1";
    EXPECT_EQ(Right(options.headers, TextLength(cookieLines)), cookieLines);
    // Wine sends only the last of several Cookie lines; the merged one must be the last.
    const TextList sent = LinesStartingWith(LastRequest("/next/cm/a").headers, "Cookie:");
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back(), "Cookie: t=2; s=1");
}

TEST(HttpRequestTest, GoesThroughTheProxyList) {
    const int closedPort = ToInt(Control("GET", "/__control/closed-port"));
    const Text target = ConcatText("/px/", PortText(closedPort));
    Script(target, R"({"body": "via proxy"})");
    RequestOptions options;
    options.proxy = ConcatText("127.0.0.1:", PortText(g_port));
    EXPECT_EQ(HttpRequest(Url(target, closedPort), options), B("via proxy"));
    EXPECT_EQ(LastRequest(target).requestLine, ConcatText("GET ", Url(target, closedPort), " HTTP/1.1"));
}

// Every failure gives the empty body; nothing received leaves the header text blank.
TEST(HttpRequestTest, FailsWithAnEmptyBody) {
    struct Case {
        const char* name;
        const char* response;  // nullptr: a closed port
        RequestLimits limits;
        bool blankHeaders;
    };
    RequestLimits quick;
    quick.timeoutMs = 1000;
    RequestLimits small;
    small.maxBodyBytes = 3000;
    const Case cases[] = {
        {"closed port", nullptr, {}, true},
        {"server never answers", R"({"stall": true})", quick, true},
        {"body over the limit", R"({"body": {"repeat": "x", "count": 3001}})", small, false},
        {"body over 16 MiB", R"({"body": {"repeat": "x", "count": 16777217}})", {}, false},
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Text url;
        if (c.response) {
            const Text path = ConcatText("/fail/", PortText(i++));
            Script(path, c.response);
            url = Url(path);
        } else {
            url = Url("/fail/closed", ToInt(Control("GET", "/__control/closed-port")));
        }
        RequestOptions options;
        EXPECT_EQ(HttpRequest(url, options, c.limits), Bytes());
        if (c.blankHeaders) {
            EXPECT_EQ(options.responseHeaders, BlankText(5000));
            EXPECT_EQ(options.location, BlankText(5000));
            EXPECT_EQ(options.receivedCookies, "");
        }
    }
}

// A port number that does not fit in 16 bits must not wrap around onto another port.
TEST(HttpRequestTest, RefusesAPortBeyond65535) {
    Script("/wrap", R"({"body": "wrapped"})");
    RequestOptions options;
    EXPECT_EQ(HttpRequest(Url("/wrap", g_port + 65536), options), Bytes());
    EXPECT_EQ(RequestCount("/wrap"), 0);
}

TEST(HttpRequestTest, TakesABodyOfExactlyTheLimit) {
    Script("/limit/exact", R"({"body": {"repeat": "x", "count": 3000}})");
    RequestOptions options;
    RequestLimits small;
    small.maxBodyBytes = 3000;
    EXPECT_EQ(HttpRequest(Url("/limit/exact"), options, small), Bytes(3000, 'x'));
}

TEST(HttpGetTextTest, ReturnsTheBodyUpToItsFirstZeroByte) {
    struct Case {
        const char* name;
        const char* response;
        Text text;
    };
    const Case cases[] = {
        {"plain", R"({"body": "abc"})", "abc"},
        {"cut at 00", R"({"body": ["ab", {"hex": "00"}, "cd"]})", "ab"},
        {"utf-8 recoded", R"({"body": ["charset=utf-8;", {"hex": "e4b8ad"}]})", "charset=utf-8;\xD6\xD0"},
        {"error status keeps its body", R"({"status": "HTTP/1.1 500 Oops", "body": "err"})", "err"},
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Text path = ConcatText("/text/", PortText(i++));
        Script(path, c.response);
        EXPECT_EQ(HttpGetText(Url(path)), c.text);
    }
    EXPECT_EQ(HttpGetText(Url("/text/closed", ToInt(Control("GET", "/__control/closed-port")))), "");
}

// Every response is also written to the prefix's URL cache (the client asks for a file), the
// 16 MiB one included; leave the cache as the run found it.
void ClearUrlCache() {
    std::vector<char> buffer(1 << 16);
    auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
    DWORD size = static_cast<DWORD>(buffer.size());
    HANDLE find = FindFirstUrlCacheEntryA(nullptr, entry, &size);
    if (!find) return;
    do {
        DeleteUrlCacheEntryA(entry->lpszSourceUrlName);
        size = static_cast<DWORD>(buffer.size());
    } while (FindNextUrlCacheEntryA(find, entry, &size));
    FindCloseUrlCache(find);
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--port") == 0) g_port = std::atoi(argv[i + 1]);
    if (g_port == 0) {
        std::fprintf(stderr, "usage: %s --port N (the port of tests/server/http_test_server.py)\n", argv[0]);
        return 2;
    }
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    const int result = RUN_ALL_TESTS();
    ClearUrlCache();
    WSACleanup();
    return result;
}
