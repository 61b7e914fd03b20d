#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <vector>

#include "tests/window/TestSupport.h"
#include "window/Tooltip.h"
#include "window/Window.h"

namespace {

// Records what reaches the object.
class RecordingWindow : public Window {
public:
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        messages.push_back(message);
        return Window::WindowProc(window, message, wParam, lParam);
    }
    void OnKeyDown(WPARAM wParam, LPARAM) override { keys.push_back(wParam); }
    void OnPaint(HDC dc) override { paintedWith.push_back(dc); }
    std::vector<UINT> messages;
    std::vector<WPARAM> keys;
    std::vector<HDC> paintedWith;
};

HWND MakeTopLevel(Window& window, const char* name)
{
    return window.Create(0, name, name, WS_OVERLAPPEDWINDOW, 0, 0, 120, 80, nullptr, nullptr,
                         TestInstance());
}

int CountOf(const std::vector<UINT>& messages, UINT message)
{
    int count = 0;
    for (UINT m : messages)
        count += m == message;
    return count;
}

TEST(Window, BindsFromNcCreateAndRoutesLaterMessages)
{
    RecordingWindow window;
    HWND hwnd = MakeTopLevel(window, "WindowTestBind");
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(window.hwnd, hwnd);
    EXPECT_EQ(window.instance, TestInstance());
    EXPECT_STREQ(window.className.Get(), "WindowTestBind");
    EXPECT_EQ(GetWindowLongPtrA(hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&window));
    ASSERT_FALSE(window.messages.empty());
    // WM_GETMINMAXINFO comes before WM_NCCREATE and goes to DefWindowProcA, not to the object.
    EXPECT_EQ(window.messages.front(), static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(CountOf(window.messages, WM_GETMINMAXINFO), 0);
    EXPECT_EQ(CountOf(window.messages, WM_CREATE), 1);

    SendMessageA(hwnd, WM_KEYDOWN, VK_F5, 0x3F0001);
    ASSERT_EQ(window.keys.size(), 1u);
    EXPECT_EQ(window.keys[0], static_cast<WPARAM>(VK_F5));

    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd);
    window.paintedWith.clear();
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    EXPECT_EQ(window.paintedWith.size(), 1u);
    DestroyWindow(hwnd);
    PumpMessages();
}

TEST(Window, PrintClientPaintsIntoTheGivenDc)
{
    RecordingWindow window;
    HWND hwnd = MakeTopLevel(window, "WindowTestPrint");
    ASSERT_NE(hwnd, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    window.paintedWith.clear();
    EXPECT_EQ(SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT), 0);
    EXPECT_EQ(window.paintedWith, std::vector<HDC>{dc});
    DeleteDC(dc);
    DestroyWindow(hwnd);
    PumpMessages();
}

// Reads its window's binding while its last message is handled.
class LastMessageWindow : public Window {
public:
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NCDESTROY)
            bindingAtNcDestroy = GetWindowLongPtrA(window, GWLP_USERDATA);
        return Window::WindowProc(window, message, wParam, lParam);
    }
    LONG_PTR bindingAtNcDestroy = -1;
};

TEST(Window, BindingIsClearedAtNcDestroyAndByTheDestructor)
{
    LastMessageWindow destroyed;
    HWND first = MakeTopLevel(destroyed, "WindowTestUnbind");
    ASSERT_NE(first, nullptr);
    DestroyWindow(first);
    EXPECT_EQ(destroyed.bindingAtNcDestroy, 0);
    MSG message;
    PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);

    HWND second;
    {
        Window outlived;
        second = MakeTopLevel(outlived, "WindowTestOutlive");
        ASSERT_NE(second, nullptr);
    }
    EXPECT_EQ(GetWindowLongPtrA(second, GWLP_USERDATA), 0);
    DestroyWindow(second);
}

TEST(Window, SecondWindowReusesClassAndSurvivesFirstObject)
{
    HWND second;
    RecordingWindow two;
    {
        RecordingWindow one;
        HWND first = MakeTopLevel(one, "WindowTestShared");
        ATOM atom = static_cast<ATOM>(GetClassLongA(first, GCW_ATOM));
        second = MakeTopLevel(two, "WindowTestShared");
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
        EXPECT_EQ(static_cast<ATOM>(GetClassLongA(second, GCW_ATOM)), atom);
        DestroyWindow(first);
    }
    // The class stays while the second window exists and the second window still works.
    WNDCLASSEXA info = {};
    info.cbSize = sizeof info;
    EXPECT_TRUE(GetClassInfoExA(TestInstance(), "WindowTestShared", &info));
    two.messages.clear();
    SendMessageA(second, WM_USER + 7, 0, 0);
    EXPECT_EQ(CountOf(two.messages, WM_USER + 7), 1);
    DestroyWindow(second);
    PumpMessages();
}

TEST(Window, DestroyPostsQuitAndRunReturnsItsCode)
{
    Window window;
    HWND hwnd = MakeTopLevel(window, "WindowTestQuit");
    ASSERT_NE(hwnd, nullptr);
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    // WM_CLOSE -> DefWindowProcA destroys -> WM_DESTROY posts WM_QUIT(0) -> Run ends.
    EXPECT_EQ(window.Run(), 0);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(Window, RunReturnsTheQuitCode)
{
    Window window;
    PostQuitMessage(37);
    EXPECT_EQ(window.Run(), 37);
}

TEST(Window, DetachedObjectGetsNoMessages)
{
    RecordingWindow window;
    HWND hwnd = MakeTopLevel(window, "WindowTestDetached");
    ASSERT_NE(hwnd, nullptr);
    window.detached = 1;
    window.messages.clear();
    SendMessageA(hwnd, WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(window.messages.empty());
    EXPECT_TRUE(window.keys.empty());
    // Destroying a detached window posts no quit: WM_DESTROY went to DefWindowProcA.
    DestroyWindow(hwnd);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(Window, DestructorUnregistersTheLastClassUser)
{
    {
        Window window;
        HWND hwnd = MakeTopLevel(window, "WindowTestUnregister");
        ASSERT_NE(hwnd, nullptr);
        DestroyWindow(hwnd);
        MSG message;
        PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    WNDCLASSEXA info = {};
    info.cbSize = sizeof info;
    EXPECT_FALSE(GetClassInfoExA(TestInstance(), "WindowTestUnregister", &info));
}

TEST(Window, DefaultClassDescription)
{
    Window window;
    WNDCLASSEXA info;
    memset(&info, 0xAB, sizeof info);
    window.InitClassInfo(&info);
    EXPECT_EQ(info.cbSize, sizeof(void*) == 4 ? 48u : UINT(sizeof(WNDCLASSEXA)));
    EXPECT_EQ(info.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(info.lpfnWndProc, &Window::StaticWndProc);
    EXPECT_EQ(info.hbrBackground, nullptr);
    EXPECT_EQ(info.hIcon, nullptr);
    EXPECT_EQ(info.hInstance, nullptr);
    EXPECT_EQ(info.lpszClassName, nullptr);
    EXPECT_EQ(info.hCursor, LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
}

TEST(Window, FailedCreationLeavesNoWindow)
{
    Window window;
    // A child style without a parent cannot be created.
    HWND hwnd = window.Create(0, "WindowTestFail", "x", WS_CHILD, 0, 0, 10, 10, nullptr, nullptr,
                              TestInstance());
    EXPECT_EQ(hwnd, nullptr);
    EXPECT_EQ(window.hwnd, nullptr);
    EXPECT_STREQ(window.className.Get(), "WindowTestFail");
}

TEST(Tooltip, AddsOneToolOverTheControlAndRemovesIt)
{
    Window parent;
    HWND top = MakeTopLevel(parent, "WindowTestTipParent");
    Window control;
    HWND child = control.Create(0, "WindowTestTipChild", "c", WS_CHILD | WS_VISIBLE, 5, 5, 40, 20,
                                top, nullptr, TestInstance());
    ASSERT_NE(child, nullptr);
    HWND tip;
    {
        Tooltip tooltip;
        tip = tooltip.Create(child, TestInstance(), "Play");
        ASSERT_NE(tip, nullptr);
        EXPECT_EQ(tooltip.tipWindow, tip);
        char name[64] = {};
        GetClassNameA(tip, name, sizeof name);
        EXPECT_STREQ(name, "tooltips_class32");
        // Windows makes the top-level window of a child the owner of a popup.
        EXPECT_EQ(GetWindow(tip, GW_OWNER), top);
        EXPECT_TRUE(GetWindowLongA(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_EQ(tooltip.toolInfo.cbSize, sizeof(void*) == 4 ? 44u : UINT(TTTOOLINFOA_V2_SIZE));
        EXPECT_EQ(tooltip.toolInfo.uFlags, static_cast<UINT>(TTF_SUBCLASS));
        EXPECT_EQ(tooltip.toolInfo.hwnd, child);
        EXPECT_EQ(tooltip.toolInfo.rect.right, 40);
        EXPECT_EQ(tooltip.toolInfo.rect.bottom, 20);
        EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);

        char text[64] = {};
        TOOLINFOA query = {};
        query.cbSize = TTTOOLINFOA_V2_SIZE;
        query.hwnd = child;
        query.lpszText = text;
        SendMessageA(tip, TTM_GETTEXTA, 0, reinterpret_cast<LPARAM>(&query));
        EXPECT_STREQ(text, "Play");
    }
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 0);
    parent.detached = 1;
    DestroyWindow(top);
    // The tooltip window goes with the control that owns it.
    EXPECT_FALSE(IsWindow(tip));
    PumpMessages();
}

// A tooltip's text reaches the ANSI tool record in the ANSI code page, whichever way it was typed.
TEST(Tooltip, TextsReachTheToolInTheAnsiCodePage)
{
    Window parent;
    HWND top = MakeTopLevel(parent, "WindowTestTipCodePage");
    Window control;
    HWND child = control.Create(0, "WindowTestTipCodePageChild", "c", WS_CHILD | WS_VISIBLE, 5, 5,
                                40, 20, top, nullptr, TestInstance());
    ASSERT_NE(child, nullptr);
    // "Café" and "Ωμέγα" in the ANSI code page, as the system converts them.
    char cafe[16] = {};
    WideCharToMultiByte(CP_ACP, 0, L"Caf\u00e9", -1, cafe, sizeof cafe, nullptr, nullptr);
    char omega[16] = {};
    WideCharToMultiByte(CP_ACP, 0, L"\u03a9\u03bc\u03ad\u03b3\u03b1", -1, omega, sizeof omega,
                        nullptr, nullptr);
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"Play", "Play"},
        {"Caf\xC3\xA9", cafe},
        {cafe, cafe},
        {"\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1", omega},
    };
    for (const auto& c : cases) {
        Tooltip tooltip;
        HWND tip = tooltip.Create(child, TestInstance(), c.text);
        char text[64] = {};
        TOOLINFOA query = {};
        query.cbSize = TTTOOLINFOA_V2_SIZE;
        query.hwnd = child;
        query.lpszText = text;
        SendMessageA(tip, TTM_GETTEXTA, 0, reinterpret_cast<LPARAM>(&query));
        EXPECT_STREQ(text, c.expected) << c.text;
    }
    parent.detached = 1;
    DestroyWindow(top);
    PumpMessages();
}

}  // namespace
