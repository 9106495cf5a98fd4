#include "app/label.h"

#include <algorithm>
#include <cstring>

#include "text/text.h"

namespace {

// The caption is kept here byte for byte: the system's own copy of a window text goes through
// Unicode, which does not give back every byte sequence unchanged.
struct Label {
    Text caption;
    COLORREF textColor = RGB(0, 0, 0);
    HFONT font = nullptr;
};

Label* LabelOf(HWND hwnd) {
    return reinterpret_cast<Label*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

LRESULT OnNcCreate(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    auto* label = new Label;
    label->textColor = static_cast<COLORREF>(reinterpret_cast<UINT_PTR>(create->lpCreateParams));
    label->font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (create->lpszName) label->caption = create->lpszName;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(label));
    return DefWindowProcA(hwnd, WM_NCCREATE, wParam, lParam);
}

LRESULT OnNcDestroy(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    delete LabelOf(hwnd);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    return DefWindowProcA(hwnd, WM_NCDESTROY, wParam, lParam);
}

LRESULT OnSetText(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    const char* text = reinterpret_cast<const char*>(lParam);
    LabelOf(hwnd)->caption = text ? text : "";
    InvalidateRect(hwnd, nullptr, FALSE);
    return DefWindowProcA(hwnd, WM_SETTEXT, wParam, lParam);
}

LRESULT OnGetText(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    char* buffer = reinterpret_cast<char*>(lParam);
    if (!buffer || wParam == 0) return 0;
    const Text& caption = LabelOf(hwnd)->caption;
    const std::size_t count = std::min<std::size_t>(caption.size(), wParam - 1);
    std::memcpy(buffer, caption.data(), count);
    buffer[count] = '\0';
    return static_cast<LRESULT>(count);
}

LRESULT OnGetTextLength(HWND hwnd) {
    return static_cast<LRESULT>(LabelOf(hwnd)->caption.size());
}

LRESULT OnSetFont(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    LabelOf(hwnd)->font = reinterpret_cast<HFONT>(wParam);
    if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}

LRESULT OnGetFont(HWND hwnd) {
    return reinterpret_cast<LRESULT>(LabelOf(hwnd)->font);
}

LRESULT OnPaint(HWND hwnd) {
    const Label& label = *LabelOf(hwnd);
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(hwnd, &paint);
    FillRect(dc, &paint.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
    RECT client;
    GetClientRect(hwnd, &client);
    // DT_NOCLIP lets DrawTextA run past the rectangle; the paint DC's clip region, the label's
    // client area, is what cuts the text off at the edges.
    const HGDIOBJ oldFont = SelectObject(dc, label.font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, label.textColor);
    DrawTextA(dc, label.caption.c_str(), static_cast<int>(label.caption.size()), &client,
              DT_CENTER | DT_WORDBREAK | DT_NOCLIP);
    SelectObject(dc, oldFont);
    EndPaint(hwnd, &paint);
    return 0;
}

LRESULT CALLBACK LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: return OnNcCreate(hwnd, wParam, lParam);
    case WM_NCDESTROY: return OnNcDestroy(hwnd, wParam, lParam);
    case WM_SETTEXT: return OnSetText(hwnd, wParam, lParam);
    case WM_GETTEXT: return OnGetText(hwnd, wParam, lParam);
    case WM_GETTEXTLENGTH: return OnGetTextLength(hwnd);
    case WM_SETFONT: return OnSetFont(hwnd, wParam, lParam);
    case WM_GETFONT: return OnGetFont(hwnd);
    case WM_ERASEBKGND: return 1;  // WM_PAINT fills the background itself, without flicker
    case WM_PAINT: return OnPaint(hwnd);
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

bool RegisterLabelClass(HINSTANCE instance) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = LabelProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kLabelClass;
    return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
