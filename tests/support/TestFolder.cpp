#include "tests/support/TestFolder.h"

#include <fstream>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

TestFolder::TestFolder()
{
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() / ("md-test-" + std::to_string(seed()));
        if (fs::create_directory(candidate)) {
            folder = candidate;
            return;
        }
    }
    throw std::runtime_error("no temporary folder");
}

TestFolder::~TestFolder()
{
    std::error_code ignored;
    if (!previous.empty())
        fs::current_path(previous, ignored);
    fs::remove_all(folder, ignored);
}

void TestFolder::Enter()
{
    previous = fs::current_path();
    fs::current_path(folder);
}

fs::path TestFolder::Path(const std::string& relativePath) const
{
    std::string native = relativePath;
    for (char& c : native)
        if (c == '\\')
            c = '/';
    return folder / native;
}

void TestFolder::Write(const std::string& relativePath, const std::string& bytes) const
{
    const fs::path path = Path(relativePath);
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

void TestFolder::Remove(const std::string& relativePath) const
{
    fs::remove(Path(relativePath));
}
