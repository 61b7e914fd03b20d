#include "window/RegionFromMask.h"

#include "window/GdiCounts.h"
#include "window/MemoryDC.h"
#include "window/Selection.h"
#include "window/SkinImage.h"

namespace {

const DWORD headerSize = sizeof(RGNDATAHEADER);
const DWORD growthStep = 100;
const DWORD batchLimit = 2000;

// The growable RGNDATA block: locked while in use, joined into one result region per batch.
class RectangleBuffer {
public:
    explicit RectangleBuffer(RegionBuild* build) : build(build), block(nullptr), data(nullptr),
                                                   capacity(growthStep), result(nullptr)
    {
        block = GlobalAlloc(GMEM_MOVEABLE, headerSize + sizeof(RECT) * capacity);
        if (block)
            data = static_cast<RGNDATA*>(GlobalLock(block));
        if (data) {
            data->rdh.dwSize = headerSize;
            data->rdh.iType = RDH_RECTANGLES;
            data->rdh.nRgnSize = 0;
            ResetBatch();
        }
        Note();
    }

    ~RectangleBuffer()
    {
        if (data)
            GlobalUnlock(block);
        if (block)
            GlobalFree(block);
    }

    RectangleBuffer(const RectangleBuffer&) = delete;
    RectangleBuffer& operator=(const RectangleBuffer&) = delete;

    bool Ok() const { return data != nullptr; }

    // False when the buffer could not grow: the caller stops and keeps what was gathered.
    bool Add(LONG x0, LONG y, LONG x)
    {
        if (data->rdh.nCount >= capacity && !Grow())
            return false;
        RECT* rects = reinterpret_cast<RECT*>(data->Buffer);
        SetRect(&rects[data->rdh.nCount], x0, y, x, y + 1);
        RECT& bound = data->rdh.rcBound;
        if (x0 < bound.left) bound.left = x0;
        if (y < bound.top) bound.top = y;
        if (x > bound.right) bound.right = x;
        if (y + 1 > bound.bottom) bound.bottom = y + 1;
        ++data->rdh.nCount;
        if (build)
            ++build->rectangles;
        if (data->rdh.nCount == batchLimit)
            Flush();
        return true;
    }

    // Turns the current batch into a region and joins it to the result.
    void Flush()
    {
        HRGN batch = ExtCreateRegion(nullptr, headerSize + sizeof(RECT) * capacity, data);
        if (batch) {
            CountGdiObject(GdiKind::Region, 1);
            if (build)
                ++build->batches;
            if (result) {
                CombineRgn(result, result, batch, RGN_OR);
                DeleteObject(batch);
                CountGdiObject(GdiKind::Region, -1);
            } else {
                result = batch;
            }
        }
        ResetBatch();
    }

    HRGN TakeResult()
    {
        HRGN taken = result;
        result = nullptr;
        return taken;
    }

private:
    void ResetBatch()
    {
        data->rdh.nCount = 0;
        SetRect(&data->rdh.rcBound, 0x7FFFFFFF, 0x7FFFFFFF, 0, 0);
    }

    bool Grow()
    {
        GlobalUnlock(block);
        data = nullptr;
        HGLOBAL grown = (build ? build->grow : GlobalReAlloc)(
            block, headerSize + sizeof(RECT) * (capacity + growthStep), GMEM_MOVEABLE);
        bool ok = grown != nullptr;
        if (ok) {
            block = grown;
            capacity += growthStep;
        } else if (build) {
            build->growthFailed = true;
        }
        // On failure the old block is still valid and keeps what was gathered.
        data = static_cast<RGNDATA*>(GlobalLock(block));
        Note();
        return ok && data;
    }

    void Note()
    {
        if (build && static_cast<int>(capacity) > build->capacity)
            build->capacity = static_cast<int>(capacity);
    }

    RegionBuild* build;
    HGLOBAL block;
    RGNDATA* data;
    DWORD capacity;
    HRGN result;
};

struct ByteRange {
    BYTE low;
    BYTE high;
};

ByteRange RangeOf(DWORD key, DWORD tolerance, int shift)
{
    unsigned low = (key >> shift) & 0xFF;
    unsigned high = low + ((tolerance >> shift) & 0xFF);
    return ByteRange{static_cast<BYTE>(low), static_cast<BYTE>(high > 255 ? 255 : high)};
}

// Scans the 32-bit working pixels row by row, top of the picture first.
void GatherRuns(RectangleBuffer& buffer, const BYTE* bits, LONG width, LONG height, LONG stride,
                DWORD key, DWORD tolerance)
{
    const ByteRange first = RangeOf(key, tolerance, 0);
    const ByteRange second = RangeOf(key, tolerance, 8);
    const ByteRange third = RangeOf(key, tolerance, 16);
    const BYTE* row = bits + static_cast<ptrdiff_t>(height - 1) * stride;
    for (LONG y = 0; y < height; ++y, row -= stride) {
        LONG x = 0;
        while (x < width) {
            LONG x0 = x;
            for (; x < width; ++x) {
                const BYTE* pixel = row + x * 4;
                if (pixel[0] >= first.low && pixel[0] <= first.high && pixel[1] >= second.low &&
                    pixel[1] <= second.high && pixel[2] >= third.low && pixel[2] <= third.high)
                    break;
            }
            if (x > x0 && !buffer.Add(x0, y, x))
                return;
            ++x;
        }
    }
}

}  // namespace

HRGN RegionFromMask(HBITMAP mask, DWORD key, DWORD tolerance, RegionBuild* build)
{
    if (!mask)
        return nullptr;
    MemoryDC working;
    if (!working.dc)
        return nullptr;
    BITMAP maskInfo = {};
    GetObjectA(mask, sizeof maskInfo, &maskInfo);
    const BITMAPINFO header = Dib32Header(maskInfo.bmWidth, maskInfo.bmHeight, false);
    void* pixels = nullptr;
    // The mask's pixels as 32-bit values, whatever its own format: one layout to scan.
    SkinImage section(CreateDIBSection(working.dc, &header, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (section.Empty())
        return nullptr;
    Selection sectionIn(working.dc, section.Handle());
    MemoryDC source(working.dc);
    if (!sectionIn.Ok() || !source.dc)
        return nullptr;
    {
        Selection maskIn(source.dc, mask);
        BitBlt(working.dc, 0, 0, maskInfo.bmWidth, maskInfo.bmHeight, source.dc, 0, 0, SRCCOPY);
    }
    GdiFlush();
    BITMAP sectionInfo = {};
    GetObjectA(section.Handle(), sizeof sectionInfo, &sectionInfo);
    LONG stride = (sectionInfo.bmWidthBytes + 3) & ~3;
    RectangleBuffer buffer(build);
    if (!buffer.Ok())
        return nullptr;
    GatherRuns(buffer, static_cast<const BYTE*>(sectionInfo.bmBits), sectionInfo.bmWidth,
               sectionInfo.bmHeight, stride, key, tolerance);
    buffer.Flush();
    return buffer.TakeResult();
}

bool ShapeWindowFromMask(HWND window, HBITMAP mask)
{
    HRGN region = RegionFromMask(mask, 0x00FFFFFF, 0);
    if (!region)
        return false;
    // The window owns the region once SetWindowRgn succeeds; otherwise it is still ours.
    bool taken = SetWindowRgn(window, region, TRUE) != 0;
    if (!taken)
        DeleteObject(region);
    CountGdiObject(GdiKind::Region, -1);
    return taken;
}
