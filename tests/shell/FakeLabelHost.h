#pragma once
// A stand-in for the label's window and the platform: answers come from its
// public fields, and like a front end it shows the label again on each repaint,
// so that `shown` is what a user would see.

#include "shell/HyperLinkLabel.h"

#include <string>
#include <vector>

namespace varnholt::shell::test {

struct Shown {
    std::string text;
    Colour colour;
    bool underlined = false;
    std::string toolTip;
    bool hand = false;
    Rect rect;
    bool operator==(const Shown&) const = default;
};

class FakeLabelHost : public HyperLinkHost {
  public:
    // Script.
    const HyperLinkLabel* label = nullptr; // the label shown on each repaint
    Size textSize{41, 13};                 // what every text measures
    bool inside = true;
    OpenUrlOutcome openOutcome{true, {}};

    // What the user sees and hears.
    Shown shown;
    bool checking = false; // the leave check runs
    unsigned checkPeriodMs = 0;
    std::vector<std::string> measured;
    std::vector<std::string> opened;
    std::vector<MessageIcon> beeps;
    std::vector<MessageBoxRequest> messages;

    OpenUrlOutcome openUrl(std::string_view url) override {
        opened.emplace_back(url);
        return openOutcome;
    }
    Size measureText(std::string_view text) override {
        measured.emplace_back(text);
        return textSize;
    }
    void repaint() override {
        shown = {label->text(),        label->textColour(),       label->isUnderlined(),
                 label->toolTipText(), label->wantsHandPointer(), label->rect()};
    }
    void startLeaveCheck(unsigned periodMs) override {
        checking = true;
        checkPeriodMs = periodMs;
    }
    void stopLeaveCheck() override { checking = false; }
    bool pointerInside() override { return inside; }
    void beep(MessageIcon sound) override { beeps.push_back(sound); }
    void showMessage(const MessageBoxRequest& request) override { messages.push_back(request); }
};

// A control as a dialog makes it: 98 x 14 pixels of client area in a frame
// of 2 x 2, at (10, 20) of its dialog.
inline LabelControl control(std::string text,
                            HorizontalAlignment horizontal = HorizontalAlignment::Left) {
    return {std::move(text), {horizontal, false}, {10, 20, 110, 36}, {0, 0, 98, 14}};
}

} // namespace varnholt::shell::test
