#pragma once

#include <filesystem>
#include <string>

// A fresh folder made the current directory for one test (descriptor paths resolve against it);
// the previous directory comes back and the folder goes away at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Writes bytes to a file below the folder, making its parent folders.
    void Write(const std::string& relativePath, const std::string& bytes) const;

private:
    std::filesystem::path previous;
    std::filesystem::path folder;
};
