#pragma once

#include "appactivation.h"

// The program's activity for tests: records activate() and hide() calls, and sends the notices on request.
class FakeAppActivation : public AppActivation
{
    Q_OBJECT
public:
    using AppActivation::AppActivation;

    [[nodiscard]] bool isActive() const override { return m_active; }
    void activate() override
    {
        ++m_activateCount;
        setActive(true);
    }
    void hide() override
    {
        ++m_hideCount;
        setActive(false);
    }

    // Changes the state and sends the matching notice (only on a change).
    void setActive(bool active)
    {
        if (active == m_active)
            return;
        m_active = active;
        if (active)
            Q_EMIT becameActive();
        else
            Q_EMIT resignedActive();
    }

    [[nodiscard]] int activateCount() const { return m_activateCount; }
    [[nodiscard]] int hideCount() const { return m_hideCount; }

private:
    bool m_active = false;
    int m_activateCount = 0;
    int m_hideCount = 0;
};
