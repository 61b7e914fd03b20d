#include "checker/DescriptorScan.h"

namespace {

const std::string emptyValue;

DescriptorScan::Place Copy(const DescriptorObserver::Place& place)
{
    return DescriptorScan::Place{place.file, place.line};
}

}  // namespace

std::string NumberedKey(const std::string& prefix, int n)
{
    return DescriptorReader::MakeKey(prefix.c_str(), n);
}

DescriptorScan::DescriptorScan()
{
    reader.SetObserver(this);
}

void DescriptorScan::Load(const char* path)
{
    reader.Load(path ? path : "");
}

void DescriptorScan::LoadText(const char* name, const std::string& bytes)
{
    reader.ReadText(bytes.data(), bytes.size(), name);
    reader.OnLoaded();
}

void DescriptorScan::FileOpened(const char* path, const DescriptorObserver::Place&)
{
    filesRead.push_back(path);
}

void DescriptorScan::FileRefused(const char* path, const DescriptorObserver::Place& at, Refusal why,
                                 DiskPath::Problem problem)
{
    unread.push_back({path, Copy(at), why, problem});
}

void DescriptorScan::LineRead(const DescriptorObserver::Place&, const char* text)
{
    lastLine = text;
}

void DescriptorScan::LineCut(const DescriptorObserver::Place& at, DescriptorObserver::Cut why)
{
    cuts.push_back({Copy(at), why});
}

void DescriptorScan::EntryAdded(const DescriptorObserver::Place& at, const DescriptorEntry& entry,
                                Outcome outcome)
{
    Line line;
    line.place = Copy(at);
    line.key = entry.Key();
    line.value = entry.Value();
    const size_t equals = lastLine.find('=');
    line.hasEquals = equals != std::string::npos;
    line.keyCut = (line.hasEquals ? equals : lastLine.size()) > DescriptorEntry::MaxKey;
    line.outcome = outcome;
    line.replacedLine = -1;
    line.replacedBy = -1;
    const int index = static_cast<int>(lines.size());
    if (outcome == Outcome::Replaced) {
        int& holder = store[line.key];
        line.replacedLine = holder;
        lines[holder].replacedBy = index;
        holder = index;
    } else if (outcome == Outcome::Stored) {
        store[line.key] = index;
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

bool DescriptorScan::MatchesReader() const
{
    bool same = reader.count == static_cast<int>(store.size()) &&
                reader.SongCount() == CountList("music.file.") &&
                reader.DialogCount() == CountList("dialog.file.") &&
                reader.LongdescTargetCount() == CountList("longdesc.target.name.");
    for (int i = 0; same && i < reader.count; ++i) {
        const char* key = reader.entries[i]->Key();
        same = Where(key) && Value(key) == reader.entries[i]->Value();
    }
    return same;
}
