#include "shell/Catalogue.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace varnholt::shell {

namespace {

constexpr std::uint32_t moMagic = 0x950412de;

// The catalogue's 32-bit words, in the byte order its magic number shows.
class MoReader {
  public:
    explicit MoReader(std::span<const unsigned char> data) : data_(data) {}

    bool readMagic() {
        const auto little = word(0, false);
        const auto big = word(0, true);
        if (little == moMagic)
            bigEndian_ = false;
        else if (big == moMagic)
            bigEndian_ = true;
        else
            return false;
        return true;
    }

    std::optional<std::uint32_t> at(std::size_t offset) const { return word(offset, bigEndian_); }

    // The string a table row (length, offset) at `row` describes; it must end
    // inside the data, with the terminating zero msgfmt writes after it.
    std::optional<std::string_view> string(std::size_t row) const {
        const auto length = at(row);
        const auto offset = at(row + 4);
        if (!length || !offset || *offset > data_.size() || *length >= data_.size() - *offset)
            return std::nullopt;
        if (data_[*offset + *length] != 0)
            return std::nullopt;
        return std::string_view(reinterpret_cast<const char*>(data_.data()) + *offset, *length);
    }

  private:
    std::optional<std::uint32_t> word(std::size_t offset, bool bigEndian) const {
        if (offset > data_.size() || data_.size() - offset < 4)
            return std::nullopt;
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const std::size_t index = offset + static_cast<std::size_t>(bigEndian ? i : 3 - i);
            value = value << 8 | data_[index];
        }
        return value;
    }

    std::span<const unsigned char> data_;
    bool bigEndian_ = false;
};

// The accented forms of the ASCII letters, A to Z then a to z.
constexpr std::array<std::string_view, 52> accented = {
    "Å", "Ɓ", "Ç", "Đ", "É", "Ƒ", "Ĝ", "Ĥ", "Î", "Ĵ", "Ķ", "Ļ", "Ṁ", "Ñ", "Ö", "Þ", "Ǫ", "Ŕ",
    "Ş", "Ţ", "Û", "Ṽ", "Ŵ", "Ẋ", "Ý", "Ž", "á", "ƀ", "ç", "đ", "é", "ƒ", "ĝ", "ĥ", "î", "ĵ",
    "ķ", "ļ", "ṁ", "ñ", "ö", "þ", "ǫ", "ŕ", "š", "ţ", "û", "ṽ", "ŵ", "ẋ", "ý", "ž"};

} // namespace

std::optional<MoCatalogue> MoCatalogue::read(std::span<const unsigned char> data) {
    MoReader reader(data);
    if (!reader.readMagic())
        return std::nullopt;
    const auto count = reader.at(8);
    const auto originals = reader.at(12);
    const auto translations = reader.at(16);
    if (!count || !originals || !translations || *count > data.size() / 8)
        return std::nullopt;

    MoCatalogue catalogue;
    catalogue.entries_.reserve(*count);
    for (std::size_t i = 0; i < *count; ++i) {
        const auto english = reader.string(*originals + 8 * i);
        const auto translation = reader.string(*translations + 8 * i);
        if (!english || !translation)
            return std::nullopt;
        if (!english->empty())
            catalogue.entries_.push_back({*english, *translation});
    }
    const auto byEnglish = [](const Entry& a, const Entry& b) { return a.english < b.english; };
    if (!std::is_sorted(catalogue.entries_.begin(), catalogue.entries_.end(), byEnglish))
        std::sort(catalogue.entries_.begin(), catalogue.entries_.end(), byEnglish);
    return catalogue;
}

std::optional<std::string_view> MoCatalogue::find(std::string_view english) const {
    const auto it = std::lower_bound(
        entries_.begin(), entries_.end(), english,
        [](const Entry& entry, std::string_view text) { return entry.english < text; });
    if (it == entries_.end() || it->english != english)
        return std::nullopt;
    return it->translation;
}

std::string pseudoLocalized(std::string_view english) {
    std::string text = "[";
    for (std::size_t i = 0; i < english.size(); ++i) {
        const char c = english[i];
        const char next = i + 1 < english.size() ? english[i + 1] : '\0';
        if ((c == '&' || c == '%') && next != '\0') {
            text += c; // "&&", a mnemonic's letter, "%s", "%1": kept whole
            text += next;
            ++i;
        } else if (c >= 'A' && c <= 'Z') {
            text += accented[static_cast<std::size_t>(c - 'A')];
        } else if (c >= 'a' && c <= 'z') {
            text += accented[static_cast<std::size_t>(c - 'a' + 26)];
        } else {
            text += c;
        }
    }
    // The brackets, a space and the tildes make up the 40 %, in characters.
    const auto characters = static_cast<std::size_t>(
        std::count_if(english.begin(), english.end(),
                      [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
    const std::size_t extra = (characters * 2 + 4) / 5;
    text += ' ';
    text.append(extra > 3 ? extra - 3 : 1, '~');
    text += ']';
    return text;
}

} // namespace varnholt::shell
