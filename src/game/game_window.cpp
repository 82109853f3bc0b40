// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/game_window.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <algorithm>

#include "assets/pictures.h"
#include "platform/spoken.h"
#include "settings/keys.h"
#include "views/accessible_widgets.h"
#include "views/qt_view.h"

namespace {

// The window manager's frame round the game's window, as last seen in this run: none until a
// framed game window has been mapped. Every game window gets the same frame.
QMargins& KnownFrame() {
    static QMargins frame;
    return frame;
}

QSize Framed(const QSize& client) {
    const QMargins& frame = KnownFrame();
    return client + QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
}

}  // namespace

GameWindow::GameWindow(Sn& rules, platform::Platform& platform)
    : ModalWindow(platform),
      rules_(rules),
      platform_(platform),
      twipsPerPixelX_(platform.screen.TwipsPerPixelX()),
      twipsPerPixelY_(platform.screen.TwipsPerPixelY()) {
    setWindowFlag(Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("Kelvo Snake"));
    setWindowIcon(assets::WindowIcon());
    setCursor(assets::BlankCursor());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleDescription(QStringLiteral(
        "Space starts; the arrow keys steer; P pauses; Esc quits; F2 plays again after a game; "
        "F11 switches full screen; M switches the music; S switches the sound cues for playing "
        "by ear: a tone for the apple, to the left or right and higher or lower as it lies from "
        "the head, and a buzz before a wall or the body."));
    said_ = new views::Announcement(this);
    timer2_.setSingleShot(false);
    if (const QScreen* screen = QGuiApplication::primaryScreen();
        screen && screen->refreshRate() > 1) {
        frameMs_ = static_cast<int>(1000.0 / screen->refreshRate());
    }
    frameWatch_.setInterval(50);
    connect(&frameWatch_, &QTimer::timeout, this, [this] { CheckFrame(); });
    latePaint_.setSingleShot(true);
    latePaint_.setTimerType(Qt::PreciseTimer);
    connect(&latePaint_, &QTimer::timeout, this, [this] { PaintPending(); });
    connect(&timer2_, &QTimer::timeout, this, [this] {
        rules_.Timer2_Timer();
        AfterHandler();
    });
    // The player going to another program pauses the game; the program's own "Exit?" box
    // taking the focus does not, as the program stays the active one.
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state != Qt::ApplicationActive && isVisible()) {
                    rules_.Pause();
                    AfterHandler();
                }
            });
}

bool GameWindow::FieldFits() const {
    const QSize framed = Framed(FieldSize());
    return platform_.screen.Fits(framed.width(), framed.height());
}

QSize GameWindow::FieldSize() const {
    return views::PixelRect(0, 0, rules_.controls.window.Width, rules_.controls.window.Height,
                            twipsPerPixelX_, twipsPerPixelY_)
        .size();
}

QRegion GameWindow::OnWindow(const QRegion& field) const {
    QRegion window;
    for (const QRect& rect : field) {
        window += QRect(origin_ + rect.topLeft() * enlargement_, rect.size() * enlargement_);
    }
    return window;
}

void GameWindow::resizeEvent(QResizeEvent* event) {
    ModalWindow::resizeEvent(event);
    const QSize field = FieldSize();
    if (field.isEmpty()) {
        return;
    }
    enlargement_ = std::max(1, std::min(width() / field.width(), height() / field.height()));
    origin_ = QPoint((width() - field.width() * enlargement_) / 2,
                     (height() - field.height() * enlargement_) / 2);
    said_->setGeometry(FieldRect());
    pending_ = QRegion();
    update();
}

void GameWindow::PlaceWindowed() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->geometry() : QRect(QPoint(0, 0), FieldSize());
    // Centred frame and all: a window's place is its frame's.
    QRect place(QPoint(0, 0), Framed(FieldSize()));
    place.moveCenter(area.center());
    move(place.topLeft());
}

void GameWindow::SetFullScreen(bool full) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->geometry() : QRect(QPoint(0, 0), FieldSize());
    SetFrameless(full);
    if (full) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        // Placed over the screen by hand as well: without a window manager nobody else does.
        setGeometry(area);
        setWindowState(windowState() | Qt::WindowFullScreen);
    } else {
        setWindowState(windowState() & ~Qt::WindowFullScreen);
        setFixedSize(FieldSize());
        PlaceWindowed();
    }
    if (!full) {
        // A window manager frames the window in its own time after the change.
        frameChecks_ = 0;
        frameWatch_.start();
    }
    // Without a window manager the focus does not come back by itself after the change.
    if (isVisible()) {
        activateWindow();
    }
}

// The game that covers the screen is borderless; the window that F11 makes carries the
// desktop's title bar and frame, so that the player can move it (and close it, which asks
// "Exit?"). The window system's window is told directly: making it anew, as changing the
// widget's flags would, hides the window for a moment, which ends its modal loop.
void GameWindow::SetFrameless(bool frameless) {
    const Qt::WindowFlags flags = frameless ? windowFlags() | Qt::FramelessWindowHint
                                            : windowFlags() & ~Qt::FramelessWindowHint;
    if (flags == windowFlags()) {
        return;
    }
    overrideWindowFlags(flags);
    if (QWindow* window = windowHandle()) {
        window->setFlags(flags);
    }
}

void GameWindow::keyPressEvent(QKeyEvent* event) {
    if (BoxUp()) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_P || event->key() == Qt::Key_Pause) {
        rules_.Pause();
        AfterHandler();
        return;
    }
    if (event->key() == Qt::Key_F11 && !event->isAutoRepeat()) {
        const bool full = !windowState().testFlag(Qt::WindowFullScreen);
        if (full || FieldFits()) {  // a window is offered only where the field fits, framed
            setting::WriteFlag(platform::SettingsFile(platform_.process), setting::kFull, full);
            askedWindow_ = !full;
            SetFullScreen(full);
        }
        return;
    }
    ModalWindow::keyPressEvent(event);
}

void GameWindow::CheckFrame() {
    constexpr int kChecks = 20;  // a second: a window manager that frames nothing
    if (isFullScreen() || windowHandle() == nullptr || ++frameChecks_ > kChecks) {
        frameWatch_.stop();
        return;
    }
    const QMargins frame = windowHandle()->frameMargins();
    if (frame.isNull()) {
        return;
    }
    frameWatch_.stop();
    KnownFrame() = frame;
    FrameKnown();
}

void GameWindow::FrameKnown() {
    const bool fits = FieldFits();
    if (!fits && askedWindow_) {
        // F11 asked for a window before the frame was known: the game stays on the whole
        // screen, as it would have had the frame been known.
        setting::WriteFlag(platform::SettingsFile(platform_.process), setting::kFull, true);
    }
    askedWindow_ = false;
    if (fits) {
        PlaceWindowed();  // the frame may have been added round the place asked for the window
    } else {
        SetFullScreen(true);
    }
}

platform::PadPlace GameWindow::PadPlace() const {
    if (rules_.IsOver()) {
        return platform::PadPlace::GameOver;
    }
    return rules_.IsWaiting() ? platform::PadPlace::GameWaiting : platform::PadPlace::GamePlaying;
}

void GameWindow::PadUnplugged() {
    rules_.Pause();
    AfterHandler();
}

Scene GameWindow::CurrentScene() const {
    Scene scene;
    SceneOf(rules_.controls, twipsPerPixelX_, twipsPerPixelY_, scene);
    return scene;
}

void GameWindow::Refresh() {
    if (!isVisible()) {
        return;
    }
    SceneOf(rules_.controls, twipsPerPixelX_, twipsPerPixelY_, next_);
    SayScreenText();
    pending_ += ChangedBetween(shown_, next_);
    std::swap(shown_, next_);
    // A change is painted at once, rather than posted, when a refresh interval has passed
    // since the last paint; otherwise exactly when that interval ends, so that no key or tick
    // waits longer and the screen never gets more paints than it can show.
    if (!pending_.isEmpty()) {
        const qint64 sinceNs = sincePaint_.isValid() ? sincePaint_.nsecsElapsed() : -1;
        const qint64 frameNs = qint64{frameMs_} * 1'000'000;
        if (sinceNs < 0 || sinceNs >= frameNs) {
            PaintPending();
        } else if (!latePaint_.isActive()) {
            // Whole milliseconds, rounded up: never before the interval ends.
            latePaint_.start(static_cast<int>((frameNs - sinceNs + 999'999) / 1'000'000));
        }
    }
    if (rules_.controls.Timer2Enabled && !timer2_.isActive()) {
        timer2_.start(rules_.controls.Timer2Interval);
    } else if (!rules_.controls.Timer2Enabled && timer2_.isActive()) {
        timer2_.stop();
    }
}

void GameWindow::SayScreenText() {
    // A wait after play is a pause: the screen shows the prompt it shows before the first step.
    if (rules_.IsOver()) {
        played_ = false;
    } else if (!rules_.IsWaiting()) {
        played_ = true;
    }
    std::string text = played_ && rules_.IsWaiting() ? "Paused" : "";
    for (const Label id :
         {Label::lblspace, Label::lblscend, Label::lblHigh, Label::lblf2, Label::lblscore}) {
        const LabelControl& label = rules_.controls.label(id);
        // The score's flash after an apple ends by its own timer: game over is said once,
        // without it.
        if (id == Label::lblscore && rules_.IsOver()) {
            continue;
        }
        if (label.Visible && !label.Caption.empty() && label.Caption != "$") {
            text += (text.empty() ? "" : "\n") + label.Caption;
        }
    }
    if (text != saidText_) {
        saidText_ = text;
        said_->Announce(QString::fromStdString(platform::SpokenWords(text)));
    }
}

void GameWindow::PaintPending() {
    latePaint_.stop();
    if (pending_.isEmpty() || !isVisible()) {
        return;
    }
    const QRegion region = OnWindow(pending_);
    pending_ = QRegion();
    sincePaint_.start();
    repaint(region);
}

void GameWindow::showEvent(QShowEvent* event) {
    ModalWindow::showEvent(event);
    shown_.items.clear();
    sincePaint_.invalidate();
    Refresh();
}

void GameWindow::paintEvent(QPaintEvent* event) {
    // Each rectangle of the region on its own: a plain clip keeps the raster engine on its
    // fast paths, and the rectangles of a step (new head, old tail) are far apart.
    QPainter painter(this);
    const QRect field = FieldRect();
    for (const QRect& rect : event->region()) {
        painter.setClipRect(rect);
        // Around the field, the screen is black. A step's rectangles lie inside the field.
        if (!field.contains(rect)) {
            for (const QRect& around : QRegion(rect).subtracted(field)) {
                painter.fillRect(around, Qt::black);
            }
        }
        const QRect inField = rect.intersected(field).translated(-origin_);
        if (inField.isEmpty()) {
            continue;
        }
        // The field's pixels this rectangle touches, whole ones.
        const QRect area(inField.left() / enlargement_, inField.top() / enlargement_,
                         (inField.right() / enlargement_) - inField.left() / enlargement_ + 1,
                         (inField.bottom() / enlargement_) - inField.top() / enlargement_ + 1);
        painter.save();
        painter.translate(origin_);
        painter.scale(enlargement_, enlargement_);
        PaintScene(painter, shown_, area, enlargement_);
        painter.restore();
    }
}

QImage GameWindow::Render(qreal ratio) {
    const QSize field = FieldSize();
    QImage image(field * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    PaintScene(painter, CurrentScene(), QRect(QPoint(0, 0), field));
    return image;
}

void GameWindow::Closing() {
    timer2_.stop();
    frameWatch_.stop();
    latePaint_.stop();
}

void ShowGameModal(Sn& rules, platform::Platform& platform) {
    GameWindow window(rules, platform);
    ShowGameModal(rules, platform, window);
}

void ShowGameModal(Sn& rules, platform::Platform& platform, GameWindow& window) {
    rules.CreateControls(window);
    rules.Form_Load();
    window.SetFullScreen(
        setting::ReadFlag(platform::SettingsFile(platform.process), setting::kFull) ||
        !window.FieldFits());
    window.ShowModal();
}
