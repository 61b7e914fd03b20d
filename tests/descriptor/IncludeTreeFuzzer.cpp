// Descriptor include trees: the input is up to eight files, 0.dat to 7.dat, separated by the byte
// 0x1E; 0.dat is loaded. Whatever they include, and however often, one load stays within its
// bound, never opens a path a disk may not name, and leaves a sound store.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "descriptor/Descriptor.h"
#include "tests/support/TestFolder.h"

namespace {

void Check(bool condition, const char* what)
{
    if (!condition) {
        fprintf(stderr, "include tree fuzzer: %s\n", what);
        abort();
    }
}

constexpr int fileCount = 8;

void WriteFile(const std::string& name, const char* data, size_t size)
{
    FILE* file = fopen(name.c_str(), "wb");
    Check(file != nullptr, "cannot write a file of the tree");
    fwrite(data, 1, size, file);
    fclose(file);
}

class Tally : public DescriptorObserver {
public:
    void FileOpened(const char* path, const Place&) override
    {
        ++opened;
        Check(DiskPath::Allowed(path), "opened a path a disk may not name");
    }
    void FileRefused(const char*, const Place&, Refusal why, DiskPath::Problem) override
    {
        (why == Refusal::BeyondBound ? beyondBound : refused) += 1;
    }
    void LineRead(const Place& at, const char*) override
    {
        ++lines;
        Check(at.line >= 1 && at.file != nullptr, "a line without its place");
    }
    void EntryAdded(const Place&, const DescriptorEntry&, Outcome outcome) override
    {
        stored += outcome == Outcome::Stored;
    }
    int opened = 0;
    int refused = 0;
    int beyondBound = 0;
    int lines = 0;
    int stored = 0;
};

std::vector<char*> arguments;

}  // namespace

// The tree lives in a private folder; the reader's could-not-be-loaded lines stay out of the log.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static TestFolder folder;
    folder.Enter();
    static char quiet[] = "-close_fd_mask=2";
    arguments.assign(*argv, *argv + *argc);
    arguments.push_back(quiet);
    arguments.push_back(nullptr);
    *argc += 1;
    *argv = arguments.data();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* text = reinterpret_cast<const char*>(data);
    size_t start = 0;
    for (int i = 0; i < fileCount; ++i) {
        const std::string name = std::to_string(i) + ".dat";
        if (start > size) {
            unlink(name.c_str());
            continue;
        }
        const void* separator = memchr(text + start, 0x1E, size - start);
        const size_t end = separator ? static_cast<size_t>(static_cast<const char*>(separator) - text) : size;
        WriteFile(name, text + start, end - start);
        start = end + 1;
    }

    Descriptor descriptor;
    Tally tally;
    descriptor.SetObserver(&tally);
    descriptor.Load("0.dat");

    Check(tally.opened + tally.refused <= DescriptorReader::MaxFilesPerLoad, "more files named than the bound");
    Check(tally.beyondBound <= 1, "the bound reported more than once");
    Check(tally.lines <= DescriptorReader::MaxLinesPerLoad, "more lines than the bound");
    Check(tally.stored == descriptor.count, "stored entries and count disagree");
    Check(descriptor.count >= 0 && descriptor.count <= DescriptorReader::MaxEntries, "count out of range");
    for (int i = 0; i < DescriptorReader::MaxEntries; ++i) {
        Check((i < descriptor.count) == (descriptor.entries[i] != nullptr), "slots and count disagree");
        if (i > 0 && i < descriptor.count)
            Check(strcmp(descriptor.entries[i - 1]->Key(), descriptor.entries[i]->Key()) < 0, "store not sorted");
    }
    Check(descriptor.SongCount() <= descriptor.count, "more songs than entries");
    return 0;
}
