#include "scrollers/HScroller.h"

#include <climits>
#include <cstring>
#include <memory>
#include <utility>

#include "controls/SkinEntry.h"
#include "window/Selection.h"
#include "window/SkinWindow.h"
#include "window/Tooltip.h"
#include "window/WindowDC.h"

namespace {

bool IsTrue(const char* flag)
{
    return flag && _stricmp(flag, "TRUE") == 0;
}

int ClientWidth(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return client.right - client.left;
}

}  // namespace

HScroller::HScroller()
    : text(), textLength(0), offsetX(0), wrapLimit(0), step(3), period(100), textColor(0),
      font(), disabledImage(), appActive(1), paint()
{
    SetText("");
}

HScroller::~HScroller()
{
    paint.Reset();
    font.Reset();
    disabledImage.Reset();
}

HWND HScroller::CreateScroller(DWORD exStyle, const char* name, const char* title, DWORD style,
                               int x, int y, int, int, HWND parentWindow,
                               HINSTANCE moduleInstance, SkinImage maskImage,
                               SkinImage backgroundImage, SkinImage inactiveImage,
                               const char* fontFace, int fontHeight, COLORREF colour,
                               const char* bold, const char* italic)
{
    HWND created = CreateFromImages(exStyle, name, title, style | WS_CHILD | WS_VISIBLE, x, y,
                                    parentWindow, moduleInstance, std::move(maskImage),
                                    std::move(backgroundImage));
    disabledImage = std::move(inactiveImage);
    MakeFont(fontFace, fontHeight, colour, bold, italic);
    RECT client = {};
    GetClientRect(created, &client);
    paint.Create(created, client.right, client.bottom);
    SetTimer(created, timerId, period, nullptr);
    return created;
}

void HScroller::MakeFont(const char* face, int height, COLORREF colour, const char* bold,
                         const char* italic)
{
    paint.ReleaseFont();
    font.Make(face, height, IsTrue(bold), IsTrue(italic));
    textColor = colour;
}

void HScroller::SetText(const char* newText)
{
    if (!hwnd)
        return;
    if (newText) {
        // Cut to the buffer: a longer text keeps its first 19999 characters.
        size_t length = strnlen(newText, textCapacity - 1);
        memcpy(text, newText, length);
        text[length] = '\0';
    }
    textLength = lstrlenA(text);
    RECT client = {};
    GetClientRect(hwnd, &client);
    offsetX = client.right - client.left;

    // Measured with the font the text is drawn in; the DC's default font would give another
    // width, and a text in a larger skin font would restart before its end had been shown.
    RECT measured = client;
    WindowDC windowDC(hwnd);
    if (windowDC.dc) {
        Selection fontIn(windowDC.dc, font.Handle());
        DrawTextA(windowDC.dc, text, textLength, &measured, DT_CALCRECT | DT_SINGLELINE);
    }
    wrapLimit = textLength ? measured.left - measured.right : 0;
}

void HScroller::Tick()
{
    offsetX -= step;
    if (offsetX < wrapLimit)
        offsetX = ClientWidth(hwnd);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void HScroller::SetAppActive(BOOL flag)
{
    appActive = flag ? 1 : 0;
    InvalidateRect(hwnd, nullptr, FALSE);
}

LRESULT HScroller::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETTEXT:
        SetText(reinterpret_cast<const char*>(lParam));
        return TRUE;
    case WM_TIMER:
        Tick();
        return 1;
    default:
        return SkinControl::WindowProc(window, message, wParam, lParam);
    }
}

void HScroller::OnPaint(HDC dc)
{
    RECT client = {};
    GetClientRect(hwnd, &client);
    const SkinImage& background = appActive ? image : disabledImage;
    // Composed off screen and copied in one blit: drawn straight into the window, the skin piece
    // would show without its text between the two steps, ten times a second.
    HDC frame = paint.BeginFrame(background, font.Handle());
    if (!frame) {
        DrawImage(dc, background);
        Selection fontIn(dc, font.Handle());
        DrawStripText(dc, client);
        return;
    }
    DrawStripText(frame, client);
    paint.ShowAt(dc, 0, 0);
}

void HScroller::DrawStripText(HDC dc, RECT client)
{
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textColor);
    client.left += offsetX;
    DrawTextA(dc, text, textLength, &client, DT_SINGLELINE);
}

void SkinWindow::LoadHScrollers()
{
    for (int number = 1;; ++number) {
        GlobalText value = ReadSkinEntry(ini, "HSCROLLINFO", number);
        if (!value)
            break;
        SkinEntry entry(value.Get());
        // All eleven fields are required.
        if (!entry.Has(11))
            continue;
        const int x = entry.Int(6), y = entry.Int(7), width = entry.Int(8),
                  height = entry.Int(9);
        auto scroller = std::make_unique<HScroller>();
        auto tooltip = std::make_unique<Tooltip>();
        ControlPieces pieces = CutPieces(x, y, width, height);
        // The window stands 6 pixels right of the rectangle its pieces were cut from.
        const int windowX = x > INT_MAX - 6 ? INT_MAX : x + 6;
        scroller->CreateScroller(0, entry.Text(0), entry.Text(0), 0, windowX, y, width, height,
                                 hwnd, instance, std::move(pieces.mask), std::move(pieces.main),
                                 std::move(pieces.disabled), entry.Text(1), entry.Int(4),
                                 entry.Colour(5), entry.Text(2), entry.Text(3));
        tooltip->Create(scroller->hwnd, instance, entry.Text(10));
        hScrollers.Append(std::move(scroller));
        tooltips.Append(std::move(tooltip));
    }
}
