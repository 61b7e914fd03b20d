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
#include "checker/NameHint.h"
#include "window/MessageBoxSeam.h"
#include "window/PictureFormat.h"
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

// A picture file's bytes, at most the player's bound and one more (so that a larger file shows
// as such); empty when it cannot be read.
std::vector<unsigned char> PictureBytes(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::vector<unsigned char> bytes(PictureFormat::MaxFileBytes + 1);
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        read = 0;
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

// The kind of a picture file by its first bytes, as the player tells it.
PictureFormat::Kind KindOfFile(const std::string& path)
{
    const std::vector<unsigned char> bytes = PictureBytes(path);
    return PictureFormat::Detect(bytes.data(), bytes.size());
}

// A bitmap's pixels as 0xRRGGBB, row by row from the top; empty when they cannot be read.
std::vector<unsigned> PixelsOf(HBITMAP bitmap, int* width, int* height)
{
    BITMAP info = {};
    *width = 0;
    *height = 0;
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return {};
    BITMAPINFO header = Dib32Header(info.bmWidth, info.bmHeight);
    std::vector<unsigned> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, info.bmHeight, pixels.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != info.bmHeight)
        return {};
    *width = info.bmWidth;
    *height = info.bmHeight;
    return pixels;
}

const char* const screenKeys[] = {"Main", "Mask", "Over", "Down", "Disabled"};

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
    // Keys of [SCREEN] the player never reads, with the picture key each is nearest to.
    std::vector<std::string> known(std::begin(screenKeys), std::end(screenKeys));
    std::vector<std::pair<std::string, std::string>> strays;
    for (const std::string& key : ini.Text().Keys("SCREEN")) {
        bool read = false;
        for (const char* name : screenKeys)
            read = read || SameTextNoCase(key.c_str(), name);
        if (!read)
            strays.emplace_back(key, NearestName(key, known));
    }
    std::vector<std::string> reported;
    for (const Picture& picture : pictures) {
        std::string key = SkinKey("SCREEN", picture.key);
        if (!picture.name) {
            const bool isMain = std::strcmp(picture.key, "Main") == 0;
            // A misspelt Main= is pointed at where it is written.
            std::string hint;
            for (auto& stray : strays)
                if (isMain && stray.second == "Main" && hint.empty()) {
                    key = SkinKey("SCREEN", stray.first);
                    hint = " The key " + stray.first + " is no picture key: did you mean Main?";
                    stray.second = "reported";
                }
            if (isMain || mainName[0] != '\0')
                report.Add(Severity::Error, "picture-missing", facts.path, 0, key,
                           isMain ? "The skin names no Main picture, so the window has no look, "
                                    "no size and no controls' pictures." + hint
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
            const std::vector<unsigned char> bytes = PictureBytes(path);
            const PictureFormat::Kind kind = PictureFormat::Detect(bytes.data(), bytes.size());
            long width = 0;
            long height = 0;
            const bool sized = PictureFormat::Size(bytes.data(), bytes.size(), &width, &height);
            if (unopened)
                report.Add(Severity::Error, "picture-missing", facts.path, 0, key,
                           "The picture " + path + " cannot be opened.",
                           "Put the picture there; names are relative to the skin file's folder.");
            else if (!PictureFormat::Decoded(kind))
                report.Add(Severity::Error, "picture-format", facts.path, 0, key,
                           "The picture " + path + " is " +
                               (kind == PictureFormat::Unknown
                                    ? std::string("no BMP, GIF or JPEG picture")
                                    : std::string("a ") + PictureFormat::Name(kind) + " file") +
                               ", whatever its name says. The player reads only BMP, GIF and JPEG "
                               "pictures, as the picture decoder of every Windows does, so this "
                               "look shows nothing (some viewers, and Wine, show more kinds: do "
                               "not trust them).",
                           "Save it as BMP or GIF.");
            else if (bytes.size() > PictureFormat::MaxFileBytes)
                report.Add(Severity::Error, "picture-too-large", facts.path, 0, key,
                           "The picture " + path + " is larger than " +
                               std::to_string(PictureFormat::MaxFileBytes >> 20) +
                               " MB, more than any window needs, so the player does not read it.",
                           "Make the picture the size of the window, or save it as GIF.");
            else if (sized && (width > PictureFormat::MaxSide || height > PictureFormat::MaxSide ||
                               width * height > PictureFormat::MaxPixels))
                report.Add(Severity::Error, "picture-too-large", facts.path, 0, key,
                           "The picture " + path + " is " +
                               SizeText(static_cast<int>(width), static_cast<int>(height)) +
                               " pixels by its header; the player decodes pictures of at most " +
                               std::to_string(PictureFormat::MaxSide) + " pixels a side and " +
                               std::to_string(PictureFormat::MaxPixels) + " in all.",
                           "Make the picture the size of the window.");
            else
                report.Add(Severity::Error, "picture-undecodable", facts.path, 0, key,
                           "The picture " + path + " is a " + PictureFormat::Name(kind) +
                               " file that cannot be decoded (damaged or cut short).",
                           "Save it again as BMP or GIF.");
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
    for (const auto& stray : strays)
        if (stray.second != "reported")
            report.Add(Severity::Warning, "unknown-key", facts.path, 0, SkinKey("SCREEN", stray.first),
                       "The player never reads the key " + stray.first + " of [SCREEN]." +
                           (stray.second.empty() ? std::string() : " Did you mean " + stray.second + "?"),
                       "The picture keys are Main, Mask, Over, Down and Disabled.");
    CheckMaskQuality(pictures[1].name ? std::string(window->skinFolder) + pictures[1].name.Get()
                                      : std::string(),
                     ini.Text().Find("SCREEN", "Mask") != nullptr);
    windowCutAway = CutAwayEntirely(window->mask.Handle());
    if (windowCutAway)
        report.Add(Severity::Error, "mask-hides-window", facts.path, 0, SkinKey("SCREEN", "Mask"),
                   "The mask picture is pure white everywhere, so the whole window is cut away.",
                   "Paint the window's area in the mask in any colour but pure white (255,255,255).");
}

void SkinProbe::CheckMaskQuality(const std::string& path, bool ownMask)
{
    if (path.empty() || window->mask.Empty())
        return;
    int width = 0;
    int height = 0;
    const std::vector<unsigned> pixels = PixelsOf(window->mask.Handle(), &width, &height);
    const int stray = StrayMaskPixels(pixels, width, height);
    const bool jpeg = KindOfFile(path) == PictureFormat::Jpeg;
    if (!jpeg && stray == 0)
        return;
    const std::string key = SkinKey("SCREEN", ownMask ? "Mask" : "Main");
    const std::string what = ownMask ? "The mask " + path
                                     : "The Main picture " + path + ", the mask of a skin without Mask,";
    const std::string count = std::to_string(stray) + " pixel" + (stray == 1 ? "" : "s");
    if (jpeg)
        report.Add(Severity::Warning, "mask-jpeg", facts.path, 0, key,
                   what + " is a JPEG picture: JPEG changes colours slightly, so white is not kept "
                   "pure white. " + count + " next to the cut-away white are near-white and stay in "
                   "the window as a light fringe.",
                   "Save the mask as GIF or BMP, in pure white and black only.");
    else
        report.Add(Severity::Warning, "mask-fringe", facts.path, 0, key,
                   what + " has " + count + " next to its pure white that are nearly white (every "
                   "channel 240 or more): smoothing left them, and only pure white is cut away, so "
                   "the window keeps a light fringe there.",
                   "Turn off smoothing (anti-aliasing) for the mask; paint it in pure white and black only.");
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
    std::vector<std::string> known = {"SCREEN"};
    for (const ControlLayout& layout : ControlLayouts())
        known.push_back(layout.section);
    for (const std::string& name : ini.Text().SectionNames()) {
        bool read = false;
        for (const std::string& k : known)
            read = read || SameTextNoCase(name.c_str(), k.c_str());
        if (read)
            continue;
        const std::string nearest = NearestName(name, known);
        report.Add(nearest.empty() ? Severity::Warning : Severity::Error, "unknown-section", facts.path,
                   0, "[" + name + "]",
                   "The player reads no section of this name, so its lines are never used." +
                       (nearest.empty() ? std::string() : " Did you mean [" + nearest + "]?"),
                   "The sections are [SCREEN], [BUTTONINFO], [TEXTINFO], [HSCROLLINFO], "
                   "[VSCROLLINFO] and [LABELINFO].");
    }
    for (const IniText::MarkedLine& line : ini.Text().MarkedLines())
        if (line.text.empty() || line.text[0] != ';')
            report.Add(Severity::Error, "byte-order-mark", facts.path, line.number, "",
                       "The line starts with a byte-order mark (the bytes EF BB BF an editor writes "
                       "at the start of a UTF-8 file; here two files were joined): the player reads "
                       "it as part of the line, so \"" + line.text + "\" means nothing to it.",
                       "Remove the mark: retype the start of the line, or save the file again as "
                       "UTF-8 from an editor that keeps one mark at most, at the very start.");
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

template <class T>
void Place(const PointerList<T>& made, const std::vector<const CheckedControl*>& expected,
           std::vector<SkinProbe::PlacedControl>& placed)
{
    DWORD i = 0;
    for (auto* node = made.head; node && i < made.count; node = node->next, ++i)
        if (node->item && node->item->hwnd)
            placed.push_back({expected[i], node->item->hwnd});
}

using RegionOwner = Owner<GdiObject<HRGN, GdiKind::Region>>;

// Where a control takes the mouse, in its window's client coordinates: its rectangle cut to its
// shape.
RegionOwner MouseArea(HWND control)
{
    RECT r = {};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    RegionOwner area(CreateRectRgn(r.left, r.top, r.right, r.bottom));
    RegionOwner shape(CreateRectRgn(0, 0, 0, 0));
    if (!area.Empty() && !shape.Empty() && GetWindowRgn(control, shape.Get()) != ERROR) {
        OffsetRgn(shape.Get(), r.left, r.top);
        CombineRgn(area.Get(), area.Get(), shape.Get(), RGN_AND);
    }
    return area;
}

// The place of a control among its window's children, 0 the topmost.
int Depth(HWND control)
{
    int depth = 0;
    for (HWND above = GetWindow(control, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV))
        ++depth;
    return depth;
}

std::string Where(const CheckedControl& control)
{
    return control.name + " (" + SkinKey(control.section, std::to_string(control.number)) + ")";
}

}  // namespace

std::vector<SkinProbe::Overlap> SkinProbe::Overlaps() const
{
    std::vector<Overlap> overlaps;
    for (size_t i = 0; i < placed.size(); ++i) {
        const RegionOwner first = MouseArea(placed[i].window);
        for (size_t j = i + 1; j < placed.size(); ++j) {
            const RegionOwner second = MouseArea(placed[j].window);
            RegionOwner both(CreateRectRgn(0, 0, 0, 0));
            RECT box = {};
            if (first.Empty() || second.Empty() || both.Empty() ||
                CombineRgn(both.Get(), first.Get(), second.Get(), RGN_AND) == NULLREGION ||
                GetRgnBox(both.Get(), &box) == NULLREGION)
                continue;
            overlaps.push_back({i, j, box});
        }
    }
    return overlaps;
}

void SkinProbe::CheckOverlaps()
{
    for (const Overlap& overlap : Overlaps()) {
        const PlacedControl& first = placed[overlap.first];
        const PlacedControl& second = placed[overlap.second];
        const PlacedControl& top = Depth(first.window) < Depth(second.window) ? first : second;
        const RECT& box = overlap.box;
        report.Add(Severity::Warning, "controls-overlap", facts.path, 0,
                   SkinKey(second.entry->section, std::to_string(second.entry->number)),
                   second.entry->name + " overlaps " + Where(*first.entry) + " at " +
                       std::to_string(box.left) + "," + std::to_string(box.top) + " " +
                       SizeText(box.right - box.left, box.bottom - box.top) +
                       " (where the player shows them): there only " + top.entry->name +
                       ", which lies on top, takes the mouse, and the other's look is partly "
                       "hidden or shows through.",
                   "Move or resize one of them so that they do not overlap (mind the 6 pixels "
                   "every control but a button stands right of its x).");
    }
}

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
    Place(window->buttons, bySection[0], placed);
    Place(window->textFields, bySection[1], placed);
    Place(window->hScrollers, bySection[2], placed);
    Place(window->vScrollers, bySection[3], placed);
    Place(window->labels, bySection[4], placed);
    // A window cut away entirely is one finding, not one more for every control on it.
    if (windowCutAway)
        return;
    CheckOverlaps();
    CheckMasks(window->buttons, bySection[0], facts.path, report);
    CheckMasks(window->hScrollers, bySection[2], facts.path, report);
    CheckMasks(window->vScrollers, bySection[3], facts.path, report);
    CheckMasks(window->labels, bySection[4], facts.path, report);
}
