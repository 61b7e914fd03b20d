#include "checker/DescriptorCheck.h"

#include <algorithm>
#include <set>
#include <tuple>

#include "checker/NameHint.h"
#include "descriptor/EntryText.h"
#include "descriptor/TextEncoding.h"

namespace {

using Line = DescriptorScan::Line;

const char* const listPrefixes[] = {"music.file.", "dialog.file.", "longdesc.target.name."};
const char* const numberedPrefixes[] = {
    "music.file.", "music.desc.", "dialog.file.", "dialog.name.", "dialog.title.", "dialog.text.",
    "dialog.dx.", "dialog.dy.", "longdesc.target.name.", "longdesc.target.dialog."};
const std::string longdescPrefix = "music.longdesc.";
// Stored keys hold 50 characters: prefix, name, ".", two digits.
const size_t maxTargetName = 50 - 15 - 1 - 2;

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The number of a numbered key when it is written as the player writes it ("%02d", from 1), else 0.
int KeyNumber(const std::string& digits)
{
    if (digits.empty() || digits.size() > 6 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    const int n = std::stoi(digits);
    return n >= 1 && NumberedKey("", n) == digits ? n : 0;
}

class DescriptorChecker {
public:
    DescriptorChecker(const DescriptorScan& scan, Report& report) : scan(scan), report(report) {}

    DiskPlan Run(const std::string& topFile);

private:
    // A file included several times gives its lines' findings once; a file saved as UTF-16
    // gives only that finding.
    void Add(Severity severity, const char* code, const Line* at, const std::string& key,
             const std::string& problem, const std::string& fix)
    {
        const std::string file = at ? at->place.file : std::string();
        const int line = at ? at->place.line : 0;
        if (utf16Files.count(file) && std::string(code) != "utf16-file")
            return;
        if (FirstTime(code, file, line, key))
            report.Add(severity, code, file, line, key, problem, fix);
    }
    bool FirstTime(const char* code, const std::string& file, int line, const std::string& key)
    {
        return said.insert(std::make_tuple(std::string(code), file, line, key)).second;
    }
    void CheckFiles();
    void CheckEncodings();
    bool MarkedLine(const Line& line);
    // The known key nearest to a key the player never reads.
    std::string NearestKey(const std::string& key) const;
    void CheckCuts();
    void CheckLines();
    void CheckKeyName(const Line& line);
    void CheckLists();
    void CheckSplash();
    void CheckDialogs(DiskPlan& plan);
    void CheckTargets(const DiskPlan& plan);
    // Reports the line's value when the player refuses it as a path.
    bool Refused(const Line* at, const std::string& what);

    const DescriptorScan& scan;
    Report& report;
    std::set<std::tuple<std::string, std::string, int, std::string>> said;
    std::set<std::string> utf16Files;
    int songCount = 0;
    int dialogCount = 0;
    int targetCount = 0;
    // The highest number given in each list; numbers above the count and up to it are cut off by
    // a gap, which is reported once for the list.
    int songReach = 0;
    int dialogReach = 0;
    int targetReach = 0;
    int Reach(const char* prefix) const;
};

DiskPlan DescriptorChecker::Run(const std::string& topFile)
{
    DiskPlan plan;
    plan.splashMusic = DiskPlan::Named{0, std::string(), nullptr, false};
    CheckFiles();
    if (scan.FilesRead().empty() || scan.FilesRead().front() != topFile)
        return plan;
    songCount = scan.CountList("music.file.");
    dialogCount = scan.CountList("dialog.file.");
    targetCount = scan.CountList("longdesc.target.name.");
    songReach = Reach("music.file.");
    dialogReach = Reach("dialog.file.");
    targetReach = Reach("longdesc.target.name.");
    CheckEncodings();
    CheckCuts();
    CheckLines();
    CheckLists();
    CheckSplash();
    for (int n = 1; n <= songCount; ++n) {
        const std::string key = NumberedKey("music.file.", n);
        plan.songs.push_back({n, scan.Value(key), scan.Where(key),
                              Refused(scan.Where(key), "Song " + NumberedKey("", n) + "'s file")});
    }
    const std::string& splash = scan.Value("splash.music.file");
    if (splash.size() > 1)
        plan.splashMusic = DiskPlan::Named{0, splash, scan.Where("splash.music.file"),
                                           Refused(scan.Where("splash.music.file"), "The splash music")};
    CheckDialogs(plan);
    CheckTargets(plan);
    return plan;
}

bool DescriptorChecker::Refused(const Line* at, const std::string& what)
{
    const DiskPath::Problem problem = DiskPath::Check(at->value.c_str());
    if (problem == DiskPath::Problem::None)
        return false;
    AddRefusedPath(report, at->place.file, at->place.line, at->key, what + " \"" + at->value + "\"", problem);
    return true;
}

int DescriptorChecker::Reach(const char* prefix) const
{
    int reach = 0;
    for (const auto& stored : scan.Store())
        if (StartsWith(stored.first, prefix) && !scan.Lines()[stored.second].value.empty())
            reach = std::max(reach, KeyNumber(stored.first.substr(std::string(prefix).size())));
    return reach;
}

void DescriptorChecker::CheckFiles()
{
    for (const DescriptorScan::Unread& file : scan.UnreadFiles()) {
        const bool top = file.from.line == 0;
        const Line at{file.from, "", "", false, false, DescriptorScan::Outcome::Stored, -1, -1};
        const std::string where = top ? std::string() : "@" + file.path;
        switch (file.problem) {
        case DescriptorScan::FileProblem::Missing:
            if (top)
                report.Add(Severity::Error, "file-unreadable", file.path, 0, "",
                           "The descriptor cannot be opened, so the player finds no songs and no "
                           "dialogs.",
                           "Put the descriptor at " + file.path + " (relative to the disk folder).");
            else
                Add(Severity::Error, "file-unreadable", &at, where,
                    "The included file \"" + file.path + "\" cannot be opened; its lines are "
                    "missing from the disk.",
                    "Check the file name after '@'. It is relative to the disk folder, not to the "
                    "descriptor's own folder, and nothing may follow it on the line.");
            break;
        case DescriptorScan::FileProblem::Cycle:
            Add(Severity::Error, "include-cycle", &at, where,
                "\"" + file.path + "\" includes itself (directly or through other files); the "
                "player reads it only once.",
                "Remove the '@' line that leads back to a file being read.");
            break;
        case DescriptorScan::FileProblem::TooDeep:
            Add(Severity::Error, "include-too-deep", &at, where,
                "Includes are nested more than 16 files deep; \"" + file.path + "\" is not read.",
                "Include the file from a less deeply nested file.");
            break;
        case DescriptorScan::FileProblem::RefusedPath:
            if (FirstTime("path-refused", file.from.file, file.from.line, where))
                AddRefusedPath(report, file.from.file, file.from.line, where,
                               "The included file \"" + file.path + "\"", file.pathProblem);
            break;
        case DescriptorScan::FileProblem::BeyondBound:
            Add(Severity::Error, "load-bound", &at, file.from.file == file.path ? std::string() : where,
                "The descriptor and its includes go beyond what the player reads for one disk (" +
                    std::to_string(DescriptorReader::MaxFilesPerLoad) + " files, " +
                    std::to_string(DescriptorReader::MaxBytesPerLoad >> 20) + " MB or " +
                    std::to_string(DescriptorReader::MaxLinesPerLoad) + " lines in all); it stops "
                    "reading here, so \"" + file.path + "\" and everything after it is not read.",
                "Include every file once: each '@' line reads its file again, and a file "
                "included many times that includes others many times multiplies the reading.");
            break;
        }
    }
}

// A file saved as UTF-16 starts with the mark FF FE or FE FF; the reader, reading bytes, makes its
// first line an entry whose key starts with the mark (a zero byte ends every line's text).
void DescriptorChecker::CheckEncodings()
{
    for (const Line& line : scan.Lines()) {
        const ByteOrderMark mark = FindByteOrderMark(line.key.data(), line.key.size());
        if (line.place.line != 1 || (mark != ByteOrderMark::Utf16LittleEndian &&
                                     mark != ByteOrderMark::Utf16BigEndian))
            continue;
        utf16Files.insert(line.place.file);
        Add(Severity::Error, "utf16-file", &line, "",
            "The file is saved as UTF-16 (\"Unicode\", it starts with the byte-order mark " +
                std::string(mark == ByteOrderMark::Utf16LittleEndian ? "FF FE" : "FE FF") +
                "): the player reads it byte by byte and finds none of its settings.",
            "Save it as UTF-8 (or in the ANSI code page, \"ANSI\" in Notepad).");
    }
}

// A line that starts with a UTF-8 byte-order mark after the first: the reader keeps the mark as
// part of the line, so a key, a comment or an include is no longer one. True when reported.
bool DescriptorChecker::MarkedLine(const Line& line)
{
    if (FindByteOrderMark(line.key.data(), line.key.size()) != ByteOrderMark::Utf8)
        return false;
    const std::string rest = line.key.substr(sizeof utf8ByteOrderMark);
    const bool comment = !rest.empty() && rest[0] == '#';
    Add(comment ? Severity::Warning : Severity::Error, "byte-order-mark", &line, line.key,
        "The line starts with a byte-order mark (the bytes EF BB BF an editor writes at the start of "
        "a UTF-8 file; here two files were joined): the player skips one only at the very start of a "
        "file, so it reads \"" + rest + "\" with the mark in front, " +
            (comment ? "as an entry that takes a place in the store, not as a comment."
             : !rest.empty() && rest[0] == '@' ? "as an entry, not as an include."
                                               : "a key it never finds."),
        "Remove the mark: retype the start of the line, or save the file again as UTF-8 from an "
        "editor that keeps one mark at most, at the very start.");
    return true;
}

void DescriptorChecker::CheckCuts()
{
    for (const DescriptorScan::Cut& cut : scan.Cuts()) {
        const Line at{cut.place, "", "", false, false, DescriptorScan::Outcome::Stored, -1, -1};
        switch (cut.kind) {
        case DescriptorScan::CutKind::LongLine:
            Add(Severity::Warning, "line-cut", &at, "",
                "The line is longer than 1999 bytes; the player ignores everything after the "
                "1999th byte.",
                "Shorten the line (a '|' in a dialog text starts a new line on screen).");
            break;
        case DescriptorScan::CutKind::ZeroByte:
            Add(Severity::Warning, "zero-byte", &at, "",
                "The line holds a zero byte; the player ignores the rest of the line after it.",
                "Save the descriptor as plain text.");
            break;
        case DescriptorScan::CutKind::EndOfFileByte:
            Add(Severity::Warning, "end-byte", &at, "",
                "The file holds an end-of-file byte (0x1A); the player reads nothing after it.",
                "Remove the byte (save the file as plain text).");
            break;
        }
    }
}

void DescriptorChecker::CheckLines()
{
    for (const Line& line : scan.Lines()) {
        if (line.outcome == DescriptorScan::Outcome::Dropped) {
            Add(Severity::Error, "entry-dropped", &line, line.key,
                "The descriptor already holds 100 entries; the player ignores this line and every "
                "later one.",
                "Remove unused lines (comments do not count) so that at most 100 entries remain.");
            continue;
        }
        if (MarkedLine(line))
            continue;
        if (!line.hasEquals) {
            Add(Severity::Warning, "no-equals", &line, line.key,
                "The line has no '=', so the player stores it as a key without a value.",
                "Write key=value, or start a comment line with '#'.");
            continue;
        }
        if (line.keyCut) {
            Add(Severity::Error, "key-cut", &line, line.key,
                "The key is longer than 50 characters; the player keeps only the first 50, so the "
                "full key is never found.",
                "Shorten the key (for long descriptions: use a shorter target name).");
            continue;
        }
        const bool blankKey = !line.key.empty() && (IsBlank(line.key.front()) || IsBlank(line.key.back()));
        if (blankKey)
            Add(Severity::Error, "blank-in-key", &line, line.key,
                "The key has blanks around it; they belong to the key, so the player never finds "
                "it under its name.",
                "Remove the blanks before the '=' (write key=value).");
        if (!blankKey && !line.value.empty() && IsBlank(line.value.front()) &&
            line.key != "splash.time" && !StartsWith(line.key, "dialog.dx.") &&
            !StartsWith(line.key, "dialog.dy.")) {
            const bool path = StartsWith(line.key, "music.file.") ||
                              StartsWith(line.key, "dialog.file.") || line.key == "splash.music.file";
            Add(path ? Severity::Error : Severity::Warning, "blank-after-equals", &line, line.key,
                path ? "The file name starts with a blank; the player looks for a file whose "
                       "name begins with that blank."
                     : "The value starts with a blank, which the player shows as written.",
                "Remove the blanks after the '='.");
        }
        const Line* earlier =
            line.outcome == DescriptorScan::Outcome::Replaced ? &scan.Lines()[line.replacedLine] : nullptr;
        // The same line read again (its file included twice) changes nothing.
        if (earlier && (earlier->place.file != line.place.file || earlier->place.line != line.place.line)) {
            Add(Severity::Warning, "duplicate-key", &line, line.key,
                "The key was already given in " + earlier->place.file + " line " +
                    std::to_string(earlier->place.line) + "; this later line wins and the earlier "
                    "value is lost.",
                "Keep only one line for the key.");
        }
        if (!blankKey)
            CheckKeyName(line);
    }
}

void DescriptorChecker::CheckKeyName(const Line& line)
{
    const std::string& key = line.key;
    // A key given twice is looked at once, on its last line.
    if (line.replacedBy >= 0)
        return;
    if (key == "splash.time" || key == "splash.music.file")
        return;
    for (const char* prefix : numberedPrefixes) {
        if (!StartsWith(key, prefix))
            continue;
        const int n = KeyNumber(key.substr(std::string(prefix).size()));
        if (n == 0) {
            Add(Severity::Error, "bad-number", &line, key,
                "The number in the key is not written as the player writes it, so the player "
                "never reads it.",
                std::string("Number from 01 with two digits: ") + prefix + "01, " + prefix + "02, ...");
            return;
        }
        const std::string p(prefix);
        if ((p == "music.desc.") && n > songCount && n > songReach)
            Add(Severity::Warning, "desc-without-song", &line, key,
                "There is no song " + NumberedKey("", n) + " (" + NumberedKey("music.file.", n) +
                    " is missing or empty), so this description is never shown.",
                "Add the song's music.file line, or remove this line.");
        if (StartsWith(p, "dialog.") && p != "dialog.file." && n > dialogCount && n > dialogReach)
            Add(Severity::Warning, "dialog-extra-key", &line, key,
                "There is no dialog " + NumberedKey("", n) + " (" +
                    NumberedKey("dialog.file.", n) + " is missing or empty), so this line is never used.",
                "Add the dialog's dialog.file line, or remove this line.");
        if (p == "longdesc.target.dialog." && n > targetCount && n > targetReach)
            Add(Severity::Error, "target-no-name", &line, key,
                "Long-description target " + NumberedKey("", n) + " has no name (no " +
                    NumberedKey("longdesc.target.name.", n) + "), so its dialog never gets "
                    "song texts.",
                "Add " + NumberedKey("longdesc.target.name.", n) +
                    "=<name>, the name used in the music.longdesc.<name>.NN keys.");
        return;
    }
    if (StartsWith(key, longdescPrefix)) {
        const std::string rest = key.substr(longdescPrefix.size());
        const size_t dot = rest.rfind('.');
        const std::string name = dot == std::string::npos ? rest : rest.substr(0, dot);
        const int n = dot == std::string::npos ? 0 : KeyNumber(rest.substr(dot + 1));
        if (n == 0) {
            Add(Severity::Error, "bad-number", &line, key,
                "The key does not end in a song number written as the player writes it, so the "
                "player never reads it.",
                "Write music.longdesc.<target name>.NN with the song number in two digits (01, "
                "02, ...).");
            return;
        }
        bool known = false;
        for (int t = 1; t <= targetCount && !known; ++t)
            known = scan.Value(NumberedKey("longdesc.target.name.", t)) == name;
        // A name given past a gap in the target list is reported with the gap.
        bool listedLater = false;
        for (const auto& stored : scan.Store())
            listedLater = listedLater || (StartsWith(stored.first, "longdesc.target.name.") &&
                                          scan.Lines()[stored.second].value == name);
        std::vector<std::string> targets;
        for (int t = 1; t <= targetCount; ++t)
            targets.push_back(scan.Value(NumberedKey("longdesc.target.name.", t)));
        const std::string nearest = NearestName(name, targets);
        if (!known && !listedLater)
            Add(Severity::Warning, "longdesc-unknown-target", &line, key,
                "No long-description target is named \"" + name + "\", so this text is never shown." +
                    (nearest.empty() ? std::string() : " Did you mean " + nearest + "?"),
                "Use a name given by a longdesc.target.name.NN line (names are case-sensitive), "
                "or add such a target.");
        else if (known && n > songCount && n > songReach)
            Add(Severity::Warning, "longdesc-unknown-song", &line, key,
                "There is no song " + NumberedKey("", n) + ", so this text is never shown.",
                "Use the number of an existing song, or remove this line.");
        return;
    }
    const std::string nearest = NearestKey(key);
    Add(Severity::Warning, "unknown-key", &line, key,
        "The player never reads this key." +
            (nearest.empty() ? std::string() : " Did you mean " + nearest + "?"),
        "Check the spelling: keys are music.file.NN, music.desc.NN, music.longdesc.<target>.NN, "
        "longdesc.target.name.NN, longdesc.target.dialog.NN, dialog.file/name/title/text/dx/dy.NN, "
        "splash.music.file and splash.time.");
}

std::string DescriptorChecker::NearestKey(const std::string& key) const
{
    // The key's own number, when it ends in digits, else the first.
    size_t digits = key.size();
    while (digits > 0 && key[digits - 1] >= '0' && key[digits - 1] <= '9')
        --digits;
    const std::string number = digits < key.size() ? key.substr(digits) : "01";
    std::vector<std::string> known = {"splash.time", "splash.music.file"};
    for (const char* prefix : numberedPrefixes)
        known.push_back(prefix + number);
    for (int t = 1; t <= targetCount; ++t)
        known.push_back(longdescPrefix + scan.Value(NumberedKey("longdesc.target.name.", t)) + "." + number);
    return NearestName(key, known);
}

void DescriptorChecker::CheckLists()
{
    for (const char* prefix : listPrefixes) {
        const int count = scan.CountList(prefix);
        int first = 0;
        for (const auto& stored : scan.Store()) {
            if (!StartsWith(stored.first, prefix) || scan.Lines()[stored.second].value.empty())
                continue;
            const int n = KeyNumber(stored.first.substr(std::string(prefix).size()));
            if (n > count + 1 && (first == 0 || n < first))
                first = n;
        }
        if (first == 0)
            continue;
        const std::string missing = NumberedKey(prefix, count + 1);
        const std::string what = std::string(prefix) == "music.file."     ? "songs"
                                 : std::string(prefix) == "dialog.file."  ? "dialogs"
                                                                            : "long-description targets";
        const std::string key = NumberedKey(prefix, first);
        Add(Severity::Error, "list-gap", scan.Where(key), key,
            missing + (scan.Where(missing) ? " is empty" : " is missing") + ", so the " + what +
                " stop at " + std::to_string(count) + ": " + key + " and later are never used.",
            "Number the " + what + " from 01 without gaps (add " + missing +
                " or renumber the later ones).");
    }
    if (songCount == 0 && songReach == 0)
        report.Add(Severity::Error, "no-songs", scan.FilesRead().front(), 0, "music.file.01",
                   "The descriptor names no songs (no music.file.01), so nothing plays.",
                   "Add music.file.01=<path of the first song>, then 02, 03, ...");
}

void DescriptorChecker::CheckSplash()
{
    const Line* time = scan.Where("splash.time");
    if (!time || time->value.empty()) {
        report.Add(Severity::Warning, "splash-time-missing", time ? time->place.file : scan.FilesRead().front(),
                   time ? time->place.line : 0, "splash.time",
                   "No splash.time is given, so the splash screen closes at once.",
                   "Add splash.time=<milliseconds>, for example splash.time=3000.");
    } else {
        const EntryNumber number = ReadEntryNumber(time->value.c_str());
        if (!number.digits)
            Add(Severity::Error, "splash-time", time, "splash.time",
                "\"" + time->value + "\" is not a number; the player reads 0 and the splash "
                "screen closes at once.",
                "Give the time in milliseconds as digits only, for example splash.time=3000.");
        else if (number.rest)
            Add(Severity::Warning, "splash-time", time, "splash.time",
                "Only the leading number of \"" + time->value + "\" is read (" +
                    std::to_string(number.value) + " milliseconds); the rest is ignored.",
                "Give the time in milliseconds as digits only.");
        else if (number.value <= 0)
            Add(Severity::Warning, "splash-time", time, "splash.time",
                "A time of " + std::to_string(number.value) + " milliseconds closes the splash "
                "screen at once (or never, when negative).",
                "Give a positive time in milliseconds, for example splash.time=3000.");
    }
    const Line* music = scan.Where("splash.music.file");
    if (music && music->value.size() == 1)
        Add(Severity::Warning, "splash-music-short", music, "splash.music.file",
            "A value of one character means no splash music.",
            "Give the full path of the splash music, or remove the line.");
}

void DescriptorChecker::CheckDialogs(DiskPlan& plan)
{
    if (dialogCount > MaxDialogs) {
        const std::string key = NumberedKey("dialog.file.", MaxDialogs + 1);
        Add(Severity::Warning, "too-many-dialogs", scan.Where(key), key,
            "The player creates at most ten dialogs; dialogs 11 and later are ignored.",
            "Keep at most ten dialogs.");
    }
    const int used = std::min(dialogCount, MaxDialogs);
    for (int n = 1; n <= used; ++n) {
        const std::string fileKey = NumberedKey("dialog.file.", n);
        const std::string nameKey = NumberedKey("dialog.name.", n);
        const std::string& name = scan.Value(nameKey);
        if (name.empty()) {
            Add(Severity::Error, "dialog-no-name", scan.Where(fileKey), nameKey,
                "Dialog " + NumberedKey("", n) + " has no name, so the player does not create it.",
                "Add " + nameKey + "=<name>; an info button of the same name opens the dialog.");
            continue;
        }
        bool twice = false;
        for (const DiskPlan::Dialog& earlier : plan.dialogs)
            twice = twice || (!earlier.duplicate && SameTextNoCase(earlier.name.c_str(), name.c_str()));
        if (twice)
            Add(Severity::Warning, "dialog-name-twice", scan.Where(nameKey), nameKey,
                "An earlier dialog has the same name \"" + name + "\" (names are compared "
                "without regard to case); buttons and song texts only ever reach the earlier one.",
                "Give every dialog its own name.");
        std::string missing;
        for (const char* prefix : {"dialog.dx.", "dialog.dy."}) {
            const std::string key = NumberedKey(prefix, n);
            if (scan.Value(key).empty())
                missing += (missing.empty() ? "" : " and ") + key;
            else if (!ReadEntryNumber(scan.Value(key).c_str()).digits)
                Add(Severity::Warning, "offset-not-number", scan.Where(key), key,
                    "\"" + scan.Value(key) + "\" is not a number; the player reads 0.",
                    "Give the offset in pixels as a whole number.");
        }
        if (!missing.empty())
            Add(Severity::Warning, "dialog-offset-missing", scan.Where(fileKey), missing,
                "Dialog " + NumberedKey("", n) + " has no " + missing + "; the player places it "
                "at 0 and writes a complaint on its error output.",
                "Add " + missing + " (pixels from the main window's top-left corner; 0 is fine).");
        const bool refused = Refused(scan.Where(fileKey), "Dialog " + NumberedKey("", n) + "'s skin file");
        plan.dialogs.push_back(
            {n, scan.Value(fileKey), name, scan.Where(fileKey), scan.Where(nameKey), twice, refused});
    }
}

void DescriptorChecker::CheckTargets(const DiskPlan& plan)
{
    for (int t = 1; t <= targetCount; ++t) {
        const std::string nameKey = NumberedKey("longdesc.target.name.", t);
        const std::string dialogKey = NumberedKey("longdesc.target.dialog.", t);
        const std::string& name = scan.Value(nameKey);
        if (name.size() > maxTargetName)
            Add(Severity::Error, "target-name-long", scan.Where(nameKey), nameKey,
                "The target name is longer than 32 characters, so its music.longdesc keys are "
                "longer than 50 characters and are never found.",
                "Use a target name of at most 32 characters.");
        const std::string& dialog = scan.Value(dialogKey);
        bool found = false;
        for (const DiskPlan::Dialog& d : plan.dialogs)
            found = found || SameTextNoCase(d.name.c_str(), dialog.c_str());
        if (dialog.empty())
            Add(Severity::Error, "target-no-dialog", scan.Where(nameKey), dialogKey,
                "Target \"" + name + "\" names no dialog (no " + dialogKey + "), so its song "
                "texts are shown nowhere.",
                "Add " + dialogKey + "=<the dialog.name of the dialog that shows them>.");
        else if (!found)
            Add(Severity::Error, "target-no-dialog", scan.Where(dialogKey), dialogKey,
                "No dialog is named \"" + dialog + "\", so target \"" + name + "\"'s song texts "
                "are shown nowhere.",
                "Use the dialog.name value of one of the dialogs.");
    }
}

}  // namespace

void AddRefusedPath(Report& report, const std::string& file, int line, const std::string& key,
                    const std::string& what, DiskPath::Problem problem)
{
    using Problem = DiskPath::Problem;
    const char* fix = "Put the file inside the disk folder and name it relative to that folder, for "
                      "example music\\song01.mod.";
    if (problem == Problem::Device)
        fix = "Rename the file or folder: Windows keeps CON, PRN, AUX, NUL, COM1-9 and LPT1-9, with "
              "any extension, for devices.";
    else if (problem == Problem::Stream)
        fix = "Remove the ':' from the name.";
    else if (problem == Problem::Climbs)
        fix = "Keep the file inside the disk folder and do not climb above it with \"..\".";
    else if (problem == Problem::Dots)
        fix = "Rename the part that is only dots and blanks.";
    report.Add(Severity::Error, "path-refused", file, line, key,
               what + " is refused: " + DiskPath::Explain(problem) +
                   ". The player does not open it and goes on as if the file were missing.",
               fix);
}

DiskPlan CheckDescriptor(const DescriptorScan& scan, const std::string& topFile, Report& report)
{
    return DescriptorChecker(scan, report).Run(topFile);
}
