#pragma once

#include <filesystem>
#include <string>

// A fresh folder in the temporary directory for one test or one fuzzing run, removed at the end.
// Entered, it is the current directory (disk and descriptor paths resolve against it) until the
// end, when the previous one comes back.
class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    void Enter();
    // Paths below the folder are relative, with '\' or '/' between their parts.
    std::filesystem::path Path(const std::string& relativePath) const;
    // Writes bytes to a file below the folder, making its folders.
    void Write(const std::string& relativePath, const std::string& bytes) const;
    void Remove(const std::string& relativePath) const;

private:
    std::filesystem::path folder;
    std::filesystem::path previous;
};
