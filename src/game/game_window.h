// The game's Qt view: paints Sn's controls (labels beneath pictures) and hands it keys, timer
// events and close requests. After each change it repaints only the places that changed.
#pragma once

#include <QElapsedTimer>
#include <QRegion>
#include <QTimer>
#include <vector>

#include "game/game_scene.h"
#include "game/sn.h"
#include "platform/modal_window.h"
#include "platform/platform.h"

class GameWindow : public platform::ModalWindow {
    Q_OBJECT
  public:
    GameWindow(Sn& rules, platform::Platform& platform);

    void Refresh() override;

    // Paints the whole window into an image, as it shows on a screen of the given device pixel
    // ratio.
    QImage Render(qreal ratio = 1);

  protected:
    void FormUnload(std::int16_t& cancel) override { rules_.Form_Unload(cancel); }
    void FormKeyDown(std::int16_t keyCode) override { rules_.Form_KeyDown(keyCode, 0); }
    void Closing() override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    Scene CurrentScene() const;
    void PaintPending();

    Sn& rules_;
    QTimer timer2_;
    // Changes are painted at most once per display frame; faster ticks than the display shows
    // would only cost CPU. What waits is painted by the next tick or, failing one, by a timer.
    QRegion pending_;
    QElapsedTimer sincePaint_;
    QTimer latePaint_;
    int frameMs_ = 16;
    Scene shown_;  // what the screen shows once the pending region is painted
    Scene next_;   // kept for its storage
    // The screen's twips per pixel, read once: painting converts every control's place.
    float twipsPerPixelX_;
    float twipsPerPixelY_;
};

// Shows the game modally: its controls are made afresh, Form_Load runs, and the call returns
// once the window has unloaded.
void ShowGameModal(Sn& rules, platform::Platform& platform);
// The same in a window the caller made for this one showing.
void ShowGameModal(Sn& rules, platform::Platform& platform, GameWindow& window);
