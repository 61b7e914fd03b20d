#include "descriptor/DescriptorReader.h"

#include "descriptor/EntryText.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char emptyText[1] = "";
char keyBuffer[DescriptorReader::KeyBufferSize];

// Descriptor paths are written with backslashes. Windows takes them as they are; elsewhere they
// become slashes so that the same descriptors open on the build machine.
FILE* OpenDescriptorFile(const char* path)
{
#ifdef _WIN32
    return fopen(path, "rb");
#else
    std::string native(path);
    for (char& c : native)
        if (c == '\\')
            c = '/';
    return fopen(native.c_str(), "rb");
#endif
}

struct FileCloser {
    void operator()(FILE* file) const { fclose(file); }
};

void ReportNotLoaded(const char* path)
{
    fprintf(stderr, "descriptor %s could not be loaded\n", path);
}

// Splits a file's bytes into lines as text-mode reading sees them: a CR LF pair is a LF, byte
// 0x1A ends the file, stray CRs are dropped. A line longer than the line buffer keeps its first
// MaxLine bytes and the rest of it is skipped; so is everything after a NUL byte in a line, which
// would end the line's text anyway.
class LineSplitter {
public:
    explicit LineSplitter(DescriptorReader& reader) : reader(reader), length(0), skipping(false), ended(false) {}

    // False once the end-of-file byte has been read.
    bool Feed(const char* data, size_t size)
    {
        for (size_t i = 0; i < size && !ended; ++i) {
            const char c = data[i];
            if (c == '\x1a')
                ended = true;
            else if (c == '\n')
                EndLine();
            else if (c == '\r' || skipping)
                continue;
            else if (c == '\0' || length == DescriptorReader::MaxLine)
                skipping = true;
            else
                line[length++] = c;
        }
        return !ended;
    }

    // The last line needs no LF.
    void Finish() { EndLine(); }

private:
    void EndLine()
    {
        line[length] = '\0';
        if (length > 0)
            reader.ParseLine(line);
        length = 0;
        skipping = false;
    }

    DescriptorReader& reader;
    char line[DescriptorReader::MaxLine + 1];
    size_t length;
    bool skipping;
    bool ended;
};

}

DescriptorReader::DescriptorReader() : count(0), openFiles(), depth(0) {}

DescriptorReader::~DescriptorReader() {}

void DescriptorReader::OnLoaded() {}

void DescriptorReader::Load(const char* path)
{
    ReadDescriptorFile(path);
    OnLoaded();
}

bool DescriptorReader::ReadDescriptorFile(const char* path)
{
    // A path already being read is a cycle: refuse it at once instead of nesting to the limit,
    // which would read a file with several such includes exponentially often.
    bool refused = depth >= MaxFileDepth;
    for (int i = 0; i < depth && !refused; ++i)
        refused = strcmp(openFiles[i], path) == 0;
    std::unique_ptr<FILE, FileCloser> file(refused ? nullptr : OpenDescriptorFile(path));
    if (!file) {
        ReportNotLoaded(path);
        return false;
    }
    openFiles[depth++] = path;
    LineSplitter lines(*this);
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file.get())) > 0)
        if (!lines.Feed(chunk, got))
            break;
    lines.Finish();
    --depth;
    return true;
}

void DescriptorReader::ReadText(const char* data, size_t size)
{
    LineSplitter lines(*this);
    lines.Feed(data, size);
    lines.Finish();
}

void DescriptorReader::ParseLine(const char* line)
{
    if (line[0] == '\0' || line[0] == '#')
        return;
    if (line[0] == '@') {
        ReadDescriptorFile(line + 1);
        return;
    }
    Add(std::unique_ptr<DescriptorEntry>(new DescriptorEntry(line)));
}

void DescriptorReader::Add(std::unique_ptr<DescriptorEntry> entry)
{
    if (count >= MaxEntries)
        return;
    const int found = Find(entry->Key());
    if (found >= 0)
        entries[found] = std::move(entry);
    else
        InsertAt(std::move(entry), found == -101 ? 0 : -found);
}

void DescriptorReader::InsertAt(std::unique_ptr<DescriptorEntry> entry, int position)
{
    if (count >= MaxEntries || position < 0 || position > count)
        return;
    for (int i = count; i > position; --i)
        entries[i] = std::move(entries[i - 1]);
    entries[position] = std::move(entry);
    ++count;
}

int DescriptorReader::Find(const char* key) const
{
    int lo = 0;
    int hi = count;
    int mid = hi / 2;
    for (;;) {
        if (mid >= 0 && mid < MaxEntries && entries[mid]) {
            const int order = strcmp(key, entries[mid]->Key());
            if (order == 0)
                return mid;
            if (order < 0)
                hi = mid - 1;
            else
                lo = mid + 1;
        }
        if (hi <= lo)
            break;
        mid = (lo + hi) / 2;
    }
    while (lo < MaxEntries && entries[lo] && strcmp(key, entries[lo]->Key()) > 0)
        ++lo;
    if (lo < MaxEntries && entries[lo] && strcmp(key, entries[lo]->Key()) == 0)
        return lo;
    return lo == 0 ? -101 : -lo;
}

const char* DescriptorReader::GetString(const char* key) const
{
    const int found = Find(key);
    return found >= 0 ? entries[found]->Value() : emptyText;
}

int DescriptorReader::GetInt(const char* key, bool warn) const
{
    const char* text = GetString(key);
    if (text[0] != '\0')
        return ReadEntryNumber(text).value;
    if (warn)
        fprintf(stderr, "descriptor reader: no %s found\n", key);
    return 0;
}

const char* DescriptorReader::MakeKey(const char* prefix, int n)
{
    snprintf(keyBuffer, sizeof keyBuffer, "%s%02d", prefix, n);
    return keyBuffer;
}
