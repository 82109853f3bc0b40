// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/qt_platform.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "settings/ini.h"

namespace platform {
namespace {

std::int64_t MonotonicNanoseconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

float TwipsPerPixel(bool horizontal) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return 15.0f;
    }
    const qreal dpi = horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    return dpi > 0 ? static_cast<float>(1440.0 / dpi) : 15.0f;
}

std::function<bool()>& BeforeStep() {
    static std::function<bool()> look;
    return look;
}

// Runs the look before a step, and what it posted.
void LookBeforeStep() {
    if (BeforeStep() && BeforeStep()()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

}  // namespace

void QtEventPump::SetBeforeStep(std::function<bool()> look) {
    BeforeStep() = std::move(look);
}

std::uint32_t QtTickCounter::GetTickCount() {
    return static_cast<std::uint32_t>(MonotonicNanoseconds() / 1'000'000);
}

QtEventPump::QtEventPump() {
    timerFd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (timerFd_ >= 0) {
        notifier_ = std::make_unique<QSocketNotifier>(timerFd_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [fd = timerFd_] {
            std::uint64_t expirations = 0;
            (void)!::read(fd, &expirations, sizeof expirations);
        });
    }
}

QtEventPump::~QtEventPump() {
    notifier_.reset();
    if (timerFd_ >= 0) {
        ::close(timerFd_);
    }
}

void QtEventPump::DoEvents() {
    LookBeforeStep();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool QtEventPump::WaitUntil(std::uint32_t deadline) {
    const std::int64_t nowNs = MonotonicNanoseconds();
    const auto nowTick = static_cast<std::uint32_t>(nowNs / 1'000'000);
    const std::int32_t remaining = TicksBetween(nowTick, deadline);
    if (remaining <= 0) {
        return false;
    }
    if (timerFd_ < 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, remaining);
        LookBeforeStep();
        return true;
    }
    // The counter reaches deadline at the start of that millisecond of the monotonic clock.
    const std::int64_t wakeNs = (nowNs / 1'000'000 + remaining) * 1'000'000;
    itimerspec wake{};
    wake.it_value.tv_sec = static_cast<time_t>(wakeNs / 1'000'000'000);
    wake.it_value.tv_nsec = static_cast<long>(wakeNs % 1'000'000'000);
    timerfd_settime(timerFd_, TFD_TIMER_ABSTIME, &wake, nullptr);
    // Left armed: a wake-up after an earlier event only costs the caller one more pass.
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    if (MonotonicNanoseconds() >= wakeNs) {
        LookBeforeStep();  // a step is due
    }
    return true;
}

QtProcess::QtProcess(Sound& sound)
    : sound_(sound),
      places_(FindProgramPlaces(QCoreApplication::applicationDirPath().toStdString())) {
    if (places_.settings.perUser) {
        AllowFolderCreation(places_.settings.folder);
    }
    if (places_.settings.folder.empty()) {
        std::fputs(
            "kelvo-snake: no home folder (HOME is unset and the user database names "
            "none): the settings and the high score are not kept in this run\n",
            stderr);
    }
}

void QtProcess::End() {
    sound_.Stop();
    FinishWrites();
    std::fflush(nullptr);
    std::_Exit(0);
}

void QtRandom::Randomize() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    static std::uint64_t reseeds = 0;
    engine_.seed(static_cast<std::uint64_t>(ts.tv_sec) * 1'000'000'000u +
                 static_cast<std::uint64_t>(ts.tv_nsec) + 0x9E3779B97F4A7C15u * ++reseeds);
}

double QtRandom::Rnd() {
    return std::generate_canonical<double, 53>(engine_) * (1.0 - 1e-16);
}

float QtScreen::TwipsPerPixelX() {
    return TwipsPerPixel(true);
}
float QtScreen::TwipsPerPixelY() {
    return TwipsPerPixel(false);
}

namespace {

// The size the compositor gives a maximised window, or an empty size where it tells none
// within a second. The window that asks never draws, so it is never mapped: nothing shows.
QSize AskMaximisedSize() {
    QWindow probe;
    probe.resize(1, 1);
    QEventLoop loop;
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    QObject::connect(&probe, &QWindow::widthChanged, &loop, &QEventLoop::quit);
    QObject::connect(&probe, &QWindow::heightChanged, &loop, &QEventLoop::quit);
    probe.showMaximized();
    loop.exec();
    const QSize size = probe.size();
    probe.destroy();
    return size.width() > 1 && size.height() > 1 ? size : QSize();
}

}  // namespace

QtScreen::QtScreen() {
    if (QGuiApplication::platformName().startsWith(QStringLiteral("wayland"))) {
        maximised_ = AskMaximisedSize();
    }
}

bool QtScreen::Fits(std::int32_t width, std::int32_t height) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return true;
    }
    QSize area = screen->availableGeometry().size();
    if (!maximised_.isEmpty()) {
        area = area.boundedTo(maximised_);
    }
    return width <= area.width() && height <= area.height();
}

}  // namespace platform
