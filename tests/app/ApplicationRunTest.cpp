#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Application.h"
#include "app/SplashWindow.h"
#include "tests/fakes/FakeBass.h"
#include "tests/support/UiSupport.h"

namespace {

// A whole musicdisk in a scratch folder: main skin with a play button, the display controls and a
// ticker; a splash skin; a descriptor with two songs the fake audio library knows.
class Disk {
public:
    Disk() : root("ui_run_disk")
    {
        GetCurrentDirectoryA(MAX_PATH, previous);
        SetCurrentDirectoryA(root.path.c_str());
        gui = new UiSkin("gui", 240, 120);
        gui->Ini("[BUTTONINFO]\r\n1=BUTTON_NEXT,10,10,30,20,Next\r\n"
                 "[TEXTINFO]\r\n1=TEXT_SONGNUM,Tahoma,-,-,12,0,50,10,30,14,--,Song\r\n"
                 "2=TEXT_TOTALTIME,Tahoma,-,-,12,0,90,10,40,14,--,Total\r\n"
                 "3=TEXT_ACTTIME,Tahoma,-,-,12,0,140,10,40,14,--,Elapsed\r\n"
                 "[HSCROLLINFO]\r\n1=TEXT_SCROLLER,Tahoma,FALSE,FALSE,14,0,10,60,200,30,Desc\r\n");
        WriteBmp(gui->folder.File("splash.bmp"), 100, 50, std::vector<unsigned>(5000, 0x224466));
        WriteText(gui->folder.File("splash.ini"), "[SCREEN]\r\nMain=splash.bmp\r\n");
        music = new ScratchFolder("music");
    }
    ~Disk()
    {
        delete music;
        delete gui;
        SetCurrentDirectoryA(previous);
    }
    void Descriptor(const std::string& text) { WriteText(music->File("config.dat"), text); }

    ScratchFolder root;
    char previous[MAX_PATH] = {};
    UiSkin* gui = nullptr;
    ScratchFolder* music = nullptr;
};

// What the watcher saw while Run was going on.
struct Sight {
    bool splashSeenAlone = false;      // splash visible while the main window was not
    bool mainShown = false;
    bool splashHiddenButAlive = false;
    bool centred = false;
    std::string songNumber;
    std::string total;
    std::string afterNext;
    std::vector<std::string> table;  // song number and stopped flag after each OnButtonClick
    int ticks = 0;
    int phase = 0;
};
Sight sight;
Application* running = nullptr;

std::string TextOf(HWND parent, const char* name)
{
    char text[64] = {};
    HWND control = FindWindowExA(parent, nullptr, name, nullptr);
    if (control)
        GetWindowTextA(control, text, sizeof text);
    return text;
}

// Polls the windows from inside Run's loops; closes the main window once it has been seen.
void CALLBACK Watcher(HWND, UINT, UINT_PTR, DWORD)
{
    ++sight.ticks;
    HWND splash = FindWindowA("Welcome to Quillmere", nullptr);
    HWND main = FindWindowA("Musicdisk", "Musicdisk");
    if (splash && IsWindowVisible(splash) && !(main && IsWindowVisible(main)))
        sight.splashSeenAlone = true;
    if (sight.phase == 1 && main) {
        // The click's notice has been handled by now: the controller moved on.
        sight.afterNext = TextOf(main, "TEXT_SONGNUM");
        if (running) {
            const char* names[] = {"button_stop", "BUTTON_STOP", "BUTTON_PLAY ", "XBUTTON_INFO",
                                   "BUTTON_PLAY"};
            for (const char* name : names) {
                running->mainWindow.OnButtonClick(name);
                sight.table.push_back(TextOf(main, "TEXT_SONGNUM") +
                                      (running->stopped ? " stopped" : " running"));
            }
        }
        sight.phase = 2;
        PostMessageA(main, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    if (main && IsWindowVisible(main) && !sight.mainShown) {
        sight.mainShown = true;
        sight.splashHiddenButAlive = splash && IsWindow(splash) && !IsWindowVisible(splash);
        RECT rect = {};
        GetWindowRect(main, &rect);
        sight.centred = rect.left == (GetSystemMetrics(SM_CXSCREEN) - 240) / 2 &&
                        rect.top == (GetSystemMetrics(SM_CYSCREEN) - 120) / 2;
        sight.songNumber = TextOf(main, "TEXT_SONGNUM");
        sight.total = TextOf(main, "TEXT_TOTALTIME");
        HWND next = FindWindowExA(main, nullptr, "BUTTON_NEXT", nullptr);
        if (running && next) {
            SendMessageA(next, WM_LBUTTONDOWN, MK_LBUTTON, 0);
            SendMessageA(next, WM_LBUTTONUP, 0, 0);
            sight.phase = 1;
        } else {
            PostMessageA(main, WM_KEYDOWN, VK_ESCAPE, 0);
        }
    }
    // Nothing may hang the test: give up after about ten seconds.
    if (sight.ticks > 200 && main)
        PostMessageA(main, WM_CLOSE, 0, 0);
}

TEST(ApplicationRun, StartsInOrderPlaysSongOneAndEndsWithZeroOnEscape)
{
    Disk disk;
    disk.Descriptor("splash.time=300\nmusic.file.01=one.wav\nmusic.desc.01=First\n"
                    "music.file.02=two.wav\n");
    fakebass::Reset();
    fakebass::AddStream("one.wav", 176400 * 65);
    fakebass::AddStream("two.wav", 176400 * 5);
    sight = Sight();
    UINT_PTR watcher = SetTimer(nullptr, 0, 50, Watcher);
    int result = -1;
    {
        Application application;
        running = &application;
        result = application.Run(TestInstance());
        running = nullptr;
        EXPECT_EQ(application.mainWindow.controller, &application);
        EXPECT_EQ(application.currentSong, 1);
        EXPECT_FALSE(application.stopped);
        EXPECT_EQ(CurrentSplash(), nullptr) << "destroyed after the loop";
    }
    KillTimer(nullptr, watcher);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(sight.splashSeenAlone) << "the splash comes before the main window";
    EXPECT_TRUE(sight.mainShown);
    EXPECT_TRUE(sight.splashHiddenButAlive);
    EXPECT_TRUE(sight.centred);
    EXPECT_EQ(sight.songNumber, "01");
    EXPECT_EQ(sight.total, "01:05");
    EXPECT_EQ(sight.afterNext, "02") << "BUTTON_NEXT reached the controller";
    const std::vector<std::string> table = {"02 running", "00 stopped", "00 stopped",
                                            "00 stopped", "01 running"};
    EXPECT_EQ(sight.table, table);
    EXPECT_EQ(FindWindowA("Welcome to Quillmere", nullptr), nullptr);

    // The song was started as a stream after the module loader refused it.
    bool streamed = false;
    for (const std::string& call : fakebass::Calls())
        streamed = streamed || call.find("BASS_StreamCreateFile(0,one.wav") == 0;
    EXPECT_TRUE(streamed);
}

TEST(ApplicationRun, MissingSkinShowsTheMessagesAndTheWindowStillRuns)
{
    ScratchFolder root("ui_run_noskin");
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(root.path.c_str());
    fakebass::Reset();
    sight = Sight();
    MessageBoxRecorder boxes;
    UINT_PTR watcher = SetTimer(nullptr, 0, 50, Watcher);
    int result = -1;
    {
        Application application;
        result = application.Run(TestInstance());
    }
    KillTimer(nullptr, watcher);
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(sight.mainShown);
    // Five pictures of the main skin and five of the splash skin could not be loaded.
    std::vector<std::string> texts = boxes.Texts();
    ASSERT_EQ(texts.size(), 10u);
    for (const std::string& text : texts)
        EXPECT_EQ(text.rfind("Could not load the file: ", 0), 0u) << text;
}

// A class registered under the main window's name whose windows refuse to be created.
LRESULT CALLBACK Refuse(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        return FALSE;
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(ApplicationRun, MainWindowThatCannotBeCreatedEndsWithOneMessageAndCodeOne)
{
    WNDCLASSEXA refusing = {};
    refusing.cbSize = sizeof refusing;
    refusing.lpfnWndProc = Refuse;
    refusing.hInstance = TestInstance();
    refusing.lpszClassName = "Musicdisk";
    ASSERT_NE(RegisterClassExA(&refusing), 0);
    fakebass::Reset();
    MessageBoxRecorder boxes;
    int result = -1;
    {
        Application application;
        result = application.Run(TestInstance());
        EXPECT_EQ(application.mainWindow.hwnd, nullptr);
    }
    UnregisterClassA("Musicdisk", TestInstance());
    EXPECT_EQ(result, 1);
    std::vector<std::string> texts = boxes.Texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), "Could not create the main window");
    EXPECT_EQ(CurrentSplash(), nullptr) << "no splash without a main window";
    for (const std::string& call : fakebass::Calls())
        EXPECT_NE(call.rfind("BASS_Init", 0), 0u) << "no sound device opened";
}

}  // namespace
