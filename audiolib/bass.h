#pragma once
// The audio library's interface: the functions the playback engine calls, stdcall with undecorated
// exported names (see BASS.def). Positions and stream lengths are 64-bit byte counts in the output
// format (44.1 kHz, 16-bit, stereo: 176,400 bytes a second); module lengths are 32-bit.

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned long long QWORD;
typedef DWORD HMUSIC;
typedef DWORD HSTREAM;
typedef DWORD HCHANNEL;
typedef DWORD HSYNC;

// Called once when a channel reaches its end, on the library's own thread and without the library's
// lock held; it may call the library, except BASS_Free. It comes as soon as the mixer reaches the
// end, while the channel's last part (up to the output queue's length, about 200 ms) is still to
// be heard, so a channel started from it follows that last part without a gap. An end reached
// before the channel had any procedure is reported once, when the first one is set. Freeing the
// channel cancels pending calls, and no call for it happens after BASS_MusicFree returns.
// A player that starts the next song from here and times it by the clock from then shows an
// elapsed time that leads what is heard by up to the queue's length (less than the 250 ms of a
// display's refresh), until that song is moved, which takes effect at once (below).
typedef void(CALLBACK SYNCPROC)(DWORD sync, DWORD channel, DWORD data, DWORD user);

// No dllimport: calls go through the import library's thunks, so a test can link a static
// recording fake with the same functions instead of the DLL.
#define BASSAPI

// Devices. BASS_Init opens the device and starts output; freq and flags are ignored (output is
// always 44.1 kHz 16-bit stereo) and so is the window. BASS_Stop pauses all output, BASS_Start
// continues it. Before BASS_Init and after BASS_Free every call fails with BASS_ERROR_INIT.
// When the default output stops playing (its sound server went away: for a second nothing queued
// is played), output goes on by the clock without sound, as with BASS_DEVICE_SILENT: positions
// advance, channels end and their end procedures are called on time. Every two seconds the device
// is opened anew, and sound comes back on it from where the channels are then. Whenever the output
// queue (about 200 ms) runs dry while playing, so the device plays silence of its own, a debugger
// is told "audio: the output queue ran dry" (OutputDebugString).
// The queue's lead never delays what is asked for. Pausing the last playing channel pauses the
// device with what it holds, and resuming plays on from there. Freeing, moving or restarting a
// channel that has not ended (playing or paused), or pausing one while others play, drops what is
// queued of it and not yet played and refills the queue from the new state; an ended channel's
// last part is never dropped. No silence is queued before the first sound or after such a drop,
// nor after an end while more than about 75 ms are left to play, so a channel started then is
// heard at once, or straight after the last one. Each time a channel starts after an end a
// debugger is told how much silence was mixed between them: "audio: N frames of silence between
// two channels" (44,100 a second). A debugger is also told when the device stops playing and when
// it is opened again ("audio: the device stopped playing; going on by the clock", "audio: the
// device opened again"), when sound asked for (play, resume, move) reached the device 100 ms or
// more after it was asked for ("audio: sound queued N ms after it was asked for"), and when a call
// into the sound system kept its caller 100 ms or more ("audio: the sound system took N ms over a
// reset"): what is heard late beyond these is the sound system's.
#define BASS_DEVICE_DEFAULT (-1) // the default sound output (waveOut); BASS_ERROR_DRIVER when none
#define BASS_DEVICE_SILENT (-2)  // no sound: channels advance in real time by the clock and end as with sound

// Channels. Modules: what libxmp 4.5.0 loads, built without its ProWizard converters of packed Amiga
// formats and without its depackers (attack surface no musicdisk needs): MOD and its relatives
// (Soundtracker, Startrekker, Protracker 3, His Master's Noise, Ice Tracker), XM, IT, S3M, STM,
// STMIK, 669, Farandole, MTM, ULT, PTM, Imago Orpheus, Digitrakker, Liquid Tracker, MASI, Galaxy
// Music System 4.0 and 5.0 (J2B), Protracker Studio, DSMI AMF, Asylum, GDM, MED and OctaMED,
// Chiptracker, Real Tracker, Digital Tracker, Megatracker, Archimedes Tracker, Digital Symphony,
// DIGI Booster and DigiBooster Pro, Quadra Composer, Oktalyzer, SoundFX, UMX, Slamtilt,
// Coconizer, Images Music System, Funktracker, Magnetic Fields Packer and AMOS Music Bank. They
// play once without looping (flags are ignored); BASS_MusicGetLength(h, TRUE) is the length in
// bytes, (h, FALSE) the number of song positions. Files above 64 MB fail with BASS_ERROR_MEM.
// The player offers every song to BASS_MusicLoad first, so a file that is plainly a stream
// (RIFF/WAVE, OggS, fLaC or ID3 at its start, or two MPEG audio frame headers back to back there)
// fails at once with BASS_ERROR_FILEFORM, before libxmp's probes see it: they look for their marks
// deep in a file ("M.K." at byte 1080), and a stream's samples could pass for a module.
// Streams: WAV (PCM 8/16/24-bit, float 32/64-bit, A-law, mu-law, IMA and MS ADPCM, EXTENSIBLE, MPEG
// data; 1 to 32 channels, 1-384 kHz), Ogg Vorbis and MPEG audio (layers I-III), converted to the
// output format. A stream's length is what its data holds, never what its header claims beyond
// that: a WAV data size past the file's end, an Ogg last granule position beyond what the file's
// packets decode to, an MPEG frame count beyond the frames present are cut down. A stream whose
// decoder runs dry before that length ends there (its end procedure is called then, not after a
// stretch of silence), and BASS_StreamGetLength reports that end from then on.
// BASS_StreamPlay with flush TRUE, or playing a channel that has ended, starts it again.
// A module position whose high 32 bits are all ones and whose low word is 0xFFFF0000 | s is "s
// seconds from the start". A position at or past the end ends the channel. BASS_ChannelGetPosition
// is where the channel is in what the device has played: sound mixed ahead of it does not count
// yet, so it stands still while the device is paused. Failures return 0
// (handles, BOOL), -1 (lengths and positions) or -1.0 (Bytes2Seconds) with an error code.
//
// Files (mem FALSE) are opened by the path exactly as given, relative to the current folder, which
// for the player is the disk's folder. Paths a disk may not name fail with BASS_ERROR_FILEOPEN, as
// a missing file does, without being opened: UNC paths (\\host\share, //host/share: Windows would
// connect to the host and offer the user's credentials), \\.\ and \\?\ paths, device names (CON,
// NUL, AUX, PRN, COM1-9, LPT1-9, CONIN$, CONOUT$, with or without an extension), "name:stream",
// absolute paths and paths that climb out of the folder with "..". Memory (mem TRUE) is the
// caller's: `length` bytes at `file` + `offset`, which must lie inside the address space
// (BASS_ERROR_ILLPARAM otherwise, also for a 64-bit offset above 4 GB on the 32-bit build).
// Out of memory, any call fails with BASS_ERROR_MEM and its failure value; a channel whose
// decoder runs out of memory while playing ends there. No exception leaves the library.

// Sync types.
#define BASS_SYNC_END 2

// Error codes (BASS_ErrorGetCode).
#define BASS_OK 0
#define BASS_ERROR_MEM 1      // out of memory
#define BASS_ERROR_FILEOPEN 2 // the file could not be opened or read
#define BASS_ERROR_DRIVER 3   // no sound device, or it could not be opened
#define BASS_ERROR_HANDLE 5   // not a valid channel handle
#define BASS_ERROR_FORMAT 6   // a format the library does not play
#define BASS_ERROR_POSITION 7 // the position is outside the channel
#define BASS_ERROR_INIT 8     // BASS_Init has not been called (or BASS_Free has)
#define BASS_ERROR_START 9    // output is not started (not used by this library)
#define BASS_ERROR_ALREADY 14 // already initialised
#define BASS_ERROR_ILLPARAM 20 // an illegal parameter (or BASS_Free from inside an end procedure)
#define BASS_ERROR_DEVICE 23  // an unknown device number
#define BASS_ERROR_NOPLAY 24  // pause: the channel is not playing; resume: it is not paused
#define BASS_ERROR_FILEFORM 41 // the file's format is not recognised
#define BASS_ERROR_UNKNOWN (-1) // an unexpected failure inside the library

BASSAPI BOOL WINAPI BASS_Init(int device, DWORD freq, DWORD flags, HWND win);
BASSAPI BOOL WINAPI BASS_Start(void);
BASSAPI BOOL WINAPI BASS_Stop(void);
BASSAPI BOOL WINAPI BASS_Free(void);
BASSAPI int WINAPI BASS_ErrorGetCode(void);

BASSAPI HMUSIC WINAPI BASS_MusicLoad(BOOL mem, const void *file, DWORD offset, DWORD length, DWORD flags);
BASSAPI BOOL WINAPI BASS_MusicPlay(HMUSIC handle);
BASSAPI DWORD WINAPI BASS_MusicGetLength(HMUSIC handle, BOOL playlen);
BASSAPI BOOL WINAPI BASS_MusicFree(HMUSIC handle); // frees modules and streams

BASSAPI HSTREAM WINAPI BASS_StreamCreateFile(BOOL mem, const void *file, QWORD offset, QWORD length, DWORD flags);
BASSAPI BOOL WINAPI BASS_StreamPlay(HSTREAM handle, BOOL flush, DWORD flags);
BASSAPI QWORD WINAPI BASS_StreamGetLength(HSTREAM handle);

BASSAPI BOOL WINAPI BASS_ChannelPause(DWORD handle);
BASSAPI BOOL WINAPI BASS_ChannelResume(DWORD handle);
BASSAPI QWORD WINAPI BASS_ChannelGetPosition(DWORD handle);
BASSAPI BOOL WINAPI BASS_ChannelSetPosition(DWORD handle, QWORD pos);
BASSAPI float WINAPI BASS_ChannelBytes2Seconds(DWORD handle, QWORD bytes);
BASSAPI QWORD WINAPI BASS_ChannelSeconds2Bytes(DWORD handle, float seconds);
BASSAPI HSYNC WINAPI BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, SYNCPROC *proc, DWORD user);

#ifdef __cplusplus
}
#endif
