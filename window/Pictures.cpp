// The picture helpers of SkinImage: decoding files, cutting pieces, drawing.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <cstdio>

#include "window/MemoryDC.h"
#include "window/MessageBoxSeam.h"
#include "window/Selection.h"
#include "window/SkinImage.h"

namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle(handle) {}
    ~FileHandle()
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE handle;
};

// A 32-bit top-down DIB section copy of a bitmap: pixels exact whatever the screen depth.
HBITMAP CopyTo32Bit(HBITMAP source)
{
    BITMAP info = {};
    if (!GetObjectA(source, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return nullptr;
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP copy = CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!copy)
        return nullptr;
    MemoryDC from(nullptr);
    MemoryDC to(nullptr);
    bool copied = false;
    if (from.dc && to.dc) {
        Selection sourceIn(from.dc, source);
        Selection copyIn(to.dc, copy);
        copied = sourceIn.Ok() && copyIn.Ok() &&
                 BitBlt(to.dc, 0, 0, info.bmWidth, info.bmHeight, from.dc, 0, 0, SRCCOPY);
    }
    if (!copied) {
        DeleteObject(copy);
        return nullptr;
    }
    return copy;
}

// Decodes size bytes of a file through the OLE picture decoder; null when they are no picture.
HBITMAP DecodePicture(HANDLE file, DWORD size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return nullptr;
    void* bytes = GlobalLock(block);
    DWORD read = 0;
    BOOL ok = bytes && ReadFile(file, bytes, size, &read, nullptr) && read == size;
    if (bytes)
        GlobalUnlock(block);
    IStream* stream = nullptr;
    if (!ok || FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
        GlobalFree(block);
        return nullptr;
    }
    IPicture* picture = nullptr;
    HRESULT loaded = OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                    reinterpret_cast<void**>(&picture));
    stream->Release();
    if (FAILED(loaded) || !picture)
        return nullptr;
    // Keep a copy of our own and release the picture object, which deletes its own bitmap.
    HBITMAP copy = nullptr;
    SHORT type = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP &&
        SUCCEEDED(picture->get_Handle(&handle)) && handle)
        copy = CopyTo32Bit(reinterpret_cast<HBITMAP>(static_cast<LONG_PTR>(static_cast<LONG>(handle))));
    picture->Release();
    return copy;
}

}  // namespace

SkinImage LoadPicture(const char* path)
{
    FileHandle file(CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (file.handle == INVALID_HANDLE_VALUE) {
        char text[MAX_PATH + 64];
        snprintf(text, sizeof text, "Could not load the file: %s", path ? path : "");
        ShowMessageBox(nullptr, text, "Error", MB_ICONERROR);
        return SkinImage();
    }
    DWORD size = GetFileSize(file.handle, nullptr);
    if (size == 0 || size == INVALID_FILE_SIZE)
        return SkinImage();
    return SkinImage(DecodePicture(file.handle, size));
}

HBITMAP CutImage(HBITMAP source, int x, int y, int width, int height)
{
    if (!source || width <= 0 || height <= 0)
        return nullptr;
    MemoryDC first(nullptr);
    if (!first.dc)
        return nullptr;
    Selection sourceIn(first.dc, source);
    if (!sourceIn.Ok())
        return nullptr;
    MemoryDC second(first.dc);
    HBITMAP piece = second.dc ? CreateCompatibleBitmap(first.dc, width, height) : nullptr;
    if (!piece)
        return nullptr;
    {
        Selection pieceIn(second.dc, piece);
        BitBlt(second.dc, 0, 0, width, height, first.dc, x, y, SRCCOPY);
    }
    return piece;
}

void DrawImageAt(HDC dc, const SkinImage& image, int x, int y)
{
    int width = 0;
    int height = 0;
    image.GetSize(&width, &height);
    if (!image.Handle() || width <= 0 || height <= 0)
        return;
    MemoryDC memory(nullptr);
    if (!memory.dc)
        return;
    Selection imageIn(memory.dc, image.Handle());
    if (imageIn.Ok())
        BitBlt(dc, x, y, width, height, memory.dc, 0, 0, SRCCOPY);
}

void DrawImage(HDC dc, const SkinImage& image)
{
    DrawImageAt(dc, image, 0, 0);
}
