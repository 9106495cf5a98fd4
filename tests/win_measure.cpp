// Prints two figures for the record: the CPU time a Delay(2111) takes while the 1000 ms timer
// ticks, and the time of one real tick of the clipboard lookup (clipboard, label, full bank).
#include <windows.h>

#include <cstdio>

#include "app/main_window.h"
#include "bank/bank.h"
#include "bank/lookup.h"
#include "platform/platform.h"

namespace {

double CpuMilliseconds() {
    FILETIME creation, exit, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user);
    const auto ticks = [](const FILETIME& t) { return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return double(ticks(kernel) + ticks(user)) / 10000.0;
}

void SetClipboardText(const Text& text) {
    const HWND owner = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    while (!OpenClipboard(owner)) Sleep(10);
    EmptyClipboard();
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    CopyMemory(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
    DestroyWindow(owner);
}

void Tick() {
    LookupTick(QuestionBank, {GetClipboardText, [] { return GetControlText(Control::标签1); },
                              [](const Text& caption) { SetControlText(Control::标签1, caption); }});
}

}  // namespace

int main() {
    int ticks = 0;
    MainWindowEvents events;
    events.created = [] { LoadQuestionBank(GetControlText(Control::编辑框2)); };
    events.tick = [&ticks] { ++ticks; };
    if (!CreateMainWindow(events)) return 1;

    const DWORD wallStart = GetTickCount();
    const double cpuStart = CpuMilliseconds();
    Delay(2111);
    std::printf("Delay(2111): %lu ms wall, %.1f ms CPU (user+sys), %d timer ticks handled\n",
                GetTickCount() - wallStart, CpuMilliseconds() - cpuStart, ticks);

    const struct {
        const char* name;
        Text clipboard;
    } cases[] = {{"empty clipboard (all 46 lines match)", ""},
                 {"fragment in 5 lines", "\xC3\xF0\xBB\xF0\xC6\xF7"},  // "灭火器"
                 {"no match", "xyz"}};
    for (const auto& c : cases) {
        SetClipboardText(c.clipboard);
        constexpr int kRounds = 50;
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        for (int i = 0; i < kRounds; ++i) Tick();
        QueryPerformanceCounter(&end);
        std::printf("one tick, %s: %.3f ms\n", c.name,
                    double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart) / kRounds);
    }
    DestroyWindow(MainWindowHandle());
    return 0;
}
