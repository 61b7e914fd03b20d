#include "checker/Report.h"

#include <cstdio>

void Report::Add(Severity severity, const std::string& code, const std::string& file, int line,
                 const std::string& key, const std::string& problem, const std::string& fix)
{
    findings.push_back(Finding{severity, code, file, line, key, problem, fix});
}

int Report::Errors() const
{
    int n = 0;
    for (const Finding& f : findings)
        n += f.severity == Severity::Error;
    return n;
}

int Report::Warnings() const
{
    return static_cast<int>(findings.size()) - Errors();
}

int Report::ExitCode() const
{
    return Errors() > 0 ? 2 : (findings.empty() ? 0 : 1);
}

namespace {

std::string Plural(int n, const char* word)
{
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

// Control characters would garble a console line; show them as \xNN.
std::string Printable(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7f) {
            char code[8];
            snprintf(code, sizeof code, "\\x%02X", c);
            out += code;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string JsonString(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7f) {
                char code[8];
                snprintf(code, sizeof code, "\\u%04x", c);
                out += code;
            } else if (c >= 0x80) {
                // Disk files are in the Windows ANSI code page; keep JSON valid ASCII.
                char code[8];
                snprintf(code, sizeof code, "\\u%04x", c);
                out += code;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

}  // namespace

std::string Report::Text() const
{
    std::string out;
    for (const Finding& f : findings) {
        std::string where = Printable(f.file);
        if (f.line > 0)
            where += ":" + std::to_string(f.line);
        if (!f.key.empty())
            where += (where.empty() ? "" : " ") + std::string("[") + Printable(f.key) + "]";
        out += where + (where.empty() ? "" : ": ");
        out += f.severity == Severity::Error ? "error: " : "warning: ";
        out += Printable(f.problem) + "\n";
        out += "    fix: " + Printable(f.fix) + "\n";
    }
    if (findings.empty())
        out += "The disk is clean: no problems found.\n";
    else
        out += Plural(Errors(), "error") + ", " + Plural(Warnings(), "warning") + ".\n";
    return out;
}

std::string Report::Json() const
{
    std::string out = "{\"errors\":" + std::to_string(Errors()) +
                      ",\"warnings\":" + std::to_string(Warnings()) + ",\"findings\":[";
    for (size_t i = 0; i < findings.size(); ++i) {
        const Finding& f = findings[i];
        out += i ? "," : "";
        out += "{\"severity\":";
        out += f.severity == Severity::Error ? "\"error\"" : "\"warning\"";
        out += ",\"code\":" + JsonString(f.code) + ",\"file\":" + JsonString(f.file) +
               ",\"line\":" + std::to_string(f.line) + ",\"key\":" + JsonString(f.key) +
               ",\"problem\":" + JsonString(f.problem) + ",\"fix\":" + JsonString(f.fix) + "}";
    }
    return out + "]}\n";
}
