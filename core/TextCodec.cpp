#include "core/TextCodec.h"

#include <cstdint>

namespace varnholt {

namespace {

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Each maximal ill-formed part becomes one U+FFFD and clears `wellFormed`.
std::u16string decodeUtf8(std::string_view text, bool& wellFormed) {
    constexpr char16_t replacement = 0xFFFD;
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned lead = byte(i);
        if (lead < 0x80) {
            out += static_cast<char16_t>(lead);
            ++i;
            continue;
        }
        // The well-formed sequences of Unicode's table 3-7: the second byte's
        // range rules out overlong forms, surrogates and code points beyond
        // U+10FFFF. Each maximal ill-formed part becomes one U+FFFD.
        std::size_t length = 0;
        unsigned low = 0x80;
        unsigned high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF)
            length = 2;
        else if (lead >= 0xE0 && lead <= 0xEF)
            length = 3, low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
        else if (lead >= 0xF0 && lead <= 0xF4)
            length = 4, low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
        std::uint32_t cp = lead & (0x7Fu >> length);
        std::size_t taken = 1;
        while (taken < length && i + taken < text.size()) {
            const unsigned next = byte(i + taken);
            if (next < (taken == 1 ? low : 0x80) || next > (taken == 1 ? high : 0xBF))
                break;
            cp = (cp << 6) | (next & 0x3Fu);
            ++taken;
        }
        i += taken;
        if (length == 0 || taken < length) {
            out += replacement;
            wellFormed = false;
        } else if (cp >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

} // namespace

std::string utf16ToUtf8(std::u16string_view text) {
    constexpr std::uint32_t replacement = 0xFFFD;
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::uint32_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                const std::uint32_t low = text[++i];
                appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
            } else {
                appendUtf8(out, replacement);
            }
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            appendUtf8(out, replacement);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

std::u16string utf8ToUtf16(std::string_view text) {
    bool wellFormed = true;
    return decodeUtf8(text, wellFormed);
}

std::optional<std::u16string> strictUtf8ToUtf16(std::string_view text) {
    bool wellFormed = true;
    std::u16string decoded = decodeUtf8(text, wellFormed);
    if (!wellFormed)
        return std::nullopt;
    return decoded;
}

std::string_view cutUtf8(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes)
        return text;
    std::size_t end = maxBytes;
    // Step back over continuation bytes to the start of the sequence that would be cut.
    std::size_t start = end;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        --start;
    if (start != end)
        end = start;
    return text.substr(0, end);
}

} // namespace varnholt
