#include "http/header.h"

#include "http/cookies.h"
#include "text/extract.h"

namespace {
const Text kLineBreak = "\r\n";
const char* const kDefaultHeaderLines[] = {
    "Accept: */*",
    "Accept-Language: zh-cn",
    "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; Trident/5.0)",
    "Content-Type: application/x-www-form-urlencoded",
};
constexpr int kUtf8DeclarationReach = 499;
}  // namespace

Text HeaderValue(const Text& line) {
    const int colon = FindText(line, ":");
    if (colon == -1) return Text();
    return TrimSpaces(Right(line, TextLength(line) - colon));
}

void PrepareRequestHeaders(const Text& url, RequestOptions& options) {
    if (options.headers.empty()) {
        options.headers = ConcatText("Referer: ", url);
        for (const char* line : kDefaultHeaderLines)
            options.headers = ConcatText(options.headers, kLineBreak, line);
    }
    if (options.cookies && !options.cookies->empty())
        options.headers = ConcatText(options.headers, kLineBreak, "Cookie: ", *options.cookies);
}

void ReadResponseHeaders(RequestOptions& options) {
    options.receivedCookies.clear();
    for (const Text& line : SplitText(options.responseHeaders, kLineBreak)) {
        if (FindText(line, "Location:") != -1) options.location = HeaderValue(line);
        if (FindText(line, "Set-Cookie") != -1) {
            options.receivedCookies = ConcatText(options.receivedCookies,
                                                 TrimSpaces(ExtractBetween(line, "Set-Cookie:", ";")), "; ");
        }
    }
    if (options.cookies) MergeCookies(*options.cookies, options.receivedCookies);
    if (options.location.empty()) options.location = options.responseHeaders;
}

bool IsMovedPermanently(const Text& responseHeaders) {
    return TextEquals(ExtractBetween(responseHeaders, "HTTP/1.1 ", " Moved"), "301");
}

bool DeclaresUtf8(const Bytes& body) {
    const int found = FindBytes(body, ToBytes("charset=utf-8"));
    return found >= 1 && found <= kUtf8DeclarationReach;
}
