#include "game/game_window.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

#include "assets/pictures.h"
#include "platform/qt_view.h"

GameWindow::GameWindow(Sn& rules, platform::Platform& platform)
    : ModalWindow(platform.process),
      rules_(rules),
      twipsPerPixelX_(platform.screen.TwipsPerPixelX()),
      twipsPerPixelY_(platform.screen.TwipsPerPixelY()) {
    setWindowFlag(Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("Kelvo Snake"));
    setWindowIcon(assets::WindowIcon());
    setCursor(assets::BlankCursor());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
    timer2_.setSingleShot(false);
    if (const QScreen* screen = QGuiApplication::primaryScreen();
        screen && screen->refreshRate() > 1) {
        frameMs_ = static_cast<int>(1000.0 / screen->refreshRate());
    }
    latePaint_.setSingleShot(true);
    connect(&latePaint_, &QTimer::timeout, this, [this] { PaintPending(); });
    connect(&timer2_, &QTimer::timeout, this, [this] {
        rules_.Timer2_Timer();
        AfterHandler();
    });
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
    pending_ += ChangedBetween(shown_, next_);
    std::swap(shown_, next_);
    // Painted at once rather than posted, so the clock loop needs no extra wake-up for it; a
    // tick that comes sooner than a frame after the last paint leaves its change to the next.
    // Two milliseconds of slack let 16 ms ticks paint every time on a 60 Hz screen.
    if (!pending_.isEmpty()) {
        if (!sincePaint_.isValid() || sincePaint_.elapsed() >= frameMs_ - 2) {
            PaintPending();
        } else if (!latePaint_.isActive()) {
            latePaint_.start(2 * frameMs_);
        }
    }
    if (rules_.controls.Timer2Enabled && !timer2_.isActive()) {
        timer2_.start(rules_.controls.Timer2Interval);
    } else if (!rules_.controls.Timer2Enabled && timer2_.isActive()) {
        timer2_.stop();
    }
}

void GameWindow::PaintPending() {
    latePaint_.stop();
    if (pending_.isEmpty() || !isVisible()) {
        return;
    }
    const QRegion region = pending_;
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
    for (const QRect& rect : event->region()) {
        painter.setClipRect(rect);
        PaintScene(painter, shown_, rect);
    }
}

QImage GameWindow::Render(qreal ratio) {
    QImage image(size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    PaintScene(painter, CurrentScene(), image.rect());
    return image;
}

void GameWindow::Closing() {
    timer2_.stop();
    latePaint_.stop();
}

void ShowGameModal(Sn& rules, platform::Platform& platform) {
    GameWindow window(rules, platform);
    ShowGameModal(rules, platform, window);
}

void ShowGameModal(Sn& rules, platform::Platform& platform, GameWindow& window) {
    rules.CreateControls(window);
    rules.Form_Load();
    window.setFixedSize(
        platform::PixelRect(0, 0, rules.controls.window.Width, rules.controls.window.Height,
                            platform.screen.TwipsPerPixelX(), platform.screen.TwipsPerPixelY())
            .size());
    window.move(0, 0);
    window.ShowModal();
}
