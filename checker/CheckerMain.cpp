// mdcheck: checks a musicdisk folder and lists every problem with its place and a fix.
// Exit code: 0 clean, 1 warnings only, 2 errors, 3 when the check could not run.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "checker/DiskChecker.h"
#include "checker/Report.h"

namespace {

const char usage[] =
    "usage: mdcheck [--json] [--draw FOLDER] [disk folder]\n"
    "Checks the musicdisk in the folder (default: the current one) as the player reads it.\n"
    "  --json         print the findings as JSON for tools\n"
    "  --draw FOLDER  also draw a picture of every skin into FOLDER: the window, each control's\n"
    "                 place and name, overlaps and parts outside the window in red\n"
    "Exit code: 0 clean, 1 warnings only, 2 errors, 3 the check could not run.\n";

// A wide text for the console, in the ANSI code page.
std::string Narrow(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? static_cast<size_t>(size) : 1, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &out[0], size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

// The full path of a folder named on the command line; empty when it cannot be made.
std::wstring FullPath(const std::wstring& folder)
{
    const DWORD size = GetFullPathNameW(folder.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    if (size == 0 || GetFullPathNameW(folder.c_str(), size, &full[0], nullptr) >= size)
        return std::wstring();
    full.resize(size - 1);
    while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/'))
        full.pop_back();
    return full;
}

}  // namespace

// The arguments are read as the wide command line gives them, so a disk folder or a picture folder
// named in any script is found.
int main()
{
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::wstring> args;
    for (int i = 1; argv && i < argc; ++i)
        args.push_back(argv[i]);
    LocalFree(argv);

    bool json = false;
    std::wstring folder;
    std::wstring drawFolder;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == L"--json") {
            json = true;
        } else if (args[i] == L"--help" || args[i] == L"/?") {
            fputs(usage, stdout);
            return 0;
        } else if (args[i] == L"--draw" && i + 1 < args.size()) {
            drawFolder = args[++i];
        } else if (args[i][0] == L'-' || !folder.empty()) {
            fprintf(stderr, "mdcheck: unknown argument %s\n%s", Narrow(args[i]).c_str(), usage);
            return 3;
        } else {
            folder = args[i];
        }
    }
    // The picture folder is named from where mdcheck was started, before the disk folder is entered.
    if (!drawFolder.empty()) {
        drawFolder = FullPath(drawFolder);
        if (drawFolder.empty() ||
            (!CreateDirectoryW(drawFolder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)) {
            fprintf(stderr, "mdcheck: cannot make the folder %s\n", Narrow(drawFolder).c_str());
            return 3;
        }
    }
    if (!folder.empty() && !SetCurrentDirectoryW(folder.c_str())) {
        fprintf(stderr, "mdcheck: cannot open the folder %s\n", Narrow(folder).c_str());
        return 3;
    }
    // A console program: the check's windows are never shown and no error box may stop it.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    Report report;
    DiskChecker checker(report);
    if (!drawFolder.empty())
        checker.DrawInto(drawFolder);
    checker.Run();
    std::string out = json ? report.Json() : report.Text();
    if (!json)
        for (const DiskChecker::Drawing& drawing : checker.Drawings())
            out += drawing.picture.empty()
                       ? "The picture of " + drawing.skin + " could not be written.\n"
                       : "Picture of " + drawing.skin + ": " + Narrow(drawing.picture) +
                             " (the window's top-left corner at " + std::to_string(drawing.x) + "," +
                             std::to_string(drawing.y) + ")\n";
    fwrite(out.data(), 1, out.size(), stdout);
    fflush(stdout);
    return report.ExitCode();
}
