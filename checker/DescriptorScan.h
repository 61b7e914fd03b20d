#pragma once

#include <map>
#include <string>
#include <vector>

// A line-by-line view of a descriptor and its includes, read by the reader's own rules (bytes in
// text mode, CR dropped, 0x1A ends a file, lines cut after 1999 bytes, includes resolved against the
// current directory, at most 100 stored entries, the last line of a key wins). Unlike the reader it
// remembers where each line came from and what the rules did to it.
class DescriptorScan {
public:
    struct Place {
        std::string file;
        int line;
    };

    enum class Outcome { Stored, Replaced, Dropped };

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

    enum class FileProblem { Missing, Cycle, TooDeep };

    // A descriptor file that was not read. `from` is the include line (line 0 for the top file).
    struct Unread {
        std::string path;
        Place from;
        FileProblem problem;
    };

    // Something the line rules cut away: the rest of a long line, text after a zero byte, or
    // everything after an end-of-file byte.
    enum class CutKind { LongLine, ZeroByte, EndOfFileByte };
    struct Cut {
        Place place;
        CutKind kind;
    };

    // Reads the top-level file; relative paths resolve against the current directory.
    void Load(const char* path);
    // Reads bytes as the content of a top-level file named `name` (includes are still files).
    void LoadText(const char* name, const std::string& bytes);

    const std::vector<Line>& Lines() const { return lines; }
    const std::vector<Unread>& UnreadFiles() const { return unread; }
    const std::vector<Cut>& Cuts() const { return cuts; }
    const std::vector<std::string>& FilesRead() const { return filesRead; }

    // The final store: key to the index of the line that holds its value.
    const std::map<std::string, int>& Store() const { return store; }
    // The stored value, or the empty text for a missing key.
    const std::string& Value(const std::string& key) const;
    // The line holding the stored key, or null.
    const Line* Where(const std::string& key) const;
    // Numbers 1, 2, ... while prefix + number (at least two digits) has a non-empty value.
    int CountList(const std::string& prefix) const;

private:
    bool ReadFile(const std::string& path, const Place& from);
    void ReadBytes(const std::string& name, const std::string& bytes);
    void TakeLine(const std::string& file, int number, const std::string& text);
    void AddEntry(const std::string& file, int number, const std::string& text);

    std::vector<Line> lines;
    std::vector<Unread> unread;
    std::vector<Cut> cuts;
    std::vector<std::string> filesRead;
    std::map<std::string, int> store;
    std::vector<std::string> openFiles;
};

// "%s%02d": the prefix and the number with at least two digits.
std::string NumberedKey(const std::string& prefix, int n);
