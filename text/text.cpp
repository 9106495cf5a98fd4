#include "text/text.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsLead(unsigned char c) { return c >= 0x80; }

// Bytes of the character at offset i: 1, 2, or 0 for a lone lead byte (the walk cannot go on).
int CharSize(const Text& text, std::size_t i) {
    if (!IsLead(static_cast<unsigned char>(text[i]))) return 1;
    return i + 1 < text.size() ? 2 : 0;
}

unsigned char FoldCase(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 0x20 : c; }

bool BytesMatch(const char* a, const char* b, std::size_t n, bool ignoreCase) {
    if (!ignoreCase) return std::memcmp(a, b, n) == 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (FoldCase(static_cast<unsigned char>(a[i])) != FoldCase(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool MatchesAt(const Text& text, std::size_t i, const Text& what) {
    return text.size() - i >= what.size() && text.compare(i, what.size(), what) == 0;
}

// One space character at offset i: its size, or 0 when the character there is not a space.
int SpaceSize(const Text& text, std::size_t i) {
    if (text[i] == ' ') return 1;
    if (static_cast<unsigned char>(text[i]) == 0xA1 && i + 1 < text.size() &&
        static_cast<unsigned char>(text[i + 1]) == 0xA1)
        return 2;
    return 0;
}

}  // namespace

int TextLength(const Text& text) { return static_cast<int>(text.size()); }

int FindText(const Text& haystack, const Text& needle, int start, bool ignoreCase) {
    const std::size_t h = haystack.size(), n = needle.size();
    const std::size_t region = start > 1 ? static_cast<std::size_t>(start) - 1 : 0;
    if (region >= h) return -1;
    if (n == 0) return 1;
    for (std::size_t i = region; h - i >= n;) {
        if (BytesMatch(haystack.data() + i, needle.data(), n, ignoreCase)) return static_cast<int>(i) + 1;
        const int step = CharSize(haystack, i);
        if (step == 0) break;
        i += step;
    }
    return -1;
}

int FindTextLast(const Text& haystack, const Text& needle) {
    if (needle.empty()) return FindText(haystack, needle);
    int last = -1;
    for (int found = FindText(haystack, needle); found != -1;) {
        last = found;
        const int step = CharSize(haystack, found - 1);
        if (step == 0) break;
        found = FindText(haystack, needle, found + step);
    }
    return last;
}

Text Left(const Text& text, int n) { return n <= 0 ? Text() : text.substr(0, n); }

Text Right(const Text& text, int n) {
    if (n <= 0) return Text();
    const std::size_t k = std::min(static_cast<std::size_t>(n), text.size());
    return text.substr(text.size() - k);
}

Text Mid(const Text& text, int start, int n) {
    if (start < 1 || start > TextLength(text) || n <= 0) return Text();
    return text.substr(start - 1, n);
}

Text TrimSpaces(const Text& text) {
    std::size_t i = 0, begin, end;
    for (int s; i < text.size() && (s = SpaceSize(text, i)) != 0;) i += s;
    begin = end = i;
    while (i < text.size()) {
        const int step = CharSize(text, i);
        if (step == 0) return text.substr(begin, i - begin);  // a lone lead byte ends the text
        i += step;
        if (SpaceSize(text, i - step) == 0) end = i;
    }
    return text.substr(begin, end - begin);
}

Text RemoveSpaces(const Text& text) {
    Text result;
    for (std::size_t i = 0; i < text.size();) {
        const int step = CharSize(text, i);
        if (step == 0) break;
        if (SpaceSize(text, i) == 0) result.append(text, i, step);
        i += step;
    }
    return result;
}

Text ReplaceText(const Text& text, const Text& find, const Text& replacement) {
    if (text.empty() || find.empty()) return text;
    Text result;
    std::size_t i = 0;
    while (text.size() - i >= find.size()) {
        if (MatchesAt(text, i, find)) {
            result += replacement;
            i += find.size();
            continue;
        }
        const int step = CharSize(text, i);
        if (step == 0) return result;
        result.append(text, i, step);
        i += step;
    }
    return result.append(text, i, Text::npos);
}

TextList SplitText(const Text& text, const Text& delimiter) {
    if (text.empty()) return {};
    if (delimiter.empty()) return {text};
    TextList items;
    std::size_t itemStart = 0, i = 0;
    while (text.size() - i >= delimiter.size()) {
        if (MatchesAt(text, i, delimiter)) {
            items.push_back(text.substr(itemStart, i - itemStart));
            i += delimiter.size();
            itemStart = i;
            continue;
        }
        const int step = CharSize(text, i);
        if (step == 0) break;
        i += step;
    }
    if (itemStart < text.size()) items.push_back(text.substr(itemStart));
    return items;
}

Text ToLower(const Text& text) {
    Text result = text;
    for (std::size_t i = 0; i < result.size();) {
        const int step = CharSize(result, i);
        if (step == 1) result[i] = static_cast<char>(FoldCase(static_cast<unsigned char>(result[i])));
        i += step == 0 ? 1 : step;
    }
    return result;
}

int ToInt(const Text& text) {
    Text ascii;
    for (std::size_t i = 0; i < text.size();) {
        const int step = CharSize(text, i);
        if (step == 0) break;
        const auto lead = static_cast<unsigned char>(text[i]);
        const auto trail = step == 2 ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) ascii += static_cast<char>(trail - 0x80);
        else if (lead == 0xA1 && trail == 0xA1) ascii += ' ';
        else if (lead == 0xA1 && trail == 0xAB) ascii += '~';
        else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) ascii += '*';
        else ascii.append(text, i, step);
        i += step;
    }
    std::size_t i = 0;
    while (i < ascii.size() && (ascii[i] == ' ' || (ascii[i] >= 0x09 && ascii[i] <= 0x0D))) ++i;
    bool negative = false;
    if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) negative = ascii[i++] == '-';
    std::uint32_t value = 0;  // unsigned, so overflow wraps instead of being undefined
    for (; i < ascii.size() && ascii[i] >= '0' && ascii[i] <= '9'; ++i) value = value * 10 + (ascii[i] - '0');
    return static_cast<int>(negative ? 0u - value : value);
}

Text CharFromCode(int code) {
    const char byte = static_cast<char>(code & 0xFF);
    return byte == 0 ? Text() : Text(1, byte);
}

Text BlankText(int n) { return n < 1 ? Text() : Text(n, ' '); }

bool TextEquals(const Text& a, const Text& b) { return a == b; }

Bytes BlankBytes(int n) { return n <= 0 ? Bytes() : Bytes(n, 0); }

int BytesLength(const Bytes& bytes) { return static_cast<int>(bytes.size()); }

Bytes BytesLeft(const Bytes& bytes, int n) {
    const std::size_t k = std::clamp<long long>(n, 0, static_cast<long long>(bytes.size()));
    return Bytes(bytes.begin(), bytes.begin() + k);
}

int FindBytes(const Bytes& haystack, const Bytes& needle) {
    if (needle.empty()) return -1;
    const auto it = std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end());
    return it == haystack.end() ? -1 : static_cast<int>(it - haystack.begin()) + 1;
}

Bytes ToBytes(const Text& text) { return Bytes(text.begin(), text.end()); }

Text ToText(const Bytes& bytes) {
    const auto end = std::find(bytes.begin(), bytes.end(), 0);
    return Text(bytes.begin(), end);
}

bool BytesEquals(const Bytes& a, const Bytes& b) { return a == b; }
