#include "cli/OptionValues.h"

#include "cli/Text.h"
#include "core/UnitScaleTable.h"

#include <algorithm>
#include <charconv>

namespace varnholt::cli {

std::size_t choose(const std::string& option, const std::string& value,
                   std::initializer_list<const char*> choices) {
    std::size_t index = 0;
    std::string list;
    for (const char* choice : choices) {
        if (lower(value) == lower(choice))
            return index;
        list += (index++ ? " or " : "") + std::string(choice);
    }
    throw UsageError{"invalid " + option + " '" + printable(value) + "': use " + list + "."};
}

std::optional<long long> wholeTextAsInteger(const std::string& text) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || text.empty())
        return std::nullopt;
    return value;
}

DifficultyArg difficultyOf(const std::string& option, const std::string& value) {
    const auto number = wholeTextAsInteger(value);
    if (!number)
        return {value, std::nullopt};
    if (*number < 0 || *number > 3)
        throw UsageError{"invalid " + option + " '" + value +
                         "': a difficulty is 0 to 3 or a difficulty name."};
    return {value, static_cast<int>(*number)};
}

int unitScaleOf(const std::string& value) {
    const auto number = wholeTextAsInteger(value);
    if (!number || !unitScaleByNumber(static_cast<int>(std::clamp(*number, -1LL, 1000LL))))
        throw UsageError{"invalid --unit-scale '" + printable(value) +
                         "': use 20 to 160 in steps of 5 (" + unitScaleClasses() + ")."};
    return static_cast<int>(*number);
}

std::int64_t yearOf(const std::string& value) {
    const bool negative = !value.empty() && value[0] == '-';
    const std::string digits = negative ? value.substr(1) : value;
    if (digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        throw UsageError{"invalid --year '" + printable(value) +
                         "': the year is a whole number, 1 or more."};
    const auto number = wholeTextAsInteger(digits); // nothing when it is too long for any use
    if (!negative && number && *number == 0)
        throw UsageError{"invalid --year '" + value +
                         "': there is no year 0; 1 BC is followed by 1 AD."};
    if (negative)
        throw UsageError{"invalid --year '" + value +
                         "': give the year as a number of 1 or more, and its era with --era BC "
                         "or --era AD."};
    if (!number || *number > largestBCYear)
        throw UsageError{"invalid --year '" + value + "': a saved game holds years up to " +
                         std::to_string(largestADYear) + " AD and " +
                         std::to_string(largestBCYear) + " BC."};
    return *number;
}

} // namespace varnholt::cli
