#include "shell/HyperLinkLabel.h"

#include <utility>

namespace varnholt::shell {

namespace {

// Shell and command-line results above this count as success.
constexpr OpenResult lastErrorCode = 32;

std::string_view openErrorExplanation(OpenResult code) {
    switch (code) {
    case 0:
        return "The operating system is out\nof memory or resources.";
    case 2:
        return "The specified file was not found.";
    case 3:
        return "The specified path was not found.";
    case 5:
        return "The operating system denied\naccess to the specified file.";
    case 8:
        return "There was not enough memory to complete the operation.";
    case 11:
        return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case 26:
        return "A sharing violation occurred. ";
    case 27:
        return "The filename association is\nincomplete or invalid.";
    case 28:
        return "The DDE transaction could not\nbe completed because the request timed out.";
    case 29:
        return "The DDE transaction failed.";
    case 30:
        return "The DDE transaction could not\nbe completed because other DDE "
               "transactions\nwere being processed.";
    case 31:
        return "There is no application associated\nwith the given filename extension.";
    case 32:
        return "The specified dynamic-link library was not found.";
    default:
        return {};
    }
}

} // namespace

std::optional<std::string> readClassesRootDefault(UrlOpenHost& host, std::string_view subKey) {
    std::optional<std::string> value = host.queryClassesRootDefault(subKey);
    if (value && value->size() >= registryValueBufferSize) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> webPageCommandLine(std::string_view registeredCommand,
                                              std::string_view url,
                                              const LeadBytePredicate& isLeadByte) {
    // A quoted placeholder is cut at its opening quote, so that the URL is not
    // left inside an unclosed quote.
    std::size_t cut = findFirstText(registeredCommand, "\"%1\"", isLeadByte);
    if (cut == std::string_view::npos) {
        cut = findFirstText(registeredCommand, "%1", isLeadByte);
    }
    if (cut == std::string_view::npos) {
        cut = registeredCommand.size();
    }
    const std::size_t length = cut + 1 + url.size();
    if (length >= commandLineBufferSize) {
        return std::nullopt;
    }
    std::string line;
    line.reserve(length);
    line.append(registeredCommand.substr(0, cut));
    line.push_back(' ');
    line.append(url);
    return line;
}

OpenResult openUrl(UrlOpenHost& host, std::string_view url, int showCommand,
                   const LeadBytePredicate& isLeadByte) {
    const OpenResult shellResult = host.shellOpen(url, showCommand);
    // The shell's result is a handle-sized value, judged unsigned.
    if (static_cast<std::uint64_t>(shellResult) > static_cast<std::uint64_t>(lastErrorCode)) {
        return shellResult;
    }
    const std::optional<std::string> fileType = readClassesRootDefault(host, ".htm");
    if (!fileType) {
        return shellResult;
    }
    const std::optional<std::string> command =
        readClassesRootDefault(host, *fileType + "\\shell\\open\\command");
    if (!command) {
        return shellResult;
    }
    const std::optional<std::string> line = webPageCommandLine(*command, url, isLeadByte);
    if (!line) {
        return shellResult;
    }
    return host.runCommandLine(*line, showCommand);
}

std::string openErrorText(OpenResult code) {
    std::string text = "Unable to open hyperlink:\n\n";
    const std::string_view explanation = openErrorExplanation(code);
    if (explanation.empty()) {
        text += "Unknown Error (" + std::to_string(code) + ") occurred.";
    } else {
        text += explanation;
    }
    return text;
}

Rect fitRectToText(const Rect& window, const Rect& client, Size textSize, unsigned long style) {
    const int newWidth = textSize.width + (window.width() - client.width());
    const int newHeight = textSize.height + (window.height() - client.height());
    Rect fitted = window;

    // Integer division truncates toward zero, as the sizing rule wants.
    if ((style & styleCenterImage) != 0) {
        const int d = (window.height() - newHeight) / 2;
        fitted.top += d;
        fitted.bottom -= d;
    } else {
        fitted.bottom = fitted.top + newHeight;
    }

    if ((style & styleCenter) != 0) {
        const int d = (window.width() - newWidth) / 2;
        fitted.left += d;
        fitted.right -= d;
    } else if ((style & styleRight) != 0) {
        fitted.left = fitted.right - newWidth;
    } else {
        fitted.right = fitted.left + newWidth;
    }
    return fitted;
}

HyperLinkLabel::HyperLinkLabel(HyperLinkHost& host, std::string messageCaption,
                               LeadBytePredicate isLeadByte)
    : host_(host), messageCaption_(std::move(messageCaption)), isLeadByte_(std::move(isLeadByte)) {}

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

    host_.setStyle(host_.style() | styleNotify);
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
    host_.moveWindow(fitRectToText(window, client, textSize, host_.style()));
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
    const OpenResult result = openUrl(host_, url_, showCommandShow, isLeadByte_);
    isVisited_ = result > lastErrorCode;
    if (isVisited_) {
        host_.invalidate();
        return;
    }
    host_.beep(MessageIcon::Exclamation);
    reportOpenError(result);
}

void HyperLinkLabel::reportOpenError(OpenResult code) {
    host_.showMessage({messageCaption_, openErrorText(code), MessageIcon::Exclamation});
}

Colour HyperLinkLabel::textColour() const {
    if (isHovering_) {
        return hoverColour_;
    }
    return isVisited_ ? visitedColour_ : linkColour_;
}

} // namespace varnholt::shell
