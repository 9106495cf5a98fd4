// URL decomposition for the HTTP client: plain text searches on the URL, no general URL parser.
// Every result is a fresh Text; the URL is only read.
#pragma once

#include "text/text.h"

// The lower-cased host. A URL without "http://" or a leading "https://" is read as "http://" plus
// the URL; a URL that holds "http://" anywhere takes its host after that. lastTwoLabels keeps the
// last two dot-separated labels only; keepPort keeps a ":port" suffix.
Text UrlHost(const Text& url, bool lastTwoLabels = false, bool keepPort = false);

// The number after the last ":" of the host (0 when nothing follows it); otherwise 443 when the URL
// starts with "https" in any case, and 80.
int UrlPort(const Text& url);

// The URL from the first "/" at or after the host to its end, query and fragment included, in the
// caller's case; "/" when there is none.
Text UrlPath(const Text& url);
