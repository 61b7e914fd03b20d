#pragma once

#include <cstddef>
#include <memory>

#include "descriptor/DescriptorEntry.h"

// Reads key=value descriptor files (with comments and nested includes) into a store of at most
// 100 entries kept sorted by key, and answers lookups by exact key.
// Bad input never stops loading: a file that cannot be opened is reported on stderr and skipped;
// binary bytes read as text (a NUL ends its line's text, 0x1A ends the file); over-long keys,
// values and lines are cut; entries past the hundredth are dropped silently.
class DescriptorReader {
public:
    static constexpr int MaxEntries = 100;
    // Longest line read as written; the rest of a longer line is skipped.
    static constexpr size_t MaxLine = 1999;
    // Files open at once: the top-level file and its nested includes. A deeper include (in
    // practice an include cycle) is refused like a file that cannot be opened.
    static constexpr int MaxFileDepth = 16;

    DescriptorReader();
    virtual ~DescriptorReader();
    virtual void OnLoaded();

    DescriptorReader(const DescriptorReader&) = delete;
    DescriptorReader& operator=(const DescriptorReader&) = delete;

    void Load(const char* path);
    // False when the file could not be opened (or was refused as too deeply nested).
    bool ReadDescriptorFile(const char* path);
    // Reads bytes as the content of one descriptor file; includes are followed as usual.
    void ReadText(const char* data, size_t size);
    void ParseLine(const char* line);
    void Add(std::unique_ptr<DescriptorEntry> entry);
    void InsertAt(std::unique_ptr<DescriptorEntry> entry, int position);
    int Find(const char* key) const;
    const char* GetString(const char* key) const;
    int GetInt(const char* key, bool warn) const;

    // "%s%02d" into one process-wide buffer, overwritten by every call. Results longer than the
    // buffer are cut; they are far longer than any stored key, so they still find nothing.
    static const char* MakeKey(const char* prefix, int n);
    static constexpr size_t KeyBufferSize = 256;

    int count;
    std::unique_ptr<DescriptorEntry> entries[MaxEntries];

private:
    // The files being read, outermost first, as their paths were written.
    const char* openFiles[MaxFileDepth];
    int depth;
};
