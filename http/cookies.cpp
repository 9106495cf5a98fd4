#include "http/cookies.h"

Text MergeCookies(Text& stored, Text& received) {
    stored = RemoveSpaces(stored);
    received = RemoveSpaces(received);

    TextList merged = SplitText(received, ";");
    // Tested against the growing list, so only the first old entry of a name survives.
    for (const Text& entry : SplitText(stored, ";")) {
        if (!HasCookieNamed(merged, CookieName(entry))) {
            merged.push_back(entry);
        }
    }

    Text joined;
    for (const Text& entry : merged) {
        if (!TextEquals(Right(entry, 8), "=deleted")) {
            joined = ConcatText(joined, entry, "; ");
        }
    }
    joined = Left(joined, TextLength(joined) - 2);
    stored = JoinUnique(joined, "; ");
    return stored;
}

Text CookieName(const Text& entry) {
    int equals = FindText(entry, "=");
    return TrimSpaces(equals == -1 ? entry : Left(entry, equals - 1));
}

bool HasCookieNamed(const TextList& list, const Text& name) {
    for (const Text& entry : list) {
        if (TextEquals(CookieName(entry), name)) {
            return true;
        }
    }
    return false;
}

Text JoinUnique(const Text& text, const Text& separator) {
    TextList seen;
    Text result;
    for (const Text& piece : SplitText(text, separator)) {
        if (!ContainsExact(seen, piece)) {
            seen.push_back(piece);
            result = ConcatText(result, piece, separator);
        }
    }
    return Left(result, TextLength(result) - TextLength(separator));
}

bool ContainsExact(const TextList& list, const Text& item) {
    for (const Text& entry : list) {
        if (TextEquals(entry, item)) {
            return true;
        }
    }
    return false;
}
