// Start-up, the event loop and the normal end of the program.
#include <windows.h>

#include "app/main_window.h"
#include "bank/bank.h"
#include "bank/harvester.h"
#include "bank/lookup.h"
#include "platform/platform.h"
#include "update/update_check.h"

namespace {

void ReleaseQuestionBank() {
    TextList().swap(QuestionBank);
}

// Runs while the window is still hidden; the timer's lookup may run inside its waits.
void OnMainWindowCreated() {
    LoadQuestionBank(GetControlText(Control::编辑框2));
    UpdateCheck();
}

void On时钟1Tick() {
    LookupTick(QuestionBank, {
                                 GetClipboardText,
                                 [] { return GetControlText(Control::标签1); },
                                 [](const Text& caption) { SetControlText(Control::标签1, caption); },
                             });
}

void On按钮1Click() {
    HarvestTitles({
        [] { return GetControlText(Control::编辑框3); },
        [](const Text& content) { SetControlText(Control::编辑框3, content); },
        [](const Text& text) { EditAppend(Control::编辑框3, text); },
    });
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    QuestionBank.clear();
    RegisterExitRoutine(ReleaseQuestionBank);
    if (!CreateMainWindow({OnMainWindowCreated, On时钟1Tick, On按钮1Click})) {
        ShowMessage("程序窗口无法创建，程序将退出。", MB_OK);
        return 1;
    }
    // The window is gone already when its destruction was handled inside a wait of the sequence.
    int exitCode = 0;
    if (MainWindowExists()) {
        ShowMainWindow();
        exitCode = RunEventLoop();
    }
    HoldEvents(true);
    RunExitRoutine();
    return exitCode;
}
