#pragma once

#include "descriptor/DiskPath.h"

class DescriptorEntry;

// What a DescriptorReader does while it loads, told to whoever wants to know (the disk checker).
// The player gives none; the reader then skips every call. Texts passed in are valid only during
// the call.
class DescriptorObserver {
public:
    // A line of a descriptor file: the file as the disk names it and the line's 1-based number.
    // The top file is named from {"", 0}.
    struct Place {
        const char* file;
        int line;
    };

    enum class Refusal {
        Missing,      // cannot be opened
        RefusedPath,  // a path the disk may not name (see DiskPath); the player treats it as missing
        Cycle,        // the file is being read already
        TooDeep,      // nested deeper than the reader follows
        BeyondBound,  // the load has read all it reads for one disk; it ends here
    };
    enum class Cut { LongLine, ZeroByte, EndOfFileByte };
    enum class Outcome { Stored, Replaced, Dropped };

    virtual ~DescriptorObserver() = default;

    // `from` is the include line naming the file.
    virtual void FileOpened(const char* /*path*/, const Place& /*from*/) {}
    // `at` is the include line naming the file; for BeyondBound, the place where reading stopped.
    // `problem` says why a refused path is refused.
    virtual void FileRefused(const char* /*path*/, const Place& /*at*/, Refusal /*why*/,
                             DiskPath::Problem /*problem*/) {}
    // Every line that is not empty, after the line rules; comments and includes too.
    virtual void LineRead(const Place& /*at*/, const char* /*text*/) {}
    // Something of the line (or, for EndOfFileByte, of the file after it) is not read.
    virtual void LineCut(const Place& /*at*/, Cut /*why*/) {}
    // An entry line and what the store did with it.
    virtual void EntryAdded(const Place& /*at*/, const DescriptorEntry& /*entry*/, Outcome /*outcome*/) {}
};
