#pragma once

#include "appinfo.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class BackgroundExecutor;
class IconSource;

// The icons of apps at 128 x 128 pixels, kept in memory by bundle identifier so that scrolling and redrawing do not
// read icon files again. At most `countLimit` icons are kept; the least recently used goes first. An app whose icon
// cannot be read gets the one generic image, which is never stored under the app's identifier: the real icon is
// looked for again next time (say, once the scanner knows where the app is).
//
// icon(), iconForBundleID(), iconAsync() and cachedIcon() may be called from any thread; warmup() from the main
// thread. The program's instance is shared(); tests make their own over a fake source and executor. The source and
// the executor outlive the cache.
class IconCache
{
public:
    static constexpr int iconSize = 128;
    static constexpr int defaultCountLimit = 500;
    static constexpr int synchronousWarmupCount = 30;

    IconCache(const IconSource &source, BackgroundExecutor &executor, int countLimit = defaultCountLimit);
    ~IconCache();
    IconCache(const IconCache &) = delete;
    IconCache &operator=(const IconCache &) = delete;

    // The program's one instance, made on first use over what setUpShared() was given. main.cpp calls that once
    // before anything asks for icons; without it the instance knows only the generic icon.
    [[nodiscard]] static IconCache &shared();
    // False when the shared instance exists already (it keeps what it was made with).
    [[nodiscard]] static bool setUpShared(const IconSource &source, BackgroundExecutor &executor);

    // The cached icon of the app, else its icon read from its location (and kept), else the generic icon.
    [[nodiscard]] QImage icon(const AppInfo &app);
    // The cached icon under that identifier, else the icon of the app that the source locates for it (and kept),
    // else the generic icon. Shares its entries with icon().
    [[nodiscard]] QImage iconForBundleID(const QString &bundleID);
    // A cached icon is handed to `done` at once, before this returns. Otherwise icon() runs on the executor and
    // `done` gets its result on the main thread, unless `context` is gone by then.
    void iconAsync(const AppInfo &app, QObject *context, std::function<void(const QImage &)> done);
    // Readies the icons of a list: cancels the running warm-up, loads the first 30 missing ones here and now, and
    // the missing ones among the rest on the executor, checking before each whether it was cancelled meanwhile.
    void warmup(const QList<AppInfo> &apps);

    // The stored icon, without loading anything.
    [[nodiscard]] std::optional<QImage> cachedIcon(const QString &bundleID) const;
    // Whether a look-up of the app's icon has ended, whatever it found: its icon is stored, or the last look-up
    // found none (the app shows the generic icon).
    [[nodiscard]] bool lookupFinished(const QString &bundleID) const;
    // Forgets every icon and every finished look-up: the next request reads the files again (the icon theme changed).
    void clear();
    [[nodiscard]] int count() const;
    [[nodiscard]] const QImage &genericIcon() const { return m_generic; }
    [[nodiscard]] int countLimit() const { return m_countLimit; }

    // An image brought to iconSize x iconSize: scaled to fit, centred on a transparent square when not square.
    [[nodiscard]] static QImage fitted(const QImage &image);

private:
    class Store;

    const IconSource &m_source;
    BackgroundExecutor &m_executor;
    int m_countLimit = defaultCountLimit;
    std::shared_ptr<Store> m_store;
    QImage m_generic;
    std::shared_ptr<std::atomic<bool>> m_warmupCancelled; // the running warm-up's flag; none when none was started

    // The icon read from the app's location, fitted, and stored; nothing when it has none.
    static std::optional<QImage> loadAndStore(const IconSource &source, Store &store, const AppInfo &app);
};
