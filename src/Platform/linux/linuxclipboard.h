#pragma once

#include "clipboard.h"

// The clipboard of the Qt GUI application (the X11 or Wayland selection through Qt). Main thread; needs a
// QGuiApplication; owned by main.cpp.
class LinuxClipboard : public Clipboard
{
public:
    void clear() override;
    void setText(const QString &text) override;
};
