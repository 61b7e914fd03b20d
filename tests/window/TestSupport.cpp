#include "tests/window/TestSupport.h"

#include <cstdio>

#include "window/MessageBoxSeam.h"
#include "window/SkinImage.h"

namespace {
int WINAPI RecordBox(HWND, LPCSTR text, LPCSTR caption, UINT type)
{
    MessageBoxRecorder::Boxes().push_back({text ? text : "", caption ? caption : "", type});
    return IDOK;
}
}  // namespace

MessageBoxRecorder::MessageBoxRecorder()
{
    Boxes().clear();
    SetMessageBoxFunction(RecordBox);
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    SetMessageBoxFunction(nullptr);
}

std::vector<MessageBoxRecorder::Box>& MessageBoxRecorder::Boxes()
{
    static std::vector<Box> boxes;
    return boxes;
}

std::vector<std::string> MessageBoxRecorder::Texts() const
{
    std::vector<std::string> texts;
    for (const Box& box : Boxes())
        texts.push_back(box.text);
    return texts;
}

static void Put16(std::string& out, unsigned v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

static void Put32(std::string& out, unsigned v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

bool WriteBmp(const std::string& path, int width, int height, const std::vector<unsigned>& pixels)
{
    unsigned stride = (static_cast<unsigned>(width) * 3 + 3) & ~3u;
    unsigned dataSize = stride * static_cast<unsigned>(height);
    std::string out = "BM";
    Put32(out, 54 + dataSize);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, static_cast<unsigned>(width));
    Put32(out, static_cast<unsigned>(height));
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, dataSize);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            unsigned c = pixels[static_cast<size_t>(y) * width + x];
            row += static_cast<char>(c & 0xFF);
            row += static_cast<char>((c >> 8) & 0xFF);
            row += static_cast<char>((c >> 16) & 0xFF);
        }
        row.resize(stride, '\0');
        out += row;
    }
    return WriteText(path, out);
}

bool WriteText(const std::string& path, const std::string& text)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = fwrite(text.data(), 1, text.size(), file) == text.size();
    return fclose(file) == 0 && ok;
}

unsigned PixelOf(HBITMAP bitmap, int x, int y)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    COLORREF c = previous ? GetPixel(dc, x, y) : CLR_INVALID;
    if (previous)
        SelectObject(dc, previous);
    DeleteDC(dc);
    if (c == CLR_INVALID)
        return ~0u;
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

ScratchFolder::ScratchFolder(const std::string& name) : path(name)
{
    CreateDirectoryA(path.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder()
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA(File(found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

HBITMAP MakeBitmap(int width, int height, const std::vector<unsigned>& pixels)
{
    const BITMAPINFO info = Dib32Header(width, height);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return nullptr;
    DWORD* out = static_cast<DWORD*>(bits);
    for (size_t i = 0; i < pixels.size() && i < static_cast<size_t>(width) * height; ++i)
        out[i] = pixels[i] & 0xFFFFFF;
    return bitmap;
}

HINSTANCE TestInstance()
{
    return GetModuleHandleA(nullptr);
}

std::string CurrentFolderName()
{
    char path[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof path, path);
    std::string current = path;
    return current.substr(current.find_last_of("\\/") + 1);
}
