// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/pad_router.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QRadioButton>
#include <QShortcut>

#include "platform/keys.h"
#include "views/modal_window.h"
#include "views/qt_view.h"

namespace views {
namespace {

using platform::PadButton;
using platform::PadPlace;

// The key for a press on an open list: the list is walked with the arrows and chosen with Enter.
int PopupKey(PadButton button) {
    switch (button) {
        case PadButton::Up:
            return Qt::Key_Up;
        case PadButton::Down:
            return Qt::Key_Down;
        case PadButton::A:
        case PadButton::Start:
            return Qt::Key_Return;
        case PadButton::B:
        case PadButton::Back:
            return Qt::Key_Escape;
        default:
            return 0;
    }
}

// Left and right change the control in focus: a drop-down list steps through its items, and
// option buttons through their choices, with the up and down arrows; a check box switches with
// Space.
int ChangeKey(const QWidget* focus, int qtKey) {
    if (qtKey != Qt::Key_Left && qtKey != Qt::Key_Right) {
        return qtKey;
    }
    if (qobject_cast<const QComboBox*>(focus) != nullptr ||
        qobject_cast<const QRadioButton*>(focus) != nullptr) {
        return qtKey == Qt::Key_Left ? Qt::Key_Up : Qt::Key_Down;
    }
    if (qobject_cast<const QCheckBox*>(focus) != nullptr) {
        return Qt::Key_Space;
    }
    return qtKey;
}

}  // namespace

void SendKey(QWidget* target, int qtKey, Qt::KeyboardModifiers modifiers) {
    QPointer<QWidget> alive(target);
    QKeyEvent press(QEvent::KeyPress, qtKey, modifiers);
    QCoreApplication::sendEvent(target, &press);
    // The press may have closed the widget (Enter on a list) or run a whole game in between.
    if (alive) {
        QKeyEvent release(QEvent::KeyRelease, qtKey, modifiers);
        QCoreApplication::sendEvent(alive, &release);
    }
}

PadRouter::PadRouter(platform::GamePads& pads) : pads_(pads) {
    pads_.SetHandler([this](const platform::PadEvent& event) {
        if (event.kind == platform::PadEvent::Kind::Unplugged) {
            Unplugged();
        } else {
            Pressed(event.button);
        }
    });
    pads_.SetActive(QGuiApplication::applicationState() == Qt::ApplicationActive);
    connect(
        qApp, &QGuiApplication::applicationStateChanged, this,
        [this](Qt::ApplicationState state) { pads_.SetActive(state == Qt::ApplicationActive); });
}

PadRouter::~PadRouter() {
    pads_.SetHandler(nullptr);
}

void PadRouter::Pressed(PadButton button) {
    if (QWidget* popup = QApplication::activePopupWidget()) {
        if (const int key = PopupKey(button)) {
            SendKey(popup->focusWidget() != nullptr ? popup->focusWidget() : popup, key);
        }
        return;
    }
    // A question box is found from the focus too: one drawn inside a window (under Wayland) is
    // not a modal window of its own.
    QWidget* focus = QApplication::focusWidget();
    QMessageBox* box = nullptr;
    for (QWidget* widget = focus; widget != nullptr && box == nullptr;
         widget = widget->parentWidget()) {
        box = qobject_cast<QMessageBox*>(widget);
    }
    QWidget* modal = QApplication::activeModalWidget();
    if (box == nullptr) {
        box = qobject_cast<QMessageBox*>(modal);
    }
    auto* window = qobject_cast<ModalWindow*>(modal);
    PadPlace place = PadPlace::Question;
    QWidget* target = nullptr;
    if (box != nullptr) {
        place = box->button(QMessageBox::No) != nullptr ? PadPlace::Question : PadPlace::Notice;
        target = box->focusWidget() != nullptr ? box->focusWidget() : box;
    } else if (window != nullptr) {
        place = window->PadPlace();
        target = window->focusWidget() != nullptr ? window->focusWidget() : window;
    } else {
        return;
    }
    const auto key = platform::KeyForPad(button, place);
    if (!key) {
        return;
    }
    if (key->control) {
        // A window's shortcut, found as the keyboard's shortcut map finds it for a key.
        const QKeySequence sequence(Qt::CTRL | static_cast<Qt::Key>(QtKey(key->key)));
        for (QShortcut* shortcut : target->window()->findChildren<QShortcut*>()) {
            if (shortcut->isEnabled() && shortcut->key() == sequence) {
                emit shortcut->activated();
                return;
            }
        }
        return;
    }
    if (key->toWindow && window != nullptr) {
        window->WindowKey(key->key);
        return;
    }
    if (key->shift) {
        SendKey(target, key->key == platform::key::Tab ? Qt::Key_Backtab : QtKey(key->key),
                Qt::ShiftModifier);
    } else {
        SendKey(target, ChangeKey(target, QtKey(key->key)));
    }
}

// A pad pulled out pauses the game, as the player going to another program does.
void PadRouter::Unplugged() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* modal = qobject_cast<ModalWindow*>(window); modal && modal->isVisible()) {
            modal->PadUnplugged();
        }
    }
}

}  // namespace views
