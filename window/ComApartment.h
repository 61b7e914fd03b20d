#pragma once

#include <windows.h>

// Keeps COM set up on the calling thread while it lives. The picture decoder sets COM up and down
// around each picture it decodes; with no apartment kept open, every picture then pays for
// loading and unloading the image codecs again.
class ComApartment {
public:
    ComApartment() : result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(result))
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    bool Open() const { return SUCCEEDED(result); }

private:
    HRESULT result;
};
