// What the soak and the bad-disk runs ask of a running player from outside:
//   probe watch CLASS CHILD OUT STOPFILE  logs every change of the child's text as
//                                         "unix_ms previous_poll_ms text" until STOPFILE exists
//                                         or the window is gone
//   probe ping CLASS MS                   exit 0 when the window answers a sent message in time
//   probe gdi CLASS                       "bitmaps fonts regions" our GDI owners hold
//   probe active CLASS MS                 exit 0 once the window is the foreground window (the
//                                         one keys go to), 4 when it is not within MS
//   probe notice CLASS CHANNEL            posts the player's end-of-song notice for CHANNEL, as the
//                                         audio library's thread does (WM_USER + 20, wParam channel)
//   probe errors OUT QUIET_MS TOTAL_MS    dismisses every "Error" message box, writing its text
//                                         to OUT, until the main window is visible and no box
//                                         came for QUIET_MS (or TOTAL_MS passed); prints the count
//   probe follow OUT STOPFILE             logs "unix_ms shown" when the main window first shows,
//                                         then "unix_ms song|total" at every change of its song
//                                         number or total time, until STOPFILE exists
//   probe hold                            uses the desktop, doing nothing else, until it is ended
// Exit code 1 when the window is not found, 2 on bad arguments.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

long long UnixMs()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER ticks;
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    return static_cast<long long>((ticks.QuadPart - 116444736000000000ULL) / 10000ULL);
}

bool FileExists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

int Watch(const char* className, const char* childClass, const char* out, const char* stopFile)
{
    FILE* log = fopen(out, "w");
    if (!log)
        return 2;
    char last[256] = "\x01";  // never a real text, so the first poll is logged
    long long previous = UnixMs();
    int misses = 0;
    while (!FileExists(stopFile)) {
        HWND top = FindWindowA(className, nullptr);
        HWND child = top ? FindWindowExA(top, nullptr, childClass, nullptr) : nullptr;
        long long now = UnixMs();
        if (!child) {
            // The window appears after start-up and goes at the end.
            if (++misses > 30000)
                break;
        } else {
            char text[256] = {};
            GetWindowTextA(child, text, sizeof text);
            if (strcmp(text, last) != 0) {
                fprintf(log, "%lld %lld %s\n", now, previous, text);
                fflush(log);
                snprintf(last, sizeof last, "%s", text);
            }
        }
        previous = now;
        Sleep(2);
    }
    fclose(log);
    return 0;
}

int Ping(const char* className, int timeout)
{
    HWND top = FindWindowA(className, nullptr);
    if (!top)
        return 1;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(top, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeout, &result))
        return 3;
    printf("responsive\n");
    return 0;
}

// The text of the main window's child of that class, empty when there is none.
void ChildText(HWND top, const char* childClass, char* text, int size)
{
    text[0] = 0;
    HWND child = top ? FindWindowExA(top, nullptr, childClass, nullptr) : nullptr;
    if (child)
        GetWindowTextA(child, text, size);
}

int Follow(const char* out, const char* stopFile)
{
    FILE* log = fopen(out, "w");
    if (!log)
        return 2;
    bool shown = false;
    char last[160] = "\x01";  // never a real text, so the first song is logged
    while (!FileExists(stopFile)) {
        HWND top = FindWindowA("Musicdisk", nullptr);
        if (top && !shown && IsWindowVisible(top)) {
            shown = true;
            fprintf(log, "%lld shown\n", UnixMs());
            fflush(log);
        }
        if (shown) {
            char song[64];
            char total[64];
            ChildText(top, "TEXT_SONGNUM", song, sizeof song);
            ChildText(top, "TEXT_TOTALTIME", total, sizeof total);
            char text[160];
            snprintf(text, sizeof text, "%s|%s", song, total);
            if (top && strcmp(text, last) != 0) {
                fprintf(log, "%lld %s\n", UnixMs(), text);
                fflush(log);
                snprintf(last, sizeof last, "%s", text);
            }
        }
        Sleep(20);
    }
    fclose(log);
    return 0;
}

int Active(const char* className, int timeout)
{
    HWND top = FindWindowA(className, nullptr);
    if (!top)
        return 1;
    for (int waited = 0; GetForegroundWindow() != top; waited += 20) {
        if (waited >= timeout)
            return 4;
        Sleep(20);
    }
    return 0;
}

int Gdi(const char* className)
{
    HWND top = FindWindowA(className, nullptr);
    if (!top)
        return 1;
    const UINT message = RegisterWindowMessageA("MusicdiskLiveGdiObjects");
    long counts[3] = {};
    for (int kind = 0; kind < 3; ++kind) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(top, message, kind, 0, SMTO_ABORTIFHUNG, 5000, &result))
            return 3;
        counts[kind] = static_cast<long>(result);
    }
    printf("%ld %ld %ld\n", counts[0], counts[1], counts[2]);
    return 0;
}

int Notice(const char* className, unsigned long channel)
{
    HWND top = FindWindowA(className, nullptr);
    if (!top)
        return 1;
    return PostMessageA(top, WM_USER + 20, channel, 0) ? 0 : 3;
}

struct BoxSearch {
    HWND found;
};

BOOL CALLBACK FindErrorBox(HWND window, LPARAM data)
{
    char name[64] = {};
    char caption[64] = {};
    GetClassNameA(window, name, sizeof name);
    GetWindowTextA(window, caption, sizeof caption);
    if (strcmp(name, "#32770") == 0 && strcmp(caption, "Error") == 0 && IsWindowVisible(window)) {
        reinterpret_cast<BoxSearch*>(data)->found = window;
        return FALSE;
    }
    return TRUE;
}

// The box's message is the text of its static control (id 0xFFFF).
void BoxText(HWND box, char* text, int size)
{
    text[0] = 0;
    HWND label = GetDlgItem(box, 0xFFFF);
    if (label)
        GetWindowTextA(label, text, size);
}

int Errors(const char* out, int quiet, int total)
{
    FILE* log = fopen(out, "w");
    if (!log)
        return 2;
    const long long start = UnixMs();
    long long lastBox = start;
    HWND lastHandled = nullptr;
    int count = 0;
    for (;;) {
        long long now = UnixMs();
        if (now - start > total)
            break;
        BoxSearch search = {nullptr};
        EnumWindows(FindErrorBox, reinterpret_cast<LPARAM>(&search));
        if (search.found && search.found != lastHandled) {
            char text[1024];
            BoxText(search.found, text, sizeof text);
            fprintf(log, "%s\n", text);
            fflush(log);
            ++count;
            lastHandled = search.found;
            lastBox = now;
            PostMessageA(search.found, WM_COMMAND, IDOK, 0);
        } else if (!search.found) {
            HWND main = FindWindowA("Musicdisk", nullptr);
            if (main && IsWindowVisible(main) && now - lastBox > quiet)
                break;
        }
        Sleep(20);
    }
    fclose(log);
    printf("%d\n", count);
    return 0;
}

// Wine ends a desktop's own process (explorer) a second after the last program using the desktop
// has gone, and the next program starts it again: about a second of CPU under emulation, paid by
// every program a test starts one after the other unless something holds the desktop meanwhile.
int Hold()
{
    GetDesktopWindow();
    Sleep(INFINITE);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 6 && strcmp(argv[1], "watch") == 0)
        return Watch(argv[2], argv[3], argv[4], argv[5]);
    if (argc >= 4 && strcmp(argv[1], "ping") == 0)
        return Ping(argv[2], atoi(argv[3]));
    if (argc >= 4 && strcmp(argv[1], "active") == 0)
        return Active(argv[2], atoi(argv[3]));
    if (argc >= 3 && strcmp(argv[1], "gdi") == 0)
        return Gdi(argv[2]);
    if (argc >= 4 && strcmp(argv[1], "notice") == 0)
        return Notice(argv[2], strtoul(argv[3], nullptr, 0));
    if (argc >= 4 && strcmp(argv[1], "follow") == 0)
        return Follow(argv[2], argv[3]);
    if (argc >= 2 && strcmp(argv[1], "hold") == 0)
        return Hold();
    if (argc >= 5 && strcmp(argv[1], "errors") == 0)
        return Errors(argv[2], atoi(argv[3]), atoi(argv[4]));
    return 2;
}
