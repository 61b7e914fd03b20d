#include "tests/descriptor/TempFolder.h"

#include <fstream>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

TempFolder::TempFolder() : previous(fs::current_path())
{
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() / ("md-descriptor-" + std::to_string(seed()));
        if (fs::create_directory(candidate)) {
            folder = candidate;
            fs::current_path(folder);
            return;
        }
    }
    throw std::runtime_error("no temporary folder");
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    fs::current_path(previous, ignored);
    fs::remove_all(folder, ignored);
}

void TempFolder::Write(const std::string& relativePath, const std::string& bytes) const
{
    fs::path target = folder / fs::path(relativePath);
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + target.string());
}
