// What a window's rules ask of the window system that shows them.
#pragma once

namespace platform {

class WindowHost {
public:
    virtual ~WindowHost() = default;
    // Requests the window to close: its Form_Unload runs first and may cancel the close.
    virtual void Unload() = 0;
};

}  // namespace platform
