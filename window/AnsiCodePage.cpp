#include "window/AnsiCodePage.h"

#include <windows.h>

#include <cstring>

#include "descriptor/TextEncoding.h"

std::string InAnsiCodePage(const char* text)
{
    if (!text)
        return std::string();
    const size_t length = strlen(text);
    if (!IsUtf8Text(text, length))
        return text;
    const int bytes = static_cast<int>(WholeUtf8Length(text, length));
    const int units = MultiByteToWideChar(CP_UTF8, 0, text, bytes, nullptr, 0);
    if (units <= 0)
        return std::string();
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, bytes, &wide[0], units);
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string ansi(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), units, &ansi[0], size, nullptr, nullptr);
    return ansi;
}
