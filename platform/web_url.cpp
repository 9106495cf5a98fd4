#include "platform/web_url.h"

namespace {
bool HasScheme(const Text& url, const Text& scheme) {
    return FindText(url, scheme, 1, true) == 1;
}

// A quote or a space would end the URL inside the command line the shell builds for the browser.
bool IsUnsafeByte(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == ' ' || c == '"';
}
}  // namespace

bool IsWebUrl(const Text& url) {
    std::size_t hostStart;
    if (HasScheme(url, "http://")) {
        hostStart = 7;
    } else if (HasScheme(url, "https://")) {
        hostStart = 8;
    } else {
        return false;
    }
    if (hostStart >= url.size() || url[hostStart] == '/' || url[hostStart] == '?' || url[hostStart] == '#') {
        return false;
    }
    for (const char c : url) {
        if (IsUnsafeByte(static_cast<unsigned char>(c))) return false;
    }
    return true;
}
