#pragma once
// The hyperlink label: a static text of a dialog that shows its text in link
// colours, underlines it while the pointer is over it, shows a hand pointer and
// a tooltip with the link target, and opens the target when clicked. The label
// says what to show; the front end shows it (fonts, pointers and the tooltip
// are the front end's own objects) and reports what the pointer does. How a
// link is opened is the platform's business: the host offers one "open this
// URL" call (on Windows, shell/OpenUrlWin32.h decides the details).
//
// Front-end duties that need no decision: fill the background with the
// button-face colour, draw the text transparently in textColour(), let the
// tooltip see the pointer over the label, and route mouse moves, the leave
// check's ticks and clicks to the on... operations. After repaint(), show
// everything the label exposes again, changing only what differs.

#include "shell/Geometry.h"
#include "window/MessageBox.h"
#include "words/UiText.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace varnholt::shell {

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const Colour&) const = default;
};

constexpr Colour rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return Colour{red, green, blue};
}

// What came of opening a link: opened, or why not, in words for the user
// (the explanation that follows "Unable to open hyperlink:"). A platform that
// only says whether it worked leaves the explanation empty.
struct OpenUrlOutcome {
    bool opened = false;
    std::string explanation;
    bool operator==(const OpenUrlOutcome&) const = default;
};

// Said of a failed open that the platform does not explain.
inline constexpr std::string_view noProgramExplanation =
    uiText("No program could be started to open it.");

// The text the label shows in its error box after a failed open.
std::string openErrorText(std::string_view explanation);

// How the control places its text, which decides which edges stay put when
// it is fitted to its text.
enum class HorizontalAlignment { Left, Centre, Right };
struct TextAlignment {
    HorizontalAlignment horizontal = HorizontalAlignment::Left;
    bool centredVertically = false;
    bool operator==(const TextAlignment&) const = default;
};

// The rectangle a control takes to fit a text of `textSize`, given its window
// rectangle and its client rectangle (only the client's size matters) and how
// it aligns its text. Width and height become the text's plus the control's
// frame. Centred vertically, the top and bottom move toward each other by half
// the height difference, otherwise the top stays. Horizontally, centred moves
// both edges by half the width difference, right-aligned keeps the right edge,
// left-aligned the left edge. Halves are truncated toward zero.
Rect fitRectToText(const Rect& window, const Rect& client, Size textSize, TextAlignment alignment);

// The static control as the dialog made it, before the label takes it over.
struct LabelControl {
    std::string text;
    TextAlignment alignment;
    Rect window; // in the parent's client coordinates
    Rect client; // in the control's own coordinates (origin 0, 0)
};

// What the label needs of its window and the platform.
class HyperLinkHost {
  public:
    virtual ~HyperLinkHost() = default;

    // Opens `url` with the program the platform has for it (the mail program
    // for a "mailto:" URL), showing its window normally.
    virtual OpenUrlOutcome openUrl(std::string_view url) = 0;

    // The size of `text` in the control's font, underlined: the label is
    // fitted to that, so that hovering never makes the text outgrow it.
    virtual Size measureText(std::string_view text) = 0;

    // What the label shows has changed: show it again (text, place, colour,
    // underline, tooltip, pointer) and repaint, the background erased.
    virtual void repaint() = 0;

    // The leave check: a tick every `periodMs` until stopped, each one routed
    // to onLeaveCheck. Starting a running check restarts it.
    virtual void startLeaveCheck(unsigned periodMs) = 0;
    virtual void stopLeaveCheck() = 0;
    // Whether the pointer lies inside the control's client area (right and
    // bottom edges outside), where it was when the tick being handled came.
    virtual bool pointerInside() = 0;

    virtual void beep(MessageIcon sound) = 0;
    // A modal message box owned by the label's dialog.
    virtual void showMessage(const MessageBoxRequest& request) = 0;
};

class HyperLinkLabel {
  public:
    static constexpr Colour linkColour = rgb(0, 0, 238);
    static constexpr Colour visitedColour = rgb(85, 26, 139);
    static constexpr Colour hoverColour = rgb(255, 0, 0);
    // The label does not capture the mouse; it polls until the pointer is gone.
    static constexpr unsigned leaveCheckPeriodMs = 100;

    // No window is involved yet. `messageCaption` is the caption of the error
    // box (the application's name). The host must outlive the label.
    HyperLinkLabel(HyperLinkHost& host, std::string messageCaption);
    HyperLinkLabel(const HyperLinkLabel&) = delete;
    HyperLinkLabel& operator=(const HyperLinkLabel&) = delete;

    // Takes over the control: an empty url takes the control's text and an
    // empty text takes the url; the label is fitted to its text, shows the
    // hand pointer and a tooltip with the url. Does nothing if the label is
    // attached already.
    void attach(const LabelControl& control);

    // url becomes `url`; if attached, the label is fitted to its text again
    // and the tooltip shows the new url. The text shown is left alone.
    void setUrl(std::string url);

    // The control's window goes: the leave check stops, and nothing is shown
    // until the label is attached again.
    void detach();

    // Mouse move: the first move starts hovering (hover colour, underlined,
    // leave check running); further moves change nothing.
    void onMouseMove();
    // A tick of the leave check: with the pointer outside the client area
    // hovering ends (check stopped, not underlined).
    void onLeaveCheck();
    // Click: hovering ends (the check and the underline stay until the next
    // tick outside), url is opened; success marks the label visited, failure
    // clears visited, beeps and shows why in a box with the exclamation icon.
    void onClicked();

    // What to show.
    const std::string& text() const { return text_; }
    // Hover wins over visited, visited over the plain link colour.
    Colour textColour() const;
    bool isUnderlined() const { return isUnderlined_; }
    // The url while attached; empty (no tooltip) otherwise.
    std::string toolTipText() const { return isAttached_ ? url_ : std::string(); }
    bool wantsHandPointer() const { return isAttached_; }
    // Where the control goes, fitted to its text (see fitRectToText).
    const Rect& rect() const { return rect_; }

    const std::string& url() const { return url_; }

  private:
    void fitToText();

    HyperLinkHost& host_;
    std::string messageCaption_;

    bool isHovering_ = false;
    bool isUnderlined_ = false;
    bool isChecking_ = false; // the leave check runs
    bool isVisited_ = false;
    bool isAttached_ = false;
    std::string url_;
    std::string text_;
    LabelControl control_; // as it was when attached
    Rect rect_;
};

} // namespace varnholt::shell
