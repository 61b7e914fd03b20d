// The player controller over the real audio library: songs end by themselves, their end notices
// come from the library's thread through the main window's queue, and the disk plays in a loop,
// skipping what cannot be played.
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "app/Application.h"
#include "tests/app/DisplayWindows.h"

namespace {

// A 16-bit stereo 44.1 kHz WAV file of silence lasting `milliseconds`.
void WriteWav(const std::string &path, int milliseconds)
{
    const uint32_t frames = 44100u * static_cast<uint32_t>(milliseconds) / 1000u;
    const uint32_t data = frames * 4;
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char *>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char *>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + data);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(2);
    u32(44100);
    u32(44100 * 4);
    u16(4);
    u16(16);
    out.write("data", 4);
    u32(data);
    std::vector<char> silence(data, 0);
    out.write(silence.data(), static_cast<std::streamsize>(silence.size()));
}

class RealLibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Songs are named relative to the working folder, as a disk names them: the library
        // refuses absolute paths.
        folder = "md_player_real_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
        WriteWav(folder + "\\song1.wav", 300);
        std::ofstream(folder + "\\song2.wav", std::ios::binary) << "not a song at all";
        WriteWav(folder + "\\song3.wav", 300);
        std::string config = "music.file.01=" + folder + "\\song1.wav\nmusic.file.02=" + folder +
                             "\\song2.wav\nmusic.file.03=" + folder + "\\song3.wav\n";
        app.descriptor.ReadText(config.data(), config.size());
        app.descriptor.OnLoaded();
        app.songCount = app.descriptor.SongCount();
        windows.application = &app;
        app.display.Attach(windows.parent);
        app.player.Init(&app, windows.parent);
    }
    void TearDown() override
    {
        for (const char *name : {"\\song1.wav", "\\song2.wav", "\\song3.wav"})
            DeleteFileA((folder + name).c_str());
        RemoveDirectoryA(folder.c_str());
    }

    // Handles the window thread's messages for up to `milliseconds`, noting every song change.
    void RunFor(DWORD milliseconds)
    {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < milliseconds) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            DisplayWindows::Pump();
            if (songs.empty() || songs.back() != app.currentSong)
                songs.push_back(app.currentSong);
        }
    }

    std::string folder;
    DisplayWindows windows{{"TEXT_SONGNUM", "TEXT_TOTALTIME"}};
    Application app;
    std::vector<int> songs;
};

TEST_F(RealLibraryTest, SongsFollowEachOtherAndLoopSkippingTheUnplayableOne)
{
    ASSERT_EQ(app.songCount, 3);
    app.stopped = false;
    app.Next();
    ASSERT_EQ(app.currentSong, 1);
    EXPECT_EQ(windows.Text("TEXT_SONGNUM"), "01");
    // Three ends of 300 ms songs; the rest is room for a busy machine.
    RunFor(3000);
    ASSERT_GE(songs.size(), 4u);
    EXPECT_EQ(std::vector<int>(songs.begin(), songs.begin() + 4), (std::vector<int>{1, 3, 1, 3}));
}

TEST_F(RealLibraryTest, APausedSongDoesNotEndAndEndsAfterResume)
{
    app.stopped = false;
    app.Next();
    ASSERT_EQ(app.currentSong, 1);
    app.Pause();
    RunFor(800);
    EXPECT_EQ(songs, (std::vector<int>{1})) << "a paused song never reaches its end";
    app.Play();
    RunFor(800);
    ASSERT_GE(songs.size(), 2u);
    EXPECT_EQ(songs[1], 3);
}

} // namespace
