// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Stands in for a window while its rules run without Qt: an unload runs Form_Unload and closes
// the window unless it cancels; a refresh runs onRefresh, where a test has set one.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/window_host.h"

template <typename Window>
struct RulesHost : platform::WindowHost {
    explicit RulesHost(Window& w) : window(w) {}
    void Unload() override {
        std::int16_t cancel = 0;
        window.Form_Unload(cancel);
        ++unloads;
        if (cancel == 0) {
            ++closes;
        }
    }
    void Refresh() override {
        if (onRefresh) {
            onRefresh();
        }
    }
    bool closed() const { return closes > 0; }

    Window& window;
    int unloads = 0;
    int closes = 0;
    std::function<void()> onRefresh;
};
