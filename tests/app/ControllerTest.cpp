#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "app/Application.h"
#include "tests/app/DisplayWindows.h"
#include "tests/fakes/FakeBass.h"
#include "tests/support/TestFolder.h"

namespace {

DWORD now;
DWORD WINAPI TestClock() { return now; }

const DWORD kSecond = 176400;

// A musicdisk folder in the temporary directory holding music\config.dat; the current directory
// is moved there while the descriptor is read.
class DiskFolder {
public:
    explicit DiskFolder(const std::string &config) { folder.Write("music\\config.dat", config); }
    void Load(Application &application) const
    {
        char previous[MAX_PATH];
        GetCurrentDirectoryA(sizeof(previous), previous);
        SetCurrentDirectoryA(folder.Path("").string().c_str());
        application.LoadDescriptor();
        SetCurrentDirectoryA(previous);
    }
    TestFolder folder;
};

std::string Songs(int count)
{
    std::string config = "splash.music.file=splash.mod\n";
    for (int n = 1; n <= count; ++n) {
        char line[200];
        snprintf(line, sizeof(line), "music.file.%02d=song%d.mod\nmusic.desc.%02d=Song number %d\n", n, n, n, n);
        config += line;
    }
    return config;
}

int Count(const std::vector<std::string> &calls, const std::string &prefix)
{
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const std::string &call) {
        return call.compare(0, prefix.size(), prefix) == 0;
    }));
}

class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakebass::Reset();
        fakebass::AddModule("splash.mod", kSecond * 30);
        now = 1000;
        saved = playerClock;
        playerClock = TestClock;
    }
    void TearDown() override { playerClock = saved; }

    // A started application over a disk of `count` songs, of which those in `playable` load, each
    // song n lasting n minutes. Start-up: descriptor, sound device, splash music, then Next.
    void Start(int count, std::vector<int> playable, bool splash = true)
    {
        for (int n : playable)
            fakebass::AddModule("song" + std::to_string(n) + ".mod", kSecond * 60 * n);
        disk.reset(new DiskFolder(Songs(count)));
        disk->Load(app);
        windows.application = &app;
        app.display.Attach(windows.parent);
        app.player.Init(&app, windows.parent);
        if (splash)
            app.PlaySplashMusic();
        fakebass::TakeCalls();
        app.stopped = false;
        app.Next();
    }

    // What the display shows: song number, total time, elapsed time, description.
    std::string Shown()
    {
        app.RefreshElapsed();
        return windows.Text("TEXT_SONGNUM") + " " + windows.Text("TEXT_TOTALTIME") + " " +
               windows.Text("TEXT_ACTTIME") + " [" + windows.Text("TEXT_SCROLLER") + "]";
    }

    // The library ends the current channel on a thread of its own; the notice waits in the queue.
    void EndOnLibraryThread(DWORD channel)
    {
        std::thread library([channel] { MusicPlayer::OnChannelEnd(1, channel, 0, 0); });
        library.join();
    }
    void EndCurrentSong()
    {
        EndOnLibraryThread(app.player.channel);
        DisplayWindows::Pump();
    }

    PlayerClock saved = nullptr;
    DisplayWindows windows{{"TEXT_TOTALTIME", "TEXT_ACTTIME", "TEXT_SONGNUM", "TEXT_SCROLLER"}};
    Application app;
    std::unique_ptr<DiskFolder> disk;
};

const char kIdle[] = "00 00:00 00:00 []";

TEST_F(ControllerTest, StartUpPlaysSong01AndShowsIt)
{
    Start(3, {1, 2, 3});
    EXPECT_EQ(app.songCount, 3);
    EXPECT_EQ(app.currentSong, 1);
    EXPECT_FALSE(app.stopped);
    EXPECT_EQ(Count(fakebass::Calls(), "BASS_MusicLoad(0,song1.mod"), 1);
    EXPECT_EQ(Count(fakebass::Calls(), "BASS_MusicFree(256)"), 1) << "the song replaces the splash music";
    now += 5000;
    EXPECT_EQ(Shown(), "01 01:00 00:05 [Song number 1]");
}

TEST_F(ControllerTest, SongsLoopBothWays)
{
    Start(3, {1, 2, 3});
    EndCurrentSong();
    EXPECT_EQ(app.currentSong, 2);
    EndCurrentSong();
    EXPECT_EQ(Shown(), "03 03:00 00:00 [Song number 3]");
    EndCurrentSong();
    EXPECT_EQ(Shown(), "01 01:00 00:00 [Song number 1]") << "song 01 follows the last";
    app.Previous();
    EXPECT_EQ(Shown(), "03 03:00 00:00 [Song number 3]") << "the last song precedes song 01";
}

TEST_F(ControllerTest, OneSongDiskGoesIdleAtItsEndAndNextStartsItAgain)
{
    Start(1, {1});
    DWORD ended = app.player.channel;
    fakebass::TakeCalls();
    EndCurrentSong();
    EXPECT_EQ(Shown(), kIdle);
    EXPECT_EQ(app.player.channel, ended) << "the ended song is not restarted";
    EXPECT_TRUE(fakebass::TakeCalls().empty());

    app.Next();
    EXPECT_EQ(Shown(), "01 01:00 00:00 [Song number 1]");

    for (int direction : {+1, -1}) {
        DWORD playing = app.player.channel;
        fakebass::TakeCalls();
        if (direction > 0)
            app.Next();
        else
            app.Previous();
        EXPECT_EQ(Shown(), kIdle) << direction;
        EXPECT_EQ(app.player.channel, playing) << "the single song plays on";
        EXPECT_TRUE(fakebass::TakeCalls().empty()) << direction;
        app.Next();
    }
}

TEST_F(ControllerTest, UnplayableSongsAreSkippedInTheDirectionOfTravel)
{
    Start(3, {1, 3});
    app.Next();
    EXPECT_EQ(Shown(), "03 03:00 00:00 [Song number 3]");
    std::vector<std::string> calls = fakebass::TakeCalls();
    EXPECT_EQ(Count(calls, "BASS_MusicLoad(0,song2.mod"), 1);
    EXPECT_EQ(Count(calls, "BASS_StreamCreateFile(0,song2.mod"), 1);
    app.Previous();
    EXPECT_EQ(Shown(), "01 01:00 00:00 [Song number 1]");
    calls = fakebass::TakeCalls();
    EXPECT_EQ(Count(calls, "BASS_MusicLoad(0,song2.mod"), 1);
    EXPECT_EQ(Count(calls, "BASS_MusicLoad(0,song3.mod"), 0);
}

TEST_F(ControllerTest, NoPlayableSongTriesEachOnceAndKeepsTheSplashMusic)
{
    for (int count : {0, 1, 4}) {
        fakebass::Reset();
        fakebass::AddModule("splash.mod", kSecond * 30);
        Application fresh;
        DiskFolder folder(Songs(count));
        folder.Load(fresh);
        fresh.display.Attach(windows.parent);
        fresh.player.Init(&fresh, windows.parent);
        ASSERT_TRUE(fresh.player.Play("splash.mod"));
        DWORD splash = fresh.player.channel;
        fakebass::TakeCalls();
        fresh.stopped = false;
        fresh.Next();
        std::vector<std::string> calls = fakebass::TakeCalls();
        EXPECT_EQ(Count(calls, "BASS_MusicLoad("), count) << count << " songs";
        EXPECT_EQ(Count(calls, "BASS_MusicFree("), 0) << count << " songs";
        EXPECT_EQ(fresh.player.channel, splash);
        EXPECT_EQ(fresh.currentSong, 0);
        fresh.RefreshElapsed();
        EXPECT_EQ(windows.Text("TEXT_SONGNUM") + " " + windows.Text("TEXT_TOTALTIME") + " " +
                      windows.Text("TEXT_ACTTIME") + " [" + windows.Text("TEXT_SCROLLER") + "]",
                  kIdle);
        // From idle, Previous searches from the last song.
        fresh.Previous();
        EXPECT_EQ(Count(fakebass::TakeCalls(), "BASS_MusicLoad("), count);
    }
}

TEST_F(ControllerTest, StopPausesAndResetsThenPlayStartsFromSong01)
{
    Start(3, {1, 2, 3});
    app.Next();
    app.Next();
    ASSERT_EQ(app.currentSong, 3);
    DWORD channel = app.player.channel;
    fakebass::TakeCalls();
    app.Stop();
    EXPECT_EQ(fakebass::TakeCalls(), (std::vector<std::string>{"BASS_ChannelPause(" + std::to_string(channel) + ")"}));
    EXPECT_TRUE(app.stopped);
    EXPECT_EQ(Shown(), kIdle);
    app.Stop();
    EXPECT_TRUE(fakebass::TakeCalls().empty()) << "a second Stop changes nothing";

    app.Play();
    EXPECT_FALSE(app.stopped);
    EXPECT_EQ(Shown(), "01 01:00 00:00 [Song number 1]");
    EXPECT_FALSE(app.player.paused);
}

TEST_F(ControllerTest, WhileStoppedEveryOtherEventIsIgnored)
{
    Start(3, {1, 2, 3});
    app.Stop();
    fakebass::TakeCalls();
    now += 20000;
    app.Pause();
    app.Seek(10);
    app.Seek(-10);
    app.Next();
    app.Previous();
    EndOnLibraryThread(app.player.channel); // the paused channel cannot end, but a late notice may come
    DisplayWindows::Pump();
    EXPECT_TRUE(fakebass::Calls().empty());
    EXPECT_EQ(app.currentSong, 0);
    EXPECT_TRUE(app.stopped);
    EXPECT_EQ(Shown(), kIdle);
}

TEST_F(ControllerTest, PauseThenNextPlaysTheNextSongUnpaused)
{
    Start(3, {1, 2, 3});
    now += 3000;
    app.Pause();
    EXPECT_TRUE(app.player.paused);
    now += 9000;
    EXPECT_EQ(Shown(), "01 01:00 00:03 [Song number 1]") << "pausing freezes the elapsed time";
    app.Next();
    EXPECT_FALSE(app.player.paused);
    now += 2000;
    EXPECT_EQ(Shown(), "02 02:00 00:02 [Song number 2]");
}

TEST_F(ControllerTest, PlayResumesAndSeekMovesWhileRunning)
{
    Start(3, {1, 2, 3});
    now += 4000;
    app.Pause();
    now += 60000;
    fakebass::TakeCalls();
    app.Play();
    EXPECT_EQ(Count(fakebass::TakeCalls(), "BASS_ChannelResume("), 1);
    EXPECT_EQ(windows.Text("TEXT_ACTTIME"), "00:04") << "Play on a running player refreshes the elapsed time";
    app.Seek(10);
    EXPECT_EQ(windows.Text("TEXT_ACTTIME"), "00:14");
    app.Seek(-10);
    app.Seek(-10);
    EXPECT_EQ(windows.Text("TEXT_ACTTIME"), "00:00");
    EXPECT_EQ(app.currentSong, 1);
}

TEST_F(ControllerTest, IdleStillPausesResumesAndSeeksButShowsNoTime)
{
    Start(1, {1});
    EndCurrentSong();
    ASSERT_EQ(app.currentSong, 0);
    fakebass::TakeCalls();
    app.Pause();
    app.Play();
    app.Seek(10);
    std::vector<std::string> calls = fakebass::TakeCalls();
    EXPECT_EQ(Count(calls, "BASS_ChannelPause("), 1);
    EXPECT_EQ(Count(calls, "BASS_ChannelResume("), 1);
    EXPECT_EQ(Count(calls, "BASS_ChannelSetPosition("), 1);
    EXPECT_EQ(Shown(), kIdle);
    EXPECT_FALSE(app.stopped);
}

TEST_F(ControllerTest, LongSongsShowMinutesPast99)
{
    fakebass::AddModule("song1.mod", kSecond * 6000);
    Start(1, {});
    EXPECT_EQ(windows.Text("TEXT_TOTALTIME"), "100:00");
    now += 6000 * 1000;
    app.RefreshElapsed();
    EXPECT_EQ(windows.Text("TEXT_ACTTIME"), "100:00");
}

TEST_F(ControllerTest, SongEndNoticeForALeftSongIsDropped)
{
    Start(3, {1, 2, 3});
    DWORD first = app.player.channel;
    // The user presses Next while the library is ending song 01: its notice is queued meanwhile.
    std::thread library([first] { MusicPlayer::OnChannelEnd(1, first, 0, 0); });
    app.Next();
    library.join();
    ASSERT_EQ(app.currentSong, 2);
    DisplayWindows::Pump();
    EXPECT_EQ(app.currentSong, 2) << "the notice of song 01 must not skip song 02";

    // Before it is handled, a notice of the current song acts once.
    EndCurrentSong();
    EXPECT_EQ(app.currentSong, 3);
    app.OnSongEndNotice(0);
    EXPECT_EQ(app.currentSong, 3) << "no channel ever ends as 0";
}

TEST_F(ControllerTest, SongEndDuringTheSplashChangesNothing)
{
    fakebass::AddModule("song1.mod", kSecond * 60);
    DiskFolder folder(Songs(1));
    folder.Load(app);
    windows.application = &app;
    app.display.Attach(windows.parent);
    app.player.Init(&app, windows.parent);
    app.PlaySplashMusic();
    ASSERT_EQ(app.player.channel, 256u);
    fakebass::TakeCalls();
    EndCurrentSong(); // still stopped: start-up has not reached its end
    EXPECT_TRUE(fakebass::Calls().empty());
    EXPECT_EQ(app.currentSong, 0);
}

TEST_F(ControllerTest, TeardownReleasesTheSongThenStopsAndFreesTheLibrary)
{
    {
        Application leaving;
        leaving.player.Init(&leaving, windows.parent);
        ASSERT_TRUE(leaving.player.Play("splash.mod"));
        fakebass::TakeCalls();
    }
    EXPECT_EQ(fakebass::TakeCalls(), (std::vector<std::string>{"BASS_MusicFree(256)", "BASS_Stop()", "BASS_Free()"}));
}

TEST_F(ControllerTest, AdvanceIndexWraps)
{
    const struct {
        int count, current, direction, expected;
    } cases[] = {
        {3, 0, +1, 1}, {3, 1, +1, 2}, {3, 3, +1, 1}, {3, 0, -1, 3}, {3, 1, -1, 3}, {3, 2, -1, 1}, {1, 1, +1, 1},
    };
    for (const auto &c : cases) {
        app.songCount = c.count;
        app.currentSong = c.current;
        EXPECT_EQ(app.AdvanceIndex(c.direction), c.expected) << c.count << " " << c.current << " " << c.direction;
        EXPECT_EQ(app.currentSong, c.expected);
    }
}

TEST_F(ControllerTest, OddDescriptorValuesDoNotStopThePlayer)
{
    // A one-character splash music is no splash music; an empty file name ends the song list.
    fakebass::AddModule("x", kSecond);
    fakebass::AddModule("song1.mod", kSecond * 60);
    DiskFolder folder("splash.music.file=x\nsplash.time=99999999999\nmusic.file.01=song1.mod\n"
                      "music.file.02=\nmusic.file.03=song3.mod\nmusic.desc.01=\nmusic.desc.-1=odd\n");
    folder.Load(app);
    EXPECT_EQ(app.songCount, 1);
    app.PlaySplashMusic();
    EXPECT_TRUE(fakebass::Calls().empty());
    windows.application = &app;
    app.display.Attach(windows.parent);
    app.stopped = false;
    app.Next();
    EXPECT_EQ(Shown(), "01 01:00 00:00 []");

    // Two characters are a splash music.
    Application other;
    DiskFolder two("splash.music.file=ab\n");
    two.Load(other);
    fakebass::TakeCalls();
    other.PlaySplashMusic();
    EXPECT_EQ(Count(fakebass::TakeCalls(), "BASS_MusicLoad(0,ab,"), 1);
}

} // namespace
