#include "fake/fakeiconsource.h"

#include <QColor>

std::optional<QImage> FakeIconSource::iconForPath(const QString &path, int size) const
{
    std::function<void(const QString &)> hook;
    QSize native;
    {
        std::lock_guard lock(m_mutex);
        m_loads.append(path);
        if (m_missing.contains(path))
            return std::nullopt;
        hook = m_hook;
        native = m_nativeSize.isValid() ? m_nativeSize : QSize(size, size);
    }
    if (hook)
        hook(path);
    QImage image(native, QImage::Format_ARGB32_Premultiplied);
    image.fill(colourOf(path));
    return image;
}

std::optional<QString> FakeIconSource::locationOfApplication(const QString &bundleID) const
{
    std::lock_guard lock(m_mutex);
    const auto it = m_locations.constFind(bundleID);
    if (it == m_locations.constEnd())
        return std::nullopt;
    return *it;
}

QImage FakeIconSource::genericApplicationIcon(int size) const
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::gray);
    return image;
}

void FakeIconSource::setLocation(const QString &bundleID, const QString &path)
{
    std::lock_guard lock(m_mutex);
    m_locations.insert(bundleID, path);
}

void FakeIconSource::setMissing(const QString &path, bool missing)
{
    std::lock_guard lock(m_mutex);
    if (missing)
        m_missing.insert(path);
    else
        m_missing.remove(path);
}

void FakeIconSource::setNativeSize(QSize size)
{
    std::lock_guard lock(m_mutex);
    m_nativeSize = size;
}

void FakeIconSource::setLoadHook(std::function<void(const QString &)> hook)
{
    std::lock_guard lock(m_mutex);
    m_hook = std::move(hook);
}

QStringList FakeIconSource::loads() const
{
    std::lock_guard lock(m_mutex);
    return m_loads;
}

int FakeIconSource::loadCount(const QString &path) const
{
    std::lock_guard lock(m_mutex);
    return int(m_loads.count(path));
}

void FakeIconSource::clearLoads()
{
    std::lock_guard lock(m_mutex);
    m_loads.clear();
}

QColor FakeIconSource::colourOf(const QString &path)
{
    const size_t h = qHash(path);
    return QColor::fromRgb(int(h & 0xff), int((h >> 8) & 0xff), int((h >> 16) & 0xff));
}
