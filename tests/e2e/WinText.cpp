// Prints what end-to-end tests need to know about a running program's windows:
//   wintext CLASS              "visible x y width height" of the top-level window of that class
//   wintext CLASS CHILDCLASS   the window text of its child of that class
// Exit code 1 when a window is not found.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    HWND top = FindWindowA(argv[1], nullptr);
    if (!top)
        return 1;
    if (argc == 2) {
        RECT rect = {};
        GetWindowRect(top, &rect);
        printf("%d %ld %ld %ld %ld\n", IsWindowVisible(top) ? 1 : 0, rect.left, rect.top,
               rect.right - rect.left, rect.bottom - rect.top);
        return 0;
    }
    HWND child = FindWindowExA(top, nullptr, argv[2], nullptr);
    if (!child)
        return 1;
    char text[256] = {};
    GetWindowTextA(child, text, sizeof text);
    printf("%s\n", text);
    return 0;
}
