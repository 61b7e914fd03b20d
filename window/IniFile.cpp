#include "window/IniFile.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "descriptor/TextEncoding.h"

namespace {

struct FileKind : Uncounted {
    using Held = HANDLE;
    static void Free(HANDLE file) { CloseHandle(file); }
};

// The file's bytes, at most IniFile::maxFileSize of them; empty when it cannot be read.
std::string ReadBytes(const char* path)
{
    HANDLE opened = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return std::string();
    Owner<FileKind> file(opened);
    DWORD size = GetFileSize(file.Get(), nullptr);
    if (size == INVALID_FILE_SIZE)
        return std::string();
    if (size > IniFile::maxFileSize)
        size = IniFile::maxFileSize;
    std::string bytes(size, '\0');
    DWORD read = 0;
    if (size == 0 || !ReadFile(file.Get(), &bytes[0], size, &read, nullptr))
        return std::string();
    bytes.resize(read);
    return bytes;
}

// A file saved as UTF-16 (with its byte-order mark) reads in the ANSI code page, as the system's
// profile functions hand it to a program that asks in that code page.
std::string AnsiFromUtf16(const std::string& bytes, bool bigEndian)
{
    std::vector<wchar_t> wide((bytes.size() - 2) / 2);
    for (size_t i = 0; i < wide.size(); ++i) {
        const unsigned char first = static_cast<unsigned char>(bytes[2 + 2 * i]);
        const unsigned char second = static_cast<unsigned char>(bytes[3 + 2 * i]);
        wide[i] = static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    if (wide.empty())
        return std::string();
    const int wideLength = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr,
                                           nullptr);
    std::string ansi(length > 0 ? length : 0, '\0');
    if (length > 0)
        WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, &ansi[0], length, nullptr, nullptr);
    return ansi;
}

}  // namespace

IniFile::IniFile() : path(), text() {}

IniFile::~IniFile() {}

void IniFile::SetPath(const char* newPath)
{
    path = GlobalText::Allocate(pathCapacity);
    text = IniText();
    if (!path || !newPath || !newPath[0])
        return;
    snprintf(path.Get(), pathCapacity, "%s", newPath);
    std::string bytes = ReadBytes(path.Get());
    const ByteOrderMark mark = FindByteOrderMark(bytes.data(), bytes.size());
    if (mark == ByteOrderMark::Utf16LittleEndian || mark == ByteOrderMark::Utf16BigEndian)
        bytes = AnsiFromUtf16(bytes, mark == ByteOrderMark::Utf16BigEndian);
    text = IniText(bytes.data(), bytes.size());
}

GlobalText IniFile::GetString(const char* section, const char* key, const char* defaultValue)
{
    GlobalText value = GlobalText::Allocate(valueCapacity);
    if (!value)
        return value;
    // GetPrivateProfileStringA's buffer of 2047: at most 2046 characters.
    const std::string found = text.Get(section, key, defaultValue, valueCapacity - 1);
    snprintf(value.Get(), valueCapacity, "%s", found.c_str());
    if (value.Get()[0] == '\0')
        value.Reset();
    return value;
}

GlobalText ReadSkinEntry(IniFile& ini, const char* section, int number)
{
    char key[16];
    snprintf(key, sizeof key, "%d", number);
    return ini.GetString(section, key, "");
}
