#include "descriptor/DescriptorReader.h"

#include "descriptor/EntryText.h"
#include "descriptor/TextEncoding.h"

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

}

DescriptorReader::DescriptorReader()
    : count(0), openFiles(), depth(0), observer(nullptr), filesNamed(0), bytesRead(0), linesRead(0),
      ended(false)
{
}

DescriptorReader::~DescriptorReader() {}

void DescriptorReader::OnLoaded() {}

void DescriptorReader::Load(const char* path)
{
    ReadDescriptorFile(path);
    OnLoaded();
}

void DescriptorReader::StartLoadIfTop()
{
    if (depth > 0)
        return;
    filesNamed = 0;
    bytesRead = 0;
    linesRead = 0;
    ended = false;
}

DescriptorReader::Place DescriptorReader::Here() const
{
    return depth > 0 ? Place{openFiles[depth - 1].path, openFiles[depth - 1].line} : Place{"", 0};
}

void DescriptorReader::Refuse(const char* path, const Place& at, Refusal why, DiskPath::Problem problem)
{
    if (why == Refusal::BeyondBound)
        ended = true;
    ReportNotLoaded(path);
    if (observer)
        observer->FileRefused(path, at, why, problem);
}

// Lines as text-mode reading sees them: a CR LF pair is a LF, byte 0x1A ends the file, stray CRs
// are dropped. A UTF-8 byte-order mark at the start of the file is skipped: editors write one, and
// it would become part of the first line's key. A line longer than the line buffer keeps its first
// MaxLine bytes and the rest of it is skipped; so is everything after a NUL byte in a line, which
// would end the line's text anyway.
template <class Fetch>
void DescriptorReader::ReadLines(const char* path, Fetch fetch)
{
    openFiles[depth++] = OpenFile{path, 1};
    OpenFile& here = openFiles[depth - 1];
    char line[MaxLine + 1];
    size_t length = 0;
    bool skipping = false;
    // After an end-of-file byte only an observer wants to know whether anything follows it.
    bool afterEnd = false;
    bool done = false;
    const char* data;
    size_t got;
    bool first = true;
    while (!done && !ended && (got = fetch(&data)) > 0) {
        const bool overBudget = got > MaxBytesPerLoad - bytesRead;
        if (overBudget)
            got = MaxBytesPerLoad - bytesRead;
        bytesRead += got;
        size_t start = 0;
        if (first && FindByteOrderMark(data, got) == ByteOrderMark::Utf8)
            start = sizeof utf8ByteOrderMark;
        first = false;
        for (size_t i = start; i < got && !done && !ended; ++i) {
            const char c = data[i];
            if (afterEnd) {
                done = c != '\x1a' && c != '\r' && c != '\n';
                if (done)
                    observer->LineCut(Here(), DescriptorObserver::Cut::EndOfFileByte);
            } else if (c == '\x1a') {
                EndLine(line, length);
                length = 0;
                afterEnd = observer != nullptr;
                done = !afterEnd;
            } else if (c == '\n') {
                EndLine(line, length);
                length = 0;
                skipping = false;
                ++here.line;
            } else if (c == '\r' || skipping) {
                continue;
            } else if (c == '\0' || length == MaxLine) {
                skipping = true;
                if (observer)
                    observer->LineCut(Here(), c == '\0' ? DescriptorObserver::Cut::ZeroByte
                                                        : DescriptorObserver::Cut::LongLine);
            } else {
                line[length++] = c;
            }
        }
        // Bytes after an end-of-file byte are only looked at; running out there ends nothing.
        if (overBudget && afterEnd)
            done = true;
        else if (overBudget && !ended && !done)
            Refuse(path, Here(), Refusal::BeyondBound, DiskPath::Problem::None);
    }
    // The last line needs no LF.
    if (!done && !afterEnd && !ended)
        EndLine(line, length);
    --depth;
}

void DescriptorReader::EndLine(char* line, size_t length)
{
    if (length == 0 || ended)
        return;
    if (++linesRead > MaxLinesPerLoad) {
        Refuse(openFiles[depth - 1].path, Here(), Refusal::BeyondBound, DiskPath::Problem::None);
        return;
    }
    line[length] = '\0';
    ParseLine(line);
}

bool DescriptorReader::ReadDescriptorFile(const char* path)
{
    StartLoadIfTop();
    if (ended)
        return false;
    const Place from = Here();
    if (++filesNamed > MaxFilesPerLoad) {
        Refuse(path, from, Refusal::BeyondBound, DiskPath::Problem::None);
        return false;
    }
    const DiskPath::Problem problem = DiskPath::Check(path);
    Refusal why = Refusal::Missing;
    bool open = false;
    for (int i = 0; i < depth && !open; ++i)
        open = strcmp(openFiles[i].path, path) == 0;
    std::unique_ptr<FILE, FileCloser> file;
    if (problem != DiskPath::Problem::None && problem != DiskPath::Problem::Empty)
        why = Refusal::RefusedPath;
    else if (open)
        // A cycle is refused at once instead of nesting to the depth limit.
        why = Refusal::Cycle;
    else if (depth >= MaxFileDepth)
        why = Refusal::TooDeep;
    else if (problem == DiskPath::Problem::None)
        file.reset(OpenDescriptorFile(path));
    if (!file) {
        Refuse(path, from, why, problem);
        return false;
    }
    if (observer)
        observer->FileOpened(path, from);
    char chunk[4096];
    ReadLines(path, [&](const char** data) {
        *data = chunk;
        return fread(chunk, 1, sizeof chunk, file.get());
    });
    return true;
}

void DescriptorReader::ReadText(const char* data, size_t size, const char* name)
{
    StartLoadIfTop();
    if (ended || depth >= MaxFileDepth)
        return;
    ++filesNamed;
    if (observer)
        observer->FileOpened(name, Here());
    bool given = false;
    ReadLines(name, [&](const char** out) {
        *out = data;
        const size_t got = given ? 0 : size;
        given = true;
        return got;
    });
}

void DescriptorReader::ParseLine(const char* line)
{
    if (line[0] == '\0')
        return;
    if (observer)
        observer->LineRead(Here(), line);
    if (line[0] == '#')
        return;
    if (line[0] == '@') {
        ReadDescriptorFile(line + 1);
        return;
    }
    Add(std::unique_ptr<DescriptorEntry>(new DescriptorEntry(line)));
}

void DescriptorReader::Add(std::unique_ptr<DescriptorEntry> entry)
{
    using Outcome = DescriptorObserver::Outcome;
    const bool full = count >= MaxEntries;
    const int found = full ? 0 : Find(entry->Key());
    const Outcome outcome = full ? Outcome::Dropped : found >= 0 ? Outcome::Replaced : Outcome::Stored;
    if (observer)
        observer->EntryAdded(Here(), *entry, outcome);
    if (outcome == Outcome::Replaced)
        entries[found] = std::move(entry);
    else if (outcome == Outcome::Stored)
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
