#include "http/url.h"

#include "text/extract.h"

Text UrlHost(const Text& url, bool lastTwoLabels, bool keepPort) {
    Text s = ToLower(url);
    if (!TextEquals(Right(s, 1), "/")) {
        s = ConcatText(s, "/");
    }
    if (TextEquals(Left(s, 8), "https://")) {
        s = ExtractBetween(s, "https://", "/");
    } else {
        // Anywhere, not only in front: a URL carried inside another one yields the inner host.
        if (FindText(s, "http://") == -1) {
            s = ConcatText("http://", s);
        }
        s = ExtractBetween(s, "http://", "/");
    }
    if (lastTwoLabels) {
        TextList labels = SplitText(s, ".");
        auto count = labels.size();
        if (count > 1) {
            s = ConcatText(labels[count - 2], ".", labels[count - 1]);
        }
    }
    if (keepPort) {
        return s;
    }
    int colon = FindText(s, ":");
    return colon == -1 ? s : Left(s, colon - 1);
}

int UrlPort(const Text& url) {
    Text host = UrlHost(url, false, true);
    if (FindText(host, ":") != -1) {
        int colon = FindTextLast(host, ":");
        return ToInt(Right(host, TextLength(host) - colon));
    }
    return TextEquals(Left(ToLower(url), 5), "https") ? 443 : 80;
}

Text UrlPath(const Text& url) {
    Text host = UrlHost(url);
    // subtle: the host is looked for from the first byte, scheme included, so a host such as "h"
    // is found inside "http" and the path then starts at the "//" of the scheme.
    int hostAt = FindText(url, host, 1, true);
    int slash = FindText(url, "/", hostAt, true);
    if (slash == -1) {
        return "/";
    }
    return Right(url, TextLength(url) - slash + 1);
}
