#include "checker/SkinCheck.h"

#include <algorithm>
#include <cstring>

#include "checker/NameHint.h"
#include "controls/ControlEntry.h"
#include "scrollers/LineAlignment.h"
#include "scrollers/ScrollMode.h"

namespace {

const char* const buttonNames[] = {"name", "x", "y", "width", "height", "tooltip"};
const char* const textNames[] = {"name", "font face", "unused", "unused", "font height",
                                 "text colour", "x", "y", "width", "height", "text", "tooltip"};
const char* const hScrollNames[] = {"name", "font face", "bold", "italic", "font height",
                                    "text colour", "x", "y", "width", "height", "tooltip"};
const char* const vScrollNames[] = {"name", "font face", "bold", "italic", "font height",
                                    "active colour", "inactive colour", "x", "y", "width",
                                    "height", "step", "period", "direction", "mode", "alignment",
                                    "tooltip"};
const char* const labelNames[] = {"name", "font face", "bold", "italic", "font height",
                                  "active colour", "inactive colour", "x", "y", "width", "height",
                                  "tooltip"};

const char* const* FieldNames(const std::string& section)
{
    if (section == "BUTTONINFO") return buttonNames;
    if (section == "TEXTINFO") return textNames;
    if (section == "HSCROLLINFO") return hScrollNames;
    if (section == "VSCROLLINFO") return vScrollNames;
    return labelNames;
}

// The main window's buttons; names beginning with "BUTTON_INFO" open dialogs.
const char* const mainButtons[] = {"BUTTON_EXIT", "BUTTON_MINIMIZE", "BUTTON_PAUSE",
                                   "BUTTON_PLAY", "BUTTON_STOP",     "BUTTON_FF",
                                   "BUTTON_RW",   "BUTTON_PREV",     "BUTTON_NEXT"};
const char infoPrefix[] = "BUTTON_INFO";

bool IsInfoButton(const std::string& name)
{
    return name.compare(0, sizeof infoPrefix - 1, infoPrefix) == 0;
}

bool IsDigits(const std::string& text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// The name of the mode an unknown name gives.
std::string DefaultModeName()
{
    for (const ScrollModeName& known : scrollModeNames)
        if (known.mode == ScrollModeFromName(nullptr))
            return known.name;
    return std::string();
}

std::string LeftName()
{
    for (const LineAlignmentName& known : lineAlignmentNames)
        if (known.alignment == LineAlignment::Left)
            return known.name;
    return std::string();
}

// "a, b and c".
std::string Listed(const std::vector<std::string>& words, const char* last)
{
    std::string out;
    for (size_t i = 0; i < words.size(); ++i)
        out += (i == 0 ? "" : i + 1 == words.size() ? std::string(" ") + last + " " : ", ") +
               words[i];
    return out;
}

// " Did you mean X?" when a known name is near the word, else nothing.
std::string Hint(const std::string& word, const std::vector<std::string>& known)
{
    const std::string nearest = NearestName(word, known);
    return nearest.empty() ? std::string() : " Did you mean " + nearest + "?";
}

std::string Field(int index, const char* const* names)
{
    return "field " + std::to_string(index + 1) + " (" + names[index] + ")";
}

class EntryChecker {
public:
    EntryChecker(const SkinFacts& skin, const ControlLayout& layout, int number, Report& report)
        : skin(skin), layout(layout), names(FieldNames(layout.section)),
          key(SkinKey(layout.section, std::to_string(number))), report(report)
    {
    }

    // False when the player skips the entry.
    bool Check(const std::string& value, std::vector<std::string>& fields);

private:
    void Add(Severity severity, const char* code, const std::string& problem, const std::string& fix)
    {
        report.Add(severity, code, skin.path, 0, key, problem, fix);
    }
    void CheckField(int index, const std::string& text);
    void CheckRectangle(const std::vector<std::string>& fields);

    const SkinFacts& skin;
    const ControlLayout& layout;
    const char* const* names;
    std::string key;
    Report& report;
};

bool EntryChecker::Check(const std::string& value, std::vector<std::string>& fields)
{
    fields = SplitEntryFields(value.c_str());
    const int count = static_cast<int>(fields.size());
    const bool emptyField = value.find(",,") != std::string::npos;
    if (count < layout.required) {
        Add(Severity::Error, "entry-short",
            "The " + std::string(layout.kind) + " entry has " + std::to_string(count) +
                " fields but needs at least " + std::to_string(layout.required) +
                ", so the player skips it." +
                (emptyField ? " Two commas in a row count as one: an empty field is dropped." : ""),
            "Give every field of the layout, each with something in it.");
        return false;
    }
    if (count > layout.fields)
        Add(Severity::Warning, "entry-extra-fields",
            "The entry has " + std::to_string(count) + " fields; the player reads the first " +
                std::to_string(layout.fields) + " and ignores the rest.",
            "Remove the extra fields; a text field cannot hold a comma.");
    else if (emptyField)
        Add(Severity::Warning, "entry-empty-field",
            "Two commas in a row count as one, so every field after them has moved one place "
            "forward.",
            "Put something in every field.");
    for (int i = 0; i < count && i < layout.fields; ++i)
        CheckField(i, fields[i]);
    CheckRectangle(fields);
    return true;
}

void EntryChecker::CheckField(int index, const std::string& text)
{
    switch (layout.layout[index]) {
    case FieldKind::Name:
        if (text.front() == ' ' || text.back() == ' ' || text.front() == '\t' || text.back() == '\t')
            Add(Severity::Warning, "name-blank",
                "The name \"" + text + "\" has blanks around it; they are part of the name.",
                "Remove the blanks around the name.");
        break;
    case FieldKind::Integer:
    case FieldKind::Colour: {
        const EntryNumber number = ReadEntryNumber(text.c_str());
        if (!number.digits)
            Add(Severity::Error, "not-a-number",
                Field(index, names) + " is \"" + text + "\", which is not a number; the player "
                "reads 0.",
                "Write a whole number in decimal digits.");
        else if (number.rest)
            Add(Severity::Warning, "not-a-number",
                Field(index, names) + " is \"" + text + "\"; the player reads only " +
                    std::to_string(number.value) + " and ignores the rest.",
                "Write a whole number in decimal digits only.");
        else if (layout.layout[index] == FieldKind::Colour &&
                 (number.value < 0 || number.value > 16777215))
            Add(Severity::Warning, "colour-range",
                Field(index, names) + " is " + text + ", outside the colours 0 to 16777215.",
                "Write red + 256 x green + 65536 x blue, each 0 to 255 (16777215 is white).");
        break;
    }
    case FieldKind::Flag:
        if (!EntryFlag(text.c_str()) && !SameTextNoCase(text.c_str(), "FALSE"))
            Add(Severity::Warning, "flag-word",
                Field(index, names) + " is \"" + text + "\"; only TRUE switches it on, so the "
                "player reads it as FALSE.",
                "Write TRUE or FALSE, without blanks.");
        break;
    case FieldKind::Mode:
        if (!IsScrollModeName(text.c_str())) {
            std::vector<std::string> modes;
            for (const ScrollModeName& known : scrollModeNames)
                modes.push_back(known.name);
            Add(Severity::Warning, "unknown-mode",
                Field(index, names) + " is \"" + text + "\"; the player knows " + Listed(modes, "and") +
                    ", and uses " + DefaultModeName() + "." + Hint(text, modes),
                "Write " + Listed(modes, "or") + ".");
        }
        break;
    case FieldKind::Alignment:
        if (!LineAlignmentFromName(text.c_str(), nullptr)) {
            std::vector<std::string> alignments;
            for (const LineAlignmentName& known : lineAlignmentNames)
                alignments.push_back(known.name);
            Add(Severity::Warning, "unknown-alignment",
                Field(index, names) + " is \"" + text + "\"; the player knows " +
                    Listed(alignments, "and") + ", and aligns " + LeftName() + "." +
                    Hint(text, alignments),
                "Write " + Listed(alignments, "or") + ".");
        }
        break;
    default:
        break;
    }
}

void EntryChecker::CheckRectangle(const std::vector<std::string>& fields)
{
    const long long x = ReadEntryNumber(fields[layout.x].c_str()).value;
    const long long y = ReadEntryNumber(fields[layout.y].c_str()).value;
    const long long width = ReadEntryNumber(fields[layout.width].c_str()).value;
    const long long height = ReadEntryNumber(fields[layout.height].c_str()).value;
    if (width <= 0 || height <= 0) {
        Add(Severity::Error, "empty-rectangle",
            "The control is " + std::to_string(width) + " by " + std::to_string(height) +
                " pixels, so it shows nothing.",
            "Give a width and a height of at least 1 pixel.");
        return;
    }
    if (skin.width <= 0 || skin.height <= 0)
        return;
    // Text fields take no picture; their window stands 6 pixels right of x.
    const bool text = std::strcmp(layout.section, "TEXTINFO") == 0;
    const long long left = text ? x + 6 : x;
    const std::string where = std::to_string(left) + "," + std::to_string(y) + " " +
                              std::to_string(width) + "x" + std::to_string(height);
    const std::string size = std::to_string(skin.width) + "x" + std::to_string(skin.height);
    if (left >= skin.width || y >= skin.height || left + width <= 0 || y + height <= 0)
        Add(Severity::Error, "outside-picture",
            "The rectangle " + where + " lies outside the " + size + " Main picture, so the "
            "control cannot be seen.",
            "Move the control inside the picture.");
    else if (left < 0 || y < 0 || left + width > skin.width || y + height > skin.height)
        Add(Severity::Warning, "outside-picture",
            "The rectangle " + where + " reaches outside the " + size + " Main picture; " +
                (text ? "the text is cut at the window's edge." : "that part shows black."),
            "Keep the control inside the picture.");
}

bool HasName(const std::vector<CheckedControl>& controls, const char* name)
{
    for (const CheckedControl& c : controls)
        if (SameTextNoCase(c.name.c_str(), name))
            return true;
    return false;
}

bool IsScroller(const CheckedControl& control)
{
    return control.section == "HSCROLLINFO" || control.section == "VSCROLLINFO";
}

bool HasBlanks(const std::string& name)
{
    return name.front() == ' ' || name.back() == ' ' || name.front() == '\t' || name.back() == '\t';
}

// The control that most likely stands for a name the skin lacks: the first whose name is near
// it, of the kinds that can carry it; failing that, with `anyOfKind`, the first of those kinds at
// all (a dialog's only scrolling text is its TEXT_SCROLLER, whatever it is named). Null when the
// skin has the name or no control stands for it.
const CheckedControl* MisspeltAs(const std::vector<CheckedControl>& controls, const char* name,
                                 bool (*kind)(const CheckedControl&), bool exactCase, bool anyOfKind = false)
{
    for (const CheckedControl& c : controls)
        if (exactCase ? c.name == name : SameTextNoCase(c.name.c_str(), name))
            return nullptr;
    for (const CheckedControl& c : controls)
        if (kind(c) && !NearestName(c.name, {name}).empty())
            return &c;
    for (const CheckedControl& c : controls)
        if (anyOfKind && kind(c))
            return &c;
    return nullptr;
}

bool AnyKind(const CheckedControl&)
{
    return true;
}

bool IsButton(const CheckedControl& control)
{
    return control.section == "BUTTONINFO";
}

// A control the window needs is missing: reported at the entry whose name is a near miss of it
// (with "did you mean"), or at the name itself when no entry is near.
void MissingControl(Report& report, const std::string& path, const std::vector<CheckedControl>& controls,
                    const char* name, bool (*kind)(const CheckedControl&), bool exactCase,
                    const std::string& problem, const std::string& fix)
{
    const bool scroller = kind == IsScroller;
    const CheckedControl* misspelt = MisspeltAs(controls, name, kind, exactCase, scroller);
    if (!misspelt) {
        report.Add(Severity::Error, "missing-control", path, 0, name, problem, fix);
        return;
    }
    const bool near = !NearestName(misspelt->name, {name}).empty();
    report.Add(Severity::Error, "missing-control", path, 0,
               SkinKey(misspelt->section, std::to_string(misspelt->number)),
               problem + " This entry is named " + misspelt->name +
                   (near ? std::string(": did you mean ") + name + "?"
                         : ", and no text ever reaches a scrolling text of that name."),
               std::string("Name the control ") + name + " (upper case as written here).");
}

// What each control can do on a window of this role: a button nothing reacts to and a scrolling
// text no text ever reaches do nothing, and that is an error. A near miss of a name the window
// lacks is left to CheckSkinLinks, which points at it.
void CheckPurposes(const SkinFacts& skin, const std::vector<CheckedControl>& controls, Report& report)
{
    std::vector<std::string> known;
    for (const char* name : mainButtons)
        known.push_back(name);
    for (const CheckedControl& c : controls) {
        if (HasBlanks(c.name))
            continue;
        const std::string key = SkinKey(c.section, std::to_string(c.number));
        if (skin.role == SkinRole::Splash && (IsButton(c) || IsScroller(c))) {
            report.Add(Severity::Error, "control-does-nothing", skin.path, 0, key,
                       IsButton(c) ? "Buttons on the splash screen do nothing, so " + c.name +
                                         " lights up under the mouse and does nothing."
                                   : "No text ever reaches a scrolling text on the splash screen, so " +
                                         c.name + " shows only its piece of the picture.",
                       "Remove the control; paint what it should show into the splash picture.");
            continue;
        }
        if (IsScroller(c) && !SameTextNoCase(c.name.c_str(), "TEXT_SCROLLER") &&
            skin.role != SkinRole::Splash &&
            MisspeltAs(controls, "TEXT_SCROLLER", IsScroller, false, true) != &c) {
            report.Add(Severity::Error, "control-does-nothing", skin.path, 0, key,
                       "No text ever reaches a scrolling text named " + c.name +
                           ": only TEXT_SCROLLER gets one, so it shows only its piece of the picture." +
                           Hint(c.name, {"TEXT_SCROLLER"}),
                       "Name it TEXT_SCROLLER, or remove it.");
            continue;
        }
        if (!IsButton(c))
            continue;
        if (skin.role == SkinRole::Main && !IsInfoButton(c.name) &&
            std::find(known.begin(), known.end(), c.name) == known.end()) {
            const bool info = SameTextNoCase(c.name.substr(0, sizeof infoPrefix - 1).c_str(), infoPrefix);
            report.Add(Severity::Error, "unknown-button", skin.path, 0, key,
                       "Nothing reacts to a button named " + c.name + ", so it does nothing." +
                           (info ? " Did you mean " + std::string(infoPrefix) +
                                       c.name.substr(sizeof infoPrefix - 1) + "?"
                                 : Hint(c.name, known)),
                       "Use BUTTON_PLAY, BUTTON_PAUSE, BUTTON_STOP, BUTTON_FF, BUTTON_RW, "
                       "BUTTON_PREV, BUTTON_NEXT, BUTTON_MINIMIZE, BUTTON_EXIT or "
                       "BUTTON_INFO<dialog> (upper case as written here).");
        }
        // A close button in another case is the missing close button or a second one
        // (CheckSkinLinks, duplicate-name).
        if (skin.role == SkinRole::Dialog && !SameTextNoCase(c.name.c_str(), "BUTTON_CLOSE") &&
            MisspeltAs(controls, "BUTTON_CLOSE", IsButton, true) != &c)
            report.Add(Severity::Error, "unknown-button", skin.path, 0, key,
                       "Nothing reacts to a button named " + c.name +
                           " on a dialog, so it does nothing: only BUTTON_CLOSE does something there.",
                       "Name the dialog's close button BUTTON_CLOSE (upper case), or remove this one.");
    }
}

}  // namespace

int StrayMaskPixels(const std::vector<unsigned>& pixels, int width, int height)
{
    if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * height)
        return 0;
    auto white = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < width && y < height &&
               (pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF) == 0xFFFFFF;
    };
    int stray = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned pixel = pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF;
            const bool light =
                (pixel >> 16) >= 0xF0 && ((pixel >> 8) & 0xFF) >= 0xF0 && (pixel & 0xFF) >= 0xF0;
            if (!light || pixel == 0xFFFFFF)
                continue;
            bool besideWhite = false;
            for (int dy = -1; dy <= 1 && !besideWhite; ++dy)
                for (int dx = -1; dx <= 1 && !besideWhite; ++dx)
                    besideWhite = white(x + dx, y + dy);
            stray += besideWhite;
        }
    return stray;
}

std::string SkinKey(const std::string& section, const std::string& key)
{
    return "[" + section + "] " + key;
}

std::vector<CheckedControl> CheckSkinEntries(const SkinFacts& skin, Report& report)
{
    std::vector<CheckedControl> controls;
    for (const ControlLayout& layout : ControlLayouts()) {
        const SectionFacts* section = nullptr;
        for (const SectionFacts& s : skin.sections)
            if (SameTextNoCase(s.name.c_str(), layout.section))
                section = &s;
        if (!section)
            continue;
        const int read = static_cast<int>(section->entries.size());
        for (int i = 0; i < read; ++i) {
            std::vector<std::string> fields;
            EntryChecker entry(skin, layout, i + 1, report);
            if (!entry.Check(section->entries[i], fields))
                continue;
            CheckedControl control{layout.section, i + 1, fields[0],
                                   ReadEntryNumber(fields[layout.x].c_str()).value,
                                   ReadEntryNumber(fields[layout.y].c_str()).value,
                                   ReadEntryNumber(fields[layout.width].c_str()).value,
                                   ReadEntryNumber(fields[layout.height].c_str()).value,
                                   std::strcmp(layout.section, "TEXTINFO") != 0};
            for (const CheckedControl& earlier : controls)
                if (SameTextNoCase(earlier.name.c_str(), control.name.c_str())) {
                    report.Add(Severity::Warning, "duplicate-name", skin.path, 0,
                               SkinKey(layout.section, std::to_string(i + 1)),
                               "The name " + control.name + " is used already (" +
                                   SkinKey(earlier.section, std::to_string(earlier.number)) +
                                   "); the player finds only the first control of a name.",
                               "Give every control its own name.");
                    break;
                }
            controls.push_back(control);
        }
        // Keys the loader never reaches: past a gap, or not written as plain numbers.
        for (const auto& key : section->keys) {
            if (key.second.empty())
                continue;
            const std::string where = SkinKey(layout.section, key.first);
            if (!IsDigits(key.first) || key.first[0] == '0')
                report.Add(Severity::Warning, "skin-key-name", skin.path, 0, where,
                           "The player reads only the keys 1, 2, 3, ... of this section, so this "
                           "entry is never used.",
                           "Number the entries 1, 2, 3, ... without leading zeros.");
            else if (key.first.size() > 9 || std::stoi(key.first) > read + 1)
                report.Add(Severity::Error, "skin-gap", skin.path, 0, where,
                           "Entry " + std::to_string(read + 1) + " is missing or empty, so the "
                           "player stops there and never creates this control.",
                           "Number the entries 1, 2, 3, ... without gaps.");
        }
    }
    CheckPurposes(skin, controls, report);
    return controls;
}

void CheckSkinLinks(const std::string& mainPath, bool mainRead,
                    const std::vector<CheckedControl>& mainControls,
                    const std::vector<DialogSkin>& dialogs, Report& report)
{
    // Dialog names that a misspelt info button was near.
    std::vector<std::string> hinted;
    if (mainRead) {
        for (const char* name : {"TEXT_SONGNUM", "TEXT_ACTTIME", "TEXT_TOTALTIME", "TEXT_SCROLLER"}) {
            if (HasName(mainControls, name))
                continue;
            const bool scroller = std::strcmp(name, "TEXT_SCROLLER") == 0;
            MissingControl(report, mainPath, mainControls, name, scroller ? IsScroller : AnyKind, false,
                           std::string("The main skin has no control named ") + name +
                               ", so the player cannot show " +
                               (std::strcmp(name, "TEXT_SONGNUM") == 0     ? "the song number."
                                : std::strcmp(name, "TEXT_ACTTIME") == 0   ? "the elapsed time."
                                : std::strcmp(name, "TEXT_TOTALTIME") == 0 ? "the total time."
                                                                          : "the song description."),
                           std::string("Add a control named ") + name +
                               (scroller ? " (an HSCROLLINFO entry)." : " (a TEXTINFO entry)."));
        }
        for (const CheckedControl& c : mainControls) {
            if (c.section != "BUTTONINFO" || !IsInfoButton(c.name))
                continue;
            bool found = false;
            for (const DialogSkin& d : dialogs)
                found = found || SameTextNoCase(d.dialog->name.c_str(), c.name.c_str());
            std::vector<std::string> names;
            for (const DialogSkin& d : dialogs)
                names.push_back(d.dialog->name);
            if (found)
                continue;
            const std::string nearest = NearestName(c.name, names);
            if (!nearest.empty())
                hinted.push_back(nearest);
            report.Add(Severity::Error, "info-button-no-dialog", mainPath, 0,
                       SkinKey(c.section, std::to_string(c.number)),
                       "The info button " + c.name + " opens the dialog of that name, but no "
                       "dialog has it, so the button does nothing." +
                           (nearest.empty() ? std::string() : " Did you mean " + nearest + "?"),
                       "Add a dialog with dialog.name.NN=" + c.name +
                           " to the descriptor, or rename the button.");
        }
    }
    for (const DialogSkin& d : dialogs) {
        const DiskPlan::Dialog& dialog = *d.dialog;
        // A dialog whose button is misspelt is reported with the button.
        const bool misspelt = std::find(hinted.begin(), hinted.end(), dialog.name) != hinted.end();
        if (mainRead && !dialog.duplicate && !misspelt) {
            bool opened = false;
            for (const CheckedControl& c : mainControls)
                opened = opened || (c.section == "BUTTONINFO" && IsInfoButton(c.name) &&
                                    SameTextNoCase(c.name.c_str(), dialog.name.c_str()));
            if (!opened)
                report.Add(Severity::Error, "dialog-never-opens",
                           dialog.nameAt ? dialog.nameAt->place.file : std::string(),
                           dialog.nameAt ? dialog.nameAt->place.line : 0,
                           NumberedKey("dialog.name.", dialog.number),
                           "No button of the main skin opens the dialog \"" + dialog.name +
                               "\": only buttons whose names begin with BUTTON_INFO open dialogs, "
                               "the one with the dialog's name.",
                           "Name the dialog BUTTON_INFO<something> and add a button of that name "
                           "to the main skin.");
        }
        if (!d.skinRead)
            continue;
        if (!HasName(d.controls, "TEXT_SCROLLER"))
            MissingControl(report, dialog.file, d.controls, "TEXT_SCROLLER", IsScroller, false,
                           "The dialog skin has no control named TEXT_SCROLLER, so the dialog shows "
                           "no text.",
                           "Add a VSCROLLINFO (or HSCROLLINFO) entry named TEXT_SCROLLER.");
        bool close = false;
        for (const CheckedControl& c : d.controls)
            close = close || (c.section == "BUTTONINFO" && c.name == "BUTTON_CLOSE");
        if (!close)
            MissingControl(report, dialog.file, d.controls, "BUTTON_CLOSE", IsButton, true,
                           "The dialog skin has no button named BUTTON_CLOSE (exactly so, upper "
                           "case), so the dialog can only be closed with the Escape key.",
                           "Add a BUTTONINFO entry named BUTTON_CLOSE.");
    }
}
