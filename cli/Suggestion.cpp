#include "cli/Suggestion.h"

#include "cli/Text.h"

#include <algorithm>

namespace varnholt::cli {

namespace {

std::size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace

std::string suggestion(const std::string& typed, const std::vector<std::string>& candidates) {
    const std::string word = lower(typed);
    const std::string* best = &candidates.front();
    std::size_t bestDistance = editDistance(word, *best);
    for (const std::string& candidate : candidates) {
        const std::size_t distance = editDistance(word, candidate);
        if (distance < bestDistance) {
            best = &candidate;
            bestDistance = distance;
        }
    }
    if (bestDistance > std::max<std::size_t>(2, best->size() / 4))
        return "";
    return " Did you mean '" + *best + "'?";
}

} // namespace varnholt::cli
