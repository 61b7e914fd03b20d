#include "descriptor/DiskPath.h"

#include "descriptor/EntryText.h"

#include <cstddef>
#include <cstring>

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool IsDriveLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The digits Windows accepts after COM and LPT: 0-9 and the superscripts 1, 2, 3 of the Western
// code page.
bool IsPortDigit(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return (c >= '0' && c <= '9') || u == 0xB9 || u == 0xB2 || u == 0xB3;
}

// A part names a device when the text before its first dot, without trailing blanks, is a
// device name: "nul", "Con.txt", "COM1 .mod" all are.
bool IsDeviceName(const char* part, size_t length)
{
    size_t base = 0;
    while (base < length && part[base] != '.')
        ++base;
    while (base > 0 && part[base - 1] == ' ')
        --base;
    // No device name is longer than seven characters.
    char name[8];
    if (base >= sizeof name)
        return false;
    memcpy(name, part, base);
    name[base] = '\0';
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
    for (const char* device : devices)
        if (SameTextNoCase(name, device))
            return true;
    if (base != 4 || !IsPortDigit(name[3]))
        return false;
    name[3] = '\0';
    return SameTextNoCase(name, "COM") || SameTextNoCase(name, "LPT");
}

bool OnlyDotsAndBlanks(const char* part, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (part[i] != '.' && part[i] != ' ')
            return false;
    return true;
}

}

DiskPath::Problem DiskPath::Check(const char* path)
{
    if (!path || path[0] == '\0')
        return Problem::Empty;
    if (IsSeparator(path[0]) && IsSeparator(path[1])) {
        if ((path[2] == '.' || path[2] == '?') && IsSeparator(path[3]))
            return Problem::DevicePath;
        return Problem::Remote;
    }
    if (IsSeparator(path[0]))
        return Problem::Absolute;
    const char* colon = strchr(path, ':');
    if (colon)
        return colon == path + 1 && IsDriveLetter(path[0]) && !strchr(colon + 1, ':')
            ? Problem::Absolute
            : Problem::Stream;
    int depth = 0;
    const char* part = path;
    for (;;) {
        size_t length = 0;
        while (part[length] != '\0' && !IsSeparator(part[length]))
            ++length;
        if (length == 2 && part[0] == '.' && part[1] == '.') {
            if (--depth < 0)
                return Problem::Climbs;
        } else if (length == 1 && part[0] == '.') {
        } else if (length > 0 && OnlyDotsAndBlanks(part, length)) {
            return Problem::Dots;
        } else if (length > 0) {
            if (IsDeviceName(part, length))
                return Problem::Device;
            ++depth;
        }
        if (part[length] == '\0')
            break;
        part += length + 1;
    }
    return Problem::None;
}

const char* DiskPath::Explain(Problem problem)
{
    switch (problem) {
    case Problem::None:
        return "the path can be opened";
    case Problem::Empty:
        return "the path is empty";
    case Problem::Remote:
        return "the path names another computer (\\\\host\\share): Windows would connect to it and offer "
               "the user's credentials";
    case Problem::DevicePath:
        return "the path names a device or raw volume (\\\\.\\ or \\\\?\\)";
    case Problem::Device:
        return "the path names a device (CON, NUL, AUX, PRN, COM1-9, LPT1-9, ...), with or without an "
               "extension";
    case Problem::Stream:
        return "the path holds ':' (an alternate data stream or a drive)";
    case Problem::Absolute:
        return "the path is absolute: name the file relative to the disk's folder";
    case Problem::Climbs:
        return "the path climbs out of the disk's folder with \"..\"";
    case Problem::Dots:
        return "a part of the path is only dots and blanks, which Windows reads differently";
    }
    return "the path is refused";
}
