// One disk typed in UTF-8 (descriptor and skins saved with byte-order marks) and the same disk in
// Windows-1252: every window of the player shows the same pixels and titles.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/SplashWindow.h"
#include "scrollers/HScroller.h"
#include "scrollers/VScroller.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/fakes/FakeBass.h"
#include "window/WindowPicture.h"

namespace {

// The texts of the disk as typed, and the descriptor and skins they go into.
const wchar_t* const description = L"Caf\u00e9 \u00dcmlaut \u2014 na\u00efve R&B && more";
const wchar_t* const credits = L"CR\u00c9DITS|Zo\u00eb & Bj\u00f6rk|\u00abNo\u00ebl\u00bb";
const wchar_t* const notes = L"Notes f\u00fcr Lied 1 \u2014 \u00c6r\u00f8";
const wchar_t* const title = L"Cr\u00e9dits \u2014 Nightferry";
const wchar_t* const tooltip = L"\u00c0 propos";

std::string Encoded(const wchar_t* text, UINT codePage)
{
    char bytes[512] = {};
    WideCharToMultiByte(codePage, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes;
}

// What a disk shows: a picture of every window and the dialogs' titles.
struct Sight {
    std::vector<std::vector<unsigned>> pictures;
    std::vector<std::wstring> titles;
};

std::vector<unsigned> Pixels(const SkinImage& picture)
{
    BITMAP info = {};
    GetObjectA(picture.Handle(), sizeof info, &info);
    const unsigned* bits = static_cast<const unsigned*>(info.bmBits);
    return bits ? std::vector<unsigned>(bits, bits + info.bmWidth * info.bmHeight)
                : std::vector<unsigned>();
}

void TickScrollers(SkinWindow& window, int ticks)
{
    for (DWORD i = 0; i < window.hScrollers.count; ++i)
        for (int t = 0; t < ticks; ++t)
            SendMessageA(window.hScrollers.Get(i)->hwnd, WM_TIMER, 0, 0);
    for (DWORD i = 0; i < window.vScrollers.count; ++i)
        for (int t = 0; t < ticks; ++t)
            SendMessageA(window.vScrollers.Get(i)->hwnd, WM_TIMER, 0, 0);
}

// Plays the disk of the given code page up to song 01 with both dialogs open, moves every
// scroller by the same steps and pictures every window.
Sight Play(UINT codePage)
{
    const std::string mark = codePage == CP_UTF8 ? "\xEF\xBB\xBF" : "";
    ScratchFolder root(codePage == CP_UTF8 ? "disk_texts_utf8" : "disk_texts_1252");
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof previous, previous);
    SetCurrentDirectoryA(root.path.c_str());
    Sight sight;
    {
        SkinFiles gui("gui");
        const std::string tip = Encoded(tooltip, codePage);
        auto skin = [&](const std::string& name, const std::string& sections) {
            const std::string path = gui.Ini(name, sections);
            std::string text;
            {
                HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
                char buffer[4096] = {};
                DWORD read = 0;
                ReadFile(file, buffer, sizeof buffer, &read, nullptr);
                CloseHandle(file);
                text.assign(buffer, read);
            }
            WriteText(path, mark + text);
        };
        skin("skin.ini", "[BUTTONINFO]\r\n1=BUTTON_INFO1,2,2,20,12," + tip + "\r\n2=BUTTON_INFO2,30,2,20,12,Notes\r\n"
             "[TEXTINFO]\r\n1=TEXT_SONGNUM,Tahoma,-,-,12,0,60,2,20,12,00,Song\r\n"
             "2=TEXT_ACTTIME,Tahoma,-,-,12,0,90,2,30,12,00:00,Elapsed\r\n"
             "3=TEXT_TOTALTIME,Tahoma,-,-,12,0,124,2,30,12,00:00,Total\r\n"
             "[HSCROLLINFO]\r\n1=TEXT_SCROLLER,Tahoma,TRUE,FALSE,-13,16777215,2,20,150,20," + tip + "\r\n");
        skin("splash.ini", "[LABELINFO]\r\n1=LABEL_T,Tahoma,TRUE,FALSE,-12,0,0,10,10,80,20," + tip + "\r\n");
        skin("credits.ini", "[BUTTONINFO]\r\n1=BUTTON_CLOSE,140,2,16,12,Close\r\n"
             "[VSCROLLINFO]\r\n1=TEXT_SCROLLER,Tahoma,FALSE,FALSE,-13,16777215,0,2,16,150,44,1,40,1,"
             "scroll,center," + tip + "\r\n");
        skin("notes.ini", "[BUTTONINFO]\r\n1=BUTTON_CLOSE,140,2,16,12,Close\r\n"
             "[HSCROLLINFO]\r\n1=TEXT_SCROLLER,Tahoma,FALSE,TRUE,-13,255,2,30,150,20," + tip + "\r\n");
        ScratchFolder music("music");
        WriteText(music.File("config.dat"),
                  mark + "music.file.01=song1.mod\r\nmusic.desc.01=" + Encoded(description, codePage) +
                      "\r\ndialog.file.01=gui\\credits.ini\r\ndialog.name.01=BUTTON_INFO1\r\n"
                      "dialog.title.01=" + Encoded(title, codePage) + "\r\ndialog.text.01=" +
                      Encoded(credits, codePage) + "\r\ndialog.dx.01=0\r\ndialog.dy.01=0\r\n"
                      "dialog.file.02=gui\\notes.ini\r\ndialog.name.02=BUTTON_INFO2\r\n"
                      "dialog.title.02=Notes\r\ndialog.dx.02=0\r\ndialog.dy.02=0\r\n"
                      "longdesc.target.name.01=notes\r\nlongdesc.target.dialog.01=BUTTON_INFO2\r\n"
                      "music.longdesc.notes.01=" + Encoded(notes, codePage) + "\r\n");
        fakebass::Reset();
        fakebass::AddModule("song1.mod", fakebass::kBytesPerSecond * 60);
        auto app = std::make_unique<Application>();
        HWND main = app->CreateMainWindow(TestInstance());
        app->display.Attach(main);
        app->LoadDescriptor();
        app->player.Init(app.get(), main);
        app->CreateDialogs(TestInstance());
        app->stopped = false;
        app->Next();
        app->OpenInfoDialog("BUTTON_INFO1");
        app->OpenInfoDialog("BUTTON_INFO2");
        SplashWindow splash;
        splash.CreateCentered("Welcome to Quillmere", 0, 0, TestInstance(), "gui\\splash.ini");

        std::vector<SkinWindow*> windows = {&app->mainWindow, &splash};
        for (int n = 1; n <= app->dialogs->count; ++n)
            windows.push_back(app->dialogs->Dialog(n));
        for (SkinWindow* window : windows) {
            TickScrollers(*window, 40);
            sight.pictures.push_back(Pixels(PictureOfWindow(window->hwnd)));
            wchar_t text[64] = {};
            GetWindowTextW(window->hwnd, text, 64);
            sight.titles.push_back(text);
        }
        DestroyWindow(splash.hwnd);
        DestroyWindow(main);
        PumpMessages();
        app.reset();
        PumpMessages();
    }
    SetCurrentDirectoryA(previous);
    return sight;
}

TEST(DiskTexts, Utf8AndWindows1252FormsOfOneDiskLookAlike)
{
    ASSERT_EQ(GetACP(), 1252u) << "the comparison needs the ANSI code page 1252 (LC_ALL=C.UTF-8)";
    const Sight utf8 = Play(CP_UTF8);
    const Sight ansi = Play(1252);
    ASSERT_EQ(utf8.pictures.size(), 4u);
    ASSERT_EQ(ansi.pictures.size(), 4u);
    const char* names[] = {"main", "splash", "credits", "notes"};
    for (size_t i = 0; i < utf8.pictures.size(); ++i) {
        SCOPED_TRACE(names[i]);
        ASSERT_FALSE(utf8.pictures[i].empty());
        EXPECT_TRUE(utf8.pictures[i] == ansi.pictures[i]);
        EXPECT_EQ(utf8.titles[i], ansi.titles[i]);
    }
    EXPECT_EQ(utf8.titles[2], title);
    // The texts did show: the strips hold the white text of the ticker and the credits.
    for (size_t i : {size_t(0), size_t(2)}) {
        int white = 0;
        for (unsigned pixel : utf8.pictures[i])
            white += (pixel & 0xFFFFFF) == 0xFFFFFF;
        EXPECT_GT(white, 20) << names[i];
    }
}

}  // namespace
