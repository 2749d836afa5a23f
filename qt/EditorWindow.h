#pragma once
// The editor window on Qt Widgets: built from the model's layout table, it
// mirrors the model's control states into the widgets and forwards what the
// user does to the model's user* operations. It holds no rule of its own.

#include "editor/SaveGameEditor.h"
#include "qt/DialogBuilder.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace varnholt::qt {

class EditorWindow : public QDialog {
    Q_OBJECT
  public:
    // `programFolder`: where Browse starts while no save is named;
    // `applicationName`: the caption of every message box.
    EditorWindow(std::string programFolder, std::string applicationName, QWidget* parent = nullptr);
    ~EditorWindow() override;

    SaveGameEditor& editor() { return *editor_; }
    // The widget of the control with identifier `id`, or nullptr.
    QWidget* control(int id) const { return built_.control(id); }

    // Loads a saved game as if its path were typed and refreshed: the
    // program's argument and a dropped file.
    void openSaveGame(const QString& path);

  protected:
    void reject() override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    class Host;

    void connectControl(const ControlLayout& spec, QWidget* widget);
    void mirror(int id);
    void addMenuEntries(const std::vector<MenuEntry>& entries);
    std::optional<std::string> runOpenFileDialog(const OpenFileDialogSettings& settings);
    void runAboutBox(const std::string& messageCaption);

    std::unique_ptr<Host> host_;
    BuiltDialog built_;
    std::unique_ptr<SaveGameEditor> editor_;
};

} // namespace varnholt::qt
