// MainWindow, the program's only window: its controls, texts, keys and timer, and the operations
// the logic uses on it. The window is declared as data in main_window.cpp and built by one loop.
#pragma once

#include <windows.h>

#include <functional>

#include "text/text.h"

// The controls, named as the logic names them.
enum class Control { 标签1, 标签2, 按钮1, 编辑框3, 编辑框2 };

// The three events wired to the logic. A handler left empty ignores its event.
struct MainWindowEvents {
    std::function<void()> created;  // once, before the window is first shown
    std::function<void()> tick;     // 时钟1, every 1000 ms
    std::function<void()> click;    // 按钮1
};

inline constexpr char kMainWindowClass[] = "QuorvelMainWindow";
inline constexpr int kMainWindowWidth = 927;
inline constexpr int kMainWindowHeight = 368;
inline constexpr UINT k时钟1Interval = 1000;

// Top-left corner that centres the window on a screen of the given size, rounded toward zero.
POINT CentredOrigin(int screenWidth, int screenHeight);

// Builds the window hidden, centred and topmost, with events held back: the controls in their
// stacking order, shown, and 时钟1 running. Then raises the created event. Returns false, without
// raising it, when the window could not be built.
bool CreateMainWindow(const MainWindowEvents& events);
bool MainWindowExists();
HWND MainWindowHandle();
HWND ControlWindow(Control control);
// Shows and activates the window; the focus goes to 编辑框2.
void ShowMainWindow();

// Runs the event loop until the quit request, which the window's destruction posts from now on.
// Returns the exit code the request carries.
int RunEventLoop();
// The window's own keys, applied to each message before it is dispatched: Esc closes the window
// and Tab or Shift+Tab moves the focus among the tab stops, whichever control has the focus.
// Returns true when the message was used up.
bool HandleWindowKeys(const MSG& msg);
// The tab stop after (or before) from, wrapping around.
HWND NextTabStop(HWND from, bool backwards);

// A label's caption as last set, byte for byte, or an edit box's or the button's current text.
Text GetControlText(Control control);
// Replaces the text; a label is repainted.
void SetControlText(Control control, const Text& text);
void EditAppend(Control editBox, const Text& text);
// Queues the destruction of the window: the caller goes on with the window in place until the
// event loop handles the request. A request made while one is queued changes nothing.
void DestroyMainWindow();
