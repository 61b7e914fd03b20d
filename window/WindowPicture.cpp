#include "window/WindowPicture.h"

#include <vector>

#include "window/MemoryDC.h"
#include "window/Selection.h"

namespace {

using RegionOwner = Owner<GdiObject<HRGN, GdiKind::Region>>;

// The child's area in its parent's client coordinates, cut to its window region (its shape).
RegionOwner ChildArea(HWND child, POINT origin)
{
    RECT client = {};
    GetClientRect(child, &client);
    RegionOwner area(CreateRectRgn(origin.x, origin.y, origin.x + client.right, origin.y + client.bottom));
    RegionOwner shape(CreateRectRgn(0, 0, 0, 0));
    if (!area.Empty() && !shape.Empty() && GetWindowRgn(child, shape.Get()) != ERROR) {
        OffsetRgn(shape.Get(), origin.x, origin.y);
        CombineRgn(area.Get(), area.Get(), shape.Get(), RGN_AND);
    }
    return area;
}

}  // namespace

SkinImage PictureOfWindow(HWND window)
{
    RECT client = {};
    if (!window || !GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0)
        return SkinImage();
    void* bits = nullptr;
    SkinImage picture = CreateDib32(client.right, client.bottom, &bits);
    MemoryDC memory(nullptr);
    if (picture.Empty() || !memory.dc)
        return SkinImage();
    Selection pictureIn(memory.dc, picture.Handle());
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.dc), PRF_CLIENT);
    // GW_CHILD gives the topmost child first; the bottom one is painted first.
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    for (auto child = children.rbegin(); child != children.rend(); ++child) {
        if (!(GetWindowLongPtrA(*child, GWL_STYLE) & WS_VISIBLE))
            continue;
        POINT origin = {0, 0};
        MapWindowPoints(*child, window, &origin, 1);
        RegionOwner area = ChildArea(*child, origin);
        const int saved = SaveDC(memory.dc);
        SelectClipRgn(memory.dc, area.Get());
        SetViewportOrgEx(memory.dc, origin.x, origin.y, nullptr);
        SendMessageA(*child, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.dc), PRF_CLIENT);
        RestoreDC(memory.dc, saved);
    }
    return picture;
}
