// The menu's Qt view: the frame strips, logo and rule as picture boxes, the words as pictures
// drawn on the window, real drop-down lists and a check box, all placed from FrmMenu's twips.
#pragma once

#include <QDialog>

#include "menu/frm_menu.h"
#include "platform/platform.h"
#include "platform/window_host.h"

class QCheckBox;
class QComboBox;

namespace platform {
class PictureBox;
}

class MenuWindow : public QDialog, public platform::WindowHost {
    Q_OBJECT
  public:
    MenuWindow(FrmMenu& rules, platform::Platform& platform);

    void Unload() override;
    // Places and fills the widgets from the rules' controls.
    void ShowControls();

    QComboBox* cmblvl() const { return cmblvl_; }
    QComboBox* cmbscolor() const { return cmbscolor_; }
    QComboBox* cmbbcolor() const { return cmbbcolor_; }
    QCheckBox* ch() const { return ch_; }
    // Where the Next and HighScore pictures are, in pixels of the window.
    QRect NextRect() const;
    QRect HighScoreRect() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void reject() override {}  // Esc goes through the key handlers

  private:
    QRect Pixels(const Box& box) const;
    QRect ImageRect(const Box& box, int picture) const;
    void AfterHandler();

    FrmMenu& rules_;
    platform::Platform& platform_;
    platform::PictureBox* ltop_;
    platform::PictureBox* lleft_;
    platform::PictureBox* lbottom_;
    platform::PictureBox* lright_;
    platform::PictureBox* lin_;
    platform::PictureBox* logo_;
    QComboBox* cmblvl_;
    QComboBox* cmbscolor_;
    QComboBox* cmbbcolor_;
    QCheckBox* ch_;
    bool closing_ = false;
};

// Shows the menu modally: its controls are made afresh, Form_Load runs, and the call returns
// once the window has unloaded.
void ShowMenuModal(FrmMenu& rules, platform::Platform& platform);
