// The like-for-like baseline of the CPU benchmark: a minimal Win32 program that animates what the
// player animates on the demo disk with its credits open, at the same rates and sizes: a one-line
// strip of 368 x 17 moving 3 pixels every 100 ms in one window ("Baseline strip"), and a block of
// lines in a box of 222 x 194 rising 1 pixel every 40 ms in a second window ("Baseline box"). Each
// frame copies a background picture and draws the text off screen, then blits it, as a plain
// program would: one back buffer per control, made once; the whole text drawn every frame.
#include <windows.h>

namespace {

const char stripText[] = "01  Harbour Lights  -  a square-wave lead over a walking saw bass  (0:46)";
const char boxText[] =
    "NIGHTFERRY\n\na musicdisk for the night boat\n\n\n- music -\nseven songs composed in code:\n"
    "four modules written by\nour module generator,\nthree streams synthesised\nsample by sample\n\n"
    "- pictures -\nevery window drawn\npixel by pixel in code\n\n- player -\nthe musicdisk team\n\n\n"
    "press the note button\nfor notes on each song\n\nthanks for listening\n\n\n";

struct Animation {
    int width;
    int height;
    UINT period;
    int step;
    bool upward;
    const char* text;
    HFONT font;
    HDC buffer;      // back buffer DC, its bitmap selected for the whole run
    HDC background;  // background picture DC
    int position;
    int extent;      // text width (strip) or height (box)
};

Animation strip = {368, 17, 100, 3, false, stripText, nullptr, nullptr, nullptr, 0, 0};
Animation box = {222, 194, 40, 1, true, boxText, nullptr, nullptr, nullptr, 0, 0};

HDC MakeSurface(HDC reference, int width, int height)
{
    HDC dc = CreateCompatibleDC(reference);
    SelectObject(dc, CreateCompatibleBitmap(reference, width, height));
    return dc;
}

void Prepare(HWND window, Animation& a)
{
    HDC dc = GetDC(window);
    a.buffer = MakeSurface(dc, a.width, a.height);
    a.background = MakeSurface(dc, a.width, a.height);
    ReleaseDC(window, dc);
    // A vertical gradient stands in for the skin's piece.
    for (int y = 0; y < a.height; ++y) {
        HBRUSH brush = CreateSolidBrush(RGB(16, 24 + y % 40, 48 + y % 64));
        RECT line = {0, y, a.width, y + 1};
        FillRect(a.background, &line, brush);
        DeleteObject(brush);
    }
    a.font = CreateFontA(-13, 0, 0, 0, a.upward ? FW_NORMAL : FW_BOLD, 0, 0, 0, DEFAULT_CHARSET,
                         OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, 0, "Tahoma");
    SelectObject(a.buffer, a.font);
    SetBkMode(a.buffer, TRANSPARENT);
    SetTextColor(a.buffer, RGB(206, 236, 226));
    RECT measured = {0, 0, a.width, a.height};
    DrawTextA(a.buffer, a.text, -1, &measured, DT_CALCRECT | (a.upward ? DT_CENTER : DT_SINGLELINE));
    a.extent = a.upward ? measured.bottom - measured.top : measured.right - measured.left;
    a.position = a.upward ? a.height : a.width;
}

LRESULT CALLBACK AnimationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Animation& a = GetWindowLongPtrA(window, GWLP_ID) == 1 ? strip : box;
    switch (message) {
    case WM_TIMER:
        a.position -= a.step;
        if (a.position + a.extent < 0)
            a.position = a.upward ? a.height : a.width;
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        BitBlt(a.buffer, 0, 0, a.width, a.height, a.background, 0, 0, SRCCOPY);
        RECT area = {0, 0, a.width, a.height};
        if (a.upward)
            area.top = a.position;
        else
            area.left = a.position;
        DrawTextA(a.buffer, a.text, -1, &area, a.upward ? DT_CENTER : DT_SINGLELINE);
        BitBlt(dc, 0, 0, a.width, a.height, a.buffer, 0, 0, SRCCOPY);
        EndPaint(window, &paint);
        return 0;
    }
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void Register(HINSTANCE instance, const char* name, WNDPROC procedure, int colour)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(colour + 1));
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
}

void Open(HINSTANCE instance, const char* title, RECT frame, POINT at, Animation& a, int id)
{
    HWND window = CreateWindowExA(0, "BaselineFrame", title, WS_POPUP | WS_VISIBLE, frame.left,
                                  frame.top, frame.right, frame.bottom, nullptr, nullptr, instance,
                                  nullptr);
    HWND child = CreateWindowExA(0, "BaselineAnimation", "", WS_CHILD | WS_VISIBLE, at.x, at.y,
                                 a.width, a.height, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 instance, nullptr);
    Prepare(child, a);
    SetTimer(child, 1, a.period, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    Register(instance, "BaselineFrame", FrameProc, COLOR_WINDOW);
    Register(instance, "BaselineAnimation", AnimationProc, -1);
    Open(instance, "Baseline strip", RECT{302, 282, 420, 204}, POINT{28, 93}, strip, 1);
    Open(instance, "Baseline box", RECT{726, 282, 288, 256}, POINT{24, 40}, box, 2);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
