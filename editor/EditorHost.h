#pragma once
// What the editor model needs of the window system. A front end implements it
// with real windows; tests implement it with a scripted fake. The host owns no
// rule: it shows what the model tells it and answers the model's questions.

#include "core/ApplyChanges.h"
#include "window/DialogLayout.h"
#include "window/MessageBox.h"
#include "window/WindowMenu.h"

#include <optional>
#include <string>
#include <vector>

namespace varnholt {

// One entry of a file dialog's filter: the name shown and the pattern(s) it
// stands for ("*.sav"). "*.*" stands for every file, with or without a dot.
struct FileFilter {
    std::string name;
    std::string pattern;
    bool operator==(const FileFilter&) const = default;
};

// The settings of the file-open dialog, all decided by the model: a host sets
// each of them and nothing of its own.
struct OpenFileDialogSettings {
    std::string title;
    // The filters in order; the first is in force when the dialog opens.
    std::vector<FileFilter> filters;
    // Appended (with a dot) to a name typed without an extension.
    std::string defaultExtension;
    // Empty: the platform's default folder.
    std::string initialFolder;
    bool fileMustExist = false;
    bool pathMustExist = false;
    bool showReadOnlyOption = false;
    // The process's current folder stays as it was (some platforms' dialogs
    // move it to the folder picked), so that relative paths typed later mean
    // what they meant before.
    bool keepCurrentFolder = false;
    bool operator==(const OpenFileDialogSettings&) const = default;
};

// What became of a copy that the host writes itself (EditorHost::writeCopy).
enum class CopyFate {
    Written,           // the copy is in place under its name
    OfferedAsDownload, // handed to the platform's downloads, whose fate cannot be seen
    Failed,            // nothing was written (`cause` says why)
    Cancelled,         // the user chose not to save it
};

// Mirroring: see window/DialogState.h. The model reports through
// controlChanged(id); the host reads the editor's control(id) and sets the
// widget only where it differs. Widget events that the mirroring itself
// raises may be passed back through the user* operations: the model ignores
// them while it is busy.
class EditorHost {
  public:
    virtual ~EditorHost() = default;

    // A modal message box with one OK button, owned by the editor window;
    // returns when it is closed. The text is plain: no markup, no mnemonics.
    virtual void showMessage(const MessageBoxRequest& request) = 0;

    // Runs the file-open dialog modally, owned by the editor window. Returns
    // the picked file's full path (UTF-8), or nothing when the user cancelled
    // or the dialog failed. A platform whose file dialog answers later (a
    // browser's) returns nothing at once and gives the picked file to the
    // editor's userPickedFile once the user has picked it.
    virtual std::optional<std::string>
    runOpenFileDialog(const OpenFileDialogSettings& settings) = 0;
    // Apply has written a new saved game at `path`. A platform that keeps the
    // files it works on apart from the user's (a browser's) hands it over; one
    // that writes beside the original, where the user looks for it, has
    // nothing more to do.
    virtual void savedGameWritten(const std::string& /*path*/) {}
    // Whether the platform writes Apply's copy in its own way (a page hands it
    // over through the platform's save dialog or as a download): then the model
    // plans the copy and calls writeCopy with the save, the name it chose and
    // the patches to lay over the save's bytes; the host answers later through
    // the editor's copyFinished. Otherwise core writes the copy beside the save.
    virtual bool writesCopies() const { return false; }
    virtual void writeCopy(const std::string& /*sourcePath*/, const std::string& /*outputPath*/,
                           const std::vector<BytePatch>& /*patches*/) {}

    // Shows and removes the busy cursor. The model calls them in strict pairs
    // (never two begins in a row) and removes the cursor while a modal window
    // it opened waits for the user.
    virtual void beginBusy() = 0;
    virtual void endBusy() = 0;

    // The window's title bar text.
    virtual void setWindowTitle(const std::string& title) = 0;
    // Sets icon `iconId` as the window's large and small icon.
    virtual void setWindowIcon(int iconId) = 0;
    // Attaches the picture button's pictures (its ControlLayout's `pictures`);
    // the button takes their size.
    virtual void attachPictures(int controlId) = 0;

    // Adds the entries, in order, to the window menu. Where the window has no
    // window menu (a dialog on a Linux desktop), the host offers them elsewhere,
    // so that none becomes unreachable: a context menu of the window, and F1 for
    // the About command (on macOS, the application menu's About item). Choosing
    // an entry calls the editor's userMenuCommand with its command identifier.
    virtual void addMenuEntries(const std::vector<MenuEntry>& entries) = 0;
    // Builds the About box from the shell's aboutBoxDialog(), runs it modally
    // over the editor window with a fresh AboutBox whose error boxes carry
    // `messageCaption`, and destroys it.
    virtual void runAboutBox(const std::string& messageCaption) = 0;

    // Moves the keyboard focus into the control.
    virtual void setFocus(int controlId) = 0;
    // Selects the whole text of a text box.
    virtual void selectAllText(int controlId) = 0;

    // The control's state may differ from its widget: see Mirroring above.
    virtual void controlChanged(int controlId) = 0;

    // Ends the window's modal run with `result` (1 Close, 2 Cancel).
    virtual void endModal(int result) = 0;
};

} // namespace varnholt
