// Test driver for the end-to-end scenarios: run under Wine in the same prefix as the assistant, it
// finds the main window, reads and writes what a user or the system could, and reports on stdout.
//
// Output: one fact per line, "<key> <value...>". Texts are written as "<key> <length> <hex bytes>"
// so that GBK is compared byte for byte; window handles as 0x-prefixed hex, valid in every process
// of the prefix. Exit code 0: done; 1: a waited-for condition did not come true in time; 2: bad
// arguments or nothing to act on.
#include <windows.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kMainClass[] = "QuorvelMainWindow";
constexpr char kMessageBoxTitle[] = "信息：";
constexpr int kPollMs = 20;

// The bank as the program is built with it, for comparing what the program carries.
constexpr char kBankBytes[] =
#include "bank/questions.inc"
    ;

int Fail(const char* why) {
    std::printf("error %s\n", why);
    return 2;
}

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

bool Unhex(const char* hex, std::string& out) {
    size_t n = std::strlen(hex);
    if (n % 2 != 0) return false;
    out.clear();
    for (size_t i = 0; i < n; i += 2) {
        char pair[3] = {hex[i], hex[i + 1], 0};
        char* end = nullptr;
        long v = std::strtol(pair, &end, 16);
        if (*end != 0) return false;
        out += static_cast<char>(v);
    }
    return true;
}

void PrintText(const char* key, const std::string& bytes) {
    std::printf("%s %zu %s\n", key, bytes.size(), Hex(bytes).c_str());
}

std::string HandleText(HWND h) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(h)));
    return buf;
}

HWND ParseHandle(const char* s) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(s, nullptr, 0)));
}

std::string ClassOf(HWND h) {
    char buf[256] = {};
    GetClassNameA(h, buf, sizeof buf);
    return buf;
}

// WM_GETTEXT rather than GetWindowTextA: only the message reaches another process's edit box.
std::string ReadText(HWND h) {
    LRESULT len = SendMessageA(h, WM_GETTEXTLENGTH, 0, 0);
    std::vector<char> buf(static_cast<size_t>(len) + 1);
    LRESULT got = SendMessageA(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()));
    return std::string(buf.data(), static_cast<size_t>(got));
}

BOOL CALLBACK CollectMain(HWND h, LPARAM out) {
    if (ClassOf(h) == kMainClass) reinterpret_cast<std::vector<HWND>*>(out)->push_back(h);
    return TRUE;
}

HWND MainWindow(bool visibleOnly) {
    std::vector<HWND> found;
    EnumWindows(CollectMain, reinterpret_cast<LPARAM>(&found));
    for (HWND h : found)
        if (!visibleOnly || IsWindowVisible(h)) return h;
    return nullptr;
}

HWND RequireMain() {
    HWND h = MainWindow(false);
    if (!h) std::printf("error no main window\n");
    return h;
}

// Polls test() every kPollMs until it holds or timeoutMs has passed; the last result counts.
template <typename Test>
bool WaitFor(DWORD timeoutMs, Test test) {
    DWORD start = GetTickCount();
    for (;;) {
        if (test()) return true;
        if (GetTickCount() - start > timeoutMs) return test();
        Sleep(kPollMs);
    }
}

RECT RectInParent(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// ---- window facts

int CmdFind(DWORD timeoutMs) {
    HWND h = nullptr;
    bool ok = WaitFor(timeoutMs, [&] { return (h = MainWindow(true)) != nullptr; });
    if (!ok) return std::printf("window 0x0\n"), 1;
    DWORD pid = 0;
    DWORD tid = GetWindowThreadProcessId(h, &pid);
    std::printf("window %s\npid %lu\ntid %lu\n", HandleText(h).c_str(), pid, tid);
    return 0;
}

int CmdWaitGone(DWORD timeoutMs) {
    bool ok = WaitFor(timeoutMs, [] { return MainWindow(false) == nullptr; });
    std::printf("gone %d\n", ok ? 1 : 0);
    return ok ? 0 : 1;
}

int CmdWindow() {
    HWND h = RequireMain();
    if (!h) return 2;
    RECT r, c;
    GetWindowRect(h, &r);
    GetClientRect(h, &c);
    LONG style = GetWindowLongA(h, GWL_STYLE);
    LONG exStyle = GetWindowLongA(h, GWL_EXSTYLE);
    std::printf("window %s\n", HandleText(h).c_str());
    std::printf("rect %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    std::printf("client %ld %ld\n", c.right, c.bottom);
    std::printf("screen %d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    std::printf("style 0x%08lx\nexstyle 0x%08lx\n", static_cast<unsigned long>(style),
                static_cast<unsigned long>(exStyle));
    std::printf("topmost %d\n", (exStyle & WS_EX_TOPMOST) ? 1 : 0);
    std::printf("visible %d\n", IsWindowVisible(h) ? 1 : 0);
    std::printf("enabled %d\n", IsWindowEnabled(h) ? 1 : 0);
    std::printf("owner %s\n", HandleText(GetWindow(h, GW_OWNER)).c_str());
    std::printf("foreground %d\n", GetForegroundWindow() == h ? 1 : 0);
    PrintText("title", ReadText(h));
    return 0;
}

// One line per child, top of the stacking order first:
// "child <hwnd> <class> <id> <left> <top> <width> <height> <style> <exstyle> <visible>".
int CmdChildren() {
    HWND h = RequireMain();
    if (!h) return 2;
    for (HWND c = GetWindow(h, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r = RectInParent(c);
        std::printf("child %s %s %d %ld %ld %ld %ld 0x%08lx 0x%08lx %d\n", HandleText(c).c_str(),
                    ClassOf(c).c_str(), GetDlgCtrlID(c), r.left, r.top, r.right - r.left,
                    r.bottom - r.top, static_cast<unsigned long>(GetWindowLongA(c, GWL_STYLE)),
                    static_cast<unsigned long>(GetWindowLongA(c, GWL_EXSTYLE)),
                    IsWindowVisible(c) ? 1 : 0);
    }
    return 0;
}

// ---- texts

int CmdText(HWND h) {
    if (!IsWindow(h)) return Fail("no such window");
    PrintText("text", ReadText(h));
    return 0;
}

int CmdSetText(HWND h, const std::string& bytes) {
    if (!IsWindow(h)) return Fail("no such window");
    SendMessageA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bytes.c_str()));
    PrintText("text", ReadText(h));
    return 0;
}

int CmdWaitText(HWND h, const std::string& want, DWORD timeoutMs) {
    if (!IsWindow(h)) return Fail("no such window");
    std::string got;
    bool ok = WaitFor(timeoutMs, [&] { return (got = ReadText(h)) == want; });
    PrintText("text", got);
    return ok ? 0 : 1;
}

// The text must stay equal to want for the whole period; the first other value ends the watch.
int CmdHoldText(HWND h, const std::string& want, DWORD periodMs) {
    if (!IsWindow(h)) return Fail("no such window");
    std::string got;
    DWORD start = GetTickCount();
    do {
        got = ReadText(h);
        if (got != want) {
            PrintText("text", got);
            return 1;
        }
        Sleep(kPollMs);
    } while (GetTickCount() - start < periodMs);
    PrintText("text", got);
    return 0;
}

int CmdBank() {
    PrintText("bank", std::string(kBankBytes, sizeof kBankBytes - 1));
    return 0;
}

// ---- clipboard

// The assistant opens the clipboard once per bank line on every tick, so an attempt may collide.
class ClipboardLock {
public:
    ClipboardLock() {
        owner_ = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        open_ = WaitFor(5000, [&] { return OpenClipboard(owner_) != FALSE; });
    }
    ~ClipboardLock() {
        if (open_) CloseClipboard();
        if (owner_) DestroyWindow(owner_);
    }
    ClipboardLock(const ClipboardLock&) = delete;
    ClipboardLock& operator=(const ClipboardLock&) = delete;
    bool open() const { return open_; }

private:
    HWND owner_ = nullptr;
    bool open_ = false;
};

bool PutOnClipboard(UINT format, const std::string& bytes) {
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!mem) return false;
    std::memcpy(GlobalLock(mem), bytes.data(), bytes.size());
    GlobalUnlock(mem);
    if (SetClipboardData(format, mem)) return true;
    GlobalFree(mem);
    return false;
}

// format 0 only empties the clipboard.
int CmdSetClipboard(UINT format, const std::string& bytes) {
    ClipboardLock lock;
    if (!lock.open()) return Fail("clipboard busy");
    EmptyClipboard();
    if (format != 0 && !PutOnClipboard(format, bytes)) return Fail("SetClipboardData failed");
    std::printf("clipboard set\n");
    return 0;
}

// A 2 by 2 picture in 24-bit colour as a packed DIB: a clipboard with a picture and no text.
std::string SmallPicture() {
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = 2;
    header.biHeight = 2;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = 16;
    std::string dib(reinterpret_cast<const char*>(&header), sizeof header);
    dib += std::string("\x00\x00\xFF\xFF\xFF\xFF\x00\x00\xFF\x00\x00\x00\x00\xFF\x00\x00", 16);
    return dib;
}

int CmdGetClipboard() {
    ClipboardLock lock;
    if (!lock.open()) return Fail("clipboard busy");
    for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f)) std::printf("format %u\n", f);
    HANDLE data = GetClipboardData(CF_TEXT);
    if (!data) {
        std::printf("notext\n");
        return 0;
    }
    const char* p = static_cast<const char*>(GlobalLock(data));
    PrintText("clip", p ? std::string(p) : std::string());
    GlobalUnlock(data);
    return 0;
}

// ---- keyboard and mouse

HWND MainThreadFocus(HWND main) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info);
    return info.hwndFocus;
}

// Foreground first: real key input goes to the foreground window's thread.
bool BringForward(HWND main) {
    if (GetForegroundWindow() == main) return true;
    SetForegroundWindow(main);
    return WaitFor(2000, [&] { return GetForegroundWindow() == main; });
}

// Waits for want to have the focus; with want null, only reports which control has it.
int CmdFocus(HWND want, DWORD timeoutMs) {
    HWND main = RequireMain();
    if (!main) return 2;
    HWND got = nullptr;
    bool ok = WaitFor(timeoutMs, [&] {
        got = MainThreadFocus(main);
        return !want || got == want;
    });
    std::printf("focus %s\n", HandleText(got).c_str());
    return ok ? 0 : 1;
}

struct KeyName {
    const char* name;
    WORD vk;
};
constexpr KeyName kKeys[] = {
    {"tab", VK_TAB},     {"space", VK_SPACE},   {"esc", VK_ESCAPE}, {"enter", VK_RETURN},
    {"f1", VK_F1},       {"ctrl", VK_CONTROL},  {"shift", VK_SHIFT}, {"alt", VK_MENU},
    {"f4", VK_F4},       {"back", VK_BACK},     {"end", VK_END},     {"home", VK_HOME},
};

bool ParseKey(const std::string& name, WORD& vk) {
    for (const KeyName& k : kKeys)
        if (name == k.name) return vk = k.vk, true;
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        vk = static_cast<WORD>(std::toupper(static_cast<unsigned char>(name[0])));
        return true;
    }
    return false;
}

// "ctrl+v" -> {ctrl, v}: modifiers pressed in order, released in reverse.
bool ParseChord(const std::string& chord, std::vector<WORD>& keys) {
    keys.clear();
    size_t start = 0;
    for (;;) {
        size_t plus = chord.find('+', start);
        WORD vk;
        if (!ParseKey(chord.substr(start, plus == std::string::npos ? plus : plus - start), vk)) return false;
        keys.push_back(vk);
        if (plus == std::string::npos) return true;
        start = plus + 1;
    }
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

int CmdKeys(int argc, char** argv, bool post) {
    HWND main = RequireMain();
    if (!main) return 2;
    std::vector<std::vector<WORD>> chords;
    for (int i = 0; i < argc; ++i) {
        std::vector<WORD> keys;
        if (!ParseChord(argv[i], keys)) return Fail("unknown key");
        chords.push_back(keys);
    }
    if (post) {
        // Through the program's own message loop, to whichever control has the focus; modifier
        // state is not part of a posted message, so single keys only.
        for (const auto& keys : chords) {
            if (keys.size() != 1) return Fail("posted keys take no modifiers");
            HWND target = MainThreadFocus(main);
            if (!target) target = main;
            LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(keys[0], MAPVK_VK_TO_VSC)) << 16;
            PostMessageA(target, WM_KEYDOWN, keys[0], 1 | scan);
            PostMessageA(target, WM_KEYUP, keys[0], 1 | scan | (3u << 30));
        }
        std::printf("keys posted\n");
        return 0;
    }
    if (!BringForward(main)) return Fail("main window not in the foreground");
    for (const auto& keys : chords) {
        std::vector<INPUT> inputs;
        for (WORD vk : keys) inputs.push_back(KeyInput(vk, false));
        for (auto it = keys.rbegin(); it != keys.rend(); ++it) inputs.push_back(KeyInput(*it, true));
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        Sleep(kPollMs);
    }
    std::printf("keys sent\n");
    return 0;
}

// Presses Tab until target has the focus, each press waiting for the focus to move.
int CmdTabTo(HWND target, int presses) {
    HWND main = RequireMain();
    if (!main) return 2;
    HWND focus = MainThreadFocus(main);
    for (int i = 0; i < presses && focus != target; ++i) {
        if (!BringForward(main)) return Fail("main window not in the foreground");
        INPUT keys[2] = {KeyInput(VK_TAB, false), KeyInput(VK_TAB, true)};
        SendInput(2, keys, sizeof(INPUT));
        HWND before = focus;
        WaitFor(3000, [&] { return (focus = MainThreadFocus(main)) != before; });
        std::printf("focus %s\n", HandleText(focus).c_str());
    }
    return focus == target ? 0 : 1;
}

// What the system would route a mouse press at client point (x, y) to, then optionally a real
// left click there.
int CmdPoint(int x, int y, bool click) {
    HWND main = RequireMain();
    if (!main) return 2;
    POINT client = {x, y};
    POINT screen = client;
    ClientToScreen(main, &screen);
    HWND child = ChildWindowFromPointEx(main, client, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
    HWND under = WindowFromPoint(screen);
    // WindowFromPoint does not ask windows of other threads; a transparent hit test would pass
    // the press on to the window beneath.
    LRESULT hit = SendMessageA(under, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
    std::printf("childfrompoint %s\nwindowfrompoint %s\nhittest %ld\n", HandleText(child).c_str(),
                HandleText(under).c_str(), static_cast<long>(hit));
    if (!click) return 0;
    if (!BringForward(main)) return Fail("main window not in the foreground");
    INPUT in[3] = {};
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        i.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    }
    in[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    in[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
    // While the button is held, the control that took the press holds the capture.
    HWND capture = nullptr;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    WaitFor(500, [&] {
        GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info);
        return (capture = info.hwndCapture) != nullptr;
    });
    SendInput(1, &in[2], sizeof(INPUT));
    std::printf("capture %s\nclicked 1\n", HandleText(capture).c_str());
    return 0;
}

// ---- message boxes

int CmdMessageBox(DWORD timeoutMs, int button) {
    HWND box = nullptr;
    bool found = WaitFor(timeoutMs, [&] { return (box = FindWindowA("#32770", kMessageBoxTitle)) != nullptr; });
    if (!found) return std::printf("msgbox 0x0\n"), 1;
    std::printf("msgbox %s\n", HandleText(box).c_str());
    HWND owner = GetWindow(box, GW_OWNER);
    std::printf("owner %s\n", HandleText(owner).c_str());
    HWND textControl = GetDlgItem(box, 0xFFFF);
    PrintText("text", textControl ? ReadText(textControl) : std::string());
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (ClassOf(c) == "Button" && IsWindowVisible(c)) std::printf("button %d\n", GetDlgCtrlID(c));
    if (button == 0) return 0;
    HWND control = GetDlgItem(box, button);
    if (!control) return Fail("no such button");
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    bool closed = WaitFor(timeoutMs, [&] { return !IsWindow(box); });
    std::printf("pressed %d\nclosed %d\n", button, closed ? 1 : 0);
    return closed ? 0 : 1;
}

// ---- ending the program

int CmdClose(bool terminate) {
    HWND main = RequireMain();
    if (!main) return 2;
    if (!terminate) {
        PostMessageA(main, WM_CLOSE, 0, 0);
        std::printf("close posted\n");
        return 0;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(main, &pid);
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
    if (!process || !TerminateProcess(process, 99)) return Fail("cannot terminate");
    CloseHandle(process);
    std::printf("terminated %lu\n", pid);
    return 0;
}

int Usage() {
    std::fputs(
        "usage: driver <command> [arguments]\n"
        "  find MS | wait-gone MS | window | children | bank\n"
        "  text HWND | settext HWND HEX | wait-text HWND HEX MS | hold-text HWND HEX MS\n"
        "  setclip TEXT | setclip-hex HEX | clip-picture | clip-empty | getclip\n"
        "  focus | wait-focus HWND MS | tab-to HWND PRESSES | keys KEY... | postkeys KEY...   (KEY: tab, shift+tab, ctrl+v, esc, ...)\n"
        "  point X Y | click X Y   (client coordinates of the main window)\n"
        "  msgbox MS [BUTTON-ID] | close | terminate\n",
        stderr);
    return 2;
}

DWORD Ms(const char* s) { return static_cast<DWORD>(std::strtoul(s, nullptr, 10)); }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string cmd = argv[1];
    const int n = argc - 2;
    char** args = argv + 2;
    std::string bytes;
    int rc = -1;
    if (cmd == "find" && n == 1) rc = CmdFind(Ms(args[0]));
    else if (cmd == "wait-gone" && n == 1) rc = CmdWaitGone(Ms(args[0]));
    else if (cmd == "window" && n == 0) rc = CmdWindow();
    else if (cmd == "children" && n == 0) rc = CmdChildren();
    else if (cmd == "bank" && n == 0) rc = CmdBank();
    else if (cmd == "text" && n == 1) rc = CmdText(ParseHandle(args[0]));
    else if (cmd == "settext" && n == 2 && Unhex(args[1], bytes)) rc = CmdSetText(ParseHandle(args[0]), bytes);
    else if (cmd == "wait-text" && n == 3 && Unhex(args[1], bytes)) rc = CmdWaitText(ParseHandle(args[0]), bytes, Ms(args[2]));
    else if (cmd == "hold-text" && n == 3 && Unhex(args[1], bytes)) rc = CmdHoldText(ParseHandle(args[0]), bytes, Ms(args[2]));
    else if (cmd == "setclip" && n == 1) rc = CmdSetClipboard(CF_TEXT, std::string(args[0]) + '\0');
    // Written with its terminating NUL, so that a NUL inside the given bytes is kept too.
    else if (cmd == "setclip-hex" && n == 1 && Unhex(args[0], bytes)) rc = CmdSetClipboard(CF_TEXT, bytes + '\0');
    else if (cmd == "clip-picture" && n == 0) rc = CmdSetClipboard(CF_DIB, SmallPicture());
    else if (cmd == "clip-empty" && n == 0) rc = CmdSetClipboard(0, "");
    else if (cmd == "getclip" && n == 0) rc = CmdGetClipboard();
    else if (cmd == "focus" && n == 0) rc = CmdFocus(nullptr, 0);
    else if (cmd == "wait-focus" && n == 2) rc = CmdFocus(ParseHandle(args[0]), Ms(args[1]));
    else if (cmd == "tab-to" && n == 2) rc = CmdTabTo(ParseHandle(args[0]), std::atoi(args[1]));
    else if (cmd == "keys" && n >= 1) rc = CmdKeys(n, args, false);
    else if (cmd == "postkeys" && n >= 1) rc = CmdKeys(n, args, true);
    else if ((cmd == "point" || cmd == "click") && n == 2) rc = CmdPoint(std::atoi(args[0]), std::atoi(args[1]), cmd == "click");
    else if (cmd == "msgbox" && (n == 1 || n == 2)) rc = CmdMessageBox(Ms(args[0]), n == 2 ? std::atoi(args[1]) : 0);
    else if (cmd == "close" && n == 0) rc = CmdClose(false);
    else if (cmd == "terminate" && n == 0) rc = CmdClose(true);
    if (rc < 0) return Usage();
    std::fflush(stdout);
    return rc;
}
