// Text, Text list and Byte set, and the GBK-aware operations all logic is written in.
//
// Conventions, stated once for the whole toolkit:
// - A Text is GBK (code page 936) bytes without any 0x00 byte. A byte of 0x80 or above is the lead
//   byte of a double-byte character whose trail byte is the next byte, whatever its value; a lead
//   byte with nothing after it is a "lone lead byte".
// - Lengths and positions count bytes, positions start at 1, and -1 means "not found".
// - Every result is a fresh value owned by the caller; arguments are only read.
// - The searches, the replacement, the split, the trims, ToLower and ToInt walk by characters (one
//   byte below 0x80, two bytes from 0x80 up), so they only match where a character starts. Left,
//   Right, Mid and every Byte set operation count plain bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Text = std::string;
using TextList = std::vector<Text>;
using Bytes = std::vector<std::uint8_t>;

int TextLength(const Text& text);

// The first match of needle at or after position start, ignoring the case of ASCII capitals byte by
// byte (trail bytes included) when ignoreCase is set. An empty needle is found at 1 in any text
// whose searched region is not empty; the first byte of the region is a candidate even when it is a
// trail byte.
int FindText(const Text& haystack, const Text& needle, int start = 0, bool ignoreCase = false);
// The last match, exact, over the whole haystack; matches may overlap.
int FindTextLast(const Text& haystack, const Text& needle);

Text Left(const Text& text, int n);
Text Right(const Text& text, int n);
Text Mid(const Text& text, int start, int n);

// Spaces are 0x20 and the full-width space A1 A1 only: tab, CR and LF stay. A lone lead byte ends
// the text.
Text TrimSpaces(const Text& text);
Text RemoveSpaces(const Text& text);

// Every occurrence that starts on a character start, left to right, without overlap.
Text ReplaceText(const Text& text, const Text& find, const Text& replacement);
// Keeps empty items between delimiters and before a leading one; adds none after a trailing one.
TextList SplitText(const Text& text, const Text& delimiter);

Text ToLower(const Text& text);
// Full-width digits, signs and spaces count as their ASCII forms; wraps around on overflow.
int ToInt(const Text& text);
Text CharFromCode(int code);
Text BlankText(int n);
bool TextEquals(const Text& a, const Text& b);

template <typename... More>
Text ConcatText(const Text& first, const More&... more) {
    Text result = first;
    (result.append(more), ...);
    return result;
}

Bytes BlankBytes(int n);
int BytesLength(const Bytes& bytes);
Bytes BytesLeft(const Bytes& bytes, int n);
// Every byte offset is a candidate; an empty needle is never found.
int FindBytes(const Bytes& haystack, const Bytes& needle);
Bytes ToBytes(const Text& text);
// The bytes before the first 0x00 byte.
Text ToText(const Bytes& bytes);
bool BytesEquals(const Bytes& a, const Bytes& b);

template <typename... More>
Bytes ConcatBytes(const Bytes& first, const More&... more) {
    Bytes result = first;
    (result.insert(result.end(), more.begin(), more.end()), ...);
    return result;
}
