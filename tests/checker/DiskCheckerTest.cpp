#include "checker/DiskChecker.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "tests/audiolib/WavWriter.h"
#include "tests/support/TestFolder.h"

namespace {

// A 24-bit Windows bitmap of width x height, its pixels 0xRRGGBB.
std::string Coloured(int width, int height, const std::function<unsigned(int, int)>& colour)
{
    const int row = (width * 3 + 3) / 4 * 4;
    const uint32_t size = 54 + static_cast<uint32_t>(row * height);
    std::vector<uint8_t> out;
    auto put16 = [&](uint32_t v) { out.push_back(v & 0xFF); out.push_back((v >> 8) & 0xFF); };
    auto put32 = [&](uint32_t v) { put16(v & 0xFFFF); put16(v >> 16); };
    out.push_back('B');
    out.push_back('M');
    put32(size);
    put32(0);
    put32(54);
    put32(40);
    put32(static_cast<uint32_t>(width));
    put32(static_cast<uint32_t>(height));
    put16(1);
    put16(24);
    put32(0);
    put32(static_cast<uint32_t>(row * height));
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const unsigned c = colour(x, y);
            out.push_back(c & 0xFF);
            out.push_back((c >> 8) & 0xFF);
            out.push_back((c >> 16) & 0xFF);
        }
        for (int pad = width * 3; pad < row; ++pad)
            out.push_back(0);
    }
    return std::string(out.begin(), out.end());
}

// `white` says which pixels are pure white, the others are dark blue.
std::string Bitmap(int width, int height, const std::function<bool(int, int)>& white)
{
    return Coloured(width, height, [&](int x, int y) { return white(x, y) ? 0xFFFFFFu : 0x141E78u; });
}

std::string Plain(int width, int height)
{
    return Bitmap(width, height, [](int, int) { return false; });
}

std::string ReadFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Wav()
{
    audiotest::WavSpec spec;
    spec.frames = 4410;
    const std::vector<uint8_t> bytes = audiotest::MakeWav(spec);
    return std::string(bytes.begin(), bytes.end());
}

// A small sound disk: a module and a WAV song, splash music, a main skin with every display
// control and one info button, a splash skin and one dialog with its close button and scroller.
struct Disk {
    std::string config =
        "music.file.01=music\\one.it\r\n"
        "music.desc.01=One\r\n"
        "music.file.02=music\\two.wav\r\n"
        "music.desc.02=Two\r\n"
        "@music\\dialogs.dat\r\n"
        "splash.music.file=music\\two.wav\r\n"
        "splash.time=1500\r\n";
    std::string dialogs =
        "dialog.file.01=gui\\info.ini\r\n"
        "dialog.name.01=BUTTON_INFO1\r\n"
        "dialog.title.01=Info\r\n"
        "dialog.text.01=Hello\r\n"
        "dialog.dx.01=0\r\n"
        "dialog.dy.01=0\r\n";
    std::string skin =
        "[SCREEN]\r\nMain=main.bmp\r\nMask=mask.bmp\r\n"
        "[BUTTONINFO]\r\n1=BUTTON_PLAY,10,10,20,20,Play\r\n2=BUTTON_INFO1,40,10,20,20,Info\r\n"
        "[TEXTINFO]\r\n1=TEXT_SONGNUM,Tahoma,-,-,12,65280,10,40,30,14,00,Song\r\n"
        "2=TEXT_ACTTIME,Tahoma,-,-,12,65280,50,40,40,14,00:00,Elapsed\r\n"
        "3=TEXT_TOTALTIME,Tahoma,-,-,12,65280,100,40,40,14,00:00,Total\r\n"
        "[HSCROLLINFO]\r\n1=TEXT_SCROLLER,Tahoma,TRUE,FALSE,-13,16777215,10,60,100,16,About\r\n"
        "[LABELINFO]\r\n1=LABEL_T,Arial,TRUE,FALSE,14,16777215,8421504,10,130,120,16,Title\r\n";
    std::string splash = "[SCREEN]\r\nMain=main.bmp\r\n";
    std::string info =
        "[SCREEN]\r\nMain=info.bmp\r\nDisabled=info.bmp\r\n"
        "[BUTTONINFO]\r\n1=BUTTON_CLOSE,70,4,20,16,Close\r\n"
        "[VSCROLLINFO]\r\n1=TEXT_SCROLLER,Arial,FALSE,FALSE,12,0,255,4,24,80,60,2,100,1,stay,left,Text\r\n";
    std::vector<std::pair<std::string, std::string>> files = {
        {"gui\\main.bmp", Plain(200, 160)},
        // The corners are cut away; every control keeps its shape.
        {"gui\\mask.bmp", Bitmap(200, 160, [](int x, int y) { return (x < 4 || x >= 196) && (y < 4 || y >= 156); })},
        {"gui\\info.bmp", Plain(100, 90)},
        {"music\\one.it", ReadFile(MD_TEST_MODULE)},
        {"music\\two.wav", Wav()},
    };

    void WriteTo(const TestFolder& folder) const
    {
        folder.Write("music\\config.dat", config);
        folder.Write("music\\dialogs.dat", dialogs);
        folder.Write("gui\\skin.ini", skin);
        folder.Write("gui\\splash.ini", splash);
        folder.Write("gui\\info.ini", info);
        for (const auto& file : files)
            folder.Write(file.first, file.second);
    }
};

void Replace(std::string& text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
}

Report CheckDisk(const Disk& disk, const std::function<void(TestFolder&)>& after = nullptr)
{
    TestFolder folder;
    folder.Enter();
    disk.WriteTo(folder);
    if (after)
        after(folder);
    Report report;
    DiskChecker(report).Run();
    return report;
}

TEST(DiskChecker, TheSoundDiskIsClean)
{
    const Report report = CheckDisk(Disk());
    EXPECT_TRUE(report.Findings().empty()) << report.Text();
    EXPECT_EQ(report.ExitCode(), 0);
}

struct DiskFault {
    const char* name;
    std::function<void(Disk&)> change;
    std::string code;
    std::string file;
    std::string key;
};

class OneDiskFault : public testing::TestWithParam<DiskFault> {};

TEST_P(OneDiskFault, IsTheOnlyFinding)
{
    Disk disk;
    GetParam().change(disk);
    const Report report = CheckDisk(disk);
    ASSERT_EQ(report.Findings().size(), 1u) << report.Text();
    const Finding& found = report.Findings()[0];
    EXPECT_EQ(found.code, GetParam().code) << report.Text();
    EXPECT_EQ(found.file, GetParam().file) << report.Text();
    EXPECT_EQ(found.key, GetParam().key) << report.Text();
    EXPECT_EQ(report.ExitCode(), found.severity == Severity::Error ? 2 : 1);
}

std::string WhiteOver(int x0, int y0, int w, int h)
{
    return Bitmap(200, 160, [=](int x, int y) { return x >= x0 && x < x0 + w && y >= y0 && y < y0 + h; });
}

INSTANTIATE_TEST_SUITE_P(Faults, OneDiskFault, testing::Values(
    DiskFault{"SongMissing", [](Disk& d) { Replace(d.config, "music\\two.wav\r\nmusic.desc.02", "music\\three.wav\r\nmusic.desc.02"); },
              "song-missing", "music\\config.dat", "music.file.02"},
    DiskFault{"SongUnplayable", [](Disk& d) { d.files.push_back({"music\\bad.mod", "not a song at all"});
                                               Replace(d.config, "music\\one.it", "music\\bad.mod"); },
              "song-unplayable", "music\\config.dat", "music.file.01"},
    DiskFault{"SplashMusicMissing", [](Disk& d) { Replace(d.config, "splash.music.file=music\\two.wav", "splash.music.file=music\\intro.mod"); },
              "song-missing", "music\\config.dat", "splash.music.file"},
    DiskFault{"GapInSongs", [](Disk& d) { Replace(d.config, "music.file.02", "music.file.03"); },
              "list-gap", "music\\config.dat", "music.file.03"},
    DiskFault{"IncludeMissing", [](Disk& d) { d.config += "@music\\more.dat\r\n"; },
              "file-unreadable", "music\\config.dat", "@music\\more.dat"},
    DiskFault{"DialogSkinMissing", [](Disk& d) { Replace(d.dialogs, "gui\\info.ini", "gui\\about.ini"); },
              "skin-missing", "music\\dialogs.dat", "dialog.file.01"},
    DiskFault{"PictureMissing", [](Disk& d) { Replace(d.skin, "Mask=mask.bmp", "Mask=mask.bmp\r\nOver=over.bmp"); },
              "picture-missing", "gui\\skin.ini", "[SCREEN] Over"},
    // A misspelt key is pointed at where it is written.
    DiskFault{"NoMainPicture", [](Disk& d) { Replace(d.splash, "Main=main.bmp", "Mian=main.bmp"); },
              "picture-missing", "gui\\splash.ini", "[SCREEN] Mian"},
    DiskFault{"PictureUndecodable", [](Disk& d) { d.files.push_back({"gui\\down.bmp", "BM this is no picture"});
                                                   Replace(d.skin, "Mask=mask.bmp", "Mask=mask.bmp\r\nDown=down.bmp"); },
              "picture-undecodable", "gui\\skin.ini", "[SCREEN] Down"},
    DiskFault{"PictureOfAnotherSize", [](Disk& d) { d.files.push_back({"gui\\off.bmp", Plain(100, 90)});
                                                     Replace(d.skin, "Mask=mask.bmp", "Mask=mask.bmp\r\nDisabled=off.bmp"); },
              "picture-size", "gui\\skin.ini", "[SCREEN] Disabled"},
    DiskFault{"MaskCutsTheWindowAway", [](Disk& d) { d.files[1].second = WhiteOver(0, 0, 200, 160); },
              "mask-hides-window", "gui\\skin.ini", "[SCREEN] Mask"},
    DiskFault{"MaskCutsAButtonAway", [](Disk& d) { d.files[1].second = WhiteOver(38, 8, 24, 24); },
              "mask-hides-control", "gui\\skin.ini", "[BUTTONINFO] 2"},
    DiskFault{"MaskCutsALabelAway", [](Disk& d) { d.files[1].second = WhiteOver(10, 130, 120, 16); },
              "mask-hides-control", "gui\\skin.ini", "[LABELINFO] 1"},
    DiskFault{"ShortButtonEntry", [](Disk& d) { Replace(d.skin, "BUTTON_PLAY,10,10,20,20,Play", "BUTTON_PLAY,10,10,20"); },
              "entry-short", "gui\\skin.ini", "[BUTTONINFO] 1"},
    DiskFault{"RectangleOutside", [](Disk& d) { Replace(d.skin, "BUTTON_PLAY,10,10", "BUTTON_PLAY,300,10"); },
              "outside-picture", "gui\\skin.ini", "[BUTTONINFO] 1"},
    DiskFault{"NoElapsedTime", [](Disk& d) { Replace(d.skin, "TEXT_ACTTIME", "TEXT_ELAPSED"); },
              "missing-control", "gui\\skin.ini", "TEXT_ACTTIME"},
    DiskFault{"InfoButtonWithoutDialog", [](Disk& d) { Replace(d.skin, "Info\r\n", "Info\r\n3=BUTTON_INFO2,70,10,20,20,More\r\n"); },
              "info-button-no-dialog", "gui\\skin.ini", "[BUTTONINFO] 3"},
    DiskFault{"DialogNoButtonOpens", [](Disk& d) { Replace(d.skin, "2=BUTTON_INFO1,40,10,20,20,Info\r\n", ""); },
              "dialog-never-opens", "music\\dialogs.dat", "dialog.name.01"},
    DiskFault{"DialogScrollerNamedOtherwise", [](Disk& d) { Replace(d.info, "1=TEXT_SCROLLER", "1=TEXT_NOTES"); },
              "missing-control", "gui\\info.ini", "[VSCROLLINFO] 1"},
    DiskFault{"DialogWithoutClose", [](Disk& d) { Replace(d.info, "BUTTON_CLOSE", "Button_Close"); },
              "missing-control", "gui\\info.ini", "[BUTTONINFO] 1"},
    DiskFault{"ButtonMisspelt", [](Disk& d) { Replace(d.skin, "BUTTON_PLAY", "BUTTON_PALY"); },
              "unknown-button", "gui\\skin.ini", "[BUTTONINFO] 1"},
    DiskFault{"ScrollerMisspelt", [](Disk& d) { Replace(d.skin, "1=TEXT_SCROLLER", "1=TEXT_SCROLER"); },
              "missing-control", "gui\\skin.ini", "[HSCROLLINFO] 1"},
    DiskFault{"SectionMisspelt", [](Disk& d) { Replace(d.skin, "[LABELINFO]", "[LABLEINFO]"); },
              "unknown-section", "gui\\skin.ini", "[LABLEINFO]"},
    DiskFault{"ScreenKeyMisspelt", [](Disk& d) { Replace(d.skin, "Mask=mask.bmp", "Maks=mask.bmp"); },
              "unknown-key", "gui\\skin.ini", "[SCREEN] Maks"},
    DiskFault{"SkinLineWithByteOrderMark", [](Disk& d) { Replace(d.skin, "[LABELINFO]", "\xEF\xBB\xBF[LABELINFO]"); },
              "byte-order-mark", "gui\\skin.ini", ""},
    DiskFault{"ButtonsOverlap", [](Disk& d) { Replace(d.skin, "BUTTON_INFO1,40,10", "BUTTON_INFO1,25,10"); },
              "controls-overlap", "gui\\skin.ini", "[BUTTONINFO] 2"},
    DiskFault{"LabelOverATextField", [](Disk& d) { Replace(d.skin, "8421504,10,130,120,16", "8421504,120,30,40,16"); },
              "controls-overlap", "gui\\skin.ini", "[LABELINFO] 1"},
    // Pictures are judged by their bytes, whatever their names say.
    DiskFault{"PictureIsPng", [](Disk& d) { d.files.push_back({"gui\\over.bmp", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)});
                                             Replace(d.skin, "Mask=mask.bmp", "Mask=mask.bmp\r\nOver=over.bmp"); },
              "picture-format", "gui\\skin.ini", "[SCREEN] Over"},
    DiskFault{"PictureIsAMetafile", [](Disk& d) { d.files.push_back({"gui\\down.gif", "\xD7\xCD\xC6\x9A metafile records"});
                                                   Replace(d.skin, "Mask=mask.bmp", "Mask=mask.bmp\r\nDown=down.gif"); },
              "picture-format", "gui\\skin.ini", "[SCREEN] Down"},
    DiskFault{"PictureClaimsTooManyPixels", [](Disk& d) {
                  std::string wide = Plain(2, 2);
                  wide[18] = '\x88';  // 5000 pixels wide by its header
                  wide[19] = '\x13';
                  d.files.push_back({"gui\\over.bmp", wide});
                  Replace(d.skin, "Mask=mask.bmp", "Mask=mask.bmp\r\nOver=over.bmp");
              }, "picture-too-large", "gui\\skin.ini", "[SCREEN] Over"},
    DiskFault{"JpegMask", [](Disk& d) { d.files.push_back({"gui\\mask.jpg", ReadFile(MD_TEST_JPEG_MASK)});
                                         Replace(d.skin, "Mask=mask.bmp", "Mask=mask.jpg"); },
              "mask-jpeg", "gui\\skin.ini", "[SCREEN] Mask"},
    DiskFault{"MaskWithSmoothedEdge", [](Disk& d) {
                  d.files[1].second = Coloured(200, 160, [](int x, int y) {
                      return x < 4 && y < 4 ? 0xFFFFFFu : x < 6 && y < 6 ? 0xF8F8F8u : 0x141E78u; });
              }, "mask-fringe", "gui\\skin.ini", "[SCREEN] Mask"},
    DiskFault{"UnknownScrollMode", [](Disk& d) { Replace(d.info, ",stay,", ",roll,"); },
              "unknown-mode", "gui\\info.ini", "[VSCROLLINFO] 1"},
    DiskFault{"GapInSkinSection", [](Disk& d) { Replace(d.skin, "[TEXTINFO]", "4=BUTTON_STOP,70,10,20,20,Stop\r\n[TEXTINFO]"); },
              "skin-gap", "gui\\skin.ini", "[BUTTONINFO] 4"},
    // Refused paths are reported and never opened, neither by the player nor by the check.
    DiskFault{"SongOnAnotherComputer", [](Disk& d) { Replace(d.config, "music.file.02=music\\two.wav", "music.file.02=\\\\somehost\\share\\two.wav"); },
              "path-refused", "music\\config.dat", "music.file.02"},
    DiskFault{"DialogSkinIsADevice", [](Disk& d) { Replace(d.dialogs, "gui\\info.ini", "gui\\aux.ini"); },
              "path-refused", "music\\dialogs.dat", "dialog.file.01"},
    DiskFault{"PictureOutsideTheDisk", [](Disk& d) { Replace(d.skin, "Mask=mask.bmp", "Mask=mask.bmp\r\nOver=..\\..\\over.bmp"); },
              "path-refused", "gui\\skin.ini", "[SCREEN] Over"}));

// Entries with exactly the fields the loaders require are made into controls; the probe reports a
// mismatch when the player makes other controls than the checks expect.
TEST(DiskChecker, EntriesWithoutTheirLastFieldAreStillControls)
{
    Disk disk;
    Replace(disk.skin, "BUTTON_PLAY,10,10,20,20,Play", "BUTTON_PLAY,10,10,20,20");
    Replace(disk.skin, "TEXT_SONGNUM,Tahoma,-,-,12,65280,10,40,30,14,00,Song", "TEXT_SONGNUM,Tahoma,-,-,12,65280,10,40,30,14,00");
    Replace(disk.skin, "10,130,120,16,Title", "10,130,120,16");
    Replace(disk.info, ",stay,left,Text", ",stay,left");
    const Report report = CheckDisk(disk);
    EXPECT_TRUE(report.Findings().empty()) << report.Text();
}

TEST(DiskChecker, SkippedEntriesAreSkippedByThePlayerToo)
{
    Disk disk;
    Replace(disk.skin, "1=TEXT_SCROLLER,Tahoma,TRUE,FALSE,-13,16777215,10,60,100,16,About",
            "1=TEXT_SCROLLER,Tahoma,TRUE,FALSE,-13,16777215,10,60,100,16\r\n2=TEXT_SCROLLER,Tahoma,TRUE,FALSE,-13,0,10,60,100,16,About");
    Replace(disk.skin, "10,130,120,16,Title", "10,130,120");
    const Report report = CheckDisk(disk);
    ASSERT_EQ(report.Findings().size(), 2u) << report.Text();
    EXPECT_EQ(report.Findings()[0].code, "entry-short");
    EXPECT_EQ(report.Findings()[0].key, "[HSCROLLINFO] 1");
    EXPECT_EQ(report.Findings()[1].code, "entry-short");
    EXPECT_EQ(report.Findings()[1].key, "[LABELINFO] 1");
}

TEST(DiskChecker, ByteOrderMarksAtTheStartKeepTheDiskClean)
{
    Disk disk;
    for (std::string* text : {&disk.config, &disk.dialogs, &disk.skin, &disk.splash, &disk.info})
        *text = "\xEF\xBB\xBF" + *text;
    const Report report = CheckDisk(disk);
    EXPECT_TRUE(report.Findings().empty()) << report.Text();
}

TEST(DiskChecker, AFolderWithoutADiskIsAllErrors)
{
    TestFolder folder;
    folder.Enter();
    Report report;
    DiskChecker(report).Run();
    EXPECT_EQ(report.ExitCode(), 2);
    std::vector<std::string> codes;
    for (const Finding& f : report.Findings())
        codes.push_back(f.code);
    EXPECT_EQ(codes, (std::vector<std::string>{"file-unreadable", "skin-missing", "skin-missing"}))
        << report.Text();
}

}  // namespace
