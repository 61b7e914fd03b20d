// Where the player's start-up time goes, run in a musicdisk folder (the demo disk): decoding the
// skins' pictures, window shapes from their masks, fonts, tooltips, and whole skinned windows
// made and destroyed. The first pass pays for loading the decoders; later passes show the
// steady cost. Prints one line per step: milliseconds of the first pass and the median of the rest.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <olectl.h>

#include "controls/SkinFont.h"
#include "bench/BenchClock.h"
#include "window/ComApartment.h"
#include "window/RegionFromMask.h"
#include "window/SkinImage.h"
#include "window/SkinWindow.h"
#include "window/Tooltip.h"

namespace {

const char* const skins[] = {"gui\\skin.ini", "gui\\splash.ini", "gui\\credits.ini", "gui\\notes.ini",
                             "gui\\tech.ini"};
const char* const screenKeys[] = {"Main", "Mask", "Over", "Down", "Disabled"};

// The five SCREEN pictures of every skin, as the skinned window names them.
std::vector<std::string> PicturePaths()
{
    std::vector<std::string> paths;
    for (const char* skin : skins) {
        char full[MAX_PATH] = {};
        GetFullPathNameA(skin, sizeof full, full, nullptr);
        char main[MAX_PATH] = {};
        GetPrivateProfileStringA("SCREEN", "Main", "", main, sizeof main, full);
        for (const char* key : screenKeys) {
            char name[MAX_PATH] = {};
            GetPrivateProfileStringA("SCREEN", key, main, name, sizeof name, full);
            paths.push_back(std::string("gui\\") + name);
        }
    }
    return paths;
}

void Step(const char* name, int passes, const std::function<void()>& step)
{
    std::vector<double> times;
    for (int i = 0; i < passes; ++i) {
        double start = Now();
        step();
        times.push_back(Now() - start);
    }
    double first = times.front();
    std::vector<double> rest(times.begin() + 1, times.end());
    std::sort(rest.begin(), rest.end());
    printf("%s: first %.1f ms, then %.1f ms\n", name, first, rest.empty() ? first : rest[rest.size() / 2]);
    fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    const int passes = argc > 1 ? atoi(argv[1]) : 5;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    std::vector<std::string> paths = PicturePaths();

    Step("decoding the 25 SCREEN pictures of 5 skins, COM set up and down for each", passes, [&] {
        for (const std::string& path : paths)
            LoadPicture(path.c_str());
    });
    // From here on as in the program, which keeps an apartment open for its whole run.
    ComApartment com;
    Step("decoding them with an apartment kept open", passes, [&] {
        for (const std::string& path : paths)
            LoadPicture(path.c_str());
    });
    Step("- of it OleLoadPicture", passes, [&] {
        for (const std::string& path : paths) {
            HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            DWORD size = GetFileSize(file, nullptr);
            HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
            DWORD read = 0;
            ReadFile(file, GlobalLock(block), size, &read, nullptr);
            GlobalUnlock(block);
            CloseHandle(file);
            IStream* stream = nullptr;
            CreateStreamOnHGlobal(block, TRUE, &stream);
            IPicture* picture = nullptr;
            OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture, reinterpret_cast<void**>(&picture));
            stream->Release();
            if (picture)
                picture->Release();
        }
    });
    Step("- of it reading the files", passes, [&] {
        for (const std::string& path : paths) {
            HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            DWORD size = GetFileSize(file, nullptr);
            std::vector<char> bytes(size);
            DWORD read = 0;
            ReadFile(file, bytes.data(), size, &read, nullptr);
            CloseHandle(file);
        }
    });
    std::vector<SkinImage> masks;
    for (size_t i = 1; i < paths.size(); i += 5)
        masks.push_back(LoadPicture(paths[i].c_str()));
    Step("window shapes of the 5 skins' masks", passes, [&] {
        for (const SkinImage& mask : masks)
            DeleteObject(RegionFromMask(mask.Handle(), 0x00FFFFFF, 0));
    });
    Step("20 skin fonts", passes, [&] {
        SkinFont fonts[20];
        for (SkinFont& font : fonts)
            font.Make("Tahoma", -13, true, false);
    });
    HWND host = CreateWindowExA(0, "STATIC", "host", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, instance, nullptr);
    Step("20 tooltips on child windows", passes, [&] {
        std::vector<std::unique_ptr<Tooltip>> tips;
        std::vector<HWND> children;
        for (int i = 0; i < 20; ++i) {
            children.push_back(CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, i, 0, 5, 5, host,
                                               nullptr, instance, nullptr));
            tips.push_back(std::make_unique<Tooltip>());
            tips.back()->Create(children.back(), instance, "tip");
        }
        tips.clear();
        for (HWND child : children)
            DestroyWindow(child);
    });
    // The tooltip's steps one by one.
    std::vector<HWND> children, tips;
    for (int i = 0; i < 20; ++i)
        children.push_back(CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, i, 0, 5, 5, host,
                                           nullptr, instance, nullptr));
    Step("- of it 20 x InitCommonControlsEx", 1, [&] {
        for (int i = 0; i < 20; ++i) {
            INITCOMMONCONTROLSEX controls = {sizeof controls, 0xFF};
            InitCommonControlsEx(&controls);
        }
    });
    Step("- of it 20 x CreateWindowExA tooltips_class32", 1, [&] {
        for (HWND child : children)
            tips.push_back(CreateWindowExA(WS_EX_TOPMOST, "tooltips_class32", nullptr,
                                           WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, child, nullptr,
                                           instance, nullptr));
    });
    Step("- of it 20 x SetWindowPos topmost", 1, [&] {
        for (HWND tip : tips)
            SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    });
    Step("- of it 20 x TTM_ADDTOOLA", 1, [&] {
        for (size_t i = 0; i < tips.size(); ++i) {
            TOOLINFOA info = {};
            info.cbSize = TTTOOLINFOA_V2_SIZE;
            info.uFlags = TTF_SUBCLASS;
            info.hwnd = children[i];
            info.hinst = instance;
            info.lpszText = const_cast<char*>("tip");
            SendMessageA(tips[i], TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
        }
    });
    DestroyWindow(host);
    for (const char* skin : skins) {
        char name[64];
        snprintf(name, sizeof name, "skinned window from %s", skin);
        Step(name, passes, [&] {
            SkinWindow window;
            HWND created = window.CreateFromSkin("StartupBenchWindow", 0, 0, instance, skin);
            DestroyWindow(created);
        });
    }
    return 0;
}
