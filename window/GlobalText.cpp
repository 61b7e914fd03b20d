#include "window/GlobalText.h"

#include <cstring>

GlobalText::GlobalText() : text(nullptr) {}

GlobalText::GlobalText(char* adopted) : text(adopted) {}

GlobalText::GlobalText(GlobalText&& other) noexcept : text(other.text)
{
    other.text = nullptr;
}

GlobalText& GlobalText::operator=(GlobalText&& other) noexcept
{
    if (this != &other) {
        Reset();
        text = other.text;
        other.text = nullptr;
    }
    return *this;
}

GlobalText::~GlobalText()
{
    Reset();
}

GlobalText GlobalText::Allocate(size_t size)
{
    return GlobalText(static_cast<char*>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size)));
}

GlobalText GlobalText::Copy(const char* source)
{
    if (!source)
        return GlobalText();
    size_t length = strlen(source);
    GlobalText copy = Allocate(length + 1);
    if (copy)
        memcpy(copy.text, source, length + 1);
    return copy;
}

char* GlobalText::Release()
{
    char* released = text;
    text = nullptr;
    return released;
}

void GlobalText::Reset()
{
    if (text) {
        GlobalFree(text);
        text = nullptr;
    }
}
