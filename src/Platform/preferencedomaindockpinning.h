#pragma once

#include "dockpinning.h"
#include "preferencedomains.h"

#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <functional>

class RunningApps;

// A dock that keeps its apps as a list of tiles in its own preference domain and reads that list when it starts:
// "persistent-apps" of "com.apple.dock". An app is kept when a tile names its identifier or its location; adding
// one appends a tile, synchronizes the domain and restarts the dock. Main thread; owned by main.cpp (or a test),
// holding its seams by reference.
class PreferenceDomainDockPinning : public DockPinning
{
public:
    static constexpr QStringView dockDomain = u"com.apple.dock";
    static constexpr QStringView persistentAppsKey = u"persistent-apps";
    static constexpr QStringView dockBundleID = u"com.apple.dock";
    // The keys under which a tile holds its data and its type, as the dock writes them.
    static constexpr QStringView tileDataKey = u"tile-data";
    static constexpr QStringView tileTypeKey = u"tile-type";
    static constexpr qint64 minimumGUID = 1000000000;
    static constexpr qint64 maximumGUID = 9999999999;

    using StartProgram = std::function<void(const QString &program, const QStringList &arguments)>;
    // Uniformly distributed 64-bit values.
    using Random64 = std::function<quint64()>;

    PreferenceDomainDockPinning(PreferenceDomains &domains, RunningApps &runningApps, StartProgram startProgram,
                                Random64 random);

    // Matches a tile by "bundle-identifier", else by the location in "file-data". Locations are compared with
    // symbolic links resolved on both sides, so the tiles that addToDock() writes (resolved) are found again for an
    // app whose location goes through a link.
    [[nodiscard]] bool isInDock(const AppInfo &app) const override;
    // A value of the wrong kind, or an app that is kept already, writes nothing. When the domain cannot be
    // synchronized the previous value is put back, so that a retry does not find the unsaved tile, and the dock is
    // not restarted.
    [[nodiscard]] bool addToDock(const AppInfo &app) override;

    // A "file://" URL as its decoded path, any other text as it is; then one trailing "/" removed.
    [[nodiscard]] static QString normalizedPath(const QString &text);
    // A fresh tile for the app; its "GUID" is drawn anew each time and compared with nothing.
    [[nodiscard]] QVariantMap makeTile(const AppInfo &app) const;

private:
    PreferenceDomains &m_domains;
    RunningApps &m_runningApps;
    StartProgram m_startProgram;
    Random64 m_random;

    [[nodiscard]] std::optional<QVariant> currentValue() const;
    [[nodiscard]] qint64 randomGUID() const;
    void restartDock();
};
