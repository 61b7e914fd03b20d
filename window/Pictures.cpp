// The picture helpers of SkinImage: decoding files, cutting pieces, drawing.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <cstdio>

#include "descriptor/DiskPath.h"
#include "window/MemoryDC.h"
#include "window/MessageBoxSeam.h"
#include "window/PictureFormat.h"
#include "window/Selection.h"
#include "window/SkinImage.h"

namespace {

struct FileKind : Uncounted {
    using Held = HANDLE;
    static void Free(HANDLE file) { CloseHandle(file); }
};

struct BlockKind : Uncounted {
    using Held = HGLOBAL;
    static void Free(HGLOBAL block) { GlobalFree(block); }
};

template <class Interface>
struct ComKind : Uncounted {
    using Held = Interface*;
    static void Free(Interface* object) { object->Release(); }
};

// A 32-bit top-down DIB section copy of a bitmap: pixels exact whatever the screen depth.
SkinImage CopyTo32Bit(HBITMAP source)
{
    BITMAP info = {};
    if (!GetObjectA(source, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return SkinImage();
    void* bits = nullptr;
    SkinImage copy = CreateDib32(info.bmWidth, info.bmHeight, &bits);
    MemoryDC from(nullptr);
    MemoryDC to(nullptr);
    bool copied = false;
    if (!copy.Empty() && from.dc && to.dc) {
        Selection sourceIn(from.dc, source);
        Selection copyIn(to.dc, copy.Handle());
        copied = sourceIn.Ok() && copyIn.Ok() &&
                 BitBlt(to.dc, 0, 0, info.bmWidth, info.bmHeight, from.dc, 0, 0, SRCCOPY);
    }
    if (!copied)
        copy.Reset();
    return copy;
}

// Decodes the bytes of a picture file through the OLE picture decoder; empty when they are no
// picture of a kind we decode.
SkinImage DecodePicture(HANDLE file, DWORD size)
{
    Owner<BlockKind> block(GlobalAlloc(GMEM_MOVEABLE, size));
    if (block.Empty())
        return SkinImage();
    void* bytes = GlobalLock(block.Get());
    DWORD read = 0;
    bool ok = bytes && ReadFile(file, bytes, size, &read, nullptr) && read == size &&
              PictureFormat::Decodable(static_cast<const unsigned char*>(bytes), size);
    if (bytes)
        GlobalUnlock(block.Get());
    IStream* rawStream = nullptr;
    if (!ok || FAILED(CreateStreamOnHGlobal(block.Get(), TRUE, &rawStream)))
        return SkinImage();
    // The stream frees the block when it goes.
    block.Release();
    Owner<ComKind<IStream>> stream(rawStream);
    IPicture* rawPicture = nullptr;
    HRESULT loaded = OleLoadPicture(stream.Get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                                    reinterpret_cast<void**>(&rawPicture));
    Owner<ComKind<IPicture>> picture(SUCCEEDED(loaded) ? rawPicture : nullptr);
    stream.Reset();
    // Keep a copy of our own; the picture object deletes its own bitmap when it goes.
    SHORT type = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    if (picture.Empty() || FAILED(picture.Get()->get_Type(&type)) || type != PICTYPE_BITMAP ||
        FAILED(picture.Get()->get_Handle(&handle)) || !handle)
        return SkinImage();
    return CopyTo32Bit(reinterpret_cast<HBITMAP>(static_cast<LONG_PTR>(static_cast<LONG>(handle))));
}

}  // namespace

SkinImage LoadPicture(const char* path)
{
    // A path the disk may not name is a file that cannot be opened: nothing is touched for it.
    HANDLE opened = DiskPath::Allowed(path)
                        ? CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                        : INVALID_HANDLE_VALUE;
    if (opened == INVALID_HANDLE_VALUE) {
        char text[MAX_PATH + 64];
        snprintf(text, sizeof text, "Could not load the file: %s", path ? path : "");
        ShowMessageBox(nullptr, text, "Error", MB_ICONERROR);
        return SkinImage();
    }
    Owner<FileKind> file(opened);
    DWORD high = 0;
    DWORD size = GetFileSize(file.Get(), &high);
    if (size == 0 || size == INVALID_FILE_SIZE || size > PictureFormat::MaxFileBytes || high != 0)
        return SkinImage();
    return DecodePicture(file.Get(), size);
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
    if (image.Empty() || width <= 0 || height <= 0)
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
