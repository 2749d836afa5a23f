#pragma once
// The translations built into the window programs: each language's catalogue
// as gettext's msgfmt compiles it from po/LL.po (the .mo format), embedded at
// build time, read here with every offset checked. And the pseudo-language,
// which shows what a longer language does to the windows.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varnholt::shell {

struct BuiltInCatalogue {
    std::string_view language; // "de", "fr", ...; "en" holds every English text as it is
    std::span<const unsigned char> data;
};

// Every catalogue the build embedded, from po/; defined by the generated
// BuiltInCatalogues.cpp.
std::span<const BuiltInCatalogue> builtInCatalogues();

// A compiled catalogue: its texts and their translations, sorted as msgfmt
// sorts them (byte order), so that a lookup is a binary search. The views
// point into the data, which must outlive the catalogue.
class MoCatalogue {
  public:
    struct Entry {
        std::string_view english;
        std::string_view translation;
    };

    // Nothing when `data` is not a catalogue or any of its strings lies
    // outside it. The header entry (the empty text) is left out.
    static std::optional<MoCatalogue> read(std::span<const unsigned char> data);

    // The translation of `english`, or nothing when the catalogue lacks it.
    std::optional<std::string_view> find(std::string_view english) const;
    const std::vector<Entry>& entries() const { return entries_; }

  private:
    std::vector<Entry> entries_;
};

// The pseudo-language's text for `english`: every letter accented, about 40 %
// longer, in brackets ("[Şéţ ýéáŕ && šéáşöñ ~~~~]"). The letter after an
// "&" stays as it is, so that the mnemonic is still typed with its key, and
// so do "&&", placeholders ("%s", "%1") and line breaks.
std::string pseudoLocalized(std::string_view english);

} // namespace varnholt::shell
