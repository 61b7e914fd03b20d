#pragma once

#include <windows.h>

#include <memory>

#include "dialogs/InfoDialog.h"

class Descriptor;

// The musicdisk's info dialogs, numbered 1 to count as in the descriptor's dialog. keys.
class InfoDialogList {
public:
    static constexpr int capacity = 10;  // dialog.file. entries beyond the tenth are ignored

    InfoDialogList();
    InfoDialogList(const InfoDialogList&) = delete;
    InfoDialogList& operator=(const InfoDialogList&) = delete;
    // Deletes dialogs 1 to count; their windows have gone with their owner.
    virtual ~InfoDialogList();

    // Creates every dialog, hidden. A dialog without a name could never be opened and is skipped
    // (its slot stays empty).
    void Build(HINSTANCE instance, HWND owner, const Descriptor* source);
    // Shows the first dialog of that name (any case) unless it is shown already.
    void OpenByName(const char* dialogName);
    // Every long-description target dialog gets that song's text (empty when it has none).
    void UpdateSongTexts(int song);
    void MarkShown(int dialogNumber);
    void MarkHidden(int dialogNumber);

    // Dialog n (1 to count), or null.
    InfoDialog* Dialog(int dialogNumber) const;

    int count;
    std::unique_ptr<InfoDialog> dialogs[capacity];
    BYTE shown[capacity];
    HWND ownerWindow;
    const Descriptor* descriptor;

private:
    std::unique_ptr<InfoDialog> MakeDialog(HINSTANCE instance, const Descriptor& source, int n);
    InfoDialog* FindByName(const char* dialogName) const;
};
