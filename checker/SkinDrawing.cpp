#include "checker/SkinDrawing.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "checker/SkinProbe.h"
#include "controls/ControlEntry.h"
#include "window/MemoryDC.h"
#include "window/Selection.h"
#include "window/SkinWindow.h"
#include "window/WindowPicture.h"

namespace {

using RegionOwner = Owner<GdiObject<HRGN, GdiKind::Region>>;
using FontOwner = Owner<GdiObject<HFONT, GdiKind::Font>>;

struct PenKind : Uncounted {
    using Held = HPEN;
    static void Free(HPEN pen) { DeleteObject(pen); }
};

// How far beyond the window the picture reaches at most, and the margin it always has.
const int maxReach = 256;
const int margin = 12;

// Colours (COLORREF) of the kinds, in the order of ControlLayouts.
const COLORREF kindColours[] = {RGB(255, 215, 0), RGB(0, 230, 255), RGB(80, 255, 80),
                                RGB(255, 110, 255), RGB(255, 160, 40)};

COLORREF KindColour(const CheckedControl& control)
{
    const auto& layouts = ControlLayouts();
    for (size_t i = 0; i < layouts.size(); ++i)
        if (control.section == layouts[i].section)
            return kindColours[i];
    return RGB(255, 255, 255);
}

RECT ShownRect(HWND control, HWND parent)
{
    RECT r = {};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT CutRect(const CheckedControl& control)
{
    return RECT{control.x, control.y, control.x + control.width, control.y + control.height};
}

// A 32-bit top-down picture and its pixels.
struct Page {
    SkinImage bitmap;
    unsigned* bits = nullptr;
    int width = 0;
    int height = 0;

    bool Make(int w, int h)
    {
        void* raw = nullptr;
        bitmap = CreateDib32(w, h, &raw);
        bits = static_cast<unsigned*>(raw);
        width = w;
        height = h;
        return !bitmap.Empty() && bits;
    }
    // Half red over every pixel of the region.
    void Redden(HRGN region)
    {
        const DWORD size = GetRegionData(region, 0, nullptr);
        if (size == 0)
            return;
        std::vector<char> data(size);
        RGNDATA* rects = reinterpret_cast<RGNDATA*>(data.data());
        if (GetRegionData(region, size, rects) != size)
            return;
        const RECT* r = reinterpret_cast<const RECT*>(rects->Buffer);
        for (DWORD i = 0; i < rects->rdh.nCount; ++i)
            for (int y = std::max(0L, r[i].top); y < std::min<LONG>(height, r[i].bottom); ++y)
                for (int x = std::max(0L, r[i].left); x < std::min<LONG>(width, r[i].right); ++x) {
                    unsigned& p = bits[static_cast<size_t>(y) * width + x];
                    const unsigned red = (((p >> 16) & 0xFF) + 255) / 2;
                    p = (red << 16) | ((((p >> 8) & 0xFF) / 2) << 8) | ((p & 0xFF) / 2);
                }
    }
};

bool WriteBmp(const std::wstring& path, const Page& page)
{
    const int row = (page.width * 3 + 3) / 4 * 4;
    const DWORD pixels = static_cast<DWORD>(row) * page.height;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + pixels;
    info.biSize = sizeof info;
    info.biWidth = page.width;
    info.biHeight = page.height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = pixels;
    std::vector<unsigned char> out(pixels);
    for (int y = 0; y < page.height; ++y) {
        unsigned char* line = out.data() + static_cast<size_t>(page.height - 1 - y) * row;
        for (int x = 0; x < page.width; ++x) {
            const unsigned p = page.bits[static_cast<size_t>(y) * page.width + x];
            line[3 * x] = p & 0xFF;
            line[3 * x + 1] = (p >> 8) & 0xFF;
            line[3 * x + 2] = (p >> 16) & 0xFF;
        }
    }
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(handle, &file, sizeof file, &written, nullptr) && written == sizeof file &&
              WriteFile(handle, &info, sizeof info, &written, nullptr) && written == sizeof info &&
              WriteFile(handle, out.data(), pixels, &written, nullptr) && written == pixels;
    CloseHandle(handle);
    return ok;
}

void Outline(HDC dc, const RECT& r, COLORREF colour, int style)
{
    Owner<PenKind> pen(CreatePen(style, 1, colour));
    Selection penIn(dc, pen.Get());
    Selection brushIn(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
}

}  // namespace

bool DrawSkin(const SkinProbe& probe, const std::wstring& path, POINT* origin)
{
    const SkinWindow* window = probe.Window();
    if (!window || !window->hwnd)
        return false;
    const HWND hwnd = window->hwnd;
    RECT client = {};
    GetClientRect(hwnd, &client);
    // Everything to show, in the window's client coordinates.
    RECT all = client;
    for (const SkinProbe::PlacedControl& placed : probe.Placed()) {
        const RECT shown = ShownRect(placed.window, hwnd);
        const RECT cut = CutRect(*placed.entry);
        UnionRect(&all, &all, &shown);
        UnionRect(&all, &all, &cut);
    }
    all.left = std::max(all.left, -static_cast<LONG>(maxReach)) - margin;
    all.top = std::max(all.top, -static_cast<LONG>(maxReach)) - margin;
    all.right = std::min(all.right, client.right + maxReach) + margin;
    all.bottom = std::min(all.bottom, client.bottom + maxReach) + margin;
    const int ox = -all.left;
    const int oy = -all.top;
    if (origin)
        *origin = POINT{ox, oy};
    Page page;
    if (!page.Make(all.right - all.left, all.bottom - all.top))
        return false;
    for (int y = 0; y < page.height; ++y)
        for (int x = 0; x < page.width; ++x)
            page.bits[static_cast<size_t>(y) * page.width + x] =
                (x / 8 + y / 8) % 2 ? 0x9A9A9A : 0x7A7A7A;

    MemoryDC memory(nullptr);
    if (!memory.dc)
        return false;
    Selection pageIn(memory.dc, page.bitmap.Handle());
    // The window as the player shows it, cut to its shape.
    RegionOwner shape(CreateRectRgn(0, 0, 0, 0));
    if (shape.Empty() || GetWindowRgn(hwnd, shape.Get()) == ERROR)
        shape.Attach(CreateRectRgn(client.left, client.top, client.right, client.bottom));
    {
        const SkinImage shown = PictureOfWindow(hwnd);
        MemoryDC source(nullptr);
        Selection shownIn(source.dc, shown.Handle());
        RegionOwner clip(CreateRectRgn(0, 0, 0, 0));
        CombineRgn(clip.Get(), shape.Get(), nullptr, RGN_COPY);
        OffsetRgn(clip.Get(), ox, oy);
        SelectClipRgn(memory.dc, clip.Get());
        BitBlt(memory.dc, ox, oy, client.right, client.bottom, source.dc, 0, 0, SRCCOPY);
        SelectClipRgn(memory.dc, nullptr);
    }

    // Red: overlaps, and the parts of controls outside the window's shape.
    RegionOwner red(CreateRectRgn(0, 0, 0, 0));
    for (const SkinProbe::Overlap& overlap : probe.Overlaps()) {
        RegionOwner box(CreateRectRgnIndirect(&overlap.box));
        CombineRgn(red.Get(), red.Get(), box.Get(), RGN_OR);
    }
    for (const SkinProbe::PlacedControl& placed : probe.Placed()) {
        const RECT shown = ShownRect(placed.window, hwnd);
        RegionOwner outside(CreateRectRgnIndirect(&shown));
        CombineRgn(outside.Get(), outside.Get(), shape.Get(), RGN_DIFF);
        CombineRgn(red.Get(), red.Get(), outside.Get(), RGN_OR);
    }
    OffsetRgn(red.Get(), ox, oy);
    GdiFlush();
    page.Redden(red.Get());

    // Places and names.
    SetViewportOrgEx(memory.dc, ox, oy, nullptr);
    FontOwner font(CreateFontA(-10, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, OUT_TT_PRECIS,
                               CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, "Tahoma"));
    Selection fontIn(memory.dc, font.Get());
    SetBkMode(memory.dc, OPAQUE);
    SetBkColor(memory.dc, RGB(0, 0, 0));
    for (const SkinProbe::PlacedControl& placed : probe.Placed()) {
        const COLORREF colour = KindColour(*placed.entry);
        const RECT shown = ShownRect(placed.window, hwnd);
        const RECT cut = CutRect(*placed.entry);
        if (!EqualRect(&shown, &cut))
            Outline(memory.dc, cut, colour, PS_DOT);
        Outline(memory.dc, shown, colour, PS_SOLID);
        SetTextColor(memory.dc, colour);
        RECT label = {shown.left + 1, shown.top + 1, shown.left + 400, shown.top + 40};
        DrawTextA(memory.dc, placed.entry->name.c_str(), -1, &label, DT_NOPREFIX | DT_SINGLELINE);
    }
    SetViewportOrgEx(memory.dc, 0, 0, nullptr);
    GdiFlush();
    return WriteBmp(path, page);
}
