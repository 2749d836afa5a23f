#include "window/DialogUnits.h"

#include <cstdint>

namespace varnholt {

namespace {

// a * b / c rounded to the nearest integer, halves away from zero (MulDiv).
int mulDiv(int a, int b, int c) {
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

} // namespace

DialogBaseUnits dialogBaseUnits(int sampleWidth, int fontHeight) {
    return {(sampleWidth / 26 + 1) / 2, fontHeight};
}

int horizontalPixels(int dialogUnits, const DialogBaseUnits& base) {
    return mulDiv(dialogUnits, base.averageCharWidth, 4);
}

int verticalPixels(int dialogUnits, const DialogBaseUnits& base) {
    return mulDiv(dialogUnits, base.charHeight, 8);
}

PixelRect toPixels(const DialogRect& rect, const DialogBaseUnits& base) {
    return {horizontalPixels(rect.x, base), verticalPixels(rect.y, base),
            horizontalPixels(rect.width, base), verticalPixels(rect.height, base)};
}

} // namespace varnholt
