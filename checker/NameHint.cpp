#include "checker/NameHint.h"

#include <algorithm>
#include <vector>

namespace {

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

// Edits from a to b: insertions, deletions, changes and swaps of neighbours.
size_t Distance(const std::string& a, const std::string& b)
{
    const size_t n = a.size();
    const size_t m = b.size();
    std::vector<std::vector<size_t>> d(n + 1, std::vector<size_t>(m + 1));
    for (size_t i = 0; i <= n; ++i)
        d[i][0] = i;
    for (size_t j = 0; j <= m; ++j)
        d[0][j] = j;
    for (size_t i = 1; i <= n; ++i)
        for (size_t j = 1; j <= m; ++j) {
            const size_t change = Upper(a[i - 1]) == Upper(b[j - 1]) ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            const bool swapped = i > 1 && j > 1 && Upper(a[i - 1]) == Upper(b[j - 2]) &&
                                 Upper(a[i - 2]) == Upper(b[j - 1]);
            if (swapped)
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[n][m];
}

}  // namespace

std::string NearestName(const std::string& word, const std::vector<std::string>& known)
{
    // Names are short; a long word (a whole descriptor line) is no misspelt name.
    if (word.empty() || word.size() > 64)
        return std::string();
    const size_t limit = std::min<size_t>(2, word.size() / 3);
    std::string nearest;
    size_t best = limit + 1;
    for (const std::string& name : known) {
        if (name == word)
            continue;
        const size_t distance = Distance(word, name);
        if (distance < best) {
            best = distance;
            nearest = name;
        }
    }
    return nearest;
}
