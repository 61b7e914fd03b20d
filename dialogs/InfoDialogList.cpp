#include "dialogs/InfoDialogList.h"

#include "descriptor/Descriptor.h"
#include "window/AnsiCodePage.h"

namespace {
const int iconResource = 101;
}

InfoDialogList::InfoDialogList() : count(0), dialogs(), shown(), ownerWindow(nullptr), descriptor(nullptr)
{
}

InfoDialogList::~InfoDialogList()
{
    for (int n = 1; n <= count; ++n)
        dialogs[n - 1].reset();
}

void InfoDialogList::Build(HINSTANCE instance, HWND owner, const Descriptor* source)
{
    ownerWindow = owner;
    descriptor = source;
    count = 0;
    if (!descriptor)
        return;
    count = descriptor->DialogCount();
    if (count > capacity)
        count = capacity;
    if (count < 0)
        count = 0;
    for (int n = 1; n <= count; ++n) {
        dialogs[n - 1] = MakeDialog(instance, *descriptor, n);
        shown[n - 1] = 0;
    }
}

std::unique_ptr<InfoDialog> InfoDialogList::MakeDialog(HINSTANCE instance, const Descriptor& source,
                                                       int n)
{
    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(iconResource));
    const char* file = source.DialogFile(n);
    const char* name = source.DialogName(n);
    const char* title = source.DialogTitle(n);
    const char* text = source.DialogText(n);
    int dx = 0;
    int dy = 0;
    source.DialogOffset(n, dx, dy);
    if (!name || !*name)
        return nullptr;

    std::unique_ptr<InfoDialog> dialog = std::make_unique<InfoDialog>();
    HWND window = dialog->CreateOwnedFromSkin(name, CW_USEDEFAULT, CW_USEDEFAULT, instance,
                                              ownerWindow, file);
    dialog->draggable = true;
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    dialog->Attach(this, ownerWindow, n, name, text, dx, dy);
    // The title goes through the ANSI functions: a UTF-8 title is converted to their code page.
    SetWindowTextA(window, InAnsiCodePage(title).c_str());
    return dialog;
}

InfoDialog* InfoDialogList::Dialog(int dialogNumber) const
{
    if (dialogNumber < 1 || dialogNumber > count)
        return nullptr;
    return dialogs[dialogNumber - 1].get();
}

InfoDialog* InfoDialogList::FindByName(const char* dialogName) const
{
    for (int n = 1; n <= count; ++n) {
        InfoDialog* dialog = dialogs[n - 1].get();
        if (dialog && dialog->HasName(dialogName))
            return dialog;
    }
    return nullptr;
}

void InfoDialogList::OpenByName(const char* dialogName)
{
    InfoDialog* dialog = FindByName(dialogName);
    if (dialog && !shown[dialog->number - 1])
        dialog->Show();
}

void InfoDialogList::UpdateSongTexts(int song)
{
    if (!descriptor)
        return;
    int targets = descriptor->LongdescTargetCount();
    for (int t = 1; t <= targets; ++t) {
        const char* dialogName = descriptor->LongdescTargetDialog(t);
        const char* text = descriptor->SongLongDescription(song, t);
        InfoDialog* dialog = FindByName(dialogName);
        if (dialog)
            dialog->SetText(text ? text : "");
    }
}

void InfoDialogList::MarkShown(int dialogNumber)
{
    if (dialogNumber >= 1 && dialogNumber <= count)
        shown[dialogNumber - 1] = 1;
}

void InfoDialogList::MarkHidden(int dialogNumber)
{
    if (dialogNumber >= 1 && dialogNumber <= count)
        shown[dialogNumber - 1] = 0;
}
