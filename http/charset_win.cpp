#include "http/charset.h"

#include <windows.h>

namespace {
constexpr UINT kGbkCodePage = 936;
}  // namespace

Bytes Utf8ToUtf16(const Bytes& bytes) {
    const auto* utf8 = reinterpret_cast<const char*>(bytes.data());
    const int length = BytesLength(bytes);
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8, length, nullptr, 0);
    Bytes result = BlankBytes(2 * units);
    if (units > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8, length, reinterpret_cast<wchar_t*>(result.data()), units);
    return result;
}

Bytes Utf8ToGbk(const Bytes& bytes) {
    const Bytes wide = Utf8ToUtf16(bytes);
    const auto* utf16 = reinterpret_cast<const wchar_t*>(wide.data());
    const int units = BytesLength(wide) / 2;
    const int size =
        WideCharToMultiByte(kGbkCodePage, WC_COMPOSITECHECK, utf16, units, nullptr, 0, nullptr, nullptr);
    Bytes result = BlankBytes(size);
    if (size > 0) {
        WideCharToMultiByte(kGbkCodePage, WC_COMPOSITECHECK, utf16, units,
                            reinterpret_cast<char*>(result.data()), size, nullptr, nullptr);
    }
    return result;
}
