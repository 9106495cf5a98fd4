#include "app/main_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/window_texts.h"
#include "bank/bank.h"
#include "platform/platform.h"

namespace {

TEST(CentredOrigin, RoundsTowardZero) {
    const struct {
        int screenWidth, screenHeight, left, top;
    } cases[] = {
        {1920, 1080, 496, 356}, {800, 600, -63, 116}, {927, 368, 0, 0}, {926, 367, 0, 0}, {928, 369, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.screenWidth << 'x' << c.screenHeight);
        const POINT origin = CentredOrigin(c.screenWidth, c.screenHeight);
        EXPECT_EQ(origin.x, c.left);
        EXPECT_EQ(origin.y, c.top);
    }
}

// The real window, built hidden in this process for each test.
class MainWindowTest : public testing::Test {
protected:
    void SetUp() override {
        MainWindowEvents events;
        events.created = [this] {
            ++created;
            seenInCreated.windowVisible = IsWindowVisible(MainWindowHandle()) != FALSE;
            seenInCreated.bankBytes = TextLength(GetControlText(Control::编辑框2));
        };
        events.tick = [this] { ++ticks; };
        events.click = [this] { ++clicks; };
        ASSERT_TRUE(CreateMainWindow(events));
    }
    void TearDown() override {
        if (MainWindowExists()) DestroyWindow(MainWindowHandle());
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    static RECT RectInParent(HWND control) {
        RECT rect;
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    static std::string ClassName(HWND window) {
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        return CharUpperA(name);
    }

    int created = 0, ticks = 0, clicks = 0;
    struct {
        bool windowVisible = true;
        int bankBytes = 0;
    } seenInCreated;
};

TEST_F(MainWindowTest, IsAFixedCentredTopmostWindowBuiltHidden) {
    const HWND window = MainWindowHandle();
    EXPECT_EQ(ClassName(window), "QUORVELMAINWINDOW");
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    EXPECT_EQ(Text(title), kWindowTitle);

    RECT rect;
    GetWindowRect(window, &rect);
    const POINT origin = CentredOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(rect.left, origin.x);
    EXPECT_EQ(rect.top, origin.y);
    EXPECT_EQ(rect.right - rect.left, 927);
    EXPECT_EQ(rect.bottom - rect.top, 368);

    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_CLIPCHILDREN);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_VISIBLE | WS_CHILD | WS_POPUP));
    // The system adds the window edge to every captioned window; topmost comes from SetWindowPos.
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
}

TEST_F(MainWindowTest, ControlsFollowTheDefinitionInStackingOrder) {
    const struct {
        Control name;
        const char* className;
        RECT rect;
        LONG style;
        LONG exStyle;
    } expected[] = {
        {Control::标签2, "QUORVELLABEL", {16, 184, 912, 352}, WS_CLIPSIBLINGS, 0},
        {Control::按钮1, "BUTTON", {680, 192, 728, 240},
         BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | WS_TABSTOP | WS_CLIPSIBLINGS, 0},
        {Control::编辑框3, "EDIT", {16, 192, 672, 336},
         ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | ES_CENTER | WS_HSCROLL | WS_VSCROLL |
             WS_TABSTOP | WS_CLIPSIBLINGS,
         WS_EX_CLIENTEDGE},
        {Control::编辑框2, "EDIT", {752, 224, 784, 256}, ES_AUTOHSCROLL | WS_TABSTOP | WS_CLIPSIBLINGS,
         WS_EX_CLIENTEDGE},
        {Control::标签1, "QUORVELLABEL", {16, 16, 912, 176}, WS_CLIPSIBLINGS, 0},
    };
    HWND child = GetWindow(MainWindowHandle(), GW_CHILD);
    for (const auto& e : expected) {
        SCOPED_TRACE(static_cast<int>(e.name));
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(child, ControlWindow(e.name));
        EXPECT_EQ(ClassName(child), e.className);
        const RECT rect = RectInParent(child);
        EXPECT_EQ(rect.left, e.rect.left);
        EXPECT_EQ(rect.top, e.rect.top);
        EXPECT_EQ(rect.right, e.rect.right);
        EXPECT_EQ(rect.bottom, e.rect.bottom);
        EXPECT_EQ(GetWindowLongA(child, GWL_STYLE), WS_CHILD | WS_VISIBLE | e.style);
        EXPECT_EQ(GetWindowLongA(child, GWL_EXSTYLE) & ~WS_EX_NOPARENTNOTIFY, e.exStyle);
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr);
}

TEST_F(MainWindowTest, ControlsStartWithTheirTexts) {
    const Text bank = GetControlText(Control::编辑框2);
    EXPECT_EQ(TextLength(bank), 4627);
    EXPECT_EQ(bank, kBankText);
    EXPECT_EQ(Left(bank, 2), "\r\n");
    EXPECT_EQ(Right(bank, 4), "\r\n\r\n");
    EXPECT_EQ(GetControlText(Control::标签2), kNotice);
    EXPECT_EQ(GetControlText(Control::标签1), "");
    EXPECT_EQ(GetControlText(Control::按钮1), "\xB0\xB4\xC5\xA5");  // "按钮"
    EXPECT_EQ(GetControlText(Control::编辑框3), "");
}

TEST_F(MainWindowTest, CreatedEventRunsOnceWhileHiddenWithTheBankInPlace) {
    EXPECT_EQ(created, 1);
    EXPECT_FALSE(seenInCreated.windowVisible);
    EXPECT_EQ(seenInCreated.bankBytes, 4627);
}

TEST_F(MainWindowTest, LabelCaptionsComeBackByteForByte) {
    const Text cases[] = {
        "",
        "\r\n\xD6\xD0\xCE\xC4" "ABC\r\n\xB6\xFE",
        "\x80",
        "a\xB0",            // a lone lead byte at the end
        "\xFF\xFF\x81\x20",  // no GBK character
        Text(20000, 'x'),
    };
    for (const Text& caption : cases) {
        SCOPED_TRACE(Left(caption, 16));
        SetControlText(Control::标签1, caption);
        EXPECT_EQ(GetControlText(Control::标签1), caption);
        std::vector<char> buffer(caption.size() + 1);
        const LRESULT copied = SendMessageA(ControlWindow(Control::标签1), WM_GETTEXT, buffer.size(),
                                            reinterpret_cast<LPARAM>(buffer.data()));
        EXPECT_EQ(Text(buffer.data(), static_cast<std::size_t>(copied)), caption);
    }
}

TEST_F(MainWindowTest, EditBoxesTakeTextsAndLongAppends) {
    SetControlText(Control::编辑框3, "<div>\r\n");
    EXPECT_EQ(GetControlText(Control::编辑框3), "<div>\r\n");
    SetControlText(Control::编辑框3, "ab");
    // Beyond the edit control's default limit of 30,000 characters.
    const Text longLine(40000, 'y');
    EditAppend(Control::编辑框3, longLine);
    EXPECT_EQ(GetControlText(Control::编辑框3), "ab" + longLine);
    SetControlText(Control::编辑框3, "");
    EXPECT_EQ(GetControlText(Control::编辑框3), "");
}

TEST_F(MainWindowTest, TimerTicksAndButtonClicksReachTheirHandlersUnlessHeldBack) {
    Delay(1100);
    EXPECT_GE(ticks, 1);
    const HWND button = ControlWindow(Control::按钮1);
    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
    HoldEvents(true);
    SendMessageA(button, BM_CLICK, 0, 0);
    HoldEvents(false);
    EXPECT_EQ(clicks, 1);
}

TEST_F(MainWindowTest, TabStopsCycleThroughTheEditBoxesAndTheButton) {
    const HWND boxes = ControlWindow(Control::编辑框2);
    std::vector<HWND> forward{boxes}, backward{boxes};
    for (int i = 0; i < 3; ++i) {
        forward.push_back(NextTabStop(forward.back(), false));
        backward.push_back(NextTabStop(backward.back(), true));
    }
    EXPECT_EQ(forward.back(), boxes);
    EXPECT_EQ(backward.back(), boxes);
    for (const Control stop : {Control::编辑框3, Control::按钮1}) {
        EXPECT_NE(std::find(forward.begin(), forward.end(), ControlWindow(stop)), forward.end());
    }
    EXPECT_EQ(forward[1], backward[2]);
    EXPECT_EQ(forward[2], backward[1]);
}

TEST_F(MainWindowTest, ShownWindowHasTheFocusOnTheBankBoxAndTheNoticeOnTop) {
    ShowMainWindow();
    EXPECT_TRUE(IsWindowVisible(MainWindowHandle()));
    EXPECT_EQ(GetFocus(), ControlWindow(Control::编辑框2));

    MSG tab = {ControlWindow(Control::编辑框2), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_TRUE(HandleWindowKeys(tab));
    EXPECT_EQ(GetFocus(), NextTabStop(ControlWindow(Control::编辑框2), false));

    // A press over a covered control goes to the notice on top of it.
    const struct {
        Control pointAt, hit;
    } cases[] = {
        {Control::按钮1, Control::标签2},
        {Control::编辑框2, Control::标签2},
        {Control::编辑框3, Control::标签2},
        {Control::标签1, Control::标签1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.pointAt));
        RECT rect;
        GetWindowRect(ControlWindow(c.pointAt), &rect);
        const POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        EXPECT_EQ(WindowFromPoint(centre), ControlWindow(c.hit));
    }
}

TEST_F(MainWindowTest, EscapeFromAnyControlClosesTheWindow) {
    const HWND edit = ControlWindow(Control::编辑框3);
    const MSG other = {edit, WM_KEYDOWN, VK_F1, 0, 0, {}};
    EXPECT_FALSE(HandleWindowKeys(other));
    const MSG escape = {edit, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(HandleWindowKeys(escape));
    EXPECT_FALSE(MainWindowExists());
    // The loop has not started, so the destruction asks for no quit.
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST_F(MainWindowTest, DestroyRequestWaitsForTheLoopAndCountsOnce) {
    DestroyMainWindow();
    DestroyMainWindow();
    EXPECT_TRUE(MainWindowExists());
    EXPECT_EQ(TextLength(GetControlText(Control::编辑框2)), 4627);
    const HWND window = MainWindowHandle();
    MSG msg;
    int queued = 0;
    while (PeekMessageA(&msg, window, WM_APP, 0xBFFF, PM_REMOVE)) {
        ++queued;
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(queued, 1);
    EXPECT_FALSE(MainWindowExists());
    EXPECT_FALSE(IsWindow(window));
}

TEST(MainWindowStartUp, DestroyRequestedWhileCreatedIsCarriedOutByTheLoop) {
    MainWindowEvents events;
    events.created = [] { DestroyMainWindow(); };
    ASSERT_TRUE(CreateMainWindow(events));
    ASSERT_TRUE(MainWindowExists());
    ShowMainWindow();
    EXPECT_EQ(RunEventLoop(), 0);
    EXPECT_FALSE(MainWindowExists());
}

TEST_F(MainWindowTest, EventLoopEndsWithCodeZeroWhenTheWindowIsClosed) {
    PostMessageA(ControlWindow(Control::编辑框2), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(RunEventLoop(), 0);
    EXPECT_FALSE(MainWindowExists());
}

}  // namespace
