// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What a window's rules ask of the window system that shows them.
#pragma once

namespace platform {

class WindowHost {
  public:
    virtual ~WindowHost() = default;
    // Requests the window to close: its Form_Unload runs first and may cancel the close.
    virtual void Unload() = 0;
    // Tells the view that the rules changed what the window shows.
    virtual void Refresh() {}
};

}  // namespace platform
