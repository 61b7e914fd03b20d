// The checker's record of the player's reader on arbitrary descriptor bytes must end with the
// reader's own store; the descriptor and skin entry checks must take any input.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "checker/DescriptorCheck.h"
#include "checker/DescriptorScan.h"
#include "checker/SkinCheck.h"
#include "tests/support/TestFolder.h"

namespace {

void Check(bool condition, const char* what)
{
    if (!condition) {
        fprintf(stderr, "checker fuzzer: %s\n", what);
        abort();
    }
}

void WriteFile(const char* name, const std::string& bytes)
{
    FILE* file = fopen(name, "wb");
    Check(file != nullptr, "cannot write a fixture file");
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

// A private working folder with an include target, so "@inc.dat" lines find a file. The fuzzer
// changes into it, so corpus folders must be given with absolute paths (as scripts/fuzz does).
void EnterFolder()
{
    static bool entered = false;
    if (entered)
        return;
    static TestFolder folder;
    folder.Enter();
    WriteFile("inc.dat", "music.file.02=b\nk=inc\n@top.dat\n");
    entered = true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnterFolder();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    WriteFile("top.dat", bytes);

    // The reader complains about missing includes on the error stream; the fuzzer's own reports
    // must still get through afterwards.
    DescriptorScan scan;
    fflush(stderr);
    const int saved = dup(2);
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 2);
    scan.Load("top.dat");
    fflush(stderr);
    dup2(saved, 2);
    close(quiet);
    close(saved);
    Check(scan.MatchesReader(), "the record of the load differs from the reader's store");

    Report report;
    const DiskPlan plan = CheckDescriptor(scan, "top.dat", report);
    Check(plan.dialogs.size() <= static_cast<size_t>(MaxDialogs), "more dialogs than the player makes");
    for (const Finding& finding : report.Findings())
        Check(!finding.code.empty() && !finding.problem.empty() && !finding.fix.empty(),
              "a finding without code, problem or fix");

    // The same bytes as skin entries: one value per line, spread over the sections.
    SkinFacts skin;
    skin.path = "skin.ini";
    skin.role = size % 3 == 0 ? SkinRole::Main : (size % 3 == 1 ? SkinRole::Dialog : SkinRole::Splash);
    skin.width = static_cast<int>(size % 300);
    skin.height = static_cast<int>(size % 200);
    const char* sections[] = {"BUTTONINFO", "TEXTINFO", "HSCROLLINFO", "VSCROLLINFO", "LABELINFO"};
    size_t start = 0;
    for (int i = 0; start <= bytes.size(); ++i) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        SectionFacts section;
        section.name = sections[i % 5];
        const std::string value = bytes.substr(start, end - start);
        if (!value.empty() && value.find('\0') == std::string::npos) {
            section.entries.push_back(value);
            section.keys.emplace_back(std::to_string(i % 7), value);
        }
        skin.sections.push_back(section);
        start = end + 1;
    }
    Report skinReport;
    const auto controls = CheckSkinEntries(skin, skinReport);
    CheckSkinLinks(skin.path, true, controls, {}, skinReport);
    return 0;
}
