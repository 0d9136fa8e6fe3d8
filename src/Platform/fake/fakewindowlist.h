#pragma once

#include "windowlist.h"

// A window list the test fills.
class FakeWindowList : public WindowList
{
public:
    void setWindows(QList<WindowInfo> windows) { m_windows = std::move(windows); }
    void addWindow(const WindowInfo &w) { m_windows.append(w); }
    [[nodiscard]] QList<WindowInfo> allWindows() const override
    {
        ++m_reads;
        return m_windows;
    }
    [[nodiscard]] int readCount() const { return m_reads; }

private:
    QList<WindowInfo> m_windows;
    mutable int m_reads = 0;
};
