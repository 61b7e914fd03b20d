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
        fprintf(stderr, "descriptor fuzzer: %s\n", what);
        abort();
    }
}

void WriteFile(const char* name, const char* text)
{
    FILE* file = fopen(name, "wb");
    Check(file != nullptr, "cannot write a fixture file");
    fputs(text, file);
    fclose(file);
}

std::vector<char*> arguments;
const char* const fixtures[] = {"inc.dat", "deeper.dat", "self.dat"};

}

// Includes resolve in a private folder holding a few files, one of them including itself; the
// could-not-be-loaded lines of missing includes are kept out of the fuzzer's log.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static TestFolder folder;
    folder.Enter();
    WriteFile(fixtures[0], "music.file.02=two\r\ndialog.file.01=d\n#c\n@deeper.dat\n");
    WriteFile(fixtures[1], "longdesc.target.name.01=info\nmusic.longdesc.info.01=x\n");
    WriteFile(fixtures[2], "a=1\n@self.dat\nb=2\n");
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
    // Folder separators become plain characters so includes stay inside the private folder.
    std::string text(reinterpret_cast<const char*>(data), size);
    for (char& c : text)
        if (c == '/' || c == '\\')
            c = '_';

    Descriptor descriptor;
    descriptor.ReadText(text.data(), text.size());
    descriptor.OnLoaded();

    Check(descriptor.count >= 0 && descriptor.count <= DescriptorReader::MaxEntries, "count out of range");
    for (int i = 0; i < DescriptorReader::MaxEntries; ++i) {
        const DescriptorEntry* entry = descriptor.entries[i].get();
        Check((i < descriptor.count) == (entry != nullptr), "slots and count disagree");
        if (!entry)
            continue;
        Check(strlen(entry->Key()) <= DescriptorEntry::MaxKey, "key too long");
        Check(strlen(entry->Value()) < DescriptorReader::MaxLine, "value longer than a line");
        Check(descriptor.Find(entry->Key()) == i, "stored key not found at its index");
        Check(descriptor.GetString(entry->Key()) == entry->Value(), "lookup gives another value");
        Check(i == 0 || strcmp(descriptor.entries[i - 1]->Key(), entry->Key()) < 0, "store not sorted");
        descriptor.GetInt(entry->Key(), false);
    }
    Check(descriptor.SongCount() <= descriptor.count, "more songs than entries");
    for (int song = 0; song <= descriptor.SongCount() + 1; ++song) {
        descriptor.SongFile(song);
        descriptor.SongDescription(song);
        for (int target = 1; target <= descriptor.LongdescTargetCount() + 1; ++target)
            descriptor.SongLongDescription(song, target);
    }
    for (int dialog = 1; dialog <= descriptor.DialogCount(); ++dialog) {
        int dx = 0;
        int dy = 0;
        descriptor.DialogOffset(dialog, dx, dy);
        descriptor.DialogName(dialog);
    }
    descriptor.SplashTime();
    return 0;
}
