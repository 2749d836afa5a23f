#pragma once
// The hyperlink label: a static text of a dialog that shows its text in link
// colours, underlines it while the pointer is over it, shows a hand pointer and
// a tooltip with the link target, and opens the target when clicked. Drawing
// and the platform's messages stay in the front end; every decision is here.
// How a link is opened is the platform's business: the host offers one "open
// this URL" call (on Windows, shell/OpenUrlWin32.h decides the details).
//
// Front-end duties that need no decision: fill the background with the
// button-face colour, draw the text transparently in textColour(), hand every
// message for the label to the tooltip first, and route the set-pointer, mouse
// move, timer (any identifier) and click events to the on... operations.

#include "shell/Geometry.h"
#include "window/MessageBox.h"

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

// Opaque platform objects; None (0) means "no object".
enum class FontHandle : std::uintptr_t { None = 0 };
enum class CursorHandle : std::uintptr_t { None = 0 };

// What came of opening a link: opened, or why not, in words for the user
// (the explanation that follows "Unable to open hyperlink:").
struct OpenUrlOutcome {
    bool opened = false;
    std::string explanation;
    bool operator==(const OpenUrlOutcome&) const = default;
};

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

// What the label needs of its window and the platform.
class HyperLinkHost {
  public:
    virtual ~HyperLinkHost() = default;

    // Opens `url` with the program the platform has for it (the mail program
    // for a "mailto:" URL), showing its window normally.
    virtual OpenUrlOutcome openUrl(std::string_view url) = 0;

    // The control's window.
    // Makes the control report clicks to the label (Win32: the notify style).
    virtual void reportClicks() = 0;
    virtual TextAlignment alignment() = 0;
    virtual std::string windowText() = 0;
    virtual void setWindowText(std::string_view text) = 0;
    // The window rectangle in the parent's client coordinates.
    virtual Rect windowRect() = 0;
    // The client rectangle in the label's own coordinates (origin 0, 0).
    virtual Rect clientRect() = 0;
    // Moves and sizes the control, keeping its place in the z-order.
    virtual void moveWindow(const Rect& rect) = 0;
    // Invalidates the whole client area, the background to be erased.
    virtual void invalidate() = 0;
    virtual void destroyWindow() = 0;

    // Fonts. createUnderlinedFont makes a new font, owned by the caller, from
    // the description of `base` with underlining; None if it cannot.
    virtual FontHandle font() = 0;
    virtual void setFont(FontHandle font) = 0; // with redraw
    virtual FontHandle createUnderlinedFont(FontHandle base) = 0;
    virtual void deleteFont(FontHandle font) = 0;
    virtual Size measureText(std::string_view text, FontHandle font) = 0;

    // A hand-shaped pointer owned by the caller, or None when the platform has
    // none (Win32: a copy of pointer 106 of <Windows folder>\winhlp32.exe, the
    // module released in every case, else the system's hand).
    virtual CursorHandle loadHandCursor() = 0;
    virtual void destroyCursor(CursorHandle cursor) = 0;
    virtual void setCursor(CursorHandle cursor) = 0;
    // Where the pointer was when the message being handled was sent, in the
    // label's client coordinates.
    virtual Point pointerPosition() = 0;

    // A window timer of the label; starting a running one restarts it.
    virtual void startTimer(unsigned timerId, unsigned periodMs) = 0;
    virtual void stopTimer(unsigned timerId) = 0;

    virtual void createToolTip() = 0;
    virtual void addTool(int toolId, const Rect& area, std::string_view text) = 0;
    virtual void setToolText(int toolId, std::string_view text) = 0;
    virtual void destroyToolTip() = 0;

    virtual void beep(MessageIcon sound) = 0;
    // A modal message box owned by the label's dialog.
    virtual void showMessage(const MessageBoxRequest& request) = 0;
};

class HyperLinkLabel {
  public:
    static constexpr Colour initialLinkColour = rgb(0, 0, 238);
    static constexpr Colour initialVisitedColour = rgb(85, 26, 139);
    static constexpr Colour initialHoverColour = rgb(255, 0, 0);
    static constexpr unsigned initialLeaveTimerId = 100;
    static constexpr unsigned leaveCheckPeriodMs = 100;
    static constexpr int toolId = 1;

    // No window is involved yet. `messageCaption` is the caption of the error
    // box (the application's name). The host must outlive the label, and its
    // release operations (deleteFont, destroyCursor, destroyToolTip) must not
    // throw: the destructor calls them.
    HyperLinkLabel(HyperLinkHost& host, std::string messageCaption);
    ~HyperLinkLabel();
    HyperLinkLabel(const HyperLinkLabel&) = delete;
    HyperLinkLabel& operator=(const HyperLinkLabel&) = delete;

    // Takes over the existing static control: makes it report clicks; an empty url
    // takes the window text and an empty window text takes the url; keeps the
    // control's font as standardFont and makes its underlined copy; fits the
    // control to its text; loads the hand pointer; creates the tooltip with one
    // tool (toolId, the client rectangle, url). A control without a font of its
    // own keeps the platform's font and is never underlined. Does nothing if
    // the label is attached already.
    void attach();

    // url becomes `url`; if attached, the control is fitted to its text again
    // and the tooltip shows the new url. The window text is left alone.
    void setUrl(std::string url);

    // Sizes the control to its window text measured in the underlined font
    // (see fitRectToText). Does nothing unless attached.
    void fitToText();

    // Loads the hand pointer unless one is loaded already.
    void loadLinkCursor();

    // Stops the leave timer, then destroys the window.
    void destroyWindow();

    // Set-pointer event: shows the hand pointer and returns true when there is
    // one; otherwise returns false and the pointer keeps its shape.
    bool onSetCursor();
    // Mouse move: the first move starts hovering (underlined font, repaint,
    // leave timer); further moves change nothing.
    void onMouseMove();
    // Leave check on each timer tick: with the pointer outside the client
    // rectangle hovering ends (timer stopped, standard font, repaint).
    void onTimer();
    // Click: hovering ends (timer and font stay as they are), url is opened;
    // success marks the label visited and repaints it, failure clears visited,
    // beeps and reports the error.
    void onClicked();

    // Shows openErrorText(explanation) with the exclamation (warning) icon.
    void reportOpenError(std::string_view explanation);

    // The colour to draw the text in now: hover wins over visited, visited
    // over the plain link colour.
    Colour textColour() const;

    Colour linkColour() const { return linkColour_; }
    Colour visitedColour() const { return visitedColour_; }
    Colour hoverColour() const { return hoverColour_; }
    bool isHovering() const { return isHovering_; }
    bool isVisited() const { return isVisited_; }
    const std::string& url() const { return url_; }
    FontHandle underlineFont() const { return underlineFont_; }
    FontHandle standardFont() const { return standardFont_; }
    CursorHandle linkCursor() const { return linkCursor_; }
    bool hasToolTip() const { return hasToolTip_; }
    unsigned leaveTimerId() const { return leaveTimerId_; }
    bool isAttached() const { return isAttached_; }

  private:
    HyperLinkHost& host_;
    std::string messageCaption_;

    Colour linkColour_ = initialLinkColour;
    Colour visitedColour_ = initialVisitedColour;
    Colour hoverColour_ = initialHoverColour;
    bool isHovering_ = false;
    bool isVisited_ = false;
    std::string url_;
    FontHandle underlineFont_ = FontHandle::None;  // owned
    FontHandle standardFont_ = FontHandle::None;   // the control's, not owned
    CursorHandle linkCursor_ = CursorHandle::None; // owned
    bool hasToolTip_ = false;                      // owned
    unsigned leaveTimerId_ = initialLeaveTimerId;
    bool isAttached_ = false;
};

} // namespace varnholt::shell
