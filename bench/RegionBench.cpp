// Times RegionFromMask on large masks against a naive GetPixel + CombineRgn-per-run baseline and
// against a plain scan of the same 32-bit pixels. Prints milliseconds and ratios.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/BenchClock.h"
#include "window/GdiCounts.h"
#include "window/RegionFromMask.h"

namespace {

struct Dib {
    HBITMAP bitmap = nullptr;
    DWORD* pixels = nullptr;
};

Dib MakeDib(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    Dib dib;
    void* bits = nullptr;
    dib.bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    dib.pixels = static_cast<DWORD*>(bits);
    return dib;
}

// Photo-like: smooth noise thresholded, so runs of a few to a few dozen pixels.
Dib PhotoMask(int width, int height)
{
    Dib dib = MakeDib(width, height);
    unsigned seed = 12345;
    std::vector<int> row(width);
    for (int y = 0; y < height; ++y) {
        int level = 0;
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            level += static_cast<int>((seed >> 16) & 0xFF) - 128;
            level = level * 7 / 8;
            row[x] = (level + (y > 0 ? row[x] : 0)) / 2;
            dib.pixels[y * width + x] = row[x] > 0 ? 0xFFFFFF : 0x202020 + (seed & 0x1F);
        }
    }
    return dib;
}

// A rounded rectangle with white outside: one run per row.
Dib RoundedMask(int width, int height, int radius)
{
    Dib dib = MakeDib(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int dx = x < radius ? radius - x : x >= width - radius ? x - (width - radius - 1) : 0;
            int dy = y < radius ? radius - y : y >= height - radius ? y - (height - radius - 1) : 0;
            bool inside = dx * dx + dy * dy <= radius * radius;
            dib.pixels[y * width + x] = inside ? 0x3060C0 : 0xFFFFFF;
        }
    return dib;
}

// One GetPixel per pixel and one CombineRgn per run, over the first `rows` rows.
HRGN NaiveRegion(HBITMAP mask, int width, int rows)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, mask);
    HRGN result = CreateRectRgn(0, 0, 0, 0);
    for (int y = 0; y < rows; ++y) {
        int x = 0;
        while (x < width) {
            int x0 = x;
            while (x < width && GetPixel(dc, x, y) != RGB(255, 255, 255))
                ++x;
            if (x > x0) {
                HRGN run = CreateRectRgn(x0, y, x, y + 1);
                CombineRgn(result, result, run, RGN_OR);
                DeleteObject(run);
            }
            ++x;
        }
    }
    SelectObject(dc, previous);
    DeleteDC(dc);
    return result;
}

// The practical limit: convert to a 32-bit DIB with one BitBlt, then read every pixel once.
long PlainScan(HBITMAP mask, int width, int height)
{
    HDC screen = CreateCompatibleDC(nullptr);
    Dib work = MakeDib(width, height);
    HGDIOBJ previousWork = SelectObject(screen, work.bitmap);
    HDC source = CreateCompatibleDC(screen);
    HGDIOBJ previousSource = SelectObject(source, mask);
    BitBlt(screen, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    long kept = 0;
    const BYTE* bytes = reinterpret_cast<const BYTE*>(work.pixels);
    for (long i = 0; i < static_cast<long>(width) * height; ++i, bytes += 4)
        kept += !(bytes[0] == 255 && bytes[1] == 255 && bytes[2] == 255);
    SelectObject(source, previousSource);
    DeleteDC(source);
    SelectObject(screen, previousWork);
    DeleteDC(screen);
    DeleteObject(work.bitmap);
    return kept;
}

// The GDI share: the same rows' runs handed to ExtCreateRegion in batches of 2000 and joined
// with CombineRgn, without scanning.
double GdiShare(const DWORD* pixels, int width, int height)
{
    std::vector<RECT> runs;
    for (int y = 0; y < height; ++y) {
        int x = 0;
        while (x < width) {
            int x0 = x;
            while (x < width && (pixels[y * width + x] & 0xFFFFFF) != 0xFFFFFF)
                ++x;
            if (x > x0)
                runs.push_back(RECT{x0, y, x, y + 1});
            ++x;
        }
    }
    const size_t batch = 2000;
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + sizeof(RECT) * batch);
    RGNDATA* region = reinterpret_cast<RGNDATA*>(data.data());
    double start = Now();
    HRGN result = nullptr;
    for (size_t first = 0; first < runs.size() || first == 0; first += batch) {
        size_t count = runs.size() - first < batch ? runs.size() - first : batch;
        region->rdh.dwSize = sizeof(RGNDATAHEADER);
        region->rdh.iType = RDH_RECTANGLES;
        region->rdh.nCount = static_cast<DWORD>(count);
        region->rdh.nRgnSize = 0;
        SetRect(&region->rdh.rcBound, 0, 0, width, height);
        memcpy(region->Buffer, runs.data() + first, sizeof(RECT) * count);
        HRGN part = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), region);
        if (result) {
            CombineRgn(result, result, part, RGN_OR);
            DeleteObject(part);
        } else {
            result = part;
        }
        if (runs.empty())
            break;
    }
    double took = Now() - start;
    DeleteObject(result);
    return took;
}

template <class F>
double Best(int repeats, F f)
{
    double best = 1e30;
    for (int i = 0; i < repeats; ++i) {
        double start = Now();
        f();
        double took = Now() - start;
        best = took < best ? took : best;
    }
    return best;
}

void Measure(const char* name, const Dib& dib, int width, int height, int naiveRows)
{
    HBITMAP mask = dib.bitmap;
    RegionBuild build;
    HRGN ours = RegionFromMask(mask, 0x00FFFFFF, 0, &build);
    DeleteObject(ours);
    CountGdiObject(GdiKind::Region, -1);
    long kept = 0;

    double full = Best(5, [&] {
        HRGN region = RegionFromMask(mask, 0x00FFFFFF, 0);
        DeleteObject(region);
        CountGdiObject(GdiKind::Region, -1);
    });
    double scan = Best(5, [&] { kept = PlainScan(mask, width, height); });

    // The naive baseline is slow on many runs: both are timed on the same top band of rows.
    HBITMAP band = nullptr;
    {
        Dib part = MakeDib(width, naiveRows);
        HDC from = CreateCompatibleDC(nullptr), to = CreateCompatibleDC(nullptr);
        HGDIOBJ a = SelectObject(from, mask), b = SelectObject(to, part.bitmap);
        BitBlt(to, 0, 0, width, naiveRows, from, 0, 0, SRCCOPY);
        SelectObject(from, a);
        SelectObject(to, b);
        DeleteDC(from);
        DeleteDC(to);
        band = part.bitmap;
    }
    double naive = Best(1, [&] { DeleteObject(NaiveRegion(band, width, naiveRows)); });
    double oursBand = Best(5, [&] {
        HRGN region = RegionFromMask(band, 0x00FFFFFF, 0);
        DeleteObject(region);
        CountGdiObject(GdiKind::Region, -1);
    });
    DeleteObject(band);

    printf("%s: %dx%d, %d runs, %d batches, %ld kept pixels\n", name, width, height,
           build.rectangles, build.batches, kept);
    printf("  RegionFromMask          %9.2f ms  (%.1f Mpixel/s)\n", full,
           width * height / full / 1000.0);
    printf("  plain scan of the DIB   %9.2f ms  (%.1f Mpixel/s)  RegionFromMask / scan = %.2fx\n",
           scan, width * height / scan / 1000.0, full / scan);
    double gdi = Best(3, [&] { GdiShare(dib.pixels, width, height); });
    printf("  of which ExtCreateRegion + CombineRgn alone %9.2f ms\n", gdi);
    printf("  top %d rows: naive %9.2f ms, RegionFromMask %7.2f ms  naive / ours = %.1fx\n",
           naiveRows, naive, oursBand, naive / oursBand);
}

}  // namespace

int main()
{
    const int width = 1024, height = 768;
    Dib photo = PhotoMask(width, height);
    Dib rounded = RoundedMask(width, height, 60);
    Measure("photo-like mask", photo, width, height, 96);
    Measure("rounded shape", rounded, width, height, height);
    DeleteObject(photo.bitmap);
    DeleteObject(rounded.bitmap);
    return 0;
}
