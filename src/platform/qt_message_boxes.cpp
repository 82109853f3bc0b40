// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The message boxes of qt_platform.h.
#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <vector>

#include "platform/qt_platform.h"
#include "platform/spoken.h"

namespace platform {
namespace {

QWidget* DialogParent() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    return QApplication::activeWindow();
}

// A question that only its buttons answer (Yes, No, their Y and N keys, Enter on the default):
// Esc and a close request on the box do nothing, as with a system-modal box that has no Cancel.
class YesNoBox : public QMessageBox {
  public:
    using QMessageBox::QMessageBox;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape) {
            event->accept();
            return;
        }
        // Y and N answer at once. Qt would show the button pressed for 100 ms first, and a key
        // the player presses in that time (P right after N) would go to the box and be lost.
        if (!(event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier))) {
            for (QAbstractButton* button : buttons()) {
                const QKeySequence key = button->shortcut();
                if (!key.isEmpty() && key[0].key() == event->key()) {
                    event->accept();
                    button->click();
                    return;
                }
            }
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
    void reject() override {}
};

// Covers a window while a box drawn inside it is up. The keys that the box leaves (F11, P, M …)
// stop here: only the box takes keys, as it does where it is a window of its own.
class Cover : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void keyPressEvent(QKeyEvent* event) override { event->accept(); }
    void keyReleaseEvent(QKeyEvent* event) override { event->accept(); }
};

// Shows the box modally over `parent` and returns its answer. Inside the parent, the box is a
// child centred on a cover of the whole window; the window and its controls take no input
// until it is answered.
int ShowModally(QMessageBox& box, QWidget* parent, bool inside) {
    if (!inside || parent == nullptr) {
        box.setWindowModality(Qt::ApplicationModal);
        const int answer = box.exec();
        // Without a window manager the focus would stay with a window of Qt's own, and the
        // program could not tell when the player goes to another one.
        if (parent != nullptr && parent->isVisible()) {
            parent->activateWindow();
        }
        return answer;
    }
    // The control that holds the focus gets it back once the box is answered.
    const QPointer<QWidget> focus = QApplication::focusWidget();
    Cover cover(parent);
    cover.setAttribute(Qt::WA_NoMousePropagation);
    cover.setGeometry(parent->rect());
    box.setParent(&cover, Qt::Widget);
    std::vector<QPointer<QWidget>> disabled;
    for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child != &cover && child->isEnabled()) {
            child->setEnabled(false);
            disabled.emplace_back(child);
        }
    }
    const Qt::FocusPolicy parentFocus = parent->focusPolicy();
    parent->setFocusPolicy(Qt::NoFocus);
    box.setAutoFillBackground(true);
    box.adjustSize();
    box.move(cover.rect().center() - box.rect().center());
    cover.show();
    box.show();
    // A box inside a window takes no focus by itself: give it to the default button.
    QAbstractButton* first = box.defaultButton();
    if (first == nullptr && !box.buttons().isEmpty()) {
        first = box.buttons().first();
    }
    if (first != nullptr) {
        first->setFocus();
    }
    const int answer = box.exec();
    box.setParent(nullptr);  // the box outlives the cover
    parent->setFocusPolicy(parentFocus);
    for (const QPointer<QWidget>& child : disabled) {
        if (child) {
            child->setEnabled(true);
        }
    }
    if (focus && focus->isVisible()) {
        focus->setFocus();
    }
    return answer;
}

}  // namespace

int QtMessageBoxes::Run(QMessageBox& box, QWidget* parent) {
    ++open_;
    const int answer = ShowModally(box, parent, insideWindows_);
    --open_;
    return answer;
}

QtMessageBoxes::QtMessageBoxes()
    : insideWindows_(QGuiApplication::platformName().startsWith(QStringLiteral("wayland"))) {}

bool QtMessageBoxes::AskYesNo(const std::string& text, const std::string& title) {
    QWidget* parent = DialogParent();
    YesNoBox box(QMessageBox::Warning, QString::fromStdString(title), QString::fromStdString(text),
                 QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    return Run(box, parent) != QMessageBox::No;
}

void QtMessageBoxes::Inform(const std::string& text, const std::string& title) {
    QWidget* parent = DialogParent();
    QMessageBox box(QMessageBox::Information, QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::Ok, parent);
    // The text may come from the settings file: shown as it stands, never as markup.
    box.setTextFormat(Qt::PlainText);
    if (auto* words = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        words->setAccessibleName(QString::fromStdString(SpokenWords(text)));
    }
    Run(box, parent);
}

}  // namespace platform
