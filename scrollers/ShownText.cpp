#include "scrollers/ShownText.h"

#include "descriptor/TextEncoding.h"

namespace {

// Every "&&" becomes "&", pairs taken from the left.
std::string OneAmpersandPerPair(const char* bytes, size_t length)
{
    std::string out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        out += bytes[i];
        if (bytes[i] == '&' && i + 1 < length && bytes[i + 1] == '&')
            ++i;
    }
    return out;
}

}  // namespace

void ShownText::Set(const char* bytes, size_t length)
{
    narrowText.clear();
    wideText.clear();
    wide = bytes && IsUtf8Text(bytes, length);
    if (!bytes)
        return;
    if (!wide) {
        narrowText = OneAmpersandPerPair(bytes, length);
        return;
    }
    const std::string utf8 = OneAmpersandPerPair(bytes, WholeUtf8Length(bytes, length));
    const int size = static_cast<int>(utf8.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    if (units <= 0)
        return;
    wideText.resize(static_cast<size_t>(units));
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, &wideText[0], units);
}

size_t ShownText::NextLine(size_t from) const
{
    const size_t length = Length();
    for (size_t i = from; i < length; ++i)
        if ((wide ? wideText[i] : static_cast<wchar_t>(narrowText[i])) == L'\n')
            return i + 1;
    return length;
}

bool ShownText::HasCarriageReturn() const
{
    return wide ? wideText.find(L'\r') != std::wstring::npos
                : narrowText.find('\r') != std::string::npos;
}

int ShownText::Draw(HDC dc, size_t from, size_t to, RECT* rect, UINT format) const
{
    if (to > Length())
        to = Length();
    const int count = to > from ? static_cast<int>(to - from) : 0;
    format |= DT_NOPREFIX;
    if (wide)
        return DrawTextW(dc, count ? wideText.data() + from : L"", count, rect, format);
    return DrawTextA(dc, count ? narrowText.data() + from : "", count, rect, format);
}
