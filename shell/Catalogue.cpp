#include "shell/Catalogue.h"

#include "core/ByteView.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace varnholt::shell {

namespace {

constexpr std::uint32_t moMagic = 0x950412de;

// The catalogue's 32-bit words, in the byte order its magic number shows
// (msgfmt writes its own machine's), each read with its bounds checked.
class MoReader {
  public:
    explicit MoReader(std::span<const std::uint8_t> data) : data_(data) {
        const auto magic = readU32le(data, 0);
        swapped_ = magic == byteSwapped(moMagic);
        valid_ = magic == moMagic || swapped_;
    }

    bool valid() const { return valid_; }

    std::optional<std::uint32_t> at(std::size_t offset) const {
        const auto value = readU32le(data_, static_cast<std::int64_t>(offset));
        return value && swapped_ ? byteSwapped(*value) : value;
    }

    // The string a table row (length, offset) at `row` describes; it must end
    // inside the data, with the terminating zero msgfmt writes after it.
    std::optional<std::string_view> string(std::size_t row) const {
        const auto length = at(row);
        const auto offset = at(row + 4);
        if (!length || !offset || !fitsInside(*offset, std::size_t{*length} + 1, data_.size()) ||
            data_[*offset + *length] != 0)
            return std::nullopt;
        return std::string_view(reinterpret_cast<const char*>(data_.data()) + *offset, *length);
    }

  private:
    static std::uint32_t byteSwapped(std::uint32_t value) {
        return value >> 24 | (value >> 8 & 0xFF00) | (value << 8 & 0xFF0000) | value << 24;
    }

    std::span<const std::uint8_t> data_;
    bool swapped_ = false;
    bool valid_ = false;
};

// The accented forms of the ASCII letters, A to Z then a to z.
constexpr std::array<std::string_view, 52> accented = {
    "Å", "Ɓ", "Ç", "Đ", "É", "Ƒ", "Ĝ", "Ĥ", "Î", "Ĵ", "Ķ", "Ļ", "Ṁ", "Ñ", "Ö", "Þ", "Ǫ", "Ŕ",
    "Ş", "Ţ", "Û", "Ṽ", "Ŵ", "Ẋ", "Ý", "Ž", "á", "ƀ", "ç", "đ", "é", "ƒ", "ĝ", "ĥ", "î", "ĵ",
    "ķ", "ļ", "ṁ", "ñ", "ö", "þ", "ǫ", "ŕ", "š", "ţ", "û", "ṽ", "ŵ", "ẋ", "ý", "ž"};

} // namespace

std::optional<MoCatalogue> MoCatalogue::read(std::span<const unsigned char> data) {
    const MoReader reader(data);
    if (!reader.valid())
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
    const auto characters =
        static_cast<std::size_t>(std::count_if(english.begin(), english.end(), [](char c) {
            return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        }));
    const std::size_t extra = (characters * 2 + 4) / 5;
    text += ' ';
    text.append(extra > 3 ? extra - 3 : 1, '~');
    text += ']';
    return text;
}

} // namespace varnholt::shell
