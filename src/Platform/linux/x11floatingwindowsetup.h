#pragma once

#include "floatingwindowsetup.h"

// Floating windows on an X11 desktop: besides the flags, the window is sticky (on every desktop), kept out of the
// task bar and the pager, and kept above; set as properties before the window is mapped and asked of the window
// manager again once it is shown (a manager may reset them at map). Elsewhere (Wayland, offscreen) only the flags.
// Main thread; owned by main.cpp.
class X11FloatingWindowSetup : public FloatingWindowSetup
{
public:
    void prepare(QWindow &window, bool passClicks) const override;
};
