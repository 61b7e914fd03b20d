#include <gtest/gtest.h>

#include <thread>

#include "audio/MusicPlayer.h"
#include "tests/fakes/FakeBass.h"

namespace {

using Calls = std::vector<std::string>;

DWORD now;
DWORD WINAPI TestClock() { return now; }

const QWORD kSecond = fakebass::kBytesPerSecond;

class MusicPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakebass::Reset();
        fakebass::AddModule("song.mod", 176400 * 61 + 100);
        fakebass::AddStream("song.wav", kSecond * 200);
        now = 1000;
        saved = playerClock;
        playerClock = TestClock;
    }
    void TearDown() override { playerClock = saved; }

    PlayerClock saved = nullptr;
};

TEST_F(MusicPlayerTest, ConstructionTakesTheClockAndCallsNothing)
{
    now = 123456;
    MusicPlayer player;
    EXPECT_EQ(player.startTime, 123456u);
    EXPECT_EQ(player.channel, 0u);
    EXPECT_FALSE(player.paused);
    EXPECT_EQ(player.pauseTime, 0u);
    EXPECT_TRUE(fakebass::Calls().empty());
}

TEST_F(MusicPlayerTest, InitOpensTheDefaultDeviceAndStartsIt)
{
    MusicPlayer player;
    HWND window = reinterpret_cast<HWND>(0x1234);
    EXPECT_TRUE(player.Init(nullptr, window));
    EXPECT_EQ(fakebass::TakeCalls(), (Calls{"BASS_Init(-1,44100,0,4660)", "BASS_Start()"}));
}

TEST_F(MusicPlayerTest, InitFallsBackToTheSilentDeviceWithoutStarting)
{
    for (BOOL second : {FALSE, TRUE}) {
        fakebass::Reset();
        fakebass::ScriptInit({FALSE, second});
        MusicPlayer player;
        EXPECT_FALSE(player.Init(nullptr, reinterpret_cast<HWND>(0x20)));
        EXPECT_EQ(fakebass::TakeCalls(),
                  (Calls{"BASS_Init(-1,44100,0,32)", "BASS_ErrorGetCode()", "BASS_Init(-2,44100,0,32)"}))
            << "second attempt result " << second;
    }
}

TEST_F(MusicPlayerTest, DestructorReleasesThenStopsAndFrees)
{
    {
        MusicPlayer player;
        ASSERT_TRUE(player.Play("song.mod"));
        fakebass::TakeCalls();
    }
    EXPECT_EQ(fakebass::TakeCalls(), (Calls{"BASS_MusicFree(256)", "BASS_Stop()", "BASS_Free()"}));
    // Also without a channel and without a successful Init.
    {
        fakebass::ScriptInit({FALSE, FALSE});
        MusicPlayer player;
        player.Init(nullptr, nullptr);
        fakebass::TakeCalls();
    }
    EXPECT_EQ(fakebass::TakeCalls(), (Calls{"BASS_Stop()", "BASS_Free()"}));
}

TEST_F(MusicPlayerTest, ModuleLoadsFirst)
{
    MusicPlayer player;
    now = 5000;
    EXPECT_TRUE(player.Play("song.mod"));
    EXPECT_EQ(fakebass::TakeCalls(), (Calls{"BASS_MusicLoad(0,song.mod,0,0,8448)", "BASS_MusicPlay(256)",
                                            "BASS_MusicGetLength(256,1)",
                                            "BASS_ChannelSetSync(256,2,0,proc,0)"}));
    EXPECT_EQ(fakebass::SyncProc(), &MusicPlayer::OnChannelEnd);
    EXPECT_EQ(player.channel, 256u);
    EXPECT_FALSE(player.isStream);
    EXPECT_EQ(player.length, 176400u * 61 + 100);
    EXPECT_EQ(player.startTime, 5000u);
    EXPECT_EQ(player.LengthSeconds(), 61);
}

TEST_F(MusicPlayerTest, StreamLoadsWhenTheModuleLoaderRefuses)
{
    MusicPlayer player;
    EXPECT_TRUE(player.Play("song.wav"));
    EXPECT_EQ(fakebass::TakeCalls(),
              (Calls{"BASS_MusicLoad(0,song.wav,0,0,8448)", "BASS_ErrorGetCode()",
                     "BASS_StreamCreateFile(0,song.wav,0,0,0)", "BASS_StreamPlay(256,0,0)",
                     "BASS_StreamGetLength(256)", "BASS_ChannelSetSync(256,2,0,proc,0)"}));
    EXPECT_TRUE(player.isStream);
    EXPECT_EQ(player.length, kSecond * 200);
    EXPECT_EQ(player.LengthSeconds(), 200);
}

TEST_F(MusicPlayerTest, FailedLoadKeepsTheOldSongAndItsTimes)
{
    MusicPlayer player;
    ASSERT_TRUE(player.Play("song.mod"));
    now += 7000;
    player.Pause();
    fakebass::TakeCalls();
    DWORD start = player.startTime;

    EXPECT_FALSE(player.Play("missing.ogg"));
    EXPECT_EQ(fakebass::TakeCalls(), (Calls{"BASS_MusicLoad(0,missing.ogg,0,0,8448)", "BASS_ErrorGetCode()",
                                            "BASS_StreamCreateFile(0,missing.ogg,0,0,0)",
                                            "BASS_ErrorGetCode()"}));
    EXPECT_EQ(player.channel, 256u);
    EXPECT_TRUE(player.paused);
    EXPECT_EQ(player.startTime, start);
    EXPECT_EQ(player.ElapsedSeconds(), 7u);
    EXPECT_EQ(player.LengthSeconds(), 61);
}

TEST_F(MusicPlayerTest, NewSongReplacesTheOldOneAfterItLoadedAndIsNeverPaused)
{
    MusicPlayer player;
    ASSERT_TRUE(player.Play("song.mod"));
    player.Pause();
    fakebass::TakeCalls();
    now = 90000;
    ASSERT_TRUE(player.Play("song.wav"));
    Calls calls = fakebass::TakeCalls();
    ASSERT_GE(calls.size(), 6u);
    EXPECT_EQ(calls[2], "BASS_StreamCreateFile(0,song.wav,0,0,0)");
    EXPECT_EQ(calls[3], "BASS_MusicFree(256)");
    EXPECT_EQ(calls[4], "BASS_StreamPlay(257,0,0)");
    EXPECT_FALSE(player.paused);
    EXPECT_EQ(player.startTime, 90000u);
    EXPECT_EQ(player.ElapsedSeconds(), 0u);
}

TEST_F(MusicPlayerTest, PauseAndResumeCallTheLibraryOnlyWhenTheyChangeSomething)
{
    MusicPlayer player;
    player.Pause();
    player.Resume();
    EXPECT_TRUE(fakebass::TakeCalls().empty()) << "no channel";

    ASSERT_TRUE(player.Play("song.mod"));
    fakebass::TakeCalls();
    player.Resume();
    EXPECT_TRUE(fakebass::TakeCalls().empty()) << "resume without pause";
    DWORD start = player.startTime;
    player.Pause();
    now += 3000;
    player.Pause();
    EXPECT_EQ(player.pauseTime, 1000u) << "a second pause keeps the first pause's time";
    player.Resume();
    player.Resume();
    EXPECT_EQ(fakebass::TakeCalls(), (Calls{"BASS_ChannelPause(256)", "BASS_ChannelResume(256)"}));
    EXPECT_EQ(player.startTime, start + 3000);
    EXPECT_EQ(player.pauseTime, 0u);
}

TEST_F(MusicPlayerTest, ElapsedTimeFreezesWhilePausedAndContinuesAfterResume)
{
    MusicPlayer player;
    ASSERT_TRUE(player.Play("song.mod"));
    now += 5999;
    EXPECT_EQ(player.ElapsedSeconds(), 5u) << "whole seconds, truncated";
    player.Pause();
    now += 60000;
    EXPECT_EQ(player.ElapsedSeconds(), 5u);
    player.Resume();
    EXPECT_EQ(player.ElapsedSeconds(), 5u);
    now += 1;
    EXPECT_EQ(player.ElapsedSeconds(), 6u);
}

TEST_F(MusicPlayerTest, ClockWrapDuringASongDoesNotDisturbTheTimes)
{
    MusicPlayer player;
    now = 0xFFFFF000u; // 4.096 s before the clock wraps
    ASSERT_TRUE(player.Play("song.mod"));
    now = 0x00001000u;
    EXPECT_EQ(player.ElapsedSeconds(), 8u);
    player.Pause();
    now = 0x00100000u;
    player.Resume();
    now += 2000;
    EXPECT_EQ(player.ElapsedSeconds(), 10u);
    player.Seek(-5);
    EXPECT_EQ(player.ElapsedSeconds(), 5u);
}

struct SeekCase {
    DWORD at;          // milliseconds into the song
    int seconds;       // the move
    DWORD target;      // second shown afterwards
    DWORD lowPosition; // low half of the module position value
};

TEST_F(MusicPlayerTest, ModuleSeekTakesTheSecondFromTheClock)
{
    const SeekCase cases[] = {
        {4000, -10, 0, 0xFFFF0000u},
        {4000, 10, 14, 0xFFFF000Eu},
        {4999, -4, 0, 0xFFFF0000u},
        {69990000, 10, 70000, 0xFFFF0000u | (70000u & 0xFFFFu)}, // only the low 16 bits reach the library
        {4000, -5, 0, 0xFFFF0000u},                              // a wrapped negative sum counts as 0
    };
    for (const SeekCase &c : cases) {
        fakebass::Reset();
        fakebass::AddModule("song.mod", 1000);
        now = 1000;
        MusicPlayer player;
        ASSERT_TRUE(player.Play("song.mod"));
        fakebass::TakeCalls();
        now += c.at;
        player.Seek(c.seconds);
        QWORD position = (QWORD(0xFFFFFFFFu) << 32) | c.lowPosition;
        EXPECT_EQ(fakebass::TakeCalls(), (Calls{"BASS_ChannelSetPosition(256," + std::to_string(position) + ")"}))
            << "at " << c.at << " by " << c.seconds;
        EXPECT_EQ(player.ElapsedSeconds(), c.target) << "at " << c.at << " by " << c.seconds;
        now += 1500;
        EXPECT_EQ(player.ElapsedSeconds(), c.target + 1);
    }
}

TEST_F(MusicPlayerTest, StreamSeekTakesTheSecondFromTheLibrary)
{
    const struct {
        QWORD position;
        int seconds;
        DWORD target;
    } cases[] = {
        {kSecond * 4, 10, 14},
        {kSecond * 4, -10, 0},
        {kSecond * 4 + kSecond / 2, -4, 0},
        {kSecond * 100 + 5, -10, 90},
    };
    for (const auto &c : cases) {
        fakebass::Reset();
        fakebass::AddStream("song.wav", kSecond * 200);
        MusicPlayer player;
        ASSERT_TRUE(player.Play("song.wav"));
        fakebass::TakeCalls();
        fakebass::ScriptPosition(c.position);
        now += 777000; // the clock is not asked for a stream's second
        player.Seek(c.seconds);
        EXPECT_EQ(fakebass::TakeCalls(),
                  (Calls{"BASS_ChannelGetPosition(256)",
                         "BASS_ChannelBytes2Seconds(256," + std::to_string(c.position) + ")",
                         "BASS_ChannelSeconds2Bytes(256," + std::to_string(float(c.target)) + ")",
                         "BASS_ChannelSetPosition(256," + std::to_string(kSecond * c.target) + ")"}))
            << "from " << c.position << " by " << c.seconds;
        EXPECT_EQ(player.ElapsedSeconds(), c.target);
    }
}

TEST_F(MusicPlayerTest, StreamSeekFailures)
{
    MusicPlayer player;
    ASSERT_TRUE(player.Play("song.wav"));
    now += 50000;
    fakebass::TakeCalls();

    // Refused move: the error is read, the elapsed time still shows the target.
    fakebass::ScriptPosition(kSecond * 30);
    fakebass::ScriptSetPositionResult(FALSE);
    player.Seek(10);
    Calls calls = fakebass::TakeCalls();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[3], "BASS_ChannelSetPosition(256," + std::to_string(kSecond * 40) + ")");
    EXPECT_EQ(calls[4], "BASS_ErrorGetCode()");
    EXPECT_EQ(player.ElapsedSeconds(), 40u);

    // Unreadable position: the stream is not moved and the elapsed time restarts at 0.
    fakebass::ScriptPosition(~QWORD(0));
    player.Seek(10);
    EXPECT_EQ(fakebass::TakeCalls(), (Calls{"BASS_ChannelGetPosition(256)"}));
    EXPECT_EQ(player.ElapsedSeconds(), 0u);
}

TEST_F(MusicPlayerTest, SeekWithoutAChannelTouchesNothing)
{
    MusicPlayer player;
    DWORD start = player.startTime;
    now += 9000;
    player.Seek(10);
    player.Seek(-10);
    EXPECT_TRUE(fakebass::Calls().empty());
    EXPECT_EQ(player.startTime, start);
    EXPECT_EQ(player.LengthSeconds(), 0);
    EXPECT_TRUE(fakebass::Calls().empty()) << "no conversion without a channel";
}

TEST_F(MusicPlayerTest, SeekWhilePausedShowsTheTargetAndResumesFromIt)
{
    for (bool stream : {false, true}) {
        fakebass::Reset();
        fakebass::AddModule("song.mod", 1000);
        fakebass::AddStream("song.wav", kSecond * 200);
        now = 1000;
        MusicPlayer player;
        ASSERT_TRUE(player.Play(stream ? "song.wav" : "song.mod"));
        now += 20000;
        player.Pause();
        now += 30000; // a long pause must not count as time played
        fakebass::ScriptPosition(kSecond * 20);
        fakebass::TakeCalls();
        player.Seek(10);
        Calls calls = fakebass::TakeCalls();
        ASSERT_FALSE(calls.empty());
        std::string expected = stream ? std::to_string(kSecond * 30)
                                      : std::to_string((QWORD(0xFFFFFFFFu) << 32) | 0xFFFF001Eu);
        EXPECT_EQ(calls.back(), "BASS_ChannelSetPosition(256," + expected + ")") << "stream " << stream;
        EXPECT_TRUE(player.paused);
        EXPECT_EQ(player.ElapsedSeconds(), 30u) << "stream " << stream;
        now += 5000;
        EXPECT_EQ(player.ElapsedSeconds(), 30u) << "still paused";
        player.Resume();
        EXPECT_EQ(player.ElapsedSeconds(), 30u) << "stream " << stream;
        now += 2000;
        EXPECT_EQ(player.ElapsedSeconds(), 32u) << "stream " << stream;
    }
}

// A message-only window that collects the end notices posted to it.
class NoticeWindow {
public:
    NoticeWindow()
    {
        hwnd = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    }
    ~NoticeWindow() { DestroyWindow(hwnd); }
    std::vector<WPARAM> Notices()
    {
        std::vector<WPARAM> channels;
        MSG msg;
        while (PeekMessageA(&msg, hwnd, WMU_SONG_END, WMU_SONG_END, PM_REMOVE))
            channels.push_back(msg.wParam);
        return channels;
    }
    HWND hwnd;
};

void EndOnLibraryThread(DWORD channel)
{
    std::thread library([channel] { MusicPlayer::OnChannelEnd(7, channel, 0, 0); });
    library.join();
}

TEST_F(MusicPlayerTest, ChannelEndIsPostedToTheWindowWithTheChannel)
{
    NoticeWindow window;
    ASSERT_NE(window.hwnd, nullptr);
    int someone = 0;
    Application *application = reinterpret_cast<Application *>(&someone);
    {
        MusicPlayer player;
        player.Init(application, window.hwnd);
        ASSERT_TRUE(player.Play("song.mod"));
        EndOnLibraryThread(player.channel);
        EndOnLibraryThread(0x999);
        EXPECT_EQ(window.Notices(), (std::vector<WPARAM>{256, 0x999}));
    }
    EndOnLibraryThread(256);
    EXPECT_TRUE(window.Notices().empty()) << "the player is gone";
    {
        MusicPlayer player;
        player.Init(nullptr, window.hwnd);
        EndOnLibraryThread(256);
        EXPECT_TRUE(window.Notices().empty()) << "no application to notify";
    }
}

} // namespace
