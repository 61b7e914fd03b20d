#include "checker/DiskChecker.h"

#include <fcntl.h>
#include <io.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "checker/DescriptorCheck.h"
#include "checker/DescriptorScan.h"
#include "checker/SkinCheck.h"
#include "checker/SkinDrawing.h"
#include "checker/SkinProbe.h"
#include "checker/SongProbe.h"
#include "descriptor/EntryText.h"

namespace {

const char descriptorPath[] = "music\\config.dat";

// The player's reader writes its complaints to the error stream; the check reports them itself.
class QuietErrors {
public:
    QuietErrors()
    {
        fflush(stderr);
        saved = _dup(2);
        const int nul = _open("NUL", _O_WRONLY);
        if (nul >= 0) {
            _dup2(nul, 2);
            _close(nul);
        }
    }
    ~QuietErrors()
    {
        fflush(stderr);
        if (saved >= 0) {
            _dup2(saved, 2);
            _close(saved);
        }
    }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

private:
    int saved;
};

// The scan's record must end with exactly the store the player's reader built.
void CompareWithPlayer(const DescriptorScan& scan, Report& report)
{
    if (!scan.MatchesReader())
        report.Add(Severity::Error, "checker-mismatch", descriptorPath, 0, "",
                   "The checker read the descriptor differently from the player; its findings "
                   "for the descriptor may be wrong.",
                   "Please report this to the makers of the player, with the descriptor files.");
}

void CheckMusic(const DiskPlan::Named& song, bool splash, SongProbe& probe, Report& report)
{
    // A name that starts with a blank, or a refused path, is reported with its line already.
    if (song.value.empty() || song.value[0] == ' ' || song.value[0] == '\t' || song.refused)
        return;
    const std::string file = song.at ? song.at->place.file : descriptorPath;
    const int line = song.at ? song.at->place.line : 0;
    const std::string key = song.at ? song.at->key : std::string();
    const std::string what = splash ? "The splash music" : "Song " + NumberedKey("", song.number);
    switch (probe.Probe(song.value.c_str())) {
    case SongProbe::Result::Missing:
        report.Add(Severity::Error, "song-missing", file, line, key,
                   what + " " + song.value + " cannot be found, so it " +
                       (splash ? "does not play." : "is skipped."),
                   "Put the file there; song paths are relative to the disk folder (for "
                   "example music\\song01.mod).");
        break;
    case SongProbe::Result::Unplayable:
        report.Add(Severity::Error, "song-unplayable", file, line, key,
                   what + " " + song.value + " is neither a tracker module nor a stream the "
                       "audio library plays, so it " + (splash ? "does not play." : "is skipped."),
                   "Save it as a tracker module (MOD, XM, S3M, IT), an Ogg Vorbis file or a PCM "
                   "WAV file.");
        break;
    case SongProbe::Result::NoLibrary:
        report.Add(Severity::Warning, "audio-unavailable", file, line, key,
                   "The audio library could not start, so " + song.value + " was not tried.",
                   "Check that BASS.dll lies beside mdcheck.exe.");
        break;
    default:
        break;
    }
}

}  // namespace

void DiskChecker::Draw(const SkinProbe& probe, const std::string& skin)
{
    if (drawFolder.empty())
        return;
    std::string name = skin;
    for (char& c : name)
        if (c == '\\' || c == '/' || c == ':')
            c = '_';
    if (name.size() > 4 && SameTextNoCase(name.c_str() + name.size() - 4, ".ini"))
        name.resize(name.size() - 4);
    // The name as the skin's path gives it, in the ANSI code page like every path the disk names.
    std::wstring wide(name.size() + 1, L'\0');
    const int length =
        MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<size_t>(length - 1) : 0);
    const std::wstring picture = drawFolder + L"\\" + wide + L".bmp";
    POINT origin = {0, 0};
    const bool drawn = DrawSkin(probe, picture, &origin);
    drawings.push_back({skin, drawn ? picture : std::wstring(), origin.x, origin.y});
}

void DiskChecker::Run()
{
    DescriptorScan scan;
    {
        QuietErrors quiet;
        scan.Load(descriptorPath);
    }
    const DiskPlan plan = CheckDescriptor(scan, descriptorPath, report);
    CompareWithPlayer(scan, report);

    {
        SongProbe probe;
        for (const DiskPlan::Named& song : plan.songs)
            CheckMusic(song, false, probe, report);
        if (!plan.splashMusic.value.empty())
            CheckMusic(plan.splashMusic, true, probe, report);
    }

    SkinProbe mainSkin(report);
    const bool mainRead =
        mainSkin.Load("gui\\skin.ini", SkinRole::Main, SkinProbe::NamedAt{"gui\\skin.ini", 0, ""});
    std::vector<CheckedControl> mainControls;
    if (mainRead) {
        mainControls = CheckSkinEntries(mainSkin.Facts(), report);
        mainSkin.CheckControls(mainControls);
        Draw(mainSkin, "gui\\skin.ini");
    }
    {
        SkinProbe splash(report);
        if (splash.Load("gui\\splash.ini", SkinRole::Splash, SkinProbe::NamedAt{"gui\\splash.ini", 0, ""})) {
            const std::vector<CheckedControl> controls = CheckSkinEntries(splash.Facts(), report);
            splash.CheckControls(controls);
            Draw(splash, "gui\\splash.ini");
        }
    }
    std::vector<DialogSkin> dialogs;
    for (const DiskPlan::Dialog& dialog : plan.dialogs) {
        DialogSkin skin{&dialog, false, {}};
        const bool blank = !dialog.file.empty() && (dialog.file[0] == ' ' || dialog.file[0] == '\t');
        if (!blank && !dialog.refused) {
            SkinProbe probe(report);
            const SkinProbe::NamedAt at{dialog.fileAt ? dialog.fileAt->place.file : descriptorPath,
                                        dialog.fileAt ? dialog.fileAt->place.line : 0,
                                        NumberedKey("dialog.file.", dialog.number)};
            skin.skinRead = probe.Load(dialog.file, SkinRole::Dialog, at);
            if (skin.skinRead) {
                skin.controls = CheckSkinEntries(probe.Facts(), report);
                probe.CheckControls(skin.controls);
                Draw(probe, dialog.file);
            }
        }
        dialogs.push_back(skin);
    }
    CheckSkinLinks("gui\\skin.ini", mainRead, mainControls, dialogs, report);
}
