#pragma once
// The editor window on Qt Widgets: built from the model's layout table, it
// mirrors the model's control states into the widgets and forwards what the
// user does to the model's user* operations. It holds no rule of its own.

#include "editor/SaveGameEditor.h"

#include <QDialog>

#include <map>
#include <memory>
#include <string>
#include <vector>

class QButtonGroup;

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
    QWidget* control(int id) const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    class Host;

    void build();
    void connectControl(const ControlSpec& spec, QWidget* widget);
    void mirror(int id);
    void mirrorAll();
    void addAboutEntries(const std::vector<shell::MenuEntry>& entries);
    std::optional<std::string> runOpenFileDialog(const OpenFileDialogSettings& settings);
    void runAboutBox();

    std::unique_ptr<Host> host_;
    std::string applicationName_;
    std::vector<QWidget*> widgets_; // parallel to the layout table
    std::map<int, QWidget*> byId_;
    std::map<int, QButtonGroup*> radioGroups_; // by the identifier of each radio button
    std::unique_ptr<SaveGameEditor> editor_;
};

} // namespace varnholt::qt
