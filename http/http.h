// The HTTP client: one synchronous HTTP/1.1 exchange per call over WinINet.
//
// Every failure (no session, connection or request, nothing received, a body over the limit, a 301
// chain over the limit) gives the empty Byte set; a caller cannot tell it from an empty body.
#pragma once

#include <optional>

#include "text/text.h"

// The caller's record, read and rewritten by HttpRequest. Only cookies and proxy can be left out
// altogether; every other field counts as its empty value when unset.
struct RequestOptions {
    // 0 is a GET without body, 1 a POST; any other value sends the body under GET.
    int method = 0;
    // Sent when bodyBytes is empty.
    Text bodyText;
    // Present, even empty: the client manages this cookie string itself (sent when non-empty,
    // merged with the response's cookies afterwards) and the platform's cookie store stays out.
    std::optional<Text> cookies;
    // The last response's cookies, each as name=value followed by "; ".
    Text receivedCookies;
    // The request header block, lines joined by "\r\n"; filled with the default block when empty.
    // Holds the block actually sent afterwards.
    Text headers;
    // The value of the last response line containing "Location:", or else the whole header text.
    Text location;
    // Asks the platform not to follow redirects itself.
    bool noRedirect = false;
    // Sent as the body; filled from bodyText when a body is sent and this is empty.
    Bytes bodyBytes;
    // Present, even empty: the session goes through the proxy list "http=" + proxy.
    std::optional<Text> proxy;
    // The last response's raw header text, status line first, CR LF after every line; 5000 spaces
    // when nothing was received or the text did not fit in 5000 bytes.
    Text responseHeaders;
};

// Bounds that keep a misbehaving server from stalling the program or exhausting its memory.
struct RequestLimits {
    // For sending the request and for each wait on the response.
    int timeoutMs = 30000;
    // Responses "HTTP/1.1 301 Moved" followed by the client itself, one after another.
    int maxRedirects = 10;
    int maxBodyBytes = 16 << 20;
};

// The final response's body, recoded to GBK when "charset=utf-8" starts in its first 499 bytes.
// A response "HTTP/1.1 301 Moved" is followed by requesting its location plus this URL's path,
// with the same options record.
Bytes HttpRequest(const Text& url, RequestOptions& options, const RequestLimits& limits = {});

// A GET with every option at its default; the body up to its first 0x00 byte.
Text HttpGetText(const Text& url);

// The text after the first ":" of a header line, trimmed of spaces; empty without ":".
Text HeaderValue(const Text& line);
