#include "app/main_window.h"

#include "app/label.h"
#include "app/window_texts.h"
#include "bank/bank.h"
#include "platform/platform.h"

namespace {

enum class Kind { 标签, 按钮, 编辑框 };

struct ControlDef {
    Control name;
    Kind kind;
    int left, top, width, height;
    const Text* text;  // null for an empty text
    DWORD styles;      // WS_CHILD and WS_VISIBLE are added by the build
    DWORD exStyles;
    COLORREF textColor;  // labels only
};

const Text kButtonCaption = "按钮";

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// In stacking order, top to bottom. 标签2 covers the harvester's controls and 编辑框2 completely:
// they are reached with the keyboard only.
constexpr ControlDef kControls[] = {
    {Control::标签2, Kind::标签, 16, 184, 896, 168, &kNotice, WS_CLIPSIBLINGS, 0, kBlack},
    {Control::按钮1, Kind::按钮, 680, 192, 48, 48, &kButtonCaption,
     BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | WS_TABSTOP | WS_CLIPSIBLINGS, 0, kBlack},
    {Control::编辑框3, Kind::编辑框, 16, 192, 656, 144, nullptr,
     ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | ES_CENTER | WS_HSCROLL | WS_VSCROLL |
         WS_TABSTOP | WS_CLIPSIBLINGS,
     WS_EX_CLIENTEDGE, kBlack},
    {Control::编辑框2, Kind::编辑框, 752, 224, 32, 32, &kBankText, ES_AUTOHSCROLL | WS_TABSTOP | WS_CLIPSIBLINGS,
     WS_EX_CLIENTEDGE, kBlack},
    {Control::标签1, Kind::标签, 16, 16, 896, 160, nullptr, WS_CLIPSIBLINGS, 0, kBlue},
};

constexpr DWORD kMainWindowStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr UINT_PTR k时钟1Id = 1;
constexpr int kFirstControlId = 1001;
constexpr UINT kDestroyRequest = WM_APP + 1;

const char* ClassOf(Kind kind) {
    switch (kind) {
    case Kind::标签: return kLabelClass;
    case Kind::按钮: return "BUTTON";
    case Kind::编辑框: return "EDIT";
    }
    return "";
}

int ControlId(Control control) {
    return kFirstControlId + static_cast<int>(control);
}

struct MainWindowState {
    HWND window = nullptr;
    MainWindowEvents events;
    bool loopStarted = false;
    bool destroyQueued = false;
};
MainWindowState g;

void Raise(const std::function<void()>& handler) {
    if (!EventsHeld() && handler) handler();
}

bool CreateControls(HWND parent, HINSTANCE instance) {
    const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    for (const ControlDef& def : kControls) {
        const HWND control = CreateWindowExA(
            def.exStyles, ClassOf(def.kind), def.text ? def.text->c_str() : "", WS_CHILD | def.styles, def.left,
            def.top, def.width, def.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(def.name))),
            instance, def.kind == Kind::标签 ? LabelCreateParam(def.textColor) : nullptr);
        if (!control) return false;
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // Lifts the default limit, which would cut appends short without notice.
        if (def.kind == Kind::编辑框) SendMessageA(control, EM_SETLIMITTEXT, 0, 0);
    }
    return true;
}

// A new child goes on top of its siblings, so the order is set once all exist.
void StackAndShowControls() {
    HWND above = HWND_TOP;
    for (const ControlDef& def : kControls) {
        const HWND control = ControlWindow(def.name);
        SetWindowPos(control, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        above = control;
    }
}

LRESULT OnNcActivate(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    // Keeps the active look when another window is activated.
    const BOOL active = wParam || IsWindowEnabled(hwnd);
    return DefWindowProcA(hwnd, WM_NCACTIVATE, active, lParam);
}

LRESULT OnSetFocus() {
    SetFocus(ControlWindow(Control::编辑框2));
    return 0;
}

LRESULT OnTimer(WPARAM id) {
    if (id == k时钟1Id) Raise(g.events.tick);
    return 0;
}

LRESULT OnCommand(WPARAM wParam) {
    if (LOWORD(wParam) == ControlId(Control::按钮1) && HIWORD(wParam) == BN_CLICKED) Raise(g.events.click);
    return 0;
}

LRESULT OnDestroyRequest(HWND hwnd) {
    DestroyWindow(hwnd);
    return 0;
}

LRESULT OnDestroy(HWND hwnd) {
    KillTimer(hwnd, k时钟1Id);
    g.window = nullptr;
    if (g.loopStarted) PostQuitMessage(0);
    return 0;
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCACTIVATE: return OnNcActivate(hwnd, wParam, lParam);
    case WM_SETFOCUS: return OnSetFocus();
    case WM_TIMER: return OnTimer(wParam);
    case WM_COMMAND: return OnCommand(wParam);
    case kDestroyRequest: return OnDestroyRequest(hwnd);
    case WM_DESTROY: return OnDestroy(hwnd);
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    // One 64 by 64 image serves as both sizes.
    wc.hIcon = LoadIconA(instance, "DEFAULT_ICON");
    wc.hIconSm = static_cast<HICON>(LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kMainWindowClass;
    return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool BuildMainWindow() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!RegisterMainWindowClass(instance) || !RegisterLabelClass(instance)) return false;
    const POINT origin = CentredOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    g.window = CreateWindowExA(0, kMainWindowClass, kWindowTitle.c_str(), kMainWindowStyle, origin.x, origin.y,
                               kMainWindowWidth, kMainWindowHeight, nullptr, nullptr, instance, nullptr);
    if (!g.window) return false;
    SetWindowPos(g.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!CreateControls(g.window, instance) || !SetTimer(g.window, k时钟1Id, k时钟1Interval, nullptr)) {
        DestroyWindow(g.window);
        return false;
    }
    StackAndShowControls();
    return true;
}

}  // namespace

POINT CentredOrigin(int screenWidth, int screenHeight) {
    return {(screenWidth - kMainWindowWidth) / 2, (screenHeight - kMainWindowHeight) / 2};
}

bool CreateMainWindow(const MainWindowEvents& events) {
    if (g.window) return false;
    g.events = events;
    g.destroyQueued = false;
    HoldEvents(true);
    const bool built = BuildMainWindow();
    HoldEvents(false);
    if (!built) return false;
    Raise(g.events.created);
    return true;
}

bool MainWindowExists() {
    return g.window != nullptr;
}

HWND MainWindowHandle() {
    return g.window;
}

HWND ControlWindow(Control control) {
    return g.window ? GetDlgItem(g.window, ControlId(control)) : nullptr;
}

void ShowMainWindow() {
    if (!g.window) return;
    ShowWindow(g.window, SW_SHOW);
    SetForegroundWindow(g.window);
}

HWND NextTabStop(HWND from, bool backwards) {
    return GetNextDlgTabItem(g.window, from == g.window ? nullptr : from, backwards);
}

bool HandleWindowKeys(const MSG& msg) {
    if (!g.window || msg.message != WM_KEYDOWN) return false;
    if (msg.hwnd != g.window && !IsChild(g.window, msg.hwnd)) return false;
    switch (msg.wParam) {
    case VK_ESCAPE:
        SendMessageA(g.window, WM_CLOSE, 0, 0);
        return true;
    case VK_TAB:
        if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
        if (const HWND next = NextTabStop(GetFocus(), GetKeyState(VK_SHIFT) < 0)) SetFocus(next);
        return true;
    }
    return false;
}

int RunEventLoop() {
    g.loopStarted = true;
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return 0;
        if (HandleWindowKeys(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

Text GetControlText(Control control) {
    const HWND window = ControlWindow(control);
    const int capacity = GetWindowTextLengthA(window);
    if (capacity <= 0) return Text();
    Text text(static_cast<std::size_t>(capacity) + 1, '\0');
    const int length = GetWindowTextA(window, text.data(), capacity + 1);
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return text;
}

void SetControlText(Control control, const Text& text) {
    SetWindowTextA(ControlWindow(control), text.c_str());
}

void EditAppend(Control editBox, const Text& text) {
    EditAppend(ControlWindow(editBox), text);
}

void DestroyMainWindow() {
    if (!g.window || g.destroyQueued) return;
    g.destroyQueued = PostMessageA(g.window, kDestroyRequest, 0, 0) != FALSE;
}
