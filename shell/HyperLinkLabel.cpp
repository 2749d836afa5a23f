#include "shell/HyperLinkLabel.h"

#include "words/UiText.h"
#include <utility>

namespace varnholt::shell {

std::string openErrorText(std::string_view explanation) {
    // TRANSLATORS: %1 explains why the link could not be opened.
    return localizedWith(uiText("Unable to open hyperlink:\n\n%1"), {explanation});
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

void HyperLinkLabel::attach(const LabelControl& control) {
    if (isAttached_) {
        return;
    }
    isAttached_ = true;
    control_ = control;
    if (url_.empty()) {
        url_ = control.text;
    }
    text_ = control.text.empty() ? url_ : control.text;
    fitToText();
    host_.repaint();
}

void HyperLinkLabel::setUrl(std::string url) {
    url_ = std::move(url);
    if (!isAttached_) {
        return;
    }
    fitToText();
    host_.repaint();
}

// Fitted from the control as the dialog made it: fitting a fitted control to
// the same text leaves it where it is, so the outcome is the same.
void HyperLinkLabel::fitToText() {
    rect_ = fitRectToText(control_.window, control_.client, host_.measureText(text_),
                          control_.alignment);
}

void HyperLinkLabel::detach() {
    if (isChecking_) {
        host_.stopLeaveCheck();
        isChecking_ = false;
    }
    isAttached_ = false;
    isHovering_ = false;
    isUnderlined_ = false;
}

void HyperLinkLabel::onMouseMove() {
    if (isHovering_) {
        return;
    }
    isHovering_ = true;
    isUnderlined_ = true;
    isChecking_ = true;
    host_.startLeaveCheck(leaveCheckPeriodMs);
    host_.repaint();
}

void HyperLinkLabel::onLeaveCheck() {
    if (host_.pointerInside()) {
        return;
    }
    isHovering_ = false;
    isUnderlined_ = false;
    isChecking_ = false;
    host_.stopLeaveCheck();
    host_.repaint();
}

void HyperLinkLabel::onClicked() {
    isHovering_ = false;
    const OpenUrlOutcome outcome = host_.openUrl(url_);
    isVisited_ = outcome.opened;
    host_.repaint();
    if (isVisited_) {
        return;
    }
    host_.beep(MessageIcon::Warning);
    const std::string_view explanation = outcome.explanation.empty()
                                             ? localized(noProgramExplanation)
                                             : std::string_view(outcome.explanation);
    host_.showMessage({messageCaption_, openErrorText(explanation), MessageIcon::Warning});
}

Colour HyperLinkLabel::textColour() const {
    if (isHovering_) {
        return hoverColour;
    }
    return isVisited_ ? visitedColour : linkColour;
}

} // namespace varnholt::shell
