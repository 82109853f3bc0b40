// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Small helpers that every window's Qt view shares.
#pragma once

#include <QImage>
#include <QRadioButton>
#include <QRect>
#include <QString>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "assets/catalog.h"

class QLabel;
class QPaintEvent;

namespace views {

// The key code (platform/keys.h) a window's key handler receives for a Qt key; 0 for keys
// without one.
std::int16_t VirtualKeyCode(int qtKey);
// The Qt key of a key code; 0 for codes without one.
int QtKey(std::int16_t keyCode);

// The windows and boxes are laid out and written left to right, as designed, whatever Qt was
// told (its -reverse option would mirror "640 * 480" into "480 * 640").
void KeepDesignedDirection();

// Black ground and orange text for a window and everything in it.
void ApplyLook(QWidget* widget);

// Style for option buttons and check boxes whose indicators show on black.
QString IndicatorStyle();

// Draws the focus mark on a control that holds the keyboard's focus, where the window shows
// it: an orange frame (10:1 on black) round its caption, which starts at `contents`' left,
// over whatever the style draws of its own.
void PaintFocusMark(QWidget* control, const QRect& contents, const QString& caption);

// An option button or a check box that shows the focus mark round its caption.
template <class W>
class FocusMarked : public W {
  public:
    using W::W;

  protected:
    void paintEvent(QPaintEvent* event) override {
        W::paintEvent(event);
        QStyleOptionButton option;
        this->initStyleOption(&option);
        constexpr bool kRadio = std::is_base_of_v<QRadioButton, W>;
        const QRect contents = this->style()->subElementRect(
            kRadio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &option, this);
        PaintFocusMark(this, contents, this->text());
    }
};

// Shrinks a captioned control's font a quarter point at a time until the caption fits the
// control's width: the boxes were designed around narrower fonts than a Linux desktop's.
void FitCaption(QWidget* control);

// A widget of the kind W that paints nothing: it stands for assistive technology over a
// picture, or words, that the window draws itself.
template <class W>
class Unpainted : public W {
  public:
    template <class... Args>
    explicit Unpainted(Args&&... args) : W(std::forward<Args>(args)...) {
        // Not even the background or border that a style sheet gives every widget of its kind.
        this->setAttribute(Qt::WA_NoSystemBackground);
    }

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {}
};

// Words the window shows as a picture or draws itself, as text for assistive technology: a
// label that paints nothing, takes no focus and lets the mouse through.
QLabel* UnseenLabel(const QString& text, QWidget* parent);

// A rectangle in twips as whole pixels.
QRect PixelRect(float left, float top, float width, float height, float twipsPerPixelX,
                float twipsPerPixelY);

}  // namespace views

namespace views {

// A borderless child window that shows a picture unscaled from its top-left corner, cut off at
// its own size, on black.
class PictureBox : public QWidget {
  public:
    explicit PictureBox(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::NoFocus);
    }
    void SetPicture(assets::Picture picture) {
        picture_ = picture;
        update();
    }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    assets::Picture picture_ = assets::Picture::None;
};

}  // namespace views
