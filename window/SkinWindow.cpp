#include "window/SkinWindow.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include "controls/Label.h"
#include "controls/SkinEntry.h"
#include "controls/TextField.h"
#include "descriptor/DiskPath.h"
#include "scrollers/HScroller.h"
#include "scrollers/VScroller.h"
#include "window/MessageBoxSeam.h"
#include "window/RegionFromMask.h"

namespace {

template <class T>
void TellAppActive(const PointerList<T>& list, BOOL active)
{
    for (typename PointerList<T>::Node* node = list.head; node; node = node->next)
        if (node->item)
            node->item->SetAppActive(active);
}

}  // namespace

SkinWindow::SkinWindow()
    : loading(0), skinFolder(), draggable(true), overImage(), downImage(), ini(),
      keepShownPlace(false), shownX(0), shownY(0)
{
}

SkinWindow::~SkinWindow()
{
    ClearControls();
    labels.Clear();
    vScrollers.Clear();
    hScrollers.Clear();
}

HWND SkinWindow::CreateFromSkin(const char* name, int x, int y, HINSTANCE moduleInstance,
                                const char* iniPath)
{
    return CreateWithOwner(name, x, y, moduleInstance, nullptr, iniPath);
}

int SkinWindow::OnButtonClick(const char*)
{
    return 1;
}

HWND SkinWindow::CreateWithOwner(const char* name, int x, int y, HINSTANCE moduleInstance,
                                 HWND owner, const char* iniPath)
{
    HWND created = Create(0, name, name, WS_POPUP, x, y, 100, 100, owner, nullptr, moduleInstance);
    instance = moduleInstance;
    LoadSkin(iniPath);
    return created;
}

void SkinWindow::LoadSkin(const char* iniPath)
{
    loading = 1;
    // Nothing is read from a path the disk may not name; the pictures then fail as they would
    // beside a missing skin file.
    ini.SetPath(DiskPath::Allowed(iniPath) ? iniPath : nullptr);

    // Picture names are relative to the ini file's folder; a bare ini name means the current one.
    snprintf(skinFolder, sizeof skinFolder, "%s", iniPath ? iniPath : "");
    char* lastSeparator = nullptr;
    for (char* c = skinFolder; *c; ++c)
        if (*c == '\\' || *c == '/')
            lastSeparator = c;
    if (lastSeparator)
        lastSeparator[1] = '\0';
    else
        skinFolder[0] = '\0';

    GlobalText main = ini.GetString("SCREEN", "Main", "");
    const char* mainName = main ? main.Get() : "";
    GlobalText names[5] = {std::move(main), ini.GetString("SCREEN", "Mask", mainName),
                           ini.GetString("SCREEN", "Over", mainName),
                           ini.GetString("SCREEN", "Down", mainName),
                           ini.GetString("SCREEN", "Disabled", mainName)};
    char paths[5][folderCapacity];
    for (int i = 0; i < 5; ++i)
        snprintf(paths[i], sizeof paths[i], "%s%s", skinFolder, names[i] ? names[i].Get() : "");
    // Loaded in this order. A picture named again (a skin without its own Over or Disabled look
    // names Main again) is copied from the one decoded before, which takes a fraction of the
    // decoding time; a name that failed before is tried again, with its message.
    SkinImage* pictures[5] = {&image, &mask, &overImage, &downImage, &disabledImage};
    const int order[5] = {0, 1, 3, 2, 4};
    for (int n = 0; n < 5; ++n) {
        const int i = order[n];
        const SkinImage* decoded = nullptr;
        for (int m = 0; m < n && !decoded; ++m)
            if (strcmp(paths[order[m]], paths[i]) == 0 && !pictures[order[m]]->Empty())
                decoded = pictures[order[m]];
        if (decoded) {
            int width = 0, height = 0;
            decoded->GetSize(&width, &height);
            pictures[i]->Attach(CutImage(decoded->Handle(), 0, 0, width, height));
        } else {
            *pictures[i] = LoadPicture(paths[i]);
        }
    }
    for (GlobalText& name : names)
        name.Reset();

    image.GetSize(&imageWidth, &imageHeight);
    // Without a Main picture there is no size to take: the window keeps its creation size.
    if (!image.Empty() &&
        !SetWindowPos(hwnd, nullptr, 0, 0, imageWidth, imageHeight, SWP_NOZORDER | SWP_NOMOVE))
        ShowMessageBox(nullptr, "SetWindowPos Failed", "Error", MB_OK);
    ShapeWindowFromMask(hwnd, mask.Handle());

    LoadButtons();
    LoadTextFields();
    LoadHScrollers();
    LoadVScrollers();
    LoadLabels();
    loading = 0;
}

LRESULT SkinWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (loading)
        return 0;
    switch (message) {
    case WM_ACTIVATEAPP: {
        BOOL active = static_cast<BOOL>(wParam);
        TellAppActive(buttons, active);
        TellAppActive(hScrollers, active);
        TellAppActive(vScrollers, active);
        TellAppActive(labels, active);
        SetAppActive(active);
        return 0;
    }
    case WM_NCHITTEST:
        return draggable ? HTCAPTION : HTNOWHERE;
    case WMU_BUTTON_LUP:
        return OnButtonClick(reinterpret_cast<const char*>(lParam));
    case WM_WINDOWPOSCHANGED:
        OnPlaceChanged(*reinterpret_cast<const WINDOWPOS*>(lParam));
        return SkinControl::WindowProc(window, message, wParam, lParam);
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_ENTERSIZEMOVE:
    case WMU_BUTTON_LDOWN:
    case WMU_BUTTON_RDOWN:
        keepShownPlace = false;
        return SkinControl::WindowProc(window, message, wParam, lParam);
    case WMU_PUT_BACK:
        SetWindowPos(window, nullptr, shownX, shownY, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    default:
        return SkinControl::WindowProc(window, message, wParam, lParam);
    }
}

void SkinWindow::OnPlaceChanged(const WINDOWPOS& place)
{
    if (place.flags & SWP_SHOWWINDOW) {
        RECT shown;
        GetWindowRect(hwnd, &shown);
        keepShownPlace = true;
        shownX = shown.left;
        shownY = shown.top;
    } else if (place.flags & SWP_HIDEWINDOW) {
        keepShownPlace = false;
    } else if (keepShownPlace && !(place.flags & SWP_NOMOVE) && !IsIconic(hwnd) &&
               (place.x != shownX || place.y != shownY)) {
        keepShownPlace = false;
        // Not from inside this move: Wine is still in the middle of it.
        PostMessageA(hwnd, WMU_PUT_BACK, 0, 0);
    }
}

void SkinWindow::OnPaint(HDC dc)
{
    DrawImage(dc, Look());
}

void SkinWindow::CentreOnScreen()
{
    int width = 0, height = 0;
    image.GetSize(&width, &height);
    SetWindowPos(hwnd, HWND_NOTOPMOST, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE);
}

template <class Control>
void SkinWindow::LoadSection(const char* section, PointerList<Control>& list)
{
    const ControlLayout* layout = FindControlLayout(section);
    const ControlSite site = {hwnd, instance, image, mask, overImage, downImage, disabledImage};
    for (int number = 1; layout; ++number) {
        GlobalText value = ReadSkinEntry(ini, section, number);
        if (!value)
            return;
        const SkinEntry entry(value.Get());
        // Every field up to the last number or text the control needs must be there; the tooltip
        // may be left out (except by the horizontal scroller).
        if (!entry.Has(layout->required))
            continue;
        auto tooltip = std::make_unique<Tooltip>();
        std::unique_ptr<Control> control = Control::FromEntry(entry, entry.Place(*layout), site);
        const char* tip = entry.Text(layout->fields - 1);
        tooltip->Create(control->hwnd, instance, tip ? tip : "");
        list.Append(std::move(control));
        tooltips.Append(std::move(tooltip));
    }
}

void SkinWindow::LoadButtons()
{
    LoadSection("BUTTONINFO", buttons);
}

void SkinWindow::LoadTextFields()
{
    LoadSection("TEXTINFO", textFields);
}

void SkinWindow::LoadHScrollers()
{
    LoadSection("HSCROLLINFO", hScrollers);
}

void SkinWindow::LoadVScrollers()
{
    LoadSection("VSCROLLINFO", vScrollers);
}

void SkinWindow::LoadLabels()
{
    LoadSection("LABELINFO", labels);
}

void SkinWindow::ClearControls()
{
    tooltips.Clear();
    buttons.Clear();
    textFields.Clear();
    downImage.Reset();
    overImage.Reset();
    disabledImage.Reset();
}
