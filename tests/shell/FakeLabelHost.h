#pragma once
// A scripted stand-in for the label's window and the platform: answers come
// from its public fields, and every action the label takes is logged in order.

#include "shell/HyperLinkLabel.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace varnholt::shell::test {

class FakeLabelHost : public HyperLinkHost {
  public:
    // Script.
    unsigned long styleBits = 0;
    std::string text;
    Rect window{10, 20, 110, 36};
    Rect client{0, 0, 98, 14};
    Size textSize{41, 13};
    FontHandle controlFont = FontHandle{7};
    FontHandle underlined = FontHandle{8};
    CursorHandle hand = CursorHandle{9};
    Point pointer{5, 5};
    OpenResult shellResult = 42;
    std::map<std::string, std::string, std::less<>> classesRoot;
    OpenResult runResult = 33;

    // Record.
    std::vector<std::string> log;
    std::vector<MessageBoxRequest> messages;
    Rect movedTo{};

    bool logged(const std::string& entry) const {
        return std::find(log.begin(), log.end(), entry) != log.end();
    }

    OpenResult shellOpen(std::string_view url, int show) override {
        log.push_back("shellOpen " + std::string(url) + " " + std::to_string(show));
        return shellResult;
    }
    std::optional<std::string> queryClassesRootDefault(std::string_view subKey) override {
        const auto found = classesRoot.find(subKey);
        return found == classesRoot.end() ? std::nullopt : std::optional(found->second);
    }
    OpenResult runCommandLine(std::string_view line, int show) override {
        log.push_back("run " + std::string(line) + " " + std::to_string(show));
        return runResult;
    }

    unsigned long style() override { return styleBits; }
    void setStyle(unsigned long bits) override { styleBits = bits; }
    std::string windowText() override { return text; }
    void setWindowText(std::string_view t) override {
        text = t;
        log.push_back("setWindowText " + text);
    }
    Rect windowRect() override { return window; }
    Rect clientRect() override { return client; }
    void moveWindow(const Rect& rect) override {
        movedTo = rect;
        log.push_back("moveWindow");
    }
    void invalidate() override { log.push_back("invalidate"); }
    void destroyWindow() override { log.push_back("destroyWindow"); }

    FontHandle font() override { return controlFont; }
    void setFont(FontHandle f) override { log.push_back("setFont " + number(f)); }
    FontHandle createUnderlinedFont(FontHandle base) override {
        log.push_back("createUnderlinedFont " + number(base));
        return underlined;
    }
    void deleteFont(FontHandle f) override { log.push_back("deleteFont " + number(f)); }
    Size measureText(std::string_view measured, FontHandle f) override {
        log.push_back("measure " + std::string(measured) + " " + number(f));
        return textSize;
    }

    CursorHandle loadHandCursor() override { return hand; }
    void destroyCursor(CursorHandle c) override { log.push_back("destroyCursor " + number(c)); }
    void setCursor(CursorHandle c) override { log.push_back("setCursor " + number(c)); }
    Point pointerPosition() override { return pointer; }

    void startTimer(unsigned id, unsigned period) override {
        log.push_back("startTimer " + std::to_string(id) + " " + std::to_string(period));
    }
    void stopTimer(unsigned id) override { log.push_back("stopTimer " + std::to_string(id)); }

    void createToolTip() override { log.push_back("createToolTip"); }
    void addTool(int id, const Rect& area, std::string_view tip) override {
        log.push_back("addTool " + std::to_string(id) + " " + std::to_string(area.width()) + "x" +
                      std::to_string(area.height()) + " " + std::string(tip));
    }
    void setToolText(int id, std::string_view tip) override {
        log.push_back("setToolText " + std::to_string(id) + " " + std::string(tip));
    }
    void destroyToolTip() override { log.push_back("destroyToolTip"); }

    void beep(MessageIcon sound) override {
        log.push_back(sound == MessageIcon::Exclamation ? "beep exclamation" : "beep stop");
    }
    void showMessage(const MessageBoxRequest& request) override { messages.push_back(request); }

  private:
    template <typename Handle> static std::string number(Handle h) {
        return std::to_string(static_cast<std::uintptr_t>(h));
    }
};

} // namespace varnholt::shell::test
