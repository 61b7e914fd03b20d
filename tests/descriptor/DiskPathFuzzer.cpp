// What DiskPath lets through, checked against the rule written another way: no ':', no leading
// separator, no part naming a device, never above the disk's folder. Replacing slashes by
// backslashes changes nothing, and a refused path stays refused whatever part is added.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "descriptor/DiskPath.h"

namespace {

void Check(bool condition, const char* what, const std::string& path)
{
    if (!condition) {
        fprintf(stderr, "disk path fuzzer: %s: \"%s\"\n", what, path.c_str());
        abort();
    }
}

std::vector<std::string> Parts(const std::string& path)
{
    std::vector<std::string> parts(1);
    for (char c : path) {
        if (c == '\\' || c == '/')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

bool NamesDevice(const std::string& part)
{
    std::string base = part.substr(0, part.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    for (char& c : base)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    for (const char* name : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"})
        if (base == name)
            return true;
    if (base.size() != 4 || (base.compare(0, 3, "COM") != 0 && base.compare(0, 3, "LPT") != 0))
        return false;
    const unsigned char digit = static_cast<unsigned char>(base[3]);
    return (digit >= '0' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path(reinterpret_cast<const char*>(data), size);
    if (path.find('\0') != std::string::npos)
        return 0;
    const DiskPath::Problem problem = DiskPath::Check(path.c_str());
    Check(DiskPath::Explain(problem)[0] != '\0', "no explanation", path);

    std::string backslashed = path;
    for (char& c : backslashed)
        if (c == '/')
            c = '\\';
    Check(DiskPath::Check(backslashed.c_str()) == problem, "slashes and backslashes judged apart", path);

    if (problem != DiskPath::Problem::None) {
        if (problem != DiskPath::Problem::Empty)
            Check(!DiskPath::Allowed((path + "\\a").c_str()), "a refused path allowed with a part added", path);
        return 0;
    }
    Check(!path.empty(), "the empty path allowed", path);
    Check(path.find(':') == std::string::npos, "a ':' allowed", path);
    Check(path[0] != '\\' && path[0] != '/', "a leading separator allowed", path);
    int depth = 0;
    for (const std::string& part : Parts(path)) {
        if (part == "..")
            --depth;
        else if (!part.empty() && part != ".")
            ++depth;
        Check(depth >= 0, "a path above the disk's folder allowed", path);
        if (part.empty() || part == "." || part == "..")
            continue;
        Check(!NamesDevice(part), "a device name allowed", path);
        Check(part.find_first_not_of(". ") != std::string::npos, "a part of only dots and blanks allowed", path);
    }
    return 0;
}
