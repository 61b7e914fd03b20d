#include "window/IniFile.h"

#include <cstdio>

IniFile::IniFile() : path() {}

IniFile::~IniFile() {}

void IniFile::SetPath(const char* newPath)
{
    path = GlobalText::Allocate(pathCapacity);
    if (!path || !newPath)
        return;
    // GetPrivateProfileStringA looks for a name without a folder in the Windows directory; a full
    // path keeps every skin relative to the current directory. Too long a full path keeps the
    // name as given.
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(newPath, sizeof full, full, nullptr);
    const char* chosen = (length > 0 && length < static_cast<DWORD>(pathCapacity)) ? full : newPath;
    snprintf(path.Get(), pathCapacity, "%s", chosen);
}

GlobalText IniFile::GetString(const char* section, const char* key, const char* defaultValue)
{
    GlobalText value = GlobalText::Allocate(valueCapacity);
    if (!value)
        return value;
    if (path && path.Get()[0] != '\0') {
        GetPrivateProfileStringA(section, key, defaultValue, value.Get(), valueCapacity - 1,
                                 path.Get());
    } else if (defaultValue) {
        // No file set (or an empty path): every key is missing.
        snprintf(value.Get(), valueCapacity - 1, "%s", defaultValue);
    }
    if (value.Get()[0] == '\0')
        value.Reset();
    return value;
}

GlobalText ReadSkinEntry(IniFile& ini, const char* section, int number)
{
    char key[16];
    snprintf(key, sizeof key, "%d", number);
    return ini.GetString(section, key, "");
}
