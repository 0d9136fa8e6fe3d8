#pragma once

#include "instant.h"
#include "storerecord.h"

#include <QString>

// One app blocked until a moment (the block that follows a focus session). Made detached; owned by its StoreContext
// once inserted; main thread only.
class AdHocBlock final : public StoreRecord
{
public:
    static constexpr RecordType type = RecordType::adHocBlock;

    AdHocBlock(QString bundleID, Instant until);

    [[nodiscard]] const QString &bundleID() const { return m_bundleID; }
    void setBundleID(QString value) { write(m_bundleID, std::move(value)); }

    [[nodiscard]] Instant until() const { return m_until; }
    void setUntil(Instant value) { write(m_until, value); }

private:
    QString m_bundleID;
    Instant m_until{};
};
