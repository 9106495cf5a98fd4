// The program's services over Win32 outside the window itself: clipboard, message box, the waiting
// that keeps events flowing, the shell, program end, and edit-box appends. Everything runs on the
// GUI thread, the program's only thread.
#pragma once

#include <windows.h>

#include "text/text.h"

// The clipboard's CF_TEXT bytes up to the first 0x00, taken as GBK without conversion. The empty
// Text when the clipboard is held open elsewhere, is empty or holds no text. Opened and closed on
// every call.
Text GetClipboardText();

// A task-modal box (unless flags ask for system-modal) titled "信息：", without owner. Returns the
// button pressed as MessageResultCode gives it.
int ShowMessage(const Text& text, int flags);
// The Win32 button identifier minus one (IDOK 0 ... IDNO 6); 0 for failure and anything unknown.
int MessageResultCode(int win32Result);

// Waits at least milliseconds, handling every message that arrives meanwhile. A WM_QUIT at the head
// of the queue is left there for the event loop and stops the handling for the rest of the wait.
// Sleeps on the queue between messages.
void Delay(int milliseconds);

// Opens a web address with the user's shell; anything IsWebUrl refuses is ignored without notice.
void OpenUrl(const Text& url);

// Events held back: while set, the window's event handlers are not run and their events are dropped.
void HoldEvents(bool held);
bool EventsHeld();

// The one exit routine, run at most once: by RunExitRoutine at the normal end, or by EndProgram.
void RegisterExitRoutine(void (*routine)());
void RunExitRoutine();
// Holds events back for good, runs the exit routine and ends the process with exitCode.
[[noreturn]] void EndProgram(int exitCode);

// Adds text after the edit box's content, the caret behind it, scrolled into view. Cannot be undone.
void EditAppend(HWND editBox, const Text& text);
