// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/accessible_widgets.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>

namespace views {

namespace {

// Qt's own list interface, but named by the widget's accessible name on every platform: the
// open list is its only child, Press or ShowMenu opens and closes it, and the current item is
// the value and a read-only text (Orca reads a closed list's item from its text).
class NamedListInterface : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit NamedListInterface(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

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

    // The current item as text that cannot be edited or selected.
    QString text(int start, int end) const override { return Words().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(Words().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int /*position*/) override {}
    int selectionCount() const override { return 0; }
    void selection(int /*index*/, int* start, int* end) const override { *start = *end = 0; }
    void addSelection(int /*start*/, int /*end*/) override {}
    void removeSelection(int /*index*/) override {}
    void setSelection(int /*index*/, int /*start*/, int /*end*/) override {}
    QRect characterRect(int /*offset*/) const override { return {}; }
    int offsetAtPoint(const QPoint& /*point*/) const override { return -1; }
    void scrollToSubstring(int /*start*/, int /*end*/) override {}
    QString attributes(int offset, int* start, int* end) const override {
        *start = *end = offset;
        return {};
    }

  private:
    QComboBox* List() const { return static_cast<QComboBox*>(widget()); }
    QString Words() const { return List()->currentText(); }
};

// A label in the notification role, named by its words.
class AnnouncementInterface : public QAccessibleWidget {
  public:
    explicit AnnouncementInterface(QLabel* label)
        : QAccessibleWidget(label, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? static_cast<QLabel*>(widget())->text()
                                      : QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (className == QLatin1String(NamedList::staticMetaObject.className())) {
        return new NamedListInterface(static_cast<NamedList*>(object));
    }
    if (className == QLatin1String(Announcement::staticMetaObject.className())) {
        return new AnnouncementInterface(static_cast<Announcement*>(object));
    }
    return nullptr;
}

void InstallFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    (void)installed;
}

}  // namespace

NamedList::NamedList(const QString& name, const QString& description, QWidget* parent)
    : QComboBox(parent) {
    InstallFactory();
    setAccessibleName(name);
    setAccessibleDescription(description);
}

Announcement::Announcement(QWidget* parent) : QLabel(parent) {
    InstallFactory();
    setTextFormat(Qt::PlainText);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);  // nothing of a style sheet's either
    // Shown by the first words, so that they are announced once, not also with the window.
    hide();
}

void Announcement::Announce(const QString& words) {
    setText(words);
    if (words.isEmpty()) {
        return;
    }
    if (isHidden()) {
        show();
    } else {
        // Shown again, as far as assistive technology knows; nothing on the screen changes.
        QAccessibleEvent shown(this, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
    }
    emit announced(words);
}

}  // namespace views
