#include "cli/Text.h"

#include "core/UnitScaleTable.h"

#include <algorithm>

namespace varnholt::cli {

std::string printable(const std::string& text) {
    static const char digits[] = "0123456789abcdef";
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (byte == '\n')
            shown += "\\n";
        else if (byte == '\r')
            shown += "\\r";
        else if (byte == '\t')
            shown += "\\t";
        else if (byte < 0x20 || byte == 0x7F)
            shown += std::string("\\x") + digits[byte >> 4] + digits[byte & 15];
        else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F)
            shown += std::string("\\u00") + digits[next >> 4] + digits[next & 15], ++i;
        else
            shown += text[i];
    }
    return shown;
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}

std::string joined(const DifficultyNameSet& names) {
    std::string text;
    for (const std::string_view name : names) {
        text += text.empty() ? "" : ", ";
        text += name;
    }
    return text;
}

std::string unitScaleClasses() {
    // Appended piece by piece: GCC 12 at -O3 misreports a chain of concatenations here.
    std::string text;
    const auto& rows = unitScaleTable();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const bool first = i == 0 || rows[i - 1].sizeClass != rows[i].sizeClass;
        const bool last = i + 1 == rows.size() || rows[i + 1].sizeClass != rows[i].sizeClass;
        if (first) {
            if (!text.empty())
                text += ", ";
            text += unitScaleClassNames()[static_cast<std::size_t>(rows[i].sizeClass)];
            text += ' ';
            text += std::to_string(rows[i].number);
        } else if (last) {
            text += '-';
            text += std::to_string(rows[i].number);
        }
    }
    return text;
}

} // namespace varnholt::cli
