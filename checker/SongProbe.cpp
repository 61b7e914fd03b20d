#include "checker/SongProbe.h"

SongProbe::SongProbe() : ready(false), player()
{
    ready = BASS_Init(BASS_DEVICE_SILENT, 44100, 0, nullptr) != FALSE;
}

SongProbe::Result SongProbe::Probe(const char* file)
{
    const DWORD attributes = GetFileAttributesA(file);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Result::Missing;
    if (!ready)
        return Result::NoLibrary;
    Result result = Result::Unplayable;
    if (player.LoadModule(file))
        result = Result::Module;
    else if (player.LoadStream(file))
        result = Result::Stream;
    player.Release();
    return result;
}
