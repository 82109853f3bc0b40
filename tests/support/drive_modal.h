// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Drives a modal window of the program from a test: the steps run once the window is up and
// active, inside its modal showing.
#pragma once

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>

// Calls `show`, which shows a window of type Window modally, and runs `steps` against that
// window once it is the active modal window. A failed step closes the window, or the modal
// showing would never return.
template <typename Window>
void DriveModal(std::function<void(Window*)> steps, const std::function<void()>& show) {
    QTimer::singleShot(0, [steps] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        QVERIFY(window != nullptr);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        steps(window);
        if (QTest::currentTestFailed()) {
            window->done(0);
        }
    });
    show();
}
