#pragma once

#include "descriptor/DescriptorReader.h"

// The musicdisk's view of its descriptor: songs, long-description targets, info dialogs and the
// splash settings, each a fresh lookup by key. Numbers start at 1 and are formatted "%02d".
class Descriptor : public DescriptorReader {
public:
    Descriptor();
    ~Descriptor() override;
    // Counts the songs, dialogs and long-description targets.
    void OnLoaded() override;

    int SongCount() const { return songCount; }
    int DialogCount() const { return dialogCount; }
    int LongdescTargetCount() const { return longdescTargetCount; }

    const char* SongFile(int n) const;
    const char* SongDescription(int n) const;
    const char* SongLongDescription(int song, int target) const;
    const char* LongdescTargetName(int n) const;
    const char* LongdescTargetDialog(int n) const;
    const char* SplashMusicFile() const;
    int SplashTime() const;
    const char* DialogFile(int n) const;
    const char* DialogName(int n) const;
    const char* DialogTitle(int n) const;
    const char* DialogText(int n) const;
    // Reads dialog.dx.NN, then dialog.dy.NN; a missing one is 0 and reported on stderr.
    void DialogOffset(int n, int& dx, int& dy) const;

    int songCount;
    int dialogCount;
    int longdescTargetCount;

private:
    // Numbers 1, 2, ... up to the first one whose value is missing or empty.
    int CountList(const char* prefix) const;
};
