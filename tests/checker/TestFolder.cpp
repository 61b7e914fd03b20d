#include "tests/checker/TestFolder.h"

#include <atomic>
#include <cstdlib>
#include <fstream>

namespace {
std::atomic<int> serial{0};
}

TestFolder::TestFolder() : previous(std::filesystem::current_path())
{
    folder = std::filesystem::temp_directory_path() /
             ("mdcheck-test-" + std::to_string(std::rand()) + "-" + std::to_string(++serial));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
}

TestFolder::~TestFolder()
{
    std::filesystem::current_path(previous);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

std::filesystem::path TestFolder::Path(const std::string& relativePath) const
{
    std::string native = relativePath;
    for (char& c : native)
        if (c == '\\')
            c = '/';
    return folder / native;
}

void TestFolder::Write(const std::string& relativePath, const std::string& bytes) const
{
    const std::filesystem::path path = Path(relativePath);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void TestFolder::Remove(const std::string& relativePath) const
{
    std::filesystem::remove(Path(relativePath));
}
