#pragma once

#include "audio/MusicPlayer.h"

// Tries song files the way the player loads them (module first, then stream), through the player's
// own MusicPlayer on the audio library's silent device: nothing is heard.
class SongProbe {
public:
    enum class Result { Module, Stream, Missing, Unplayable, NoLibrary };

    SongProbe();
    Result Probe(const char* file);

private:
    bool ready;
    MusicPlayer player;  // its destructor stops and frees the library
};
