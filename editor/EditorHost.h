#pragma once
// What the editor model needs of the window system. A front end implements it
// with real windows; tests implement it with a scripted fake. The host owns no
// rule: it shows what the model tells it and answers the model's questions.

#include "editor/EditorLayout.h"
#include "shell/AboutBox.h"

#include <optional>
#include <string>
#include <vector>

namespace varnholt {

// Every message box has one OK button. Error and Stop show the same (error)
// icon on Windows; Warning is the exclamation icon.
enum class MessageIcon { Error, Warning, Stop };

// One entry of a file dialog's filter: the name shown and the pattern(s) it
// stands for ("*.sav").
struct FileFilter {
    std::string name;
    std::string pattern;
    bool operator==(const FileFilter&) const = default;
};

// The settings of the file-open dialog, all decided by the model.
struct OpenFileDialogSettings {
    std::string title;
    // The filter as stored: pairs separated by "|", ended by "||".
    std::string filterText;
    // The same, as pairs; the first is in force when the dialog opens.
    std::vector<FileFilter> filters;
    // Appended (with a dot) to a name typed without an extension.
    std::string defaultExtension;
    // Empty: the platform's default folder.
    std::string initialFolder;
    std::string initialFileName;
    bool fileMustExist = false;
    bool pathMustExist = false;
    bool showReadOnlyOption = false;
    bool operator==(const OpenFileDialogSettings&) const = default;
};

class EditorHost {
  public:
    virtual ~EditorHost() = default;

    // A modal message box with one OK button; returns when it is closed.
    virtual void showMessage(const std::string& caption, const std::string& text,
                             MessageIcon icon) = 0;

    // Runs the file-open dialog modally, owned by the editor window. Returns
    // the picked file's full path (UTF-8), or nothing when the user cancelled
    // or the dialog failed.
    virtual std::optional<std::string>
    runOpenFileDialog(const OpenFileDialogSettings& settings) = 0;

    // Shows and removes the busy cursor. The model pairs them through
    // BusyCursor, so every begin has its end on every way out.
    virtual void beginBusy() = 0;
    virtual void endBusy() = 0;

    // The window's title bar text.
    virtual void setWindowTitle(const std::string& title) = 0;
    // Sets icon group `iconGroup` as the window's large and small icon.
    virtual void setWindowIcon(int iconGroup) = 0;
    // Attaches the four pictures to the picture button; it takes their size.
    virtual void attachPictures(int controlId, const PictureNames& pictures) = 0;

    // Whether the window has a window menu (the system menu of its title bar).
    virtual bool hasWindowMenu() = 0;
    // Appends the entries, in order, to the window menu.
    virtual void appendWindowMenu(const std::vector<shell::MenuEntry>& entries) = 0;
    // Builds the About box from shell::aboutBoxTemplate(), runs it modally over
    // the editor window with a fresh shell::AboutBox, and destroys it.
    virtual void runAboutBox() = 0;

    // Moves the keyboard focus into the control.
    virtual void setFocus(int controlId) = 0;
    // Selects the whole text of a text box.
    virtual void selectAllText(int controlId) = 0;

    // Whether an entry (file, directory or anything else) of that path exists;
    // core's pathExists is the real answer.
    virtual bool pathExists(const std::string& path) = 0;

    // A control's state (text, tick, items, selection, spin, limit or enabled
    // flag) was changed by the model; the front end re-reads SaveGameEditor's
    // control(id) and mirrors it. Widget events that the mirroring raises may be
    // passed back to the model: it ignores them.
    virtual void controlChanged(int controlId) = 0;

    // Ends the window's modal run with `result` (1 Close, 2 Cancel).
    virtual void endModal(int result) = 0;
};

// Holds the busy cursor for a scope.
class BusyCursor {
  public:
    explicit BusyCursor(EditorHost& host) : host_(host) { host_.beginBusy(); }
    ~BusyCursor() { host_.endBusy(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

  private:
    EditorHost& host_;
};

} // namespace varnholt
