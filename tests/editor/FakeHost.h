#pragma once
// A scripted host: answers the file dialog from a queue, records every message
// box, focus move and title, and checks that the busy cursor is balanced and
// lifted while a modal window waits for the user.

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
    // Folders the user cannot write to, and the home folder the system names.
    std::set<std::string> readOnlyFolders;
    std::optional<std::string> home = "/home/ann";
    // The folders around a save cannot be seen (as in a browser).
    bool foldersUnknown = false;
    int busyDepth = 0;
    int busyCount = 0;
    int busyWhileModal = 0; // modal windows shown under the busy cursor

    // The file system as the editor sees it through this host.
    FileQueries files() {
        return {[this](const std::string& path) {
                    if (pathTaken)
                        return pathTaken(path);
                    return takenPaths.count(path) > 0 || varnholt::pathExists(path);
                },
                [this](const std::string& folder) { return readOnlyFolders.count(folder) == 0; },
                [this] { return home; },
                [this](const std::string& path) {
                    return foldersUnknown ? std::nullopt : varnholt::directoryOnDisk(path);
                }};
    }

    void showMessage(const MessageBoxRequest& request) override {
        busyWhileModal += busyDepth;
        messages.push_back(request);
    }
    std::optional<std::string> runOpenFileDialog(const OpenFileDialogSettings& s) override {
        busyWhileModal += busyDepth;
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
        EXPECT_EQ(busyDepth, 0) << "the busy cursor begun twice";
        ++busyDepth;
        ++busyCount;
    }
    void endBusy() override { --busyDepth; }
    void savedGameWritten(const std::string& path) override { calls.push_back("written " + path); }
    // A platform that writes Apply's copies itself records what it was handed.
    bool writesCopiesItself = false;
    struct CopyOrder {
        std::string source;
        std::string output;
        std::vector<BytePatch> patches;
    };
    std::vector<CopyOrder> copies;
    bool writesCopies() const override { return writesCopiesItself; }
    void writeCopy(const std::string& source, const std::string& output,
                   const std::vector<BytePatch>& patches) override {
        copies.push_back({source, output, patches});
    }
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
    void runAboutBox(const std::string& caption) override {
        busyWhileModal += busyDepth;
        aboutBoxCaptions.push_back(caption);
    }
    void setFocus(int id) override { calls.push_back("focus " + std::to_string(id)); }
    void selectAllText(int id) override { calls.push_back("select " + std::to_string(id)); }
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
    SaveGameEditor editor{host, "/opt/varnholt", "Varnholt", host.files()};

    void SetUp() override { editor.initialise(); }
    void TearDown() override {
        EXPECT_EQ(host.busyDepth, 0) << "busy cursor left on";
        EXPECT_EQ(host.busyWhileModal, 0) << "busy cursor over a modal window";
    }

    std::string writeSave(const std::string& name, const savegen::SaveSpec& spec) {
        const std::string path = temp.file(name);
        savegen::writeSave(path, spec);
        return path;
    }
    // Types a path into the source path box and presses Refresh, as a user would.
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
