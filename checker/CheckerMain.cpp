// mdcheck: checks a musicdisk folder and lists every problem with its place and a fix.
// Exit code: 0 clean, 1 warnings only, 2 errors, 3 when the check could not run.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "checker/DiskChecker.h"
#include "checker/Report.h"

namespace {

const char usage[] =
    "usage: mdcheck [--json] [disk folder]\n"
    "Checks the musicdisk in the folder (default: the current one) as the player reads it.\n"
    "  --json  print the findings as JSON for tools\n"
    "Exit code: 0 clean, 1 warnings only, 2 errors, 3 the check could not run.\n";

}  // namespace

int main(int argc, char** argv)
{
    bool json = false;
    const char* folder = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) {
            json = true;
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "/?") == 0) {
            fputs(usage, stdout);
            return 0;
        } else if (argv[i][0] == '-' || folder) {
            fprintf(stderr, "mdcheck: unknown argument %s\n%s", argv[i], usage);
            return 3;
        } else {
            folder = argv[i];
        }
    }
    if (folder && !SetCurrentDirectoryA(folder)) {
        fprintf(stderr, "mdcheck: cannot open the folder %s\n", folder);
        return 3;
    }
    // A console program: the check's windows are never shown and no error box may stop it.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    Report report;
    DiskChecker(report).Run();
    const std::string out = json ? report.Json() : report.Text();
    fwrite(out.data(), 1, out.size(), stdout);
    fflush(stdout);
    return report.ExitCode();
}
