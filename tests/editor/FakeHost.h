#pragma once
// A scripted host: answers the file dialog from a queue, records every message
// box, focus move and title, and checks that the busy cursor is balanced.

#include "TestFiles.h"

#include "core/FileAccess.h"
#include "editor/EditorHost.h"
#include "editor/SaveGameEditor.h"
#include "tools/savegen/SaveGen.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace varnholt::test {

using ShownMessage = MessageBoxRequest;

class FakeHost : public EditorHost {
  public:
    std::vector<ShownMessage> messages;
    std::deque<std::optional<std::string>> dialogAnswers; // one per expected dialog
    std::vector<OpenFileDialogSettings> dialogs;
    std::vector<std::string> calls;   // title, icon, pictures, focus and select-all, in order
    std::set<std::string> takenPaths; // taken in addition to what exists on disk
    std::function<bool(const std::string&)> pathTaken; // overrides both when set
    std::function<void(int)> onControlChanged;
    std::vector<int> modalResults;
    std::vector<std::string> aboutBoxCaptions; // one per About box run
    int busyDepth = 0;
    int busyCount = 0;

    void showMessage(const MessageBoxRequest& request) override { messages.push_back(request); }
    std::optional<std::string> runOpenFileDialog(const OpenFileDialogSettings& s) override {
        dialogs.push_back(s);
        if (dialogAnswers.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return std::nullopt;
        }
        auto answer = dialogAnswers.front();
        dialogAnswers.pop_front();
        return answer;
    }
    void beginBusy() override {
        ++busyDepth;
        ++busyCount;
    }
    void endBusy() override { --busyDepth; }
    void setWindowTitle(const std::string& title) override { calls.push_back("title " + title); }
    void setWindowIcon(int id) override { calls.push_back("icon " + std::to_string(id)); }
    void attachPictures(int id) override {
        calls.push_back("pictures " + std::to_string(id) + " " +
                        std::string(editorDialog().find(id)->pictures.normal));
    }
    void addMenuEntries(const std::vector<MenuEntry>& entries) override {
        for (const auto& entry : entries)
            calls.push_back(entry.separator
                                ? "menu separator"
                                : "menu " + std::to_string(entry.commandId) + " " + entry.text);
    }
    void runAboutBox(const std::string& caption) override { aboutBoxCaptions.push_back(caption); }
    void setFocus(int id) override { calls.push_back("focus " + std::to_string(id)); }
    void selectAllText(int id) override { calls.push_back("select " + std::to_string(id)); }
    bool pathExists(const std::string& path) override {
        if (pathTaken)
            return pathTaken(path);
        return takenPaths.count(path) > 0 || varnholt::pathExists(path);
    }
    void controlChanged(int id) override {
        if (onControlChanged)
            onControlChanged(id);
    }
    void endModal(int result) override { modalResults.push_back(result); }
};

// A temporary folder that is removed with the fixture.
using varnholt::testfiles::readBytes;
using varnholt::testfiles::TempFolder;

// An editor on a fake host, initialised, with a temporary folder for saves.
class EditorFixture : public ::testing::Test {
  protected:
    FakeHost host;
    TempFolder temp;
    SaveGameEditor editor{host, "/opt/varnholt", "Varnholt"};

    void SetUp() override { editor.initialise(); }
    void TearDown() override { EXPECT_EQ(host.busyDepth, 0) << "busy cursor left on"; }

    std::string writeSave(const std::string& name, const savegen::SaveSpec& spec) {
        const std::string path = temp.file(name);
        savegen::writeSave(path, spec);
        return path;
    }
    // Types a path into box 1002 and presses Refresh, as a user would.
    void typeAndRefresh(const std::string& path) {
        editor.userSetText(idSourcePath, path);
        editor.userClick(idRefresh);
    }
    const ControlState& ctl(int id) const { return editor.control(id); }
    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const auto& m : host.messages)
            texts.push_back(m.text);
        return texts;
    }
};

} // namespace varnholt::test
