#include "window/MessageBoxSeam.h"

namespace {
MessageBoxFunction currentFunction = MessageBoxA;
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    return currentFunction(owner, text, caption, type);
}

MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function)
{
    MessageBoxFunction previous = currentFunction;
    currentFunction = function ? function : MessageBoxA;
    return previous;
}
