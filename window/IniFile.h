#pragma once

#include <windows.h>

#include "window/GlobalText.h"

// Reader over one Windows-style ini file.
class IniFile {
public:
    static constexpr int pathCapacity = 260;
    static constexpr int valueCapacity = 2048;

    IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;
    virtual ~IniFile();

    // Keeps at most 259 characters. A relative path is made full against the current directory,
    // since GetPrivateProfileStringA would look for a bare file name in the Windows directory.
    void SetPath(const char* path);

    // A fresh 2048-byte value (at most 2046 characters), or empty when the value is empty. The
    // default (may be null) applies only to a missing key: a present empty key gives empty. With no
    // path (or an empty one) every key is missing and no file is read.
    GlobalText GetString(const char* section, const char* key, const char* defaultValue);

    GlobalText path;
};

// Entry number (key "1", "2", ...) of a control section, with an empty default. Empty when the key
// is missing or its value is empty: that ends the section.
GlobalText ReadSkinEntry(IniFile& ini, const char* section, int number);
