#pragma once

// What a disk may name: files inside its own folder, named relative to it (the player runs with
// the disk's folder as its current directory). Everything else is refused where the file is
// opened, with the outcome of a missing file, because a downloaded disk is untrusted:
// - a UNC path (\\host\share or //host/share) makes Windows connect to that host and offer the
//   user's credentials; \\.\ and \\?\ paths reach devices and raw volumes;
// - a device name (CON, NUL, COM1, ...) as any part of the path, with or without an extension,
//   trailing dots or blanks, can block the reader or touch hardware;
// - "name:stream" opens an alternate data stream; "C:x" is relative to another drive's folder;
// - an absolute path ("C:\..." or "\...") or ".." that climbs above the disk's folder reads
//   outside the disk; a part made only of dots and blanks other than "." and ".." is read
//   differently by Windows (trailing dots and blanks are dropped) and is refused too.
// Both slashes separate parts, as they do for Windows.
class DiskPath {
public:
    enum class Problem {
        None,
        Empty,
        Remote,      // \\host\share, //host/share
        DevicePath,  // \\.\ or \\?\ (and their slash forms)
        Device,      // CON, PRN, AUX, NUL, COM0-9, LPT0-9, CONIN$, CONOUT$, CLOCK$
        Stream,      // a ':' that is not a drive letter's ("song.mod:hidden")
        Absolute,    // "C:\x", "C:x", "\x"
        Climbs,      // ".." above the disk's folder
        Dots,        // a part of only dots and blanks other than "." and ".."
    };

    // The path exactly as the disk names it (after the skin's folder is put in front, for
    // pictures): None when it may be opened.
    static Problem Check(const char* path);
    static bool Allowed(const char* path) { return Check(path) == Problem::None; }
    // A plain sentence for makers: what is wrong with such a path.
    static const char* Explain(Problem problem);
};
