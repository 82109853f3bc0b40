// The game's Qt view: paints Sn's controls (labels beneath pictures) and hands it keys, timer
// events and close requests. After each change it repaints only the places that changed.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QRegion>
#include <QTimer>
#include <vector>

#include "game/game_scene.h"
#include "game/sn.h"
#include "platform/platform.h"
#include "platform/window_host.h"

class GameWindow : public QDialog, public platform::WindowHost {
    Q_OBJECT
  public:
    GameWindow(Sn& rules, platform::Platform& platform);

    void Unload() override;
    void Refresh() override;

    // Paints the whole window into an image, as it shows on a screen of the given device pixel
    // ratio.
    QImage Render(qreal ratio = 1);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override {}  // Esc goes through the key handler

  private:
    Scene CurrentScene() const;
    void AfterHandler();
    void PaintPending();
    // Runs Form_Unload and closes the window unless it cancels; true when the window closes.
    bool RequestClose();

    Sn& rules_;
    platform::Platform& platform_;
    QTimer timer2_;
    // Changes are painted at most once per display frame; faster ticks than the display shows
    // would only cost CPU. What waits is painted by the next tick or, failing one, by a timer.
    QRegion pending_;
    QElapsedTimer sincePaint_;
    QTimer latePaint_;
    int frameMs_ = 16;
    Scene shown_;  // what the screen shows once the pending region is painted
    Scene next_;   // kept for its storage
    bool closing_ = false;
    // The screen's twips per pixel, read once: painting converts every control's place.
    float twipsPerPixelX_;
    float twipsPerPixelY_;
};

// Shows the game modally: its controls are made afresh, Form_Load runs, and the call returns
// once the window has unloaded.
void ShowGameModal(Sn& rules, platform::Platform& platform);
// The same in a window the caller made for this one showing.
void ShowGameModal(Sn& rules, platform::Platform& platform, GameWindow& window);
