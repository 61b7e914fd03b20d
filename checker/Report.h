#pragma once

#include <string>
#include <vector>

enum class Severity { Warning, Error };

// One problem of the disk: where it is, what goes wrong for the listener, and how to mend it.
struct Finding {
    Severity severity;
    std::string code;     // short fixed name of the kind of problem, for tools and tests
    std::string file;     // as the disk names it, e.g. music\config.dat
    int line;             // 1-based line in `file`, 0 when there is none
    std::string key;      // descriptor key, or "[SECTION] key" of a skin file
    std::string problem;  // what is wrong, in plain words
    std::string fix;      // what to do about it
};

// The findings of one check, in the order they were found.
class Report {
public:
    void Add(Severity severity, const std::string& code, const std::string& file, int line,
             const std::string& key, const std::string& problem, const std::string& fix);

    const std::vector<Finding>& Findings() const { return findings; }
    int Errors() const;
    int Warnings() const;
    // 0 clean, 1 warnings only, 2 errors.
    int ExitCode() const;

    // For people: one block per finding and a closing count.
    std::string Text() const;
    // For tools: {"errors":N,"warnings":N,"findings":[{...}]}.
    std::string Json() const;

private:
    std::vector<Finding> findings;
};
