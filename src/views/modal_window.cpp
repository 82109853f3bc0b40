// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/modal_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>

#include "settings/keys.h"
#include "views/accessible_widgets.h"
#include "views/qt_view.h"

namespace views {

ModalWindow::ModalWindow(platform::Platform& platform)
    : platform_(platform), music_(new Announcement(this)) {}

bool ModalWindow::SwitchSound(const QKeyEvent* event) {
    if ((event->key() != Qt::Key_M && event->key() != Qt::Key_S) || event->isAutoRepeat() ||
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        return false;
    }
    // The program's own state switches, and is stored where it can be: a data.ini that cannot
    // be written does not hold the music off.
    if (event->key() == Qt::Key_S) {
        const bool on = !platform_.sound.CuesOn();
        platform_.sound.SetCues(on);
        setting::WriteFlag(SettingsFile(platform_.process), setting::kCues, on);
        music_->Announce(on ? QStringLiteral("Sound cues on") : QStringLiteral("Sound cues off"));
        return true;
    }
    const bool muted = !platform_.sound.Muted();
    platform_.sound.SetMuted(muted);
    setting::WriteFlag(SettingsFile(platform_.process), setting::kMute, muted);
    music_->Announce(muted ? QStringLiteral("Music off") : QStringLiteral("Music on"));
    return true;
}

void ModalWindow::ShowModal() {
    exec();
}

void ModalWindow::Unload() {
    RequestClose();
}

void ModalWindow::RequestClose() {
    if (closing_) {
        return;
    }
    std::int16_t cancel = 0;
    FormUnload(cancel);
    if (platform_.process.Ended()) {
        AfterHandler();
    } else if (cancel != 0) {
        ShowRulesState();
    } else {
        Finish(QDialog::Accepted);
    }
}

void ModalWindow::Finish(int result) {
    if (closing_) {
        return;
    }
    closing_ = true;
    Closing();
    done(result);
}

void ModalWindow::AfterHandler() {
    if (platform_.process.Ended()) {
        Finish(QDialog::Rejected);
    } else if (isVisible()) {
        ShowRulesState();
    }
}

void ModalWindow::closeEvent(QCloseEvent* event) {
    // The window closes only through Finish; the request waits for the event loop, and one
    // waiting request stands for any that come before it is handled.
    event->ignore();
    if (closing_ || closeQueued_) {
        return;
    }
    closeQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            closeQueued_ = false;
            if (!BoxUp()) {
                RequestClose();
            }
        },
        Qt::QueuedConnection);
}

void ModalWindow::RouteKeys(QWidget* control, std::function<void(std::int16_t)> handler,
                            std::initializer_list<std::int16_t> handlerOnly) {
    routes_.push_back({control, std::move(handler), handlerOnly});
    control->installEventFilter(this);
}

bool ModalWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        if (BoxUp()) {
            return true;
        }
        if (SwitchSound(static_cast<QKeyEvent*>(event))) {
            return true;
        }
        for (const KeyRoute& route : routes_) {
            if (route.control != watched) {
                continue;
            }
            const std::int16_t code = VirtualKeyCode(static_cast<QKeyEvent*>(event)->key());
            route.handler(code);
            AfterHandler();
            return std::find(route.handlerOnly.begin(), route.handlerOnly.end(), code) !=
                   route.handlerOnly.end();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ModalWindow::keyPressEvent(QKeyEvent* event) {
    event->accept();
    if (BoxUp() || SwitchSound(event)) {
        return;
    }
    const QWidget* focus = focusWidget();
    if (focus == nullptr || focus == this) {
        FormKeyDown(VirtualKeyCode(event->key()));
        AfterHandler();
    }
}

void ModalWindow::WindowKey(std::int16_t keyCode) {
    if (BoxUp()) {
        return;
    }
    FormKeyDown(keyCode);
    AfterHandler();
}

int ModalWindow::PictureAt(const QPoint& /*at*/) const {
    return -1;
}

void ModalWindow::PictureClicked(int /*id*/) {}

QWidget* ModalWindow::PictureButton(const QString& name, int id) {
    auto* button = new Unpainted<QPushButton>(this);
    button->setAccessibleName(name);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(button, &QPushButton::clicked, this, [this, id] {
        if (BoxUp()) {
            return;
        }
        PictureClicked(id);
        AfterHandler();
    });
    return button;
}

void ModalWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressedPicture_ = PictureAt(event->position().toPoint());
    }
}

void ModalWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const int pressed = pressedPicture_;
    pressedPicture_ = -1;
    if (pressed >= 0 && !BoxUp() && PictureAt(event->position().toPoint()) == pressed) {
        PictureClicked(pressed);
        AfterHandler();
    }
}

void ModalWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Without a window manager a new window is not activated by itself; keys need it.
    activateWindow();
}

}  // namespace views

namespace views {

void ModalWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // Qt marks the focus only once the keyboard has moved it, and forgets that when a window is
    // activated; the control that holds the focus from the start shows it so, as Tab would.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !focusShown_) {
        focusShown_ = true;
        setAttribute(Qt::WA_KeyboardFocusChange);
        if (QWidget* focus = focusWidget()) {
            focus->update();
        }
    }
}

}  // namespace views
