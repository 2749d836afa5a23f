#pragma once
// Dialog units to pixels, as the platform defines dialog units: horizontally a
// quarter of the dialog font's average character width, vertically an eighth of
// its height. Front ends measure their font and convert every rectangle of a
// dialog description here, so dialogs grow with the font and the screen's DPI.

#include "window/DialogLayout.h"

#include <span>
#include <string_view>
#include <vector>

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

// --- Fitting a dialog to its captions ---------------------------------------
// The layouts were drawn for a font whose words run narrower, against its
// letters' average, than most fonts elsewhere, so a caption measured in the
// real font may not fit its control. Such a caption takes the free room to its
// right (up to the next control beside it, the frame of its group box or the
// dialog's edge, less captionMargin); a static text that does not start a
// column of captions also takes the free room to its left, so that it still
// ends where it meets what it labels. A push button or a group box keeps its
// own width. Where that is not enough, the whole dialog widens evenly (the
// average width grows, in eighths of a pixel) until every caption fits. A
// translation longer than the English thus widens a control, then the window
// by what it needs, and cuts nothing.

// The gap, in dialog units, that a widened caption keeps from what lies to its
// right (or left).
inline constexpr int captionMargin = 4;

// The room, in dialog units on either side, that a push button keeps between
// its caption and the frame and margins its platform draws, so that a caption
// that fills the button still stands clear of its edges.
inline constexpr int pushButtonPadding = 1;

// Whether a control shows a fixed caption that must not be cut, so that the
// front end measures it: check boxes, radio buttons, push buttons, and group
// boxes and static texts with a caption in the layout (a static text that
// shows a value has none there; what it shows later is not fitted).
bool captionMustFit(const ControlLayout& control);

// A dialog placed in pixels for one font.
struct FittedDialog {
    // The average width the dialog is laid out with, in eighths of a pixel: the
    // font's, widened where a caption needed it. A whole pixel of average width
    // is an eighth of the window or more; an eighth of a pixel widens a window
    // by little more than its longest caption needs.
    int averageCharWidthEighths = 0;
    int width = 0; // the client area in pixels
    int height = 0;
    std::vector<PixelRect> controls; // parallel to the layout's controls
};

// `captionWidths`, parallel to the layout's controls: the pixels each measured
// caption needs in the dialog's font (for a check box or radio button with its
// box, for a push button with the frame and margins its platform draws), 0 for
// the others; missing entries count as 0. A drop-down list gets its closed
// height.
// `englishWidths`, parallel too where the layout is a translation: the
// pixels its English captions need. A static text whose own rectangle reaches
// the control to its right (nearer than captionMargin) keeps the gap its
// English caption leaves before that control; its room then reaches it.
FittedDialog fitDialog(const DialogLayout& layout, DialogBaseUnits base,
                       std::span<const int> captionWidths, std::span<const int> englishWidths = {});

// The same fitting in dialog units, for a platform that converts them itself
// with the font's own base units (a dialog template): the layout with its
// horizontal values grown so that, converted with `base`, each comes to at
// least the pixels fitDialog gives it (a static text moved left starts at
// most where fitDialog starts it). Where the average width grew, the whole
// dialog is scaled; a widened control is wider. Nothing is ever narrower than
// in `layout`, and a layout whose captions all fit stays exactly as it is.
// The vertical values stay as they are (the font's height does not change).
class FittedLayout {
  public:
    FittedLayout(const DialogLayout& layout, DialogBaseUnits base,
                 std::span<const int> captionWidths, std::span<const int> englishWidths = {});
    FittedLayout(const FittedLayout&) = delete;
    FittedLayout& operator=(const FittedLayout&) = delete;

    // Valid as long as this object; its texts are `layout`'s.
    const DialogLayout& layout() const { return layout_; }

  private:
    std::vector<ControlLayout> controls_;
    DialogLayout layout_;
};

} // namespace varnholt
