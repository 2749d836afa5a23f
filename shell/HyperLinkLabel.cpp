#include "shell/HyperLinkLabel.h"

#include <utility>

namespace varnholt::shell {

std::string openErrorText(std::string_view explanation) {
    return "Unable to open hyperlink:\n\n" + std::string(explanation);
}

Rect fitRectToText(const Rect& window, const Rect& client, Size textSize, TextAlignment alignment) {
    const int newWidth = textSize.width + (window.width() - client.width());
    const int newHeight = textSize.height + (window.height() - client.height());
    Rect fitted = window;

    // Integer division truncates toward zero, as the sizing rule wants.
    if (alignment.centredVertically) {
        const int d = (window.height() - newHeight) / 2;
        fitted.top += d;
        fitted.bottom -= d;
    } else {
        fitted.bottom = fitted.top + newHeight;
    }

    if (alignment.horizontal == HorizontalAlignment::Centre) {
        const int d = (window.width() - newWidth) / 2;
        fitted.left += d;
        fitted.right -= d;
    } else if (alignment.horizontal == HorizontalAlignment::Right) {
        fitted.left = fitted.right - newWidth;
    } else {
        fitted.right = fitted.left + newWidth;
    }
    return fitted;
}

HyperLinkLabel::HyperLinkLabel(HyperLinkHost& host, std::string messageCaption)
    : host_(host), messageCaption_(std::move(messageCaption)) {}

HyperLinkLabel::~HyperLinkLabel() {
    if (underlineFont_ != FontHandle::None) {
        host_.deleteFont(underlineFont_);
    }
    if (linkCursor_ != CursorHandle::None) {
        host_.destroyCursor(linkCursor_);
    }
    if (hasToolTip_) {
        host_.destroyToolTip();
    }
}

void HyperLinkLabel::attach() {
    if (isAttached_) {
        return;
    }
    isAttached_ = true;

    host_.reportClicks();
    const std::string text = host_.windowText();
    if (url_.empty()) {
        url_ = text;
    }
    if (text.empty()) {
        host_.setWindowText(url_);
    }

    // A label attached again after its window was destroyed makes its font
    // and tooltip anew; the old ones belong to the old window.
    if (underlineFont_ != FontHandle::None) {
        host_.deleteFont(underlineFont_);
        underlineFont_ = FontHandle::None;
    }
    standardFont_ = host_.font();
    if (standardFont_ != FontHandle::None) {
        underlineFont_ = host_.createUnderlinedFont(standardFont_);
    }

    fitToText();
    loadLinkCursor();

    if (hasToolTip_) {
        host_.destroyToolTip();
    }
    host_.createToolTip();
    hasToolTip_ = true;
    host_.addTool(toolId, host_.clientRect(), url_);
}

void HyperLinkLabel::setUrl(std::string url) {
    url_ = std::move(url);
    if (!isAttached_) {
        return;
    }
    fitToText();
    if (hasToolTip_) {
        host_.setToolText(toolId, url_);
    }
}

void HyperLinkLabel::fitToText() {
    if (!isAttached_) {
        return;
    }
    const Rect window = host_.windowRect();
    const Rect client = host_.clientRect();
    // Measured underlined because hovering must not make the text outgrow the control.
    const FontHandle font = underlineFont_ != FontHandle::None ? underlineFont_ : standardFont_;
    const Size textSize = host_.measureText(host_.windowText(), font);
    host_.moveWindow(fitRectToText(window, client, textSize, host_.alignment()));
}

void HyperLinkLabel::loadLinkCursor() {
    if (linkCursor_ == CursorHandle::None) {
        linkCursor_ = host_.loadHandCursor();
    }
}

void HyperLinkLabel::destroyWindow() {
    host_.stopTimer(leaveTimerId_);
    isAttached_ = false;
    host_.destroyWindow();
}

bool HyperLinkLabel::onSetCursor() {
    if (linkCursor_ == CursorHandle::None) {
        return false;
    }
    host_.setCursor(linkCursor_);
    return true;
}

void HyperLinkLabel::onMouseMove() {
    if (isHovering_) {
        return;
    }
    isHovering_ = true;
    if (underlineFont_ != FontHandle::None) {
        host_.setFont(underlineFont_);
    }
    host_.invalidate();
    // The label does not capture the mouse; it polls until the pointer is gone.
    host_.startTimer(leaveTimerId_, leaveCheckPeriodMs);
}

void HyperLinkLabel::onTimer() {
    if (host_.clientRect().contains(host_.pointerPosition())) {
        return;
    }
    isHovering_ = false;
    host_.stopTimer(leaveTimerId_);
    if (underlineFont_ != FontHandle::None) {
        host_.setFont(standardFont_);
    }
    host_.invalidate();
}

void HyperLinkLabel::onClicked() {
    isHovering_ = false;
    const OpenUrlOutcome outcome = host_.openUrl(url_);
    isVisited_ = outcome.opened;
    if (isVisited_) {
        host_.invalidate();
        return;
    }
    host_.beep(MessageIcon::Warning);
    reportOpenError(outcome.explanation);
}

void HyperLinkLabel::reportOpenError(std::string_view explanation) {
    host_.showMessage({messageCaption_, openErrorText(explanation), MessageIcon::Warning});
}

Colour HyperLinkLabel::textColour() const {
    if (isHovering_) {
        return hoverColour_;
    }
    return isVisited_ ? visitedColour_ : linkColour_;
}

} // namespace varnholt::shell
