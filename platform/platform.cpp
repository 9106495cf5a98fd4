#include "platform/platform.h"

#include <shellapi.h>

#include <cstring>

#include "platform/web_url.h"

namespace {

class ClipboardOpen {
public:
    ClipboardOpen() : open_(OpenClipboard(nullptr) != FALSE) {}
    ~ClipboardOpen() {
        if (open_) CloseClipboard();
    }
    ClipboardOpen(const ClipboardOpen&) = delete;
    ClipboardOpen& operator=(const ClipboardOpen&) = delete;
    explicit operator bool() const { return open_; }

private:
    bool open_;
};

class GlobalLocked {
public:
    explicit GlobalLocked(HANDLE memory) : memory_(memory), bytes_(static_cast<const char*>(GlobalLock(memory))) {}
    ~GlobalLocked() {
        if (bytes_) GlobalUnlock(memory_);
    }
    GlobalLocked(const GlobalLocked&) = delete;
    GlobalLocked& operator=(const GlobalLocked&) = delete;
    const char* bytes() const { return bytes_; }

private:
    HANDLE memory_;
    const char* bytes_;
};

// Handles every pending message except a WM_QUIT at the head, which is left queued. Returns false
// when it stopped at a WM_QUIT.
bool DispatchPendingMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (msg.message == WM_QUIT) return false;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) continue;
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

bool gEventsHeld = false;
void (*gExitRoutine)() = nullptr;
bool gExitRoutineRun = false;

}  // namespace

Text GetClipboardText() {
    const ClipboardOpen clipboard;
    if (!clipboard) return Text();
    const HANDLE data = GetClipboardData(CF_TEXT);
    if (!data) return Text();
    const GlobalLocked locked(data);
    if (!locked.bytes()) return Text();
    // The block need not end in 0x00: never read past its size.
    return Text(locked.bytes(), strnlen(locked.bytes(), GlobalSize(data)));
}

int MessageResultCode(int win32Result) {
    return win32Result >= IDOK && win32Result <= IDNO ? win32Result - 1 : 0;
}

int ShowMessage(const Text& text, int flags) {
    const UINT style = (flags & MB_SYSTEMMODAL) ? flags : flags | MB_TASKMODAL;
    return MessageResultCode(MessageBoxA(nullptr, text.c_str(), "信息：", style));
}

void Delay(int milliseconds) {
    if (milliseconds <= 0) return;
    // Compared by difference, so the wait stays right when the tick count wraps around.
    const DWORD deadline = GetTickCount() + static_cast<DWORD>(milliseconds);
    bool quitAtHead = false;
    for (;;) {
        if (!quitAtHead) quitAtHead = !DispatchPendingMessages();
        const LONG remaining = static_cast<LONG>(deadline - GetTickCount());
        if (remaining < 0) return;
        const DWORD wait = static_cast<DWORD>(remaining) + 1;
        if (quitAtHead) {
            Sleep(wait);
        } else {
            MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
    }
}

void OpenUrl(const Text& url) {
    if (!IsWebUrl(url)) return;
    ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void HoldEvents(bool held) {
    gEventsHeld = held;
}

bool EventsHeld() {
    return gEventsHeld;
}

void RegisterExitRoutine(void (*routine)()) {
    gExitRoutine = routine;
}

void RunExitRoutine() {
    if (gExitRoutineRun || !gExitRoutine) return;
    gExitRoutineRun = true;
    gExitRoutine();
}

void EndProgram(int exitCode) {
    HoldEvents(true);
    RunExitRoutine();
    ExitProcess(static_cast<UINT>(exitCode));
}

void EditAppend(HWND editBox, const Text& text) {
    // The length in bytes is never below the length in characters, so this lands at the end either
    // way the box counts.
    const int end = GetWindowTextLengthA(editBox);
    SendMessageA(editBox, EM_SETSEL, end, end);
    SendMessageA(editBox, EM_SCROLLCARET, 0, 0);
    SendMessageA(editBox, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}
