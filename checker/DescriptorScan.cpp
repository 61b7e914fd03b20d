#include "checker/DescriptorScan.h"

#include <cstdio>
#include <memory>

#include "descriptor/DescriptorEntry.h"
#include "descriptor/DescriptorReader.h"

namespace {

struct FileCloser {
    void operator()(FILE* file) const { fclose(file); }
};

// As the reader opens its files: backslashes become slashes off Windows.
FILE* OpenFile(const std::string& path)
{
#ifdef _WIN32
    return fopen(path.c_str(), "rb");
#else
    std::string native(path);
    for (char& c : native)
        if (c == '\\')
            c = '/';
    return fopen(native.c_str(), "rb");
#endif
}

const std::string emptyValue;

}  // namespace

std::string NumberedKey(const std::string& prefix, int n)
{
    char number[16];
    snprintf(number, sizeof number, "%02d", n);
    return prefix + number;
}

void DescriptorScan::Load(const char* path)
{
    ReadFile(path ? path : "", Place{"", 0});
}

void DescriptorScan::LoadText(const char* name, const std::string& bytes)
{
    filesRead.push_back(name);
    openFiles.push_back(name);
    ReadBytes(name, bytes);
    openFiles.pop_back();
}

bool DescriptorScan::ReadFile(const std::string& path, const Place& from)
{
    for (const std::string& open : openFiles) {
        if (open == path) {
            unread.push_back({path, from, FileProblem::Cycle});
            return false;
        }
    }
    if (static_cast<int>(openFiles.size()) >= DescriptorReader::MaxFileDepth) {
        unread.push_back({path, from, FileProblem::TooDeep});
        return false;
    }
    std::unique_ptr<FILE, FileCloser> file(OpenFile(path));
    if (!file) {
        unread.push_back({path, from, FileProblem::Missing});
        return false;
    }
    std::string bytes;
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file.get())) > 0)
        bytes.append(chunk, got);
    file.reset();
    filesRead.push_back(path);
    openFiles.push_back(path);
    ReadBytes(path, bytes);
    openFiles.pop_back();
    return true;
}

void DescriptorScan::ReadBytes(const std::string& name, const std::string& bytes)
{
    std::string line;
    int number = 1;
    bool skipping = false;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\x1a') {
            // Only something after the end byte is lost; a lone final end byte is harmless.
            if (bytes.find_first_not_of("\x1a\r\n", i) != std::string::npos)
                cuts.push_back({Place{name, number}, CutKind::EndOfFileByte});
            break;
        }
        if (c == '\n') {
            TakeLine(name, number, line);
            line.clear();
            skipping = false;
            ++number;
        } else if (c == '\r' || skipping) {
            continue;
        } else if (c == '\0' || line.size() == DescriptorReader::MaxLine) {
            skipping = true;
            cuts.push_back({Place{name, number}, c == '\0' ? CutKind::ZeroByte : CutKind::LongLine});
        } else {
            line += c;
        }
    }
    TakeLine(name, number, line);
}

void DescriptorScan::TakeLine(const std::string& file, int number, const std::string& text)
{
    if (text.empty() || text[0] == '#')
        return;
    if (text[0] == '@') {
        ReadFile(text.substr(1), Place{file, number});
        return;
    }
    AddEntry(file, number, text);
}

void DescriptorScan::AddEntry(const std::string& file, int number, const std::string& text)
{
    // The reader's own entry makes the cut key and value.
    const DescriptorEntry entry(text.c_str());
    Line line;
    line.place = Place{file, number};
    line.key = entry.Key();
    line.value = entry.Value();
    const size_t equals = text.find('=');
    line.hasEquals = equals != std::string::npos;
    const size_t keyLength = line.hasEquals ? equals : text.size();
    line.keyCut = keyLength > DescriptorEntry::MaxKey;
    line.replacedLine = -1;
    line.replacedBy = -1;
    const int index = static_cast<int>(lines.size());
    if (static_cast<int>(store.size()) >= DescriptorReader::MaxEntries) {
        line.outcome = Outcome::Dropped;
    } else {
        auto found = store.find(line.key);
        if (found != store.end()) {
            line.outcome = Outcome::Replaced;
            line.replacedLine = found->second;
            lines[found->second].replacedBy = index;
            found->second = index;
        } else {
            line.outcome = Outcome::Stored;
            store.emplace(line.key, index);
        }
    }
    lines.push_back(line);
}

const std::string& DescriptorScan::Value(const std::string& key) const
{
    auto found = store.find(key);
    return found == store.end() ? emptyValue : lines[found->second].value;
}

const DescriptorScan::Line* DescriptorScan::Where(const std::string& key) const
{
    auto found = store.find(key);
    return found == store.end() ? nullptr : &lines[found->second];
}

int DescriptorScan::CountList(const std::string& prefix) const
{
    int n = 1;
    while (!Value(NumberedKey(prefix, n)).empty())
        ++n;
    return n - 1;
}
