#include "qt/AccessibleList.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QKeySequence>

#include <algorithm>

namespace varnholt::qt {

namespace {

// Qt's own combo box answer in all else: the opened list as its one child,
// Down as its key, showing the list as its action. The item shown is also the
// list's read-only text, and the one item selected among the children, the two
// ways a screen reader on Linux looks for a list's value.
class AccessibleList : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit AccessibleList(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The text: the item shown, which the user reads but cannot select or edit.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override {
        const QString shown = list()->currentText();
        if (end < 0 || end > shown.size())
            end = int(shown.size());
        start = std::clamp(start, 0, end);
        return shown.mid(start, end - start);
    }
    int characterCount() const override { return int(list()->currentText().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override {
        *start = *end = offset;
        return {};
    }

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name: {
            const QString name = QAccessibleWidget::text(t);
            return name.isEmpty() ? list()->currentText() : name;
        }
        case QAccessible::Value:
            return list()->currentText();
        case QAccessible::Accelerator:
            return QKeySequence(Qt::Key_Down).toString(QKeySequence::NativeText);
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = list()->view()->isVisible();
        return state;
    }

    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == list()->view() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction())
            return QAccessibleWidget::doAction(action);
        if (list()->view()->isVisible())
            list()->hidePopup();
        else
            list()->showPopup();
    }

  private:
    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* makeAccessibleList(const QString& className, QObject* object) {
    auto* list = qobject_cast<QComboBox*>(object);
    if (className != QLatin1String("QComboBox") || !list || list->isEditable())
        return nullptr;
    // The view holds the item shown as its selection, also while it is closed.
    const auto selectShown = [list] {
        if (auto* selection = list->view()->selectionModel())
            selection->setCurrentIndex(list->model()->index(list->currentIndex(),
                                                            list->modelColumn(),
                                                            list->rootModelIndex()),
                                       QItemSelectionModel::ClearAndSelect);
    };
    selectShown();
    QObject::connect(list, &QComboBox::currentIndexChanged, list, selectShown);
    return new AccessibleList(list);
}

} // namespace

void installAccessibleLists() {
    static const bool installed = [] {
        QAccessible::installFactory(makeAccessibleList);
        return true;
    }();
    (void)installed;
}

} // namespace varnholt::qt
