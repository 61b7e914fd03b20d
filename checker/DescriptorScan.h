#pragma once

#include <map>
#include <string>
#include <vector>

#include "descriptor/Descriptor.h"
#include "descriptor/DescriptorObserver.h"
#include "descriptor/DiskPath.h"

// A line-by-line record of what the player's own descriptor reader does with a descriptor and its
// includes: where each entry line came from and what the store did with it, the files read and
// refused, and what the line rules cut away. The reader is the player's Descriptor, so the scan
// cannot read a disk differently from the player.
class DescriptorScan : private DescriptorObserver {
public:
    struct Place {
        std::string file;
        int line;
    };

    using Outcome = DescriptorObserver::Outcome;

    // One entry line as the reader saw it.
    struct Line {
        Place place;
        std::string key;    // cut to 50 characters
        std::string value;  // lines are cut first, so never longer than 1998 characters
        bool hasEquals;
        bool keyCut;
        Outcome outcome;
        int replacedLine;   // index in lines() of the entry this one replaced, else -1
        int replacedBy;     // index of the later line that replaced this one, else -1
    };

    using FileProblem = DescriptorObserver::Refusal;

    // A descriptor file that was not read (or, BeyondBound, not read to its end). `from` is the
    // include line (line 0 for the top file), or where the load stopped at its bound.
    struct Unread {
        std::string path;
        Place from;
        FileProblem problem;
        DiskPath::Problem pathProblem;  // why a refused path is refused
    };

    using CutKind = DescriptorObserver::Cut;
    struct Cut {
        Place place;
        CutKind kind;
    };

    DescriptorScan();

    // Reads the top-level file; relative paths resolve against the current directory. The
    // reader's complaints go to the error stream as in the player.
    void Load(const char* path);
    // Reads bytes as the content of a top-level file named `name` (includes are still files).
    void LoadText(const char* name, const std::string& bytes);

    const std::vector<Line>& Lines() const { return lines; }
    const std::vector<Unread>& UnreadFiles() const { return unread; }
    const std::vector<Cut>& Cuts() const { return cuts; }
    const std::vector<std::string>& FilesRead() const { return filesRead; }

    // The final store as the recorded lines give it: key to the index of the line holding its value.
    const std::map<std::string, int>& Store() const { return store; }
    // The stored value, or the empty text for a missing key.
    const std::string& Value(const std::string& key) const;
    // The line holding the stored key, or null.
    const Line* Where(const std::string& key) const;
    // Numbers 1, 2, ... while prefix + number (at least two digits) has a non-empty value.
    int CountList(const std::string& prefix) const;
    // True when the record ends with exactly the reader's store and counts.
    bool MatchesReader() const;

private:
    void FileOpened(const char* path, const DescriptorObserver::Place& from) override;
    void FileRefused(const char* path, const DescriptorObserver::Place& at, Refusal why,
                     DiskPath::Problem problem) override;
    void LineRead(const DescriptorObserver::Place& at, const char* text) override;
    void LineCut(const DescriptorObserver::Place& at, DescriptorObserver::Cut why) override;
    void EntryAdded(const DescriptorObserver::Place& at, const DescriptorEntry& entry,
                    Outcome outcome) override;

    Descriptor reader;
    std::string lastLine;
    std::vector<Line> lines;
    std::vector<Unread> unread;
    std::vector<Cut> cuts;
    std::vector<std::string> filesRead;
    std::map<std::string, int> store;
};

// "%s%02d": the prefix and the number with at least two digits.
std::string NumberedKey(const std::string& prefix, int n);
