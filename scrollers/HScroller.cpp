#include "scrollers/HScroller.h"

#include <cstring>
#include <utility>

#include "descriptor/EntryText.h"
#include "window/Selection.h"
#include "window/WindowDC.h"

namespace {

int ClientWidth(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return client.right - client.left;
}

}  // namespace

HScroller::HScroller()
    : text(), textLength(0), shown(), offsetX(0), wrapLimit(0), step(3), period(100), textColor(0),
      font(), paint()
{
    SetText("");
}

std::unique_ptr<HScroller> HScroller::FromEntry(const SkinEntry& entry, const ControlPlace& place,
                                                const ControlSite& site)
{
    auto scroller = std::make_unique<HScroller>();
    ControlPieces pieces(site, place);
    scroller->CreateScroller(0, entry.Text(0), entry.Text(0), 0, place.ShiftedX(), place.y,
                             place.width, place.height, site.parent, site.instance,
                             std::move(pieces.mask), std::move(pieces.main),
                             std::move(pieces.disabled), entry.Text(1), entry.Int(4),
                             entry.Colour(5), entry.Text(2), entry.Text(3));
    return scroller;
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
    font.Make(face, height, EntryFlag(bold), EntryFlag(italic));
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
    shown.Set(text, static_cast<size_t>(textLength));
    RECT client = {};
    GetClientRect(hwnd, &client);
    offsetX = client.right - client.left;

    // Measured with the font the text is drawn in; the DC's default font would give another
    // width, and a text in a larger skin font would restart before its end had been shown.
    RECT measured = client;
    WindowDC windowDC(hwnd);
    if (windowDC.dc) {
        Selection fontIn(windowDC.dc, font.Handle());
        shown.Draw(windowDC.dc, &measured, DT_CALCRECT | DT_SINGLELINE);
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

void HScroller::OnPaint(HDC dc)
{
    RECT client = {};
    GetClientRect(hwnd, &client);
    const SkinImage& background = Look();
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
    shown.Draw(dc, &client, DT_SINGLELINE);
}
