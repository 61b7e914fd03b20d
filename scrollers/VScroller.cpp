#include "scrollers/VScroller.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "descriptor/EntryText.h"
#include "scrollers/CreateMotion.h"
#include "scrollers/LineAlignment.h"
#include "window/Selection.h"
#include "window/WindowDC.h"

namespace {

UINT DrawTextFormat(LineAlignment alignment)
{
    switch (alignment) {
    case LineAlignment::Center: return DT_CENTER;
    case LineAlignment::Right: return DT_RIGHT;
    default: return DT_LEFT;
    }
}

}  // namespace

VScroller::VScroller()
    : text(), textLength(0), shown(), step(2), period(100), mode(ScrollModeScroll), vertical(0),
      activeColor(0), inactiveColor(0), font(), backBuffer(), alignment(DT_LEFT), motion(),
      lineHeight(0), lineFont(nullptr)
{
    SetText("");
}

std::unique_ptr<VScroller> VScroller::FromEntry(const SkinEntry& entry, const ControlPlace& place,
                                                const ControlSite& site)
{
    auto scroller = std::make_unique<VScroller>();
    ControlPieces pieces(site, place);
    scroller->CreateScroller(0, entry.Text(0), entry.Text(0), 0, place.ShiftedX(), place.y,
                             place.width, place.height, site.parent, site.instance,
                             entry.Text(15), std::move(pieces.mask), std::move(pieces.main),
                             std::move(pieces.disabled), entry.Text(1), entry.Int(4),
                             entry.Colour(5), entry.Colour(6), entry.Text(2), entry.Text(3),
                             entry.Int(11), entry.Int(12), entry.Text(14), entry.Int(13) == 1);
    return scroller;
}

HWND VScroller::CreateScroller(DWORD exStyle, const char* name, const char* title, DWORD style,
                               int x, int y, int, int, HWND parent, HINSTANCE moduleInstance,
                               const char* alignmentName, SkinImage maskImage, SkinImage newImage,
                               SkinImage newDisabledImage, const char* fontFace, int fontHeight,
                               COLORREF newActiveColor, COLORREF newInactiveColor,
                               const char* bold, const char* italic, int newStep, int newPeriod,
                               const char* modeName, bool newVertical)
{
    CreateFromImages(exStyle, name, title, style | WS_CHILD | WS_VISIBLE, x, y, parent,
                     moduleInstance, std::move(maskImage), std::move(newImage));
    disabledImage = std::move(newDisabledImage);
    MakeFont(fontFace, fontHeight, newActiveColor, newInactiveColor, bold, italic);
    // Any other name leaves the alignment as it was.
    LineAlignment named = LineAlignment::Left;
    if (LineAlignmentFromName(alignmentName, &named))
        alignment = DrawTextFormat(named);

    int width = 0;
    int height = 0;
    image.GetSize(&width, &height);
    if (hwnd)
        backBuffer.Create(hwnd, width, height);

    step = newStep;
    period = newPeriod;
    vertical = newVertical ? 1 : 0;
    mode = ScrollModeFromName(modeName);
    return hwnd;
}

void VScroller::MakeFont(const char* face, int height, COLORREF newActiveColor,
                         COLORREF newInactiveColor, const char* bold, const char* italic)
{
    backBuffer.ReleaseFont();
    font.Make(face, height, EntryFlag(bold), EntryFlag(italic));
    lineFont = nullptr;
    activeColor = newActiveColor;
    inactiveColor = newInactiveColor;
}

void VScroller::SetText(const char* newText)
{
    if (!hwnd)
        return;
    textLength = 0;
    shown.Clear();
    if (!newText)
        return;
    // Longer texts are cut to the buffer.
    snprintf(text, sizeof text, "%s", newText);
    textLength = static_cast<int>(strlen(text));
    for (int i = 0; i < textLength; ++i)
        if (text[i] == '|')
            text[i] = '\n';
    shown.Set(text, static_cast<size_t>(textLength));

    // Measured with the font the text is drawn in, so the motion knows its real extent.
    RECT client = {};
    GetClientRect(hwnd, &client);
    RECT measured = client;
    {
        WindowDC windowDC(hwnd);
        if (windowDC.dc) {
            Selection fontIn(windowDC.dc, font.Handle());
            shown.Draw(windowDC.dc, &measured, alignment | DT_CALCRECT);
        }
    }
    int textWidth = measured.right - measured.left;
    int textHeight = measured.bottom - measured.top;

    if (motion) {
        KillTimer(hwnd, timerId);
        motion.reset();
    }
    RECT view = {};
    GetClientRect(hwnd, &view);
    motion = CreateMotion(vertical != 0);
    if (!motion)
        return;
    ScrollRect viewRect;
    viewRect.left = view.left;
    viewRect.top = view.top;
    viewRect.right = view.right;
    viewRect.bottom = view.bottom;
    motion->Setup(viewRect, textWidth, textHeight, step, mode);
    if (motion->Start())
        SetTimer(hwnd, timerId, static_cast<UINT>(period), nullptr);
}

void VScroller::Tick()
{
    if (motion) {
        motion->Tick();
        if (motion->IsAtRest())
            KillTimer(hwnd, timerId);
    }
    InvalidateRect(hwnd, nullptr, FALSE);
}

void VScroller::OnPaint(HDC dc)
{
    RECT area = {};
    GetClientRect(hwnd, &area);
    HDC frame = backBuffer.BeginFrame(Look(), font.Handle());
    if (!frame)
        return;
    SetBkMode(frame, TRANSPARENT);
    SetTextColor(frame, appActive ? activeColor : inactiveColor);
    if (motion) {
        ScrollRect current = motion->CurrentRect();
        area.left = current.left;
        area.top = current.top;
        area.right = current.right;
        area.bottom = current.bottom;
    }
    area.left += ControlPlace::shift;
    DrawVisibleLines(frame, area);
    // Column c of the buffer lands over column x + c of the skin.
    backBuffer.ShowAt(dc, -ControlPlace::shift, 0);
}

void VScroller::DrawVisibleLines(HDC frame, RECT area)
{
    if (lineFont != font.Handle() || lineHeight <= 0) {
        TEXTMETRICA metrics = {};
        lineHeight = GetTextMetricsA(frame, &metrics) ? metrics.tmHeight : 0;
        lineFont = font.Handle();
    }
    size_t first = 0;
    size_t end = shown.Length();
    // Only plain line feeds are cut at: a carriage return lays lines out in ways of DrawText's
    // own, so such texts are drawn whole.
    if (lineHeight > 0 && !shown.HasCarriageReturn()) {
        // Line i lies at area.top + i * lineHeight; the lines wholly above 0 are skipped, which
        // keeps the first one drawn at the same place, and so are those from area.bottom on.
        if (area.top < 0) {
            for (int skip = -area.top / lineHeight; skip > 0 && first < end; --skip) {
                first = shown.NextLine(first);
                area.top += lineHeight;
            }
        }
        size_t last = first;
        for (int y = area.top; last < end && y < area.bottom; y += lineHeight)
            last = shown.NextLine(last);
        end = last;
    }
    if (end > first)
        shown.Draw(frame, first, end, &area, alignment);
}
