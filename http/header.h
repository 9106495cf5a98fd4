// The parts of an HTTP exchange that touch no platform: the request header block going out and what
// is read from the raw response header text coming back. HttpRequest runs them around its WinINet
// calls.
#pragma once

#include "http/http.h"

// An empty header block becomes the default block, whose Referer is the URL as given; then a
// non-empty cookie string is appended as one more Cookie line (so a second call adds a second).
void PrepareRequestHeaders(const Text& url, RequestOptions& options);

// Fills location and receivedCookies from responseHeaders, merges the cookies when the caller
// manages them, and makes an empty location a copy of the whole header text.
void ReadResponseHeaders(RequestOptions& options);

// Whether the client follows this response itself: "HTTP/1.1 301 Moved...", letters in any case.
bool IsMovedPermanently(const Text& responseHeaders);

// Whether "charset=utf-8", exactly so, starts within the body's first 499 bytes.
bool DeclaresUtf8(const Bytes& body);
