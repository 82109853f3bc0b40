// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "start/start_window.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>

#include "assets/font.h"
#include "assets/pictures.h"
#include "platform/keys.h"
#include "views/qt_view.h"

namespace {

struct Placement {
    float left, top, width, height;
};

constexpr std::array<Placement, 3> kOptionPlaces{{
    {240, 240, 2295, 495},
    {240, 720, 2295, 495},
    {240, 1200, 2295, 495},
}};
constexpr Placement kCheck1Place{240, 1800, 2895, 255};
constexpr Placement kLabel1Place{2160, 2160, 855, 375};
constexpr float kClientWidth = 3135;
constexpr float kClientHeight = 2565;

const std::array<const char*, 3> kOptionTexts{"640 * 480", "800 * 600", "1024 * 768"};

}  // namespace

StartWindow::StartWindow(FrmStart& rules, platform::Platform& platform)
    : ModalWindow(platform), rules_(rules) {
    setWindowTitle(QStringLiteral("Select Resolution :"));
    setWindowIcon(assets::WindowIcon());
    views::ApplyLook(this);
    setStyleSheet(views::IndicatorStyle());
    setAccessibleDescription(
        QStringLiteral("The arrow keys choose a screen size; Enter goes on; M switches the music; "
                       "S the sound cues."));
    const float tx = platform.screen.TwipsPerPixelX();
    const float ty = platform.screen.TwipsPerPixelY();
    auto place = [&](QWidget* w, const Placement& p) {
        w->setGeometry(views::PixelRect(p.left, p.top, p.width, p.height, tx, ty));
    };
    setFixedSize(views::PixelRect(0, 0, kClientWidth, kClientHeight, tx, ty).size());

    // The sizes form a group for assistive technology, which draws nothing of its own.
    auto* sizes = new views::Unpainted<QGroupBox>(this);
    sizes->setAccessibleName(QStringLiteral("Screen size"));
    QRect sizesPlace;
    for (const Placement& p : kOptionPlaces) {
        sizesPlace |= views::PixelRect(p.left, p.top, p.width, p.height, tx, ty);
    }
    sizes->setGeometry(sizesPlace);
    for (size_t i = 0; i < options_.size(); ++i) {
        auto* option =
            new views::FocusMarked<QRadioButton>(QString::fromLatin1(kOptionTexts[i]), sizes);
        option->setFont(assets::GameFont(9.75));
        place(option, kOptionPlaces[i]);
        option->move(option->pos() - sizesPlace.topLeft());
        connect(option, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) {
                rules_.SelectOption(static_cast<int>(i));
            }
        });
        options_[i] = option;
    }
    check1_ = new views::FocusMarked<QCheckBox>(QStringLiteral("Don't ask me again."), this);
    place(check1_, kCheck1Place);
    connect(check1_, &QCheckBox::toggled, this, [this](bool on) { rules_.controls.Check1 = on; });

    label1_ = new QLabel(QStringLiteral("Next!"), this);
    label1_->setFont(assets::GameFont(12));
    label1_->setAlignment(Qt::AlignCenter);
    label1_->setTextFormat(Qt::PlainText);
    label1_->setObjectName(QStringLiteral("next"));
    place(label1_, kLabel1Place);
    // "Next!" is a push button to assistive technology.
    PictureButton(QStringLiteral("Next!"), 0)->setGeometry(label1_->geometry());
    for (QWidget* captioned :
         std::initializer_list<QWidget*>{options_[0], options_[1], options_[2], check1_, label1_}) {
        views::FitCaption(captioned);
    }
    // The option buttons keep their own handling of every key but Enter.
    const std::int16_t handlerOnly = platform::key::Return;
    RouteKeys(options_[0], [this](std::int16_t key) { rules_.Option1_KeyDown(key, 0); },
              {handlerOnly});
    RouteKeys(options_[1], [this](std::int16_t key) { rules_.Option2_KeyDown(key, 0); },
              {handlerOnly});
    RouteKeys(options_[2], [this](std::int16_t key) { rules_.Option3_KeyDown(key, 0); },
              {handlerOnly});

    connect(&timer1_, &QTimer::timeout, this, [this] {
        rules_.Timer1_Timer();
        AfterHandler();
    });
}

void StartWindow::ShowControls() {
    for (size_t i = 0; i < options_.size(); ++i) {
        options_[i]->setEnabled(rules_.controls.Enabled[i]);
        options_[i]->setChecked(rules_.controls.Option[i]);
    }
    check1_->setChecked(rules_.controls.Check1);
    if (rules_.controls.Timer1Enabled) {
        if (!timer1_.isActive()) {
            timer1_.start(rules_.controls.Timer1Interval);
        }
    } else {
        timer1_.stop();
    }
}

int StartWindow::PictureAt(const QPoint& at) const {
    return label1_->geometry().contains(at) ? 0 : -1;
}

void StartWindow::PictureClicked(int /*id*/) {
    rules_.Label1_Click();
}

void ShowStartModal(FrmStart& rules, platform::Platform& platform) {
    StartWindow window(rules, platform);
    rules.CreateControls(window);
    rules.Form_Load();
    window.ShowControls();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->geometry().center());
        window.move(frame.topLeft());
    }
    // As in any group of option buttons, the focus starts on the chosen one.
    for (int i = 0; i < 3; ++i) {
        if (window.option(i)->isChecked()) {
            window.option(i)->setFocus();
        }
    }
    window.ShowModal();
}
