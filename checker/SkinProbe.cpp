#include "checker/SkinProbe.h"

#include <windows.h>

#include <cstring>

#include "controls/Button.h"
#include "controls/ControlEntry.h"
#include "controls/Label.h"
#include "controls/SkinEntry.h"
#include "controls/TextField.h"
#include "scrollers/HScroller.h"
#include "scrollers/VScroller.h"
#include "window/MessageBoxSeam.h"
#include "window/RegionFromMask.h"
#include "window/SkinWindow.h"

namespace {

// The message boxes of skin loading become records: a console check shows no boxes.
std::vector<std::string>* recording = nullptr;

int WINAPI RecordMessage(HWND, LPCSTR text, LPCSTR, UINT)
{
    if (recording)
        recording->push_back(text ? text : "");
    return IDOK;
}

class Recording {
public:
    explicit Recording(std::vector<std::string>& into) : previous(SetMessageBoxFunction(RecordMessage))
    {
        recording = &into;
    }
    ~Recording()
    {
        recording = nullptr;
        SetMessageBoxFunction(previous);
    }
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;

private:
    MessageBoxFunction previous;
};

// True when the player's shape for this mask cuts every pixel away.
bool CutAwayEntirely(HBITMAP mask)
{
    if (!mask)
        return false;
    HRGN region = RegionFromMask(mask, 0x00FFFFFF, 0);
    if (!region)
        return false;
    RECT box = {};
    const bool empty = GetRgnBox(region, &box) == NULLREGION;
    DeleteObject(region);
    return empty;
}

std::string SizeText(int width, int height)
{
    return std::to_string(width) + "x" + std::to_string(height);
}

int skinSerial = 0;

}  // namespace

SkinProbe::SkinProbe(Report& report)
    : report(report), facts(), window(), messages(), windowCutAway(false)
{
}

SkinProbe::~SkinProbe()
{
    // The window goes the platform's way first; the object afterwards.
    if (window && window->hwnd && IsWindow(window->hwnd))
        DestroyWindow(window->hwnd);
    window.reset();
}

bool SkinProbe::Load(const std::string& iniPath, SkinRole role, const NamedAt& namedAt)
{
    facts.path = iniPath;
    facts.role = role;
    const DWORD attributes = GetFileAttributesA(iniPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        report.Add(Severity::Error, "skin-missing", namedAt.file, namedAt.line, namedAt.key,
                   "The skin file " + iniPath + " cannot be opened, so that window has no "
                   "pictures and no controls.",
                   "Put the skin file there (paths are relative to the disk folder).");
        return false;
    }
    window = std::make_unique<SkinWindow>();
    const std::string className = "mdcheck skin " + std::to_string(++skinSerial);
    {
        Recording record(messages);
        window->CreateFromSkin(className.c_str(), CW_USEDEFAULT, CW_USEDEFAULT,
                               GetModuleHandleA(nullptr), iniPath.c_str());
    }
    CheckPictures();
    ReadSections();
    return true;
}

void SkinProbe::CheckPictures()
{
    IniFile& ini = window->ini;
    GlobalText main = ini.GetString("SCREEN", "Main", "");
    const char* mainName = main ? main.Get() : "";
    struct Picture {
        const char* key;
        GlobalText name;
        const SkinImage* image;
    } pictures[] = {
        {"Main", std::move(main), &window->image},
        {"Mask", ini.GetString("SCREEN", "Mask", mainName), &window->mask},
        {"Over", ini.GetString("SCREEN", "Over", mainName), &window->overImage},
        {"Down", ini.GetString("SCREEN", "Down", mainName), &window->downImage},
        {"Disabled", ini.GetString("SCREEN", "Disabled", mainName), &window->disabledImage},
    };
    int mainWidth = 0;
    int mainHeight = 0;
    window->image.GetSize(&mainWidth, &mainHeight);
    facts.width = mainWidth;
    facts.height = mainHeight;
    std::vector<std::string> reported;
    for (const Picture& picture : pictures) {
        const std::string key = SkinKey("SCREEN", picture.key);
        if (!picture.name) {
            const bool isMain = std::strcmp(picture.key, "Main") == 0;
            if (isMain || mainName[0] != '\0')
                report.Add(Severity::Error, "picture-missing", facts.path, 0, key,
                           isMain ? "The skin names no Main picture, so the window has no look, "
                                    "no size and no controls' pictures."
                                  : std::string(picture.key) + "= is empty; an empty value does "
                                    "not fall back to the Main picture, so this look is missing.",
                           isMain ? "Add Main=<picture file> to the [SCREEN] section."
                                  : std::string("Name a picture, or remove the line to use the "
                                                "Main picture."));
            continue;
        }
        const std::string path = std::string(window->skinFolder) + picture.name.Get();
        const DiskPath::Problem problem = DiskPath::Check(path.c_str());
        if (problem != DiskPath::Problem::None || picture.image->Empty()) {
            bool seen = false;
            for (const std::string& done : reported)
                seen = seen || done == path;
            if (seen)
                continue;
            reported.push_back(path);
            if (problem != DiskPath::Problem::None) {
                AddRefusedPath(report, facts.path, 0, key, "The picture \"" + path + "\"", problem);
                continue;
            }
            bool unopened = false;
            for (const std::string& message : messages)
                unopened = unopened || message == "Could not load the file: " + path;
            if (unopened)
                report.Add(Severity::Error, "picture-missing", facts.path, 0, key,
                           "The picture " + path + " cannot be opened.",
                           "Put the picture there; names are relative to the skin file's folder.");
            else
                report.Add(Severity::Error, "picture-undecodable", facts.path, 0, key,
                           "The picture " + path + " cannot be decoded.",
                           "Save it as a BMP, GIF or JPEG file.");
            continue;
        }
        int width = 0;
        int height = 0;
        picture.image->GetSize(&width, &height);
        if (mainWidth > 0 && (width != mainWidth || height != mainHeight))
            report.Add(Severity::Error, "picture-size", facts.path, 0, key,
                       "The picture " + path + " is " + SizeText(width, height) +
                           " pixels but Main is " + SizeText(mainWidth, mainHeight) +
                           "; controls are cut from every picture at the same places.",
                       "Make all five pictures of the skin the same size as Main.");
    }
    windowCutAway = CutAwayEntirely(window->mask.Handle());
    if (windowCutAway)
        report.Add(Severity::Error, "mask-hides-window", facts.path, 0, SkinKey("SCREEN", "Mask"),
                   "The mask picture is pure white everywhere, so the whole window is cut away.",
                   "Paint the window's area in the mask in any colour but pure white (255,255,255).");
}

void SkinProbe::ReadSections()
{
    IniFile& ini = window->ini;
    for (const ControlLayout& layout : ControlLayouts()) {
        SectionFacts section;
        section.name = layout.section;
        for (int n = 1;; ++n) {
            GlobalText value = ReadSkinEntry(ini, layout.section, n);
            if (!value)
                break;
            section.entries.push_back(value.Get());
        }
        for (const std::string& key : ini.Text().Keys(layout.section)) {
            GlobalText value = ini.GetString(layout.section, key.c_str(), "");
            section.keys.emplace_back(key, value ? value.Get() : "");
        }
        facts.sections.push_back(section);
    }
}

namespace {

template <class T>
void CheckMasks(const PointerList<T>& made, const std::vector<const CheckedControl*>& expected,
                const std::string& path, Report& report)
{
    DWORD i = 0;
    for (auto* node = made.head; node && i < made.count; node = node->next, ++i) {
        if (!node->item || !CutAwayEntirely(node->item->mask.Handle()))
            continue;
        const CheckedControl& control = *expected[i];
        report.Add(Severity::Error, "mask-hides-control", path, 0,
                   SkinKey(control.section, std::to_string(control.number)),
                   "The mask is pure white over all of " + control.name +
                       ", so the control is cut away and cannot be seen or clicked.",
                   "Paint the control's area in the mask in any colour but pure white.");
    }
}

}  // namespace

void SkinProbe::CheckControls(const std::vector<CheckedControl>& controls)
{
    std::vector<const CheckedControl*> bySection[5];
    const auto& layouts = ControlLayouts();
    for (const CheckedControl& c : controls)
        for (size_t s = 0; s < layouts.size(); ++s)
            if (c.section == layouts[s].section)
                bySection[s].push_back(&c);
    const DWORD made[5] = {window->buttons.count, window->textFields.count,
                           window->hScrollers.count, window->vScrollers.count,
                           window->labels.count};
    for (size_t s = 0; s < layouts.size(); ++s) {
        if (made[s] == bySection[s].size())
            continue;
        report.Add(Severity::Error, "checker-mismatch", facts.path, 0, layouts[s].section,
                   "The player made " + std::to_string(made[s]) + " controls of this section where "
                   "the checker expected " + std::to_string(bySection[s].size()) +
                       "; the findings for this skin may be incomplete.",
                   "Please report this to the makers of the player, with the skin file.");
        return;
    }
    // A window cut away entirely is one finding, not one more for every control on it.
    if (windowCutAway)
        return;
    CheckMasks(window->buttons, bySection[0], facts.path, report);
    CheckMasks(window->hScrollers, bySection[2], facts.path, report);
    CheckMasks(window->vScrollers, bySection[3], facts.path, report);
    CheckMasks(window->labels, bySection[4], facts.path, report);
}
