#pragma once

#include <windows.h>

#include "window/GlobalText.h"
#include "window/IniText.h"

// Reader over one Windows-style ini file.
class IniFile {
public:
    static constexpr int pathCapacity = 260;
    static constexpr int valueCapacity = 2048;
    // A skin file is read up to this size; the rest of a larger file is ignored.
    static constexpr DWORD maxFileSize = 1u << 20;

    IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;
    virtual ~IniFile();

    // Keeps at most 259 characters and reads the file. The path is used as given: a relative one
    // (a bare name too) is read from the current directory, whatever characters the folders
    // above it hold and however long their full path is. Null or empty: no file.
    void SetPath(const char* path);

    // A fresh 2048-byte value (at most 2046 characters), or empty when the value is empty. The
    // default (may be null) applies only to a missing key: a present empty key gives empty. With no
    // file every key is missing. The text rules are IniText's.
    GlobalText GetString(const char* section, const char* key, const char* defaultValue);

    // The file as read.
    const IniText& Text() const { return text; }

    GlobalText path;

private:
    IniText text;
};

// Entry number (key "1", "2", ...) of a control section, with an empty default. Empty when the key
// is missing or its value is empty: that ends the section.
GlobalText ReadSkinEntry(IniFile& ini, const char* section, int number);
