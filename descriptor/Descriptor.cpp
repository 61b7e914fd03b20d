#include "descriptor/Descriptor.h"

#include <string>

Descriptor::Descriptor() : songCount(0), dialogCount(0), longdescTargetCount(0) {}

Descriptor::~Descriptor() {}

void Descriptor::OnLoaded()
{
    songCount = CountList("music.file.");
    dialogCount = CountList("dialog.file.");
    longdescTargetCount = CountList("longdesc.target.name.");
}

int Descriptor::CountList(const char* prefix) const
{
    int n = 1;
    while (GetString(MakeKey(prefix, n))[0] != '\0')
        ++n;
    return n - 1;
}

const char* Descriptor::SongFile(int n) const
{
    return GetString(MakeKey("music.file.", n));
}

const char* Descriptor::SongDescription(int n) const
{
    return GetString(MakeKey("music.desc.", n));
}

const char* Descriptor::SongLongDescription(int song, int target) const
{
    // The target name may be of any length; a key longer than a stored key simply finds nothing.
    std::string prefix("music.longdesc.");
    prefix += LongdescTargetName(target);
    prefix += '.';
    return GetString(MakeKey(prefix.c_str(), song));
}

const char* Descriptor::LongdescTargetName(int n) const
{
    return GetString(MakeKey("longdesc.target.name.", n));
}

const char* Descriptor::LongdescTargetDialog(int n) const
{
    return GetString(MakeKey("longdesc.target.dialog.", n));
}

const char* Descriptor::SplashMusicFile() const
{
    return GetString("splash.music.file");
}

int Descriptor::SplashTime() const
{
    return GetInt("splash.time", false);
}

const char* Descriptor::DialogFile(int n) const
{
    return GetString(MakeKey("dialog.file.", n));
}

const char* Descriptor::DialogName(int n) const
{
    return GetString(MakeKey("dialog.name.", n));
}

const char* Descriptor::DialogTitle(int n) const
{
    return GetString(MakeKey("dialog.title.", n));
}

const char* Descriptor::DialogText(int n) const
{
    return GetString(MakeKey("dialog.text.", n));
}

void Descriptor::DialogOffset(int n, int& dx, int& dy) const
{
    dx = GetInt(MakeKey("dialog.dx.", n), true);
    dy = GetInt(MakeKey("dialog.dy.", n), true);
}
