#pragma once

#include "preferences.h"

// Preferences held in memory only, for tests; setValue() can store values of any JSON type.
class MemoryPreferences : public Preferences
{
    Q_OBJECT
public:
    using Preferences::Preferences;
    [[nodiscard]] int writeCount() const { return m_writes; }

protected:
    void persist(const QJsonObject &) override { ++m_writes; }

private:
    int m_writes = 0;
};
