#pragma once
// A scripted stand-in for the label's window and the platform: answers come
// from its public fields, and every action the label takes is logged in order.

#include "shell/HyperLinkLabel.h"

#include <algorithm>
#include <string>
#include <type_traits>
#include <vector>

namespace varnholt::shell::test {

class FakeLabelHost : public HyperLinkHost {
  public:
    // Script. The frame is 2 x 2 pixels around a 98 x 14 client area.
    TextAlignment textAlignment;
    std::string text;
    Rect window{10, 20, 110, 36};
    Rect client{0, 0, 98, 14};
    FontHandle controlFont = FontHandle{7};
    CursorHandle hand = CursorHandle{9};
    Point pointer{5, 5};
    OpenUrlOutcome openOutcome{true, {}};

    // Record.
    std::vector<std::string> log;
    std::vector<MessageBoxRequest> messages;
    Rect movedTo{};

    bool logged(const std::string& entry) const {
        return std::find(log.begin(), log.end(), entry) != log.end();
    }

    OpenUrlOutcome openUrl(std::string_view url) override {
        note("open", url);
        return openOutcome;
    }

    void reportClicks() override { note("reportClicks"); }
    TextAlignment alignment() override { return textAlignment; }
    std::string windowText() override { return text; }
    void setWindowText(std::string_view t) override { note("setWindowText", text = t); }
    Rect windowRect() override { return window; }
    Rect clientRect() override { return client; }
    void moveWindow(const Rect& rect) override { movedTo = rect; }
    void invalidate() override { note("invalidate"); }
    void destroyWindow() override { note("destroyWindow"); }

    FontHandle font() override { return controlFont; }
    void setFont(FontHandle f) override { note("setFont", f); }
    FontHandle createUnderlinedFont(FontHandle base) override {
        note("createUnderlinedFont", base);
        return FontHandle{8};
    }
    void deleteFont(FontHandle f) override { note("deleteFont", f); }
    // 41 x 13 pixels in any font; the font used is logged.
    Size measureText(std::string_view measured, FontHandle f) override {
        note("measure", measured, f);
        return {41, 13};
    }

    CursorHandle loadHandCursor() override { return hand; }
    void destroyCursor(CursorHandle c) override { note("destroyCursor", c); }
    void setCursor(CursorHandle c) override { note("setCursor", c); }
    Point pointerPosition() override { return pointer; }

    void startTimer(unsigned id, unsigned period) override { note("startTimer", id, period); }
    void stopTimer(unsigned id) override { note("stopTimer", id); }

    void createToolTip() override {}
    void addTool(int id, const Rect& area, std::string_view tip) override {
        note("addTool", id, area.width(), area.height(), tip);
    }
    void setToolText(int id, std::string_view tip) override { note("setToolText", id, tip); }
    void destroyToolTip() override { note("destroyToolTip"); }

    void beep(MessageIcon sound) override { note("beep", static_cast<int>(sound)); }
    void showMessage(const MessageBoxRequest& request) override { messages.push_back(request); }

  private:
    static std::string word(std::string_view s) { return std::string(s); }
    static std::string word(const std::string& s) { return s; }
    template <typename T> static std::string word(T value) {
        if constexpr (std::is_enum_v<T>) {
            return std::to_string(static_cast<std::uintmax_t>(value));
        } else {
            return std::to_string(value);
        }
    }
    // One log entry: the action and its arguments, separated by blanks.
    template <typename... Args> void note(std::string action, const Args&... args) {
        ((action.append(" ").append(word(args))), ...);
        log.push_back(action);
    }
};

} // namespace varnholt::shell::test
