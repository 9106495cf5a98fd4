#include "text/extract.h"

int ExtractAllBetween(const Text& source, const Text& start, const Text& end, TextList& result,
                      bool caseSensitive, int maxLength, const Text& prefix, const Text& suffix,
                      bool includeStart, bool includeEnd, int startPosition) {
    // Without a start marker every step would find the same piece again and never advance.
    if (start.empty()) return 0;
    const bool ignoreCase = !caseSensitive;
    const int markerLength = TextLength(start);
    bool appended = false;
    // A loop rather than one nested call per item: a page with a great many pieces cannot
    // exhaust the stack.
    for (;;) {
        const int p = FindText(source, start, startPosition, ignoreCase);
        if (p == -1) break;
        // The end search starts one byte into the piece, so an end marker right at the piece's
        // first byte is passed over.
        const int e = FindText(source, end, p + markerLength + 1, ignoreCase);
        if (e == -1) break;
        const Text piece = TrimSpaces(Mid(source, p + markerLength, e - (p + markerLength)));
        if (piece.empty()) break;
        if (maxLength != 0 && TextLength(piece) > maxLength) break;
        Text item = ConcatText(prefix, piece, suffix);
        if (includeStart) item = ConcatText(start, item);
        if (includeEnd) item = ConcatText(item, end);
        result.push_back(std::move(item));
        appended = true;
        startPosition = e;
    }
    return appended ? static_cast<int>(result.size()) : 0;
}

Text ExtractBetween(const Text& source, const Text& start, const Text& end, int startPosition,
                    bool caseSensitive) {
    const Text quote = "\"";
    const Text startMarker = ReplaceText(start, "#引号", quote);
    const Text endMarker = ReplaceText(end, "#引号", quote);
    const int p = FindText(source, startMarker, startPosition, !caseSensitive);
    if (p == -1) return Text();
    const int c = p + TextLength(startMarker);
    const int e = FindText(source, endMarker, c, !caseSensitive);
    if (e == -1) return Text();
    return Mid(source, c, e - c);
}

Text ExtractField(const Text& source, const Text& start, const Text& end, int startPosition) {
    const int p = FindText(source, start, startPosition, true);
    if (p == -1) return kFieldMissing;
    const int c = p + TextLength(start);
    const int e = FindText(source, end, c, true);
    if (e == -1) return kFieldMissing;
    return Mid(source, c, e - c);
}
