// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "views/qt_view.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <cmath>
#include "assets/pictures.h"
#include "platform/keys.h"

namespace views {

std::int16_t VirtualKeyCode(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return platform::key::Return;
        case Qt::Key_Escape:
            return platform::key::Escape;
        case Qt::Key_Space:
            return platform::key::Space;
        case Qt::Key_Left:
            return platform::key::Left;
        case Qt::Key_Up:
            return platform::key::Up;
        case Qt::Key_Right:
            return platform::key::Right;
        case Qt::Key_Down:
            return platform::key::Down;
        case Qt::Key_F2:
            return platform::key::F2;
        case Qt::Key_Tab:
            return platform::key::Tab;
        default:
            break;
    }
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)) {
        return static_cast<std::int16_t>(qtKey);
    }
    return 0;
}

int QtKey(std::int16_t keyCode) {
    // Letters and digits share their codes with Qt; the other keys are looked up.
    if ((keyCode >= '0' && keyCode <= '9') || (keyCode >= 'A' && keyCode <= 'Z')) {
        return keyCode;
    }
    for (const int qtKey : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Space, Qt::Key_Left, Qt::Key_Up,
                            Qt::Key_Right, Qt::Key_Down, Qt::Key_F2, Qt::Key_Tab}) {
        if (VirtualKeyCode(qtKey) == keyCode) {
            return qtKey;
        }
    }
    return 0;
}

void KeepDesignedDirection() {
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
}

void ApplyLook(QWidget* widget) {
    const QColor black(0, 0, 0);
    const QColor& orange = assets::kOrange;
    QPalette palette = widget->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, black);
        palette.setColor(group, QPalette::Base, black);
        palette.setColor(group, QPalette::Button, black);
        palette.setColor(group, QPalette::WindowText, orange);
        palette.setColor(group, QPalette::Text, orange);
        palette.setColor(group, QPalette::ButtonText, orange);
        palette.setColor(group, QPalette::Highlight, orange);
        palette.setColor(group, QPalette::HighlightedText, black);
    }
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QString IndicatorStyle() {
    return QStringLiteral(
               "QRadioButton, QCheckBox { color: %1; background: black; }"
               "QRadioButton:disabled { color: %2; }"
               "QRadioButton::indicator:disabled { border-color: %2; }"
               "QRadioButton::indicator, QCheckBox::indicator {"
               " width: 9px; height: 9px; border: 1px solid %1; background: black; }"
               "QRadioButton::indicator { border-radius: 5px; }"
               "QRadioButton::indicator:checked, QCheckBox::indicator:checked {"
               " background: qradialgradient(cx:0.5, cy:0.5, radius:0.5, fx:0.5, fy:0.5,"
               " stop:0 %1, stop:0.55 %1, stop:0.6 black); }"
               "QCheckBox::indicator:checked { background: %1; border-color: %1; }"
               "QLabel#next { border: 1px solid %1; color: %1; }")
        .arg(assets::kOrange.name(), assets::kDimOrange.name());
}

void PaintFocusMark(QWidget* control, const QRect& contents, const QString& caption) {
    if (!control->hasFocus() || !control->window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
        return;
    }
    const QFontMetrics metrics = control->fontMetrics();
    QRect mark(0, 0, metrics.horizontalAdvance(caption) + 4, metrics.height() + 2);
    mark.moveCenter(contents.center());
    mark.moveLeft(contents.left() - 2);
    QPainter painter(control);
    painter.setPen(QPen(assets::kOrange, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(mark.intersected(control->rect()).adjusted(0, 0, -1, -1));
}

void FitCaption(QWidget* control) {
    control->ensurePolished();
    QFont font = control->font();
    constexpr qreal kSmallest = 6;
    while (control->sizeHint().width() > control->width() && font.pointSizeF() > kSmallest) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
        control->setFont(font);
    }
}

QLabel* UnseenLabel(const QString& text, QWidget* parent) {
    auto* label = new Unpainted<QLabel>(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFocusPolicy(Qt::NoFocus);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

QRect PixelRect(float left, float top, float width, float height, float twipsPerPixelX,
                float twipsPerPixelY) {
    auto px = [](float twips, float perPixel) {
        return static_cast<int>(std::lround(twips / perPixel));
    };
    return QRect(px(left, twipsPerPixelX), px(top, twipsPerPixelY), px(width, twipsPerPixelX),
                 px(height, twipsPerPixelY));
}

}  // namespace views

namespace views {

void PictureBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (picture_ != assets::Picture::None) {
        painter.drawImage(0, 0, assets::Image(picture_, devicePixelRatioF()));
    }
}

}  // namespace views
