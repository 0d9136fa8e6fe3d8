#pragma once

#include "dockpinning.h"

#include <QStringList>

// A dock that keeps bundle identifiers in a list; setAcceptsWrites(false) makes every add fail.
class FakeDockPinning : public DockPinning
{
public:
    [[nodiscard]] bool isInDock(const AppInfo &app) const override { return m_kept.contains(app.bundleID); }
    [[nodiscard]] bool addToDock(const AppInfo &app) override
    {
        if (!m_acceptsWrites || isInDock(app))
            return false;
        m_kept.append(app.bundleID);
        return true;
    }

    void setAcceptsWrites(bool accepts) { m_acceptsWrites = accepts; }
    [[nodiscard]] const QStringList &kept() const { return m_kept; }

private:
    QStringList m_kept;
    bool m_acceptsWrites = true;
};
