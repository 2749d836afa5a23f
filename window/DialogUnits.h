#pragma once
// Dialog units to pixels, as the platform defines dialog units: horizontally a
// quarter of the dialog font's average character width, vertically an eighth of
// its height. Front ends measure their font and convert every rectangle of a
// dialog description here, so dialogs grow with the font and the screen's DPI.

#include "window/DialogLayout.h"

#include <string_view>

namespace varnholt {

// The text whose width gives the average character width: the 52 letters.
inline constexpr std::string_view baseUnitSample =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// The font's metrics in pixels.
struct DialogBaseUnits {
    int averageCharWidth = 0;
    int charHeight = 0;
    bool operator==(const DialogBaseUnits&) const = default;
};

// From the width of baseUnitSample and the font's height (ascent plus descent),
// both in pixels: the average width is that width over 52, rounded half up.
DialogBaseUnits dialogBaseUnits(int sampleWidth, int fontHeight);

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};

// Each value is converted on its own, rounded to the nearest pixel (halves away
// from zero), as the platform's dialog builder does.
int horizontalPixels(int dialogUnits, const DialogBaseUnits& base);
int verticalPixels(int dialogUnits, const DialogBaseUnits& base);
PixelRect toPixels(const DialogRect& rect, const DialogBaseUnits& base);

} // namespace varnholt
