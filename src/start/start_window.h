// The chooser's Qt view: real option buttons, check box and a "Next!" label placed from the
// design's twips, forwarding clicks, keys, timer ticks and close requests to FrmStart.
#pragma once

#include <QDialog>
#include <QTimer>
#include <array>

#include "platform/platform.h"
#include "platform/window_host.h"
#include "start/frm_start.h"

class QCheckBox;
class QLabel;
class QRadioButton;

class StartWindow : public QDialog, public platform::WindowHost {
    Q_OBJECT
  public:
    StartWindow(FrmStart& rules, platform::Platform& platform);

    void Unload() override;
    // Shows the rules' control state in the widgets.
    void ShowControls();

    // The widgets, for tests.
    QRadioButton* option(int index) const { return options_[static_cast<size_t>(index)]; }
    QCheckBox* check1() const { return check1_; }
    QLabel* label1() const { return label1_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void reject() override {}  // Esc has no effect on this window

  private:
    void AfterHandler();

    FrmStart& rules_;
    platform::Platform& platform_;
    std::array<QRadioButton*, 3> options_{};
    QCheckBox* check1_ = nullptr;
    QLabel* label1_ = nullptr;
    QTimer timer1_;
};

// Shows the chooser modally: its controls are made afresh, Form_Load runs, and the call returns
// once the window has unloaded.
void ShowStartModal(FrmStart& rules, platform::Platform& platform);
