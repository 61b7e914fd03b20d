#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "descriptor/Descriptor.h"
#include "dialogs/InfoDialogList.h"
#include "scrollers/VScroller.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "window/SkinWindow.h"

namespace {

const std::string scrollerSkin =
    "[VSCROLLINFO]\r\n1=TEXT_SCROLLER,Tahoma,FALSE,FALSE,14,16777215,0,10,5,50,40,2,100,1,"
    "scroll,left,Tip\r\n";

class InfoDialogTest : public ::testing::Test {
protected:
    InfoDialogTest() : files("dialog_skin")
    {
        withScroller = files.Ini("info.ini", scrollerSkin);
        plain = files.Ini("plain.ini", "");
        owner = CreateOwnerWindow(100, 50);
    }
    ~InfoDialogTest() override
    {
        // The dialogs' windows go with their owner, the objects afterwards.
        DestroyWindow(owner);
        PumpMessages();
        list.reset();
    }

    void Build(const std::string& config)
    {
        descriptor.ReadText(config.data(), config.size());
        descriptor.OnLoaded();
        list = std::make_unique<InfoDialogList>();
        list->Build(TestInstance(), owner, &descriptor);
    }

    // dialog.file/name/text/offset lines of dialog n.
    std::string DialogLines(int n, const std::string& file, const std::string& name,
                            const std::string& text = "", int dx = 0, int dy = 0)
    {
        char nn[8];
        snprintf(nn, sizeof nn, "%02d", n);
        return "dialog.file." + std::string(nn) + "=" + file + "\n" + "dialog.name." + nn + "=" +
               name + "\n" + "dialog.title." + nn + "=Title " + nn + "\n" + "dialog.text." + nn +
               "=" + text + "\n" + "dialog.dx." + nn + "=" + std::to_string(dx) + "\n" +
               "dialog.dy." + nn + "=" + std::to_string(dy) + "\n";
    }

    static VScroller* ScrollerOf(InfoDialog* dialog)
    {
        if (!dialog || !dialog->scrollerWindow)
            return nullptr;
        return dynamic_cast<VScroller*>(
            reinterpret_cast<Window*>(GetWindowLongPtrA(dialog->scrollerWindow, GWLP_USERDATA)));
    }

    static POINT Position(HWND window)
    {
        RECT r = {};
        GetWindowRect(window, &r);
        return POINT{r.left, r.top};
    }

    static bool Visible(InfoDialog* dialog) { return IsWindowVisible(dialog->hwnd) != 0; }

    SkinFiles files;
    std::string withScroller;
    std::string plain;
    HWND owner;
    Descriptor descriptor;
    std::unique_ptr<InfoDialogList> list;
};

TEST_F(InfoDialogTest, CountStopsAtTheFirstMissingFile)
{
    Build(DialogLines(1, withScroller, "BUTTON_INFO1") + DialogLines(2, plain, "BUTTON_INFO2") +
          DialogLines(3, plain, "BUTTON_INFO3") + DialogLines(5, plain, "BUTTON_INFO5"));
    EXPECT_EQ(list->count, 3);
    for (int n = 1; n <= 3; ++n) {
        InfoDialog* dialog = list->Dialog(n);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->number, n);
        EXPECT_FALSE(Visible(dialog));
        EXPECT_EQ(GetWindow(dialog->hwnd, GW_OWNER), owner);
        EXPECT_TRUE(dialog->draggable);
        char title[32] = {};
        GetWindowTextA(dialog->hwnd, title, sizeof title);
        EXPECT_EQ(std::string(title), "Title 0" + std::to_string(n));
        char className[32] = {};
        GetClassNameA(dialog->hwnd, className, sizeof className);
        EXPECT_EQ(std::string(className), "BUTTON_INFO" + std::to_string(n));
    }
    EXPECT_EQ(list->Dialog(4), nullptr);
    EXPECT_NE(list->Dialog(1)->scrollerWindow, nullptr);
    EXPECT_EQ(list->Dialog(2)->scrollerWindow, nullptr);
}

// A title goes through SetWindowTextA: a UTF-8 title arrives in the ANSI code page, so the window
// holds the characters typed; a title in the code page arrives as it is.
TEST_F(InfoDialogTest, TitlesKeepTheirCharactersInEitherEncoding)
{
    ASSERT_EQ(GetACP(), 1252u) << "the Windows-1252 title needs the ANSI code page 1252";
    Build("dialog.file.01=" + plain + "\ndialog.name.01=BUTTON_INFO1\ndialog.title.01=Caf\xC3\xA9\n"
          "dialog.file.02=" + plain + "\ndialog.name.02=BUTTON_INFO2\ndialog.title.02=Caf\xE9\n");
    for (int n = 1; n <= 2; ++n) {
        wchar_t title[16] = {};
        GetWindowTextW(list->Dialog(n)->hwnd, title, 16);
        EXPECT_STREQ(title, L"Caf\u00e9") << n;
    }
}

TEST_F(InfoDialogTest, MoreThanTenDialogsKeepTen)
{
    std::string config;
    for (int n = 1; n <= 12; ++n)
        config += DialogLines(n, plain, "INFO" + std::to_string(n));
    Build(config);
    EXPECT_EQ(list->count, 10);
    ASSERT_NE(list->Dialog(10), nullptr);
    EXPECT_EQ(list->Dialog(11), nullptr);
    list->OpenByName("INFO11");
    for (int n = 1; n <= 10; ++n)
        EXPECT_FALSE(Visible(list->Dialog(n)));
}

TEST_F(InfoDialogTest, DialogWithoutNameIsSkipped)
{
    Build(DialogLines(1, plain, "") + DialogLines(2, withScroller, "BUTTON_INFO2", "two"));
    EXPECT_EQ(list->count, 2);
    EXPECT_EQ(list->Dialog(1), nullptr);
    ASSERT_NE(list->Dialog(2), nullptr);
    list->OpenByName("");
    list->OpenByName("BUTTON_INFO2");
    EXPECT_TRUE(Visible(list->Dialog(2)));
    EXPECT_EQ(list->shown[1], 1);
}

TEST_F(InfoDialogTest, OpenTwiceShowsOnceAndDoesNotRestart)
{
    Build(DialogLines(1, withScroller, "BUTTON_INFO1", "one|two|three", 30, 40));
    InfoDialog* dialog = list->Dialog(1);
    ASSERT_NE(dialog, nullptr);
    list->OpenByName("BUTTON_INFO1");
    EXPECT_TRUE(Visible(dialog));
    EXPECT_EQ(list->shown[0], 1);
    EXPECT_EQ(dialog->shown, 1);
    VScroller* scroller = ScrollerOf(dialog);
    ASSERT_NE(scroller, nullptr);
    EXPECT_STREQ(scroller->text, "one\ntwo\nthree");
    for (int i = 0; i < 3; ++i)
        SendMessageA(scroller->hwnd, WM_TIMER, VScroller::timerId, 0);
    int top = scroller->motion->CurrentRect().top;
    SetWindowPos(dialog->hwnd, nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    list->OpenByName("BUTTON_INFO1");
    EXPECT_EQ(scroller->motion->CurrentRect().top, top);
    EXPECT_EQ(Position(dialog->hwnd).x, 400);
    EXPECT_EQ(Position(dialog->hwnd).y, 300);
}

TEST_F(InfoDialogTest, FirstShowingPlacesByOwnerThenStaysWhereClosed)
{
    Build(DialogLines(1, withScroller, "BUTTON_INFO1", "text", 30, -20));
    InfoDialog* dialog = list->Dialog(1);
    ASSERT_NE(dialog, nullptr);
    // The owner moves before the first opening: the dialog follows the new place.
    SetWindowPos(owner, nullptr, 220, 140, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    list->OpenByName("BUTTON_INFO1");
    EXPECT_EQ(Position(dialog->hwnd).x, 250);
    EXPECT_EQ(Position(dialog->hwnd).y, 120);
    // Moving the owner afterwards does not move the dialog.
    SetWindowPos(owner, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(Position(dialog->hwnd).x, 250);
    // Dragged, closed and opened again: it comes back where it was closed.
    SetWindowPos(dialog->hwnd, nullptr, 333, 222, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageA(dialog->hwnd, WMU_BUTTON_LUP, 0, reinterpret_cast<LPARAM>("BUTTON_CLOSE"));
    EXPECT_FALSE(Visible(dialog));
    EXPECT_EQ(list->shown[0], 0);
    list->OpenByName("BUTTON_INFO1");
    EXPECT_TRUE(Visible(dialog));
    EXPECT_EQ(Position(dialog->hwnd).x, 333);
    EXPECT_EQ(Position(dialog->hwnd).y, 222);
}

TEST_F(InfoDialogTest, NamesMatchAnyCaseCloseButtonExactly)
{
    Build(DialogLines(1, plain, "button_info1") + DialogLines(2, plain, "BUTTON_INFO1"));
    InfoDialog* first = list->Dialog(1);
    InfoDialog* second = list->Dialog(2);
    ASSERT_TRUE(first && second);
    list->OpenByName("BUTTON_INFO1");
    EXPECT_TRUE(Visible(first));
    // Only the first match is ever opened.
    EXPECT_FALSE(Visible(second));
    list->OpenByName("BUTTON_INFO9");
    EXPECT_FALSE(Visible(second));

    EXPECT_EQ(SendMessageA(first->hwnd, WMU_BUTTON_LUP, 0, reinterpret_cast<LPARAM>("button_close")), 0);
    EXPECT_TRUE(Visible(first));
    EXPECT_EQ(SendMessageA(first->hwnd, WMU_BUTTON_LUP, 0, reinterpret_cast<LPARAM>("BUTTON_CLOSE")), 0);
    EXPECT_FALSE(Visible(first));
    list->OpenByName("Button_Info1");
    EXPECT_TRUE(Visible(first));
    SendMessageA(first->hwnd, WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(Visible(first));
    SendMessageA(first->hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(Visible(first));
    EXPECT_EQ(list->shown[0], 0);
}

TEST_F(InfoDialogTest, HidingBlanksTheScrollerAndShowingRestartsIt)
{
    Build(DialogLines(1, withScroller, "BUTTON_INFO1", "credits"));
    InfoDialog* dialog = list->Dialog(1);
    VScroller* scroller = ScrollerOf(dialog);
    ASSERT_NE(scroller, nullptr);
    list->OpenByName("BUTTON_INFO1");
    EXPECT_EQ(scroller->textLength, 7);
    for (int i = 0; i < 5; ++i)
        SendMessageA(scroller->hwnd, WM_TIMER, VScroller::timerId, 0);
    EXPECT_EQ(scroller->motion->CurrentRect().top, 30);
    dialog->Hide();
    EXPECT_EQ(scroller->textLength, 0);
    list->OpenByName("BUTTON_INFO1");
    EXPECT_EQ(scroller->textLength, 7);
    EXPECT_EQ(scroller->motion->CurrentRect().top, 40);
}

TEST_F(InfoDialogTest, SongTextsFollowTheTargets)
{
    std::string config = DialogLines(1, withScroller, "NOTES", "first notes") +
                         DialogLines(2, withScroller, "CREDITS", "the credits") +
                         DialogLines(3, withScroller, "OTHER", "untouched") +
                         "longdesc.target.name.01=notes\n"
                         "longdesc.target.dialog.01=notes\n"
                         "longdesc.target.name.02=nowhere\n"
                         "longdesc.target.dialog.02=NO_SUCH_DIALOG\n"
                         "longdesc.target.name.03=crd\n"
                         "longdesc.target.dialog.03=credits\n"
                         "longdesc.target.name.04=late\n"
                         "longdesc.target.dialog.04=CREDITS\n"
                         "music.longdesc.notes.01=song one|notes\n"
                         "music.longdesc.crd.01=credits one\n"
                         "music.longdesc.late.01=later wins\n"
                         "music.longdesc.crd.02=credits two\n"
                         "music.longdesc.nowhere.01=lost\n";
    Build(config);
    InfoDialog* notes = list->Dialog(1);
    InfoDialog* credits = list->Dialog(2);
    InfoDialog* other = list->Dialog(3);
    ASSERT_TRUE(notes && credits && other);
    EXPECT_STREQ(notes->text, "first notes");

    list->UpdateSongTexts(1);
    EXPECT_STREQ(notes->text, "song one|notes");
    EXPECT_STREQ(ScrollerOf(notes)->text, "song one\nnotes");
    EXPECT_STREQ(credits->text, "later wins");
    EXPECT_STREQ(other->text, "untouched");
    // Hidden dialogs get the text too; showing gives it again from the start.
    list->OpenByName("notes");
    EXPECT_STREQ(ScrollerOf(notes)->text, "song one\nnotes");

    list->UpdateSongTexts(2);
    EXPECT_STREQ(notes->text, "");
    EXPECT_EQ(ScrollerOf(notes)->textLength, 0);
    EXPECT_STREQ(credits->text, "");
    EXPECT_STREQ(other->text, "untouched");

    list->UpdateSongTexts(0);
    EXPECT_STREQ(notes->text, "");
}

TEST_F(InfoDialogTest, SkinWithoutScrollerOpensAndStoresTexts)
{
    Build(DialogLines(1, plain, "NOTES", "kept") + "longdesc.target.name.01=n\n"
          "longdesc.target.dialog.01=NOTES\nmusic.longdesc.n.01=song text\n");
    InfoDialog* dialog = list->Dialog(1);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->scrollerWindow, nullptr);
    list->UpdateSongTexts(1);
    EXPECT_STREQ(dialog->text, "song text");
    list->OpenByName("NOTES");
    EXPECT_TRUE(Visible(dialog));
    SendMessageA(dialog->hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(Visible(dialog));
}

TEST_F(InfoDialogTest, MissingSkinFileStillGivesADialog)
{
    MessageBoxRecorder boxes;
    Build(DialogLines(1, files.folder.File("missing.ini"), "GHOST", "boo"));
    InfoDialog* dialog = list->Dialog(1);
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(dialog->hwnd, nullptr);
    EXPECT_EQ(dialog->scrollerWindow, nullptr);
    list->OpenByName("ghost");
    EXPECT_EQ(dialog->shown, 1);
    SendMessageA(dialog->hwnd, WMU_BUTTON_LUP, 0, reinterpret_cast<LPARAM>("BUTTON_CLOSE"));
    EXPECT_EQ(dialog->shown, 0);
}

TEST_F(InfoDialogTest, DestroyingADialogDoesNotEndTheLoop)
{
    Build(DialogLines(1, plain, "NOTES"));
    InfoDialog* dialog = list->Dialog(1);
    ASSERT_NE(dialog, nullptr);
    PumpMessages();
    DestroyWindow(dialog->hwnd);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(InfoDialogTest, EmptyDescriptorGivesNoDialogs)
{
    Build("");
    EXPECT_EQ(list->count, 0);
    list->OpenByName("BUTTON_INFO1");
    list->UpdateSongTexts(1);
    EXPECT_EQ(list->Dialog(1), nullptr);
}

}  // namespace
