#pragma once

#include "iconsource.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <functional>
#include <mutex>

// Icons made up on the spot: every path gets a plain image of its own colour (the same colour each time), unless
// it was marked with setMissing(). Counts and records every load; safe to use from several threads. The load hook
// runs inside iconForPath(), on the loading thread, before the image is made.
class FakeIconSource : public IconSource
{
public:
    [[nodiscard]] std::optional<QImage> iconForPath(const QString &path, int size) const override;
    [[nodiscard]] std::optional<QString> locationOfApplication(const QString &bundleID) const override;
    [[nodiscard]] QImage genericApplicationIcon(int size) const override;

    void setLocation(const QString &bundleID, const QString &path);
    void setMissing(const QString &path, bool missing = true);
    // Images of this size come back instead of the size asked for.
    void setNativeSize(QSize size);
    void setLoadHook(std::function<void(const QString &path)> hook);

    // Paths in the order they were loaded, and how often each was.
    [[nodiscard]] QStringList loads() const;
    [[nodiscard]] int loadCount(const QString &path) const;
    void clearLoads();
    // The colour that a path's image has.
    [[nodiscard]] static QColor colourOf(const QString &path);

private:
    mutable std::mutex m_mutex;
    mutable QStringList m_loads;
    QHash<QString, QString> m_locations;
    QSet<QString> m_missing;
    QSize m_nativeSize;
    std::function<void(const QString &)> m_hook;
};
