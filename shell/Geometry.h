#pragma once
// Plain geometry for the shell's window models: rectangles and sizes in
// pixels, with no toolkit types, so that front ends convert at their edge.

namespace varnholt::shell {

struct Size {
    int width = 0;
    int height = 0;

    bool operator==(const Size&) const = default;
};

// Edges as the platform gives them: right and bottom lie just outside.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }

    bool operator==(const Rect&) const = default;
};

} // namespace varnholt::shell
