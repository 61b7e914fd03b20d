#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/Application.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/fakes/FakeBass.h"

namespace {

const DWORD second = 176400;

class ApplicationDialogsTest : public ::testing::Test {
protected:
    ApplicationDialogsTest() : files("app_dialog_skin")
    {
        fakebass::Reset();
        for (int n = 1; n <= 3; ++n)
            fakebass::AddModule("song" + std::to_string(n) + ".mod", second * 60);
        std::string skin = files.Ini(
            "info.ini",
            "[VSCROLLINFO]\r\n1=TEXT_SCROLLER,Tahoma,FALSE,FALSE,14,16777215,0,10,5,50,40,2,100,1,"
            "scroll,left,Tip\r\n");
        std::string config = "music.file.01=song1.mod\nmusic.file.02=song2.mod\n"
                             "music.file.03=song3.mod\n"
                             "dialog.file.01=" + skin + "\ndialog.name.01=BUTTON_INFO1\n"
                             "dialog.text.01=Welcome\ndialog.dx.01=0\ndialog.dy.01=0\n"
                             "longdesc.target.name.01=info\nlongdesc.target.dialog.01=button_info1\n"
                             "music.longdesc.info.01=first song\nmusic.longdesc.info.02=second song\n";
        app.descriptor.ReadText(config.data(), config.size());
        app.descriptor.OnLoaded();
        app.songCount = app.descriptor.SongCount();
        // The dialogs' owner stands in for the main window, so they go when it goes.
        owner = CreateOwnerWindow(100, 100);
        app.mainWindow.hwnd = owner;
        app.player.Init(&app, owner);
        app.CreateDialogs(TestInstance());
    }
    ~ApplicationDialogsTest() override
    {
        DestroyWindow(owner);
        PumpMessages();
        app.mainWindow.hwnd = nullptr;
    }

    const char* DialogText() { return app.dialogs->Dialog(1)->text; }

    SkinFiles files;
    HWND owner;
    Application app;
};

TEST_F(ApplicationDialogsTest, LongDescriptionsFollowNextAndSongEndsNotPrevious)
{
    ASSERT_TRUE(app.dialogs);
    ASSERT_EQ(app.dialogs->count, 1);
    EXPECT_STREQ(DialogText(), "Welcome");
    // Stopped: Next is ignored, texts included.
    app.Next();
    EXPECT_STREQ(DialogText(), "Welcome");

    app.stopped = false;
    app.Next();
    ASSERT_EQ(app.currentSong, 1);
    EXPECT_STREQ(DialogText(), "first song");
    app.Next();
    ASSERT_EQ(app.currentSong, 2);
    EXPECT_STREQ(DialogText(), "second song");
    app.Previous();
    ASSERT_EQ(app.currentSong, 1);
    EXPECT_STREQ(DialogText(), "second song");
    app.OnSongEnd();
    ASSERT_EQ(app.currentSong, 2);
    EXPECT_STREQ(DialogText(), "second song");
    app.OnSongEndNotice(app.player.channel);
    ASSERT_EQ(app.currentSong, 3);
    EXPECT_STREQ(DialogText(), "");
}

TEST_F(ApplicationDialogsTest, InfoButtonOpensTheDialogOnce)
{
    InfoDialog* dialog = app.dialogs->Dialog(1);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetWindow(dialog->hwnd, GW_OWNER), owner);
    app.OpenInfoDialog("BUTTON_INFO1");
    EXPECT_TRUE(IsWindowVisible(dialog->hwnd));
    app.OpenInfoDialog("BUTTON_INFO2");
    EXPECT_EQ(app.dialogs->shown[0], 1);
}

}  // namespace
