#pragma once

#include <cstddef>
#include <memory>

#include "descriptor/DescriptorEntry.h"
#include "descriptor/DescriptorObserver.h"

// Reads key=value descriptor files (with comments and nested includes) into a store of at most
// 100 entries kept sorted by key, and answers lookups by exact key.
// Bad input never stops loading: a file that cannot be opened is reported on stderr and skipped;
// so is a path the disk may not name (DiskPath), and a file already being read (a cycle). Binary
// bytes read as text (a NUL ends its line's text, 0x1A ends the file); over-long keys, values and
// lines are cut; entries past the hundredth are dropped silently.
class DescriptorReader {
public:
    static constexpr int MaxEntries = 100;
    // Longest line read as written; the rest of a longer line is skipped.
    static constexpr size_t MaxLine = 1999;
    // Files open at once: the top-level file and its nested includes. A deeper include is refused
    // like a file that cannot be opened.
    static constexpr int MaxFileDepth = 16;
    // What one load (a top file and all it includes) reads at most. Includes may name one file
    // many times, in any spelling, and every such line opens it again, so without a bound 60
    // includes of a file that includes a file 60 times, and so on, multiply into hours. A real
    // disk names a few files and reads some kilobytes in a few hundred lines. At the bound the
    // load ends: where it stopped is reported like a file that cannot be loaded (at most once, so
    // the error output stays short too) and the entries read before it stay.
    static constexpr int MaxFilesPerLoad = 256;  // the top file and every include line
    static constexpr size_t MaxBytesPerLoad = 4u << 20;
    static constexpr int MaxLinesPerLoad = 65536;  // lines that are not empty

    DescriptorReader();
    virtual ~DescriptorReader();
    virtual void OnLoaded();

    DescriptorReader(const DescriptorReader&) = delete;
    DescriptorReader& operator=(const DescriptorReader&) = delete;

    // Who is told what the reader does; null (the default) tells no one.
    void SetObserver(DescriptorObserver* observer) { this->observer = observer; }

    void Load(const char* path);
    // False when the file was not read (refused, or could not be opened).
    bool ReadDescriptorFile(const char* path);
    // Reads bytes as the content of one descriptor file named `name`; includes are followed as
    // usual.
    void ReadText(const char* data, size_t size, const char* name = "");
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
    using Place = DescriptorObserver::Place;
    using Refusal = DescriptorObserver::Refusal;

    // A file being read: its path as written and the number of the line being read.
    struct OpenFile {
        const char* path;
        int line;
    };

    // Splits one file's bytes, fetched chunk by chunk, into lines and parses them.
    template <class Fetch>
    void ReadLines(const char* path, Fetch fetch);
    void EndLine(char* line, size_t length);
    void Refuse(const char* path, const Place& at, Refusal why, DiskPath::Problem problem);
    void StartLoadIfTop();
    Place Here() const;

    OpenFile openFiles[MaxFileDepth];
    int depth;
    DescriptorObserver* observer;
    // The work of the load under way.
    int filesNamed;
    size_t bytesRead;
    int linesRead;
    bool ended;
};
