#pragma once

#include <filesystem>
#include <string>

// A fresh folder made the current directory for one test (disk paths resolve against it); the
// previous directory comes back and the folder goes away at the end.
class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // Writes bytes to a file below the folder (a Windows-style relative path), making its folders.
    void Write(const std::string& relativePath, const std::string& bytes) const;
    void Remove(const std::string& relativePath) const;
    std::filesystem::path Path(const std::string& relativePath) const;

private:
    std::filesystem::path previous;
    std::filesystem::path folder;
};
