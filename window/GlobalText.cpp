#include "window/GlobalText.h"

#include <cstring>

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
        memcpy(copy.Get(), source, length + 1);
    return copy;
}
