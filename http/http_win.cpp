#include "http/http.h"

#include <windows.h>
#include <wininet.h>

#include <array>

#include "http/charset.h"
#include "http/header.h"
#include "http/url.h"

namespace {

constexpr int kReadChunk = 1024;
constexpr int kRawHeaderBuffer = 5000;

// Owns one WinINet handle. Declared session, connection, request in that order, the handles close
// newest first on every path out.
class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
    ~InternetHandle() {
        if (handle_) InternetCloseHandle(handle_);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;

    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HINTERNET handle_;
};

bool IsHttps(const Text& url) { return TextEquals(Left(ToLower(url), 5), "https"); }

HINTERNET OpenSession(const RequestOptions& options) {
    if (!options.proxy) return InternetOpenA("", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    const Text proxyList = ConcatText("http=", *options.proxy);
    return InternetOpenA("", INTERNET_OPEN_TYPE_PROXY, proxyList.c_str(), "", 0);
}

DWORD RequestFlags(const Text& url, const RequestOptions& options) {
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NEED_FILE;
    if (options.cookies) flags |= INTERNET_FLAG_NO_COOKIES;
    if (options.noRedirect) flags |= INTERNET_FLAG_NO_AUTO_REDIRECT;
    flags |= IsHttps(url) ? INTERNET_FLAG_SECURE : INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
    return flags;
}

// Set on the request handle: WinINet has no receive time-out of its own and ignores one set on the
// session.
void SetTimeouts(HINTERNET request, int timeoutMs) {
    DWORD value = static_cast<DWORD>(timeoutMs);
    InternetSetOptionA(request, INTERNET_OPTION_SEND_TIMEOUT, &value, sizeof value);
    InternetSetOptionA(request, INTERNET_OPTION_RECEIVE_TIMEOUT, &value, sizeof value);
}

bool Send(HINTERNET request, RequestOptions& options) {
    char noBody[] = "";
    void* data = noBody;
    DWORD length = 0;
    if (options.method != 0) {
        if (options.bodyBytes.empty()) options.bodyBytes = ToBytes(options.bodyText);
        data = options.bodyBytes.empty() ? nullptr : options.bodyBytes.data();
        length = static_cast<DWORD>(options.bodyBytes.size());
    }
    return HttpSendRequestA(request, options.headers.c_str(), static_cast<DWORD>(options.headers.size()),
                            data, length);
}

// False when the body grows past the limit.
bool ReadBody(HINTERNET request, int maxBodyBytes, Bytes& body) {
    std::array<std::uint8_t, kReadChunk> chunk;
    for (;;) {
        chunk.fill(0);
        DWORD count = 0;
        InternetReadFile(request, chunk.data(), kReadChunk, &count);
        if (count == 0) return true;
        if (body.size() + count > static_cast<std::size_t>(maxBodyBytes)) return false;
        body.insert(body.end(), chunk.begin(), chunk.begin() + count);
    }
}

// The raw header text, or 5000 spaces when it does not fit. After a failed send there is no
// response to ask about, though the platform may still answer the query.
Text QueryRawHeaders(HINTERNET request, bool sent) {
    Text headers = BlankText(kRawHeaderBuffer);
    if (!sent) return headers;
    DWORD length = kRawHeaderBuffer;
    if (HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, headers.data(), &length, nullptr)) {
        const std::size_t end = headers.find('\0');
        if (end != Text::npos) headers.resize(end);
    }
    return headers;
}

// One request over its own session, connection and request handles, all closed before it returns.
// Fills headers, bodyBytes and responseHeaders; no body when a handle cannot be opened or the body
// is too large.
std::optional<Bytes> Exchange(const Text& url, RequestOptions& options, const RequestLimits& limits) {
    const int port = UrlPort(url);
    if (port < 0 || port > 0xFFFF) return std::nullopt;

    InternetHandle session(OpenSession(options));
    if (!session) return std::nullopt;
    InternetHandle connection(InternetConnectA(session.get(), UrlHost(url).c_str(),
                                               static_cast<INTERNET_PORT>(port), nullptr, nullptr,
                                               INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return std::nullopt;
    InternetHandle request(HttpOpenRequestA(connection.get(), options.method == 1 ? "POST" : "GET",
                                            UrlPath(url).c_str(), "HTTP/1.1", nullptr, nullptr,
                                            RequestFlags(url, options), 0));
    if (!request) return std::nullopt;
    SetTimeouts(request.get(), limits.timeoutMs);

    PrepareRequestHeaders(url, options);
    const bool sent = Send(request.get(), options);
    Bytes body;
    if (!ReadBody(request.get(), limits.maxBodyBytes, body)) return std::nullopt;
    options.responseHeaders = QueryRawHeaders(request.get(), sent);
    return body;
}

}  // namespace

Bytes HttpRequest(const Text& url, RequestOptions& options, const RequestLimits& limits) {
    Text current = url;
    for (int redirects = 0;; ++redirects) {
        std::optional<Bytes> body = Exchange(current, options, limits);
        if (!body) return Bytes();
        ReadResponseHeaders(options);
        if (!IsMovedPermanently(options.responseHeaders))
            return DeclaresUtf8(*body) ? Utf8ToGbk(*body) : *body;
        if (redirects == limits.maxRedirects) return Bytes();
        current = ConcatText(options.location, UrlPath(current));
        options.location.clear();
    }
}

Text HttpGetText(const Text& url) {
    RequestOptions options;
    return ToText(HttpRequest(url, options));
}
