// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "menu/menu_window.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <algorithm>
#include <array>

#include "assets/font.h"
#include "assets/pictures.h"
#include "platform/keys.h"
#include "views/accessible_widgets.h"
#include "views/qt_view.h"

using assets::Picture;

namespace {

// The pictures that act as buttons.
enum ClickablePicture { kNext, kHighScore };

constexpr const char* kLevelHint = "1 is the Easiest, 10 is the most Difficult.";

// A caption drawn as a picture, and its words.
struct Caption {
    const Box* box;
    Picture picture;
    const char* words;
};

std::array<Caption, MenuWindow::kCaptionCount> Captions(const FrmMenu::Controls& c) {
    return {{{&c.lblopt, Picture::TextOptions, "OPTIONS"},
             {&c.lbllvl, Picture::TextLevel, "Level :"},
             {&c.lblscolor, Picture::TextSnakeColour, "Snake's color :"},
             {&c.lblbcolor, Picture::TextBorderColour, "Border color :"},
             {&c.lblclvl, Picture::TextLevelHint, kLevelHint}}};
}

}  // namespace

MenuWindow::MenuWindow(FrmMenu& rules, platform::Platform& platform)
    : ModalWindow(platform), rules_(rules), platform_(platform) {
    setWindowFlag(Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("Snake Menu"));
    setWindowIcon(assets::WindowIcon());
    views::ApplyLook(this);
    setStyleSheet(views::IndicatorStyle());

    auto box = [this](Picture picture) {
        auto* b = new views::PictureBox(this);
        b->SetPicture(picture);
        return b;
    };
    const Picture hStrip = assets::HorizontalStrip(assets::Colour::Orange);
    const Picture vStrip = assets::VerticalStrip(assets::Colour::Orange);
    ltop_ = box(hStrip);
    lleft_ = box(vStrip);
    lbottom_ = box(hStrip);
    lright_ = box(vStrip);
    lin_ = box(hStrip);
    logo_ = box(Picture::Logo);

    auto list = [this](const char* name, const QString& description = QString()) {
        auto* combo = new views::NamedList(QString::fromLatin1(name), description, this);
        combo->setEditable(false);
        combo->setFont(assets::GameFont(9));
        views::ApplyLook(combo);
        // The open list is a window of its own, which takes no colours from the menu.
        views::ApplyLook(combo->view());
        views::ApplyLook(combo->view()->window());
        return combo;
    };
    cmblvl_ = list("Level", QString::fromLatin1(kLevelHint));
    cmbscolor_ = list("Snake colour");
    cmbbcolor_ = list("Border colour");
    // The captions drawn as pictures, as words for assistive technology; each list's caption
    // is its label. The level hint is the level list's description, and said only there.
    const std::array<QComboBox*, kCaptionCount> labelled{nullptr, cmblvl_, cmbscolor_, cmbbcolor_,
                                                         nullptr};
    const auto captions = Captions(rules_.controls);
    for (size_t i = 0; i < captions.size(); ++i) {
        if (captions[i].picture != Picture::TextLevelHint) {
            captions_[i] = views::UnseenLabel(QString::fromLatin1(captions[i].words), this);
            captions_[i]->setBuddy(labelled[i]);
        }
    }
    setAccessibleDescription(
        QStringLiteral("Enter goes on; Ctrl+H shows the high score; Esc quits; M switches the "
                       "music; S the sound cues."));
    ch_ = new views::FocusMarked<QCheckBox>(
        QStringLiteral("Show Select Resolution Window at StartUp"), this);
    // Esc and Enter belong to the handlers; every other key keeps the control's own handling.
    const auto handlerOnly = {platform::key::Return, platform::key::Escape};
    RouteKeys(
        cmblvl_, [this](std::int16_t key) { rules_.cmblvl_KeyDown(key, 0); }, handlerOnly);
    RouteKeys(
        cmbscolor_, [this](std::int16_t key) { rules_.cmbscolor_KeyDown(key, 0); }, handlerOnly);
    RouteKeys(
        cmbbcolor_, [this](std::int16_t key) { rules_.cmbbcolor_KeyDown(key, 0); }, handlerOnly);
    RouteKeys(
        ch_, [this](std::int16_t key) { rules_.ch_KeyDown(key, 0); }, handlerOnly);
    // The open lists, for assistive technology.
    cmblvl_->view()->setAccessibleName(QStringLiteral("Levels"));
    cmbscolor_->view()->setAccessibleName(QStringLiteral("Snake colours"));
    cmbbcolor_->view()->setAccessibleName(QStringLiteral("Border colours"));
    nextButton_ = PictureButton(QStringLiteral("Next"), kNext);
    highScoreButton_ = PictureButton(QStringLiteral("HighScore"), kHighScore);
    // HighScore has a key of its own.
    auto* highScore = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), this);
    connect(highScore, &QShortcut::activated, this, [this] {
        if (BoxUp()) {
            return;
        }
        PictureClicked(kHighScore);
        AfterHandler();
    });
    setTabOrder(cmblvl_, cmbscolor_);
    setTabOrder(cmbscolor_, cmbbcolor_);
    setTabOrder(cmbbcolor_, ch_);

    connect(cmblvl_, &QComboBox::currentIndexChanged, this,
            [this](int i) { rules_.controls.cmblvl.ListIndex = i; });
    connect(cmbscolor_, &QComboBox::currentIndexChanged, this,
            [this](int i) { rules_.controls.cmbscolor.ListIndex = i; });
    connect(cmbbcolor_, &QComboBox::currentIndexChanged, this,
            [this](int i) { rules_.controls.cmbbcolor.ListIndex = i; });
    connect(ch_, &QCheckBox::toggled, this, [this](bool on) { rules_.controls.ch = on ? 1 : 0; });
}

QRect MenuWindow::Pixels(const Box& box) const {
    return views::PixelRect(box.Left, box.Top, box.Width, box.Height,
                            platform_.screen.TwipsPerPixelX(), platform_.screen.TwipsPerPixelY());
}

// An image control is drawn at its picture's natural size from its place.
QRect MenuWindow::ImageRect(const Box& box, int picture) const {
    const assets::Size size = assets::PictureSize(static_cast<Picture>(picture));
    return QRect(Pixels(box).topLeft(), QSize(size.width, size.height));
}

QRect MenuWindow::NextRect() const {
    return ImageRect(rules_.controls.lblNext, static_cast<int>(Picture::TextNext));
}

QRect MenuWindow::HighScoreRect() const {
    return ImageRect(rules_.controls.lblHighsc, static_cast<int>(Picture::TextHighScore));
}

void MenuWindow::ShowControls() {
    const FrmMenu::Controls& c = rules_.controls;
    setFixedSize(Pixels(c.window).size());
    ltop_->setGeometry(Pixels(c.ltop));
    lleft_->setGeometry(Pixels(c.lleft));
    lbottom_->setGeometry(Pixels(c.lbottom));
    lright_->setGeometry(Pixels(c.lright));
    lin_->setGeometry(Pixels(c.lin));
    logo_->setGeometry(Pixels(c.Logo));
    auto fill = [](QComboBox* combo, const DropDownList& list) {
        const QSignalBlocker block(combo);
        combo->clear();
        for (const std::string& item : list.items) {
            combo->addItem(QString::fromStdString(item));
        }
        combo->setCurrentIndex(list.ListIndex);
    };
    fill(cmblvl_, c.cmblvl);
    fill(cmbscolor_, c.cmbscolor);
    fill(cmbbcolor_, c.cmbbcolor);
    cmblvl_->setGeometry(Pixels(c.cmblvlBox));
    cmbscolor_->setGeometry(Pixels(c.cmbscolorBox));
    cmbbcolor_->setGeometry(Pixels(c.cmbbcolorBox));
    {
        const QSignalBlocker block(ch_);
        ch_->setChecked(c.ch == 1);
    }
    ch_->setGeometry(Pixels(c.chBox));
    const auto captions = Captions(c);
    for (size_t i = 0; i < captions.size(); ++i) {
        if (captions_[i] == nullptr) {
            continue;
        }
        captions_[i]->setGeometry(
            ImageRect(*captions[i].box, static_cast<int>(captions[i].picture)));
    }
    nextButton_->setGeometry(NextRect());
    highScoreButton_->setGeometry(HighScoreRect());
    views::FitCaption(ch_);
    update();
}

void MenuWindow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const FrmMenu::Controls& c = rules_.controls;
    const qreal ratio = devicePixelRatioF();
    for (const Caption& caption : Captions(c)) {
        painter.drawImage(Pixels(*caption.box).topLeft(), assets::Image(caption.picture, ratio));
    }
    const std::pair<const Box*, Picture> pictures[] = {
        {&c.comment, Picture::Comment},
        {&c.lblNext, Picture::TextNext},
        {&c.lblHighsc, Picture::TextHighScore},
    };
    for (const auto& [box, picture] : pictures) {
        painter.drawImage(Pixels(*box).topLeft(), assets::Image(picture, ratio));
    }
}

int MenuWindow::PictureAt(const QPoint& at) const {
    if (NextRect().contains(at)) {
        return kNext;
    }
    if (HighScoreRect().contains(at)) {
        return kHighScore;
    }
    return -1;
}

void MenuWindow::PictureClicked(int id) {
    if (id == kNext) {
        rules_.lblNext_Click();
    } else if (id == kHighScore) {
        rules_.lblHighsc_Click();
    }
}

void ShowMenuModal(FrmMenu& rules, platform::Platform& platform) {
    MenuWindow window(rules, platform);
    rules.CreateControls(window);
    rules.Form_Load();
    window.ShowControls();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect place(QPoint(0, 0), window.size());
        place.moveCenter(screen->geometry().center());
        // A menu larger than the screen keeps its top-left corner on the screen.
        window.move(std::max(place.left(), 0), std::max(place.top(), 0));
    }
    window.cmblvl()->setFocus();
    window.ShowModal();
}
