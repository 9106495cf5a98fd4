#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A message-only window that counts what it is sent.
class CountingWindow {
public:
    CountingWindow() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "CountingWindow";
        RegisterClassA(&wc);
        hwnd_ = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~CountingWindow() { DestroyWindow(hwnd_); }
    CountingWindow(const CountingWindow&) = delete;
    CountingWindow& operator=(const CountingWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    int ticks = 0;
    int pings = 0;
    static constexpr UINT kPing = WM_APP + 7;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<CountingWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self && message == WM_TIMER) ++self->ticks;
        if (self && message == kPing) ++self->pings;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    HWND hwnd_;
};

void DrainQueue() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

TEST(Delay, HandlesPostedMessagesAndTimerTicksForAtLeastTheGivenTime) {
    CountingWindow window;
    PostMessageA(window.hwnd(), CountingWindow::kPing, 0, 0);
    SetTimer(window.hwnd(), 1, 50, nullptr);
    const DWORD start = GetTickCount();
    Delay(400);
    const DWORD elapsed = GetTickCount() - start;
    KillTimer(window.hwnd(), 1);
    EXPECT_GE(elapsed, 400u);
    EXPECT_EQ(window.pings, 1);
    EXPECT_GE(window.ticks, 1);
    DrainQueue();
}

TEST(Delay, NothingOrLessReturnsWithoutHandlingAnything) {
    CountingWindow window;
    for (const int milliseconds : {0, -1, -2111}) {
        SCOPED_TRACE(milliseconds);
        PostMessageA(window.hwnd(), CountingWindow::kPing, 0, 0);
        Delay(milliseconds);
        EXPECT_EQ(window.pings, 0);
        MSG msg;
        EXPECT_TRUE(PeekMessageA(&msg, window.hwnd(), CountingWindow::kPing, CountingWindow::kPing, PM_REMOVE));
    }
}

TEST(Delay, LeavesAQuitAtTheHeadOfTheQueueAndStopsHandling) {
    CountingWindow window;
    SetTimer(window.hwnd(), 1, 20, nullptr);
    PostQuitMessage(7);
    const DWORD start = GetTickCount();
    Delay(200);
    const DWORD elapsed = GetTickCount() - start;
    KillTimer(window.hwnd(), 1);
    EXPECT_GE(elapsed, 200u);
    EXPECT_EQ(window.ticks, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    DrainQueue();
}

TEST(MessageResultCode, IsTheButtonIdentifierLessOne) {
    const struct {
        int win32Result, expected;
    } cases[] = {
        {IDOK, 0},  {IDCANCEL, 1}, {IDABORT, 2}, {IDRETRY, 3}, {IDIGNORE, 4}, {IDYES, 5},
        {IDNO, 6},  {0, 0},        {-1, 0},      {8, 0},       {10, 0},       {11, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.win32Result);
        EXPECT_EQ(MessageResultCode(c.win32Result), c.expected);
    }
}

// Presses a button of the next box titled "信息：" from another thread, noting what the box said.
struct BoxPress {
    int button;
    std::string text;
    bool found = false;
};

DWORD WINAPI PressButton(LPVOID param) {
    auto* press = static_cast<BoxPress*>(param);
    for (int i = 0; i < 500 && !press->found; ++i) {
        const HWND box = FindWindowA("#32770", "信息：");
        if (box && IsWindowVisible(box)) {
            char text[256] = {};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            press->text = text;
            press->found = true;
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(press->button, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, press->button)));
        } else {
            Sleep(20);
        }
    }
    return 0;
}

TEST(ShowMessage, ReturnsTheCodeOfThePressedButton) {
    const struct {
        int flags, button, expected;
    } cases[] = {
        {36, IDYES, 5},
        {36, IDNO, 6},
        {0, IDOK, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        BoxPress press{c.button, {}};
        const HANDLE presser = CreateThread(nullptr, 0, PressButton, &press, 0, nullptr);
        ASSERT_NE(presser, nullptr);
        const int result = ShowMessage("\xCA\xC7\xB7\xF1\xCF\xC2\xD4\xD8\xA3\xBF", c.flags);  // "是否下载？"
        WaitForSingleObject(presser, INFINITE);
        CloseHandle(presser);
        EXPECT_TRUE(press.found);
        EXPECT_EQ(press.text, "\xCA\xC7\xB7\xF1\xCF\xC2\xD4\xD8\xA3\xBF");
        EXPECT_EQ(result, c.expected);
    }
}

// Owns the clipboard through a message-only window: without an owner, setting data fails.
void SetClipboard(UINT format, const void* bytes, std::size_t size) {
    const HWND owner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    BOOL opened = FALSE;
    for (int i = 0; i < 100 && !opened; ++i) {
        opened = OpenClipboard(owner);
        if (!opened) Sleep(10);
    }
    ASSERT_TRUE(opened);
    EmptyClipboard();
    if (bytes) {
        const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
        std::memcpy(GlobalLock(memory), bytes, size);
        GlobalUnlock(memory);
        EXPECT_NE(SetClipboardData(format, memory), nullptr);
    }
    CloseClipboard();
    DestroyWindow(owner);
}

TEST(GetClipboardText, GivesTheTextBytesUpToTheFirstNul) {
    const struct {
        const char* name;
        std::string bytes;
        Text expected;
    } cases[] = {
        {"ascii", std::string("abc", 4), "abc"},
        {"gbk", std::string("\xCF\xFB\xB7\xC0\xC6\xF7\r\n", 9), "\xCF\xFB\xB7\xC0\xC6\xF7\r\n"},
        {"stops at nul", std::string("abc\0def", 8), "abc"},
        {"only nul", std::string(1, '\0'), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetClipboard(CF_TEXT, c.bytes.data(), c.bytes.size());
        EXPECT_EQ(GetClipboardText(), c.expected);
    }
}

TEST(GetClipboardText, IsEmptyWithoutText) {
    SetClipboard(CF_TEXT, nullptr, 0);
    EXPECT_EQ(GetClipboardText(), "");
    const char picture[] = "not text";
    SetClipboard(RegisterClipboardFormatA("QuorvelTestPicture"), picture, sizeof picture);
    EXPECT_EQ(GetClipboardText(), "");
}

struct ClipboardHolder {
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
};

// Another program holding the clipboard open, as programs do, with a window of theirs.
DWORD WINAPI HoldClipboard(LPVOID param) {
    auto* holder = static_cast<ClipboardHolder*>(param);
    const HWND owner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    OpenClipboard(owner);
    SetEvent(holder->opened);
    WaitForSingleObject(holder->release, INFINITE);
    CloseClipboard();
    DestroyWindow(owner);
    return 0;
}

TEST(GetClipboardText, IsEmptyWhileTheClipboardIsHeldOpenElsewhere) {
    SetClipboard(CF_TEXT, "abc", 4);
    ClipboardHolder holder;
    const HANDLE thread = CreateThread(nullptr, 0, HoldClipboard, &holder, 0, nullptr);
    WaitForSingleObject(holder.opened, INFINITE);
    EXPECT_EQ(GetClipboardText(), "");
    SetEvent(holder.release);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(GetClipboardText(), "abc");
}

TEST(EditAppend, AddsAtTheEndWithoutUndo) {
    const struct {
        Text before, text, after;
    } cases[] = {
        {"ab", "cd", "abcd"},
        {"", "x\r\n", "x\r\n"},
        {"\xD6\xD0", "\xCE\xC4\r\n", "\xD6\xD0\xCE\xC4\r\n"},
        {"ab", "", "ab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before + "+" + c.text);
        const HWND edit = CreateWindowExA(0, "EDIT", c.before.c_str(), ES_MULTILINE, 0, 0, 100, 100, nullptr,
                                          nullptr, nullptr, nullptr);
        ASSERT_NE(edit, nullptr);
        SendMessageA(edit, EM_SETSEL, 0, 0);
        EditAppend(edit, c.text);
        char text[64] = {};
        GetWindowTextA(edit, text, sizeof text);
        EXPECT_EQ(Text(text), c.after);
        EXPECT_EQ(SendMessageA(edit, EM_CANUNDO, 0, 0), 0);
        // Typing goes on behind the appended text: the caret stands at the end.
        SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("|"));
        GetWindowTextA(edit, text, sizeof text);
        EXPECT_EQ(Text(text), c.after + "|");
        DestroyWindow(edit);
    }
}

TEST(ExitRoutine, RunsOnce) {
    static int runs = 0;
    RegisterExitRoutine([] { ++runs; });
    RunExitRoutine();
    RunExitRoutine();
    EXPECT_EQ(runs, 1);
}

// EndProgram ends the process, so it runs in a child: this executable started with --end-program.
// The child's exit routine appends a line to a file named by the parent.
const char* gMarkerPath = nullptr;

int EndProgramChild(const char* markerPath, int exitCode, bool runBefore) {
    gMarkerPath = markerPath;
    RegisterExitRoutine([] {
        if (FILE* marker = std::fopen(gMarkerPath, "ab")) {
            std::fputs("exit routine\n", marker);
            std::fclose(marker);
        }
    });
    if (runBefore) RunExitRoutine();
    EndProgram(exitCode);
}

std::string ReadFile(const std::string& path) {
    std::string content;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[256];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, n);
        std::fclose(file);
    }
    return content;
}

TEST(EndProgram, RunsTheExitRoutineOnceAndExitsWithTheCode) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    char directory[MAX_PATH];
    GetTempPathA(MAX_PATH, directory);
    char marker[MAX_PATH];
    GetTempFileNameA(directory, "qv", 0, marker);
    const struct {
        int exitCode;
        bool runBefore;
    } cases[] = {{0, false}, {3, false}, {0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.exitCode << (c.runBefore ? " after the routine ran" : ""));
        DeleteFileA(marker);
        std::string command = std::string("\"") + self + "\" --end-program \"" + marker + "\" " +
                              std::to_string(c.exitCode) + (c.runBefore ? " run-before" : "");
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                   &process));
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        EXPECT_EQ(code, static_cast<DWORD>(c.exitCode));
        EXPECT_EQ(ReadFile(marker), "exit routine\n");
    }
    DeleteFileA(marker);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "--end-program") == 0) {
        return EndProgramChild(argv[2], std::atoi(argv[3]), argc >= 5);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
