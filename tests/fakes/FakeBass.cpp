#include "tests/fakes/FakeBass.h"

#include <deque>
#include <map>

namespace {

struct Script {
    std::vector<std::string> calls;
    std::map<std::string, DWORD> modules;
    std::map<std::string, QWORD> streams;
    std::map<DWORD, QWORD> lengths;
    std::deque<BOOL> initResults;
    QWORD position = 0;
    BOOL setPositionResult = TRUE;
    DWORD nextHandle = 0x100;
    int error = BASS_OK;
    SYNCPROC *syncProc = nullptr;
    DWORD syncChannel = 0;
};

Script &S()
{
    static Script script;
    return script;
}

std::string Arg(const char *text) { return text ? text : "(null)"; }
std::string Arg(const void *text) { return Arg(static_cast<const char *>(text)); }
std::string Arg(int value) { return std::to_string(value); }
std::string Arg(DWORD value) { return std::to_string(value); }
std::string Arg(QWORD value) { return std::to_string(value); }
std::string Arg(float value) { return std::to_string(value); }
std::string Arg(HWND window) { return std::to_string(reinterpret_cast<UINT_PTR>(window)); }

void Join(std::string &) {}
template <typename T, typename... Rest> void Join(std::string &out, T first, Rest... rest)
{
    out += Arg(first);
    if (sizeof...(rest) > 0)
        out += ",";
    Join(out, rest...);
}

template <typename... Args> void Record(const char *name, Args... args)
{
    std::string line = name;
    line += "(";
    Join(line, args...);
    line += ")";
    S().calls.push_back(line);
}

} // namespace

namespace fakebass {

void Reset() { S() = Script(); }
const std::vector<std::string> &Calls() { return S().calls; }
std::vector<std::string> TakeCalls()
{
    std::vector<std::string> calls;
    calls.swap(S().calls);
    return calls;
}
void AddModule(const std::string &file, DWORD bytes) { S().modules[file] = bytes; }
void AddStream(const std::string &file, QWORD bytes) { S().streams[file] = bytes; }
void ScriptInit(std::vector<BOOL> results) { S().initResults.assign(results.begin(), results.end()); }
void ScriptPosition(QWORD position) { S().position = position; }
void ScriptSetPositionResult(BOOL result) { S().setPositionResult = result; }
SYNCPROC *SyncProc() { return S().syncProc; }
DWORD SyncChannel() { return S().syncChannel; }

} // namespace fakebass

extern "C" {

BOOL WINAPI BASS_Init(int device, DWORD freq, DWORD flags, HWND win)
{
    Record("BASS_Init", device, freq, flags, win);
    if (S().initResults.empty())
        return TRUE;
    BOOL result = S().initResults.front();
    S().initResults.pop_front();
    S().error = result ? BASS_OK : BASS_ERROR_DRIVER;
    return result;
}

BOOL WINAPI BASS_Start(void) { Record("BASS_Start"); return TRUE; }
BOOL WINAPI BASS_Stop(void) { Record("BASS_Stop"); return TRUE; }
BOOL WINAPI BASS_Free(void) { Record("BASS_Free"); return TRUE; }

int WINAPI BASS_ErrorGetCode(void)
{
    Record("BASS_ErrorGetCode");
    return S().error;
}

HMUSIC WINAPI BASS_MusicLoad(BOOL mem, const void *file, DWORD offset, DWORD length, DWORD flags)
{
    Record("BASS_MusicLoad", static_cast<int>(mem), file, offset, length, flags);
    auto found = file ? S().modules.find(static_cast<const char *>(file)) : S().modules.end();
    if (found == S().modules.end()) {
        S().error = BASS_ERROR_FILEFORM;
        return 0;
    }
    DWORD handle = S().nextHandle++;
    S().lengths[handle] = found->second;
    return handle;
}

BOOL WINAPI BASS_MusicPlay(HMUSIC handle) { Record("BASS_MusicPlay", handle); return TRUE; }

DWORD WINAPI BASS_MusicGetLength(HMUSIC handle, BOOL playlen)
{
    Record("BASS_MusicGetLength", handle, static_cast<int>(playlen));
    return static_cast<DWORD>(S().lengths[handle]);
}

BOOL WINAPI BASS_MusicFree(HMUSIC handle) { Record("BASS_MusicFree", handle); return TRUE; }

HSTREAM WINAPI BASS_StreamCreateFile(BOOL mem, const void *file, QWORD offset, QWORD length, DWORD flags)
{
    Record("BASS_StreamCreateFile", static_cast<int>(mem), file, offset, length, flags);
    auto found = file ? S().streams.find(static_cast<const char *>(file)) : S().streams.end();
    if (found == S().streams.end()) {
        S().error = BASS_ERROR_FILEOPEN;
        return 0;
    }
    DWORD handle = S().nextHandle++;
    S().lengths[handle] = found->second;
    return handle;
}

BOOL WINAPI BASS_StreamPlay(HSTREAM handle, BOOL flush, DWORD flags)
{
    Record("BASS_StreamPlay", handle, static_cast<int>(flush), flags);
    return TRUE;
}

QWORD WINAPI BASS_StreamGetLength(HSTREAM handle)
{
    Record("BASS_StreamGetLength", handle);
    return S().lengths[handle];
}

BOOL WINAPI BASS_ChannelPause(DWORD handle) { Record("BASS_ChannelPause", handle); return TRUE; }
BOOL WINAPI BASS_ChannelResume(DWORD handle) { Record("BASS_ChannelResume", handle); return TRUE; }

QWORD WINAPI BASS_ChannelGetPosition(DWORD handle)
{
    Record("BASS_ChannelGetPosition", handle);
    return S().position;
}

BOOL WINAPI BASS_ChannelSetPosition(DWORD handle, QWORD pos)
{
    Record("BASS_ChannelSetPosition", handle, pos);
    if (!S().setPositionResult)
        S().error = BASS_ERROR_POSITION;
    return S().setPositionResult;
}

float WINAPI BASS_ChannelBytes2Seconds(DWORD handle, QWORD bytes)
{
    Record("BASS_ChannelBytes2Seconds", handle, bytes);
    return static_cast<float>(static_cast<double>(bytes) / fakebass::kBytesPerSecond);
}

QWORD WINAPI BASS_ChannelSeconds2Bytes(DWORD handle, float seconds)
{
    Record("BASS_ChannelSeconds2Bytes", handle, seconds);
    return static_cast<QWORD>(seconds * fakebass::kBytesPerSecond);
}

HSYNC WINAPI BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, SYNCPROC *proc, DWORD user)
{
    Record("BASS_ChannelSetSync", handle, type, param, proc ? "proc" : "null", user);
    S().syncProc = proc;
    S().syncChannel = handle;
    return 1;
}

} // extern "C"
