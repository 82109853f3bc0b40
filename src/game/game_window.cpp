#include "game/game_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "assets/font.h"
#include "assets/pictures.h"
#include "platform/qt_view.h"

namespace {

struct LabelLook {
    qreal points;
    Qt::Alignment align;
};

LabelLook LookOf(Label id) {
    switch (id) {
        case Label::lblf2:
            return {17.25, Qt::AlignHCenter | Qt::AlignTop};
        case Label::lblscore:
            return {21, Qt::AlignLeft | Qt::AlignTop};
        default:
            return {30, Qt::AlignHCenter | Qt::AlignTop};
    }
}

const QColor kOrange(255, 128, 0);

}  // namespace

GameWindow::GameWindow(Sn& rules, platform::Platform& platform)
    : rules_(rules),
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

QRect GameWindow::Pixels(const Box& box) const {
    return platform::PixelRect(box.Left, box.Top, box.Width, box.Height, twipsPerPixelX_,
                               twipsPerPixelY_);
}

void GameWindow::CollectShown(std::vector<Shown>& out) const {
    const Sn::Controls& c = rules_.controls;
    out.clear();
    auto picture = [&](const PictureControl& p) {
        out.push_back({Pixels(p.box), static_cast<int>(p.Picture), p.Visible, {}});
    };
    for (const PictureControl* wall : {&c.ltop, &c.lleft, &c.lbottom, &c.lright}) {
        picture(*wall);
    }
    picture(c.pban);
    for (const LabelControl& label : c.labels) {
        out.push_back({Pixels(label.box), -1, label.Visible, label.Caption});
    }
    for (const PictureControl& segment : c.s) {
        picture(segment);
    }
}

void GameWindow::Refresh() {
    if (!isVisible()) {
        return;
    }
    CollectShown(scratch_);
    QRegion dirty;
    const size_t common = std::min(scratch_.size(), shown_.size());
    for (size_t i = 0; i < common; ++i) {
        if (!(scratch_[i] == shown_[i])) {
            if (shown_[i].visible) {
                dirty += shown_[i].rect;
            }
            if (scratch_[i].visible) {
                dirty += scratch_[i].rect;
            }
        }
    }
    for (size_t i = common; i < scratch_.size(); ++i) {
        dirty += scratch_[i].rect;
    }
    for (size_t i = common; i < shown_.size(); ++i) {
        dirty += shown_[i].rect;
    }
    std::swap(shown_, scratch_);
    pending_ += dirty;
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

void GameWindow::Paint(QPainter& painter, const QRect& area) {
    const Sn::Controls& c = rules_.controls;
    painter.fillRect(area, Qt::black);
    // Labels first, in their drawing order: every picture covers them.
    for (const Label id : c.labelOrder) {
        const LabelControl& label = c.label(id);
        const QRect rect = Pixels(label.box);
        if (!label.Visible || !rect.intersects(area)) {
            continue;
        }
        const LabelLook look = LookOf(id);
        painter.fillRect(rect, Qt::black);
        painter.setFont(assets::GameFont(look.points));
        painter.setPen(kOrange);
        painter.drawText(rect, static_cast<int>(look.align), QString::fromStdString(label.Caption));
    }
    const qreal ratio = painter.device()->devicePixelRatioF();
    auto picture = [&](const PictureControl& p) {
        if (!p.Visible || p.Picture == assets::Picture::None) {
            return;
        }
        const QRect rect = Pixels(p.box);
        if (!rect.intersects(area)) {
            return;
        }
        const QImage& image = assets::Image(p.Picture, ratio);
        if (image.devicePixelRatio() == 1.0) {
            // Pixel art, cut off at the box and enlarged by whole pixels on a dense screen.
            painter.drawImage(rect.topLeft(), image, QRect(QPoint(0, 0), rect.size()));
        } else {
            painter.save();
            painter.setClipRect(rect, Qt::IntersectClip);
            painter.drawImage(rect.topLeft(), image);
            painter.restore();
        }
    };
    for (const PictureControl* wall : {&c.ltop, &c.lleft, &c.lbottom, &c.lright}) {
        picture(*wall);
    }
    // The food's box is black where the apple is transparent.
    if (c.pban.Visible && Pixels(c.pban.box).intersects(area)) {
        painter.fillRect(Pixels(c.pban.box), Qt::black);
        picture(c.pban);
    }
    for (const PictureControl& segment : c.s) {
        picture(segment);
    }
}

void GameWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Without a window manager a new window is not activated by itself; keys need it.
    activateWindow();
    shown_.clear();
    sincePaint_.invalidate();
    Refresh();
}

void GameWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);  // Qt clips it to the region being repainted
    Paint(painter, event->rect());
}

QImage GameWindow::Render(qreal ratio) {
    QImage image(size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    Paint(painter, image.rect());
    return image;
}

void GameWindow::AfterHandler() {
    if (platform_.process.Ended() && !closing_) {
        closing_ = true;
        timer2_.stop();
        done(QDialog::Rejected);
    }
}

// The rules' own close requests bypass QWidget::close(), which ignores a request made while an
// earlier close event is still being handled, as it is while No on "Exit?" resumes a game
// from inside that handler.
void GameWindow::Unload() {
    RequestClose();
}

bool GameWindow::RequestClose() {
    if (!closing_) {
        std::int16_t cancel = 0;
        rules_.Form_Unload(cancel);
        if (cancel != 0 && !platform_.process.Ended()) {
            return false;
        }
    }
    closing_ = true;
    timer2_.stop();
    latePaint_.stop();
    done(QDialog::Accepted);
    return true;
}

void GameWindow::keyPressEvent(QKeyEvent* event) {
    event->accept();
    const std::int16_t code = platform::VirtualKeyCode(event->key());
    if (code != 0) {
        rules_.Form_KeyDown(code, 0);
    }
    AfterHandler();
}

void GameWindow::closeEvent(QCloseEvent* event) {
    if (RequestClose()) {
        event->accept();
    } else {
        event->ignore();
    }
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
    window.exec();
}
