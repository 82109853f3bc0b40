#include "views/named_list.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>

namespace views {

namespace {

// Qt's own list interface, but named by the widget's accessible name on every platform: the
// open list is its only child (so the selected item can be read), its value is the current
// item, and Press or ShowMenu opens and closes the list.
class NamedListInterface : public QAccessibleWidget {
  public:
    explicit NamedListInterface(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(List()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child != nullptr && child->object() == List()->view() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? List()->currentText() : QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = List()->view()->isVisible();
        return s;
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction()) {
            return;
        }
        if (List()->view()->isVisible()) {
            List()->hidePopup();
        } else {
            List()->showPopup();
        }
    }
    QStringList keyBindingsForAction(const QString& /*action*/) const override { return {}; }

  private:
    QComboBox* List() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* NamedListFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(NamedList::staticMetaObject.className())) {
        return new NamedListInterface(static_cast<NamedList*>(object));
    }
    return nullptr;
}

}  // namespace

NamedList::NamedList(const QString& name, const QString& description, QWidget* parent)
    : QComboBox(parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(&NamedListFactory);
        return true;
    }();
    (void)factoryInstalled;
    setAccessibleName(name);
    setAccessibleDescription(description);
}

}  // namespace views
