#include "preferencedomaindockpinning.h"

#include "runningapps.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <limits>

namespace {

// The tiles of a list whose every element is a dictionary; nothing for any other value.
std::optional<QVariantList> tiles(const QVariant &value)
{
    if (value.typeId() != QMetaType::QVariantList)
        return std::nullopt;
    QVariantList list = value.toList();
    for (const auto &element : list) {
        if (element.typeId() != QMetaType::QVariantMap)
            return std::nullopt;
    }
    return list;
}

QString withLinksResolved(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

std::optional<QString> stringEntry(const QVariantMap &map, const QString &key)
{
    const auto it = map.constFind(key);
    if (it == map.constEnd() || it->typeId() != QMetaType::QString)
        return std::nullopt;
    return it->toString();
}

} // namespace

PreferenceDomainDockPinning::PreferenceDomainDockPinning(PreferenceDomains &domains, RunningApps &runningApps,
                                                         StartProgram startProgram, Random64 random)
    : m_domains(domains)
    , m_runningApps(runningApps)
    , m_startProgram(std::move(startProgram))
    , m_random(std::move(random))
{
}

bool PreferenceDomainDockPinning::isInDock(const AppInfo &app) const
{
    const auto value = currentValue();
    if (!value)
        return false;
    const auto list = tiles(*value);
    if (!list)
        return false;
    const QString target = withLinksResolved(normalizedPath(app.path()));
    for (const auto &tile : *list) {
        const auto data = tile.toMap().value(tileDataKey.toString());
        if (data.typeId() != QMetaType::QVariantMap)
            continue;
        const QVariantMap dataMap = data.toMap();
        if (stringEntry(dataMap, u"bundle-identifier"_qs) == app.bundleID)
            return true;
        const auto fileData = dataMap.value(u"file-data"_qs);
        if (fileData.typeId() != QMetaType::QVariantMap)
            continue;
        const auto location = stringEntry(fileData.toMap(), u"_CFURLString"_qs);
        if (location && withLinksResolved(normalizedPath(*location)) == target)
            return true;
    }
    return false;
}

bool PreferenceDomainDockPinning::addToDock(const AppInfo &app)
{
    const auto previous = currentValue();
    QVariantList list;
    if (previous) {
        const auto existing = tiles(*previous);
        if (!existing)
            return false;
        list = *existing;
    }
    if (isInDock(app))
        return false;
    list.append(makeTile(app));
    const QString domain = dockDomain.toString();
    const QString key = persistentAppsKey.toString();
    m_domains.setValue(domain, key, QVariant(list));
    if (!m_domains.synchronize(domain)) {
        m_domains.setValue(domain, key, previous);
        return false;
    }
    restartDock();
    return true;
}

QString PreferenceDomainDockPinning::normalizedPath(const QString &text)
{
    QString path = text;
    if (text.startsWith(u"file://")) {
        const QUrl url(text, QUrl::StrictMode);
        if (url.isValid())
            path = url.path(QUrl::FullyDecoded);
    }
    if (path.endsWith(u'/'))
        path.chop(1);
    return path;
}

QVariantMap PreferenceDomainDockPinning::makeTile(const AppInfo &app) const
{
    const QString canonical = QFileInfo(app.path()).canonicalFilePath();
    const QString location = canonical.isEmpty() ? QDir::cleanPath(app.path()) : canonical;
    const QVariantMap fileData{
        {u"_CFURLString"_qs, location},
        {u"_CFURLStringType"_qs, qint64(0)},
    };
    const QVariantMap data{
        {u"file-data"_qs, fileData},
        {u"file-label"_qs, app.name},
        {u"file-type"_qs, qint64(41)},
    };
    return {
        {u"GUID"_qs, randomGUID()},
        {tileDataKey.toString(), data},
        {tileTypeKey.toString(), u"file-tile"_qs},
    };
}

std::optional<QVariant> PreferenceDomainDockPinning::currentValue() const
{
    return m_domains.value(dockDomain.toString(), persistentAppsKey.toString());
}

qint64 PreferenceDomainDockPinning::randomGUID() const
{
    // Draws again above the last whole multiple of the range, so that every value is equally likely.
    constexpr quint64 span = quint64(maximumGUID - minimumGUID) + 1;
    constexpr quint64 limit = std::numeric_limits<quint64>::max() - std::numeric_limits<quint64>::max() % span;
    quint64 draw = m_random();
    while (draw >= limit)
        draw = m_random();
    return minimumGUID + qint64(draw % span);
}

void PreferenceDomainDockPinning::restartDock()
{
    // The dock is started again by the system when it ends, and reads the new list then.
    for (const auto &running : m_runningApps.all()) {
        if (running.bundleID == dockBundleID) {
            m_runningApps.terminate(running);
            return;
        }
    }
    m_startProgram(u"/usr/bin/killall"_qs, {u"Dock"_qs});
}
