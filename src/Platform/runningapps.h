#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

// One running instance of an application, as the workspace sees it.
struct RunningApp
{
    qint64 pid = 0;          // the instance's main process
    QString bundleID;        // the app's identifier (its desktop-file id); empty when it maps to no app
    QString localizedName;   // may be empty
    QString executablePath;  // may be empty
    QString instanceID;      // what tells two instances of one app apart for the life of the instance

    friend bool operator==(const RunningApp &, const RunningApp &) = default;
};
Q_DECLARE_METATYPE(RunningApp)

// The running applications: instances, not processes. Terminate is a polite request (the app may ask to save, or
// refuse); hide puts its windows away. Both are fire-and-forget. Main thread.
class RunningApps
{
public:
    virtual ~RunningApps() = default;

    // The running instances of one app, in the workspace's order.
    [[nodiscard]] virtual QList<RunningApp> runningApps(const QString &bundleID) const = 0;
    [[nodiscard]] virtual QList<RunningApp> all() const = 0;
    virtual void terminate(const RunningApp &app) = 0;
    virtual void hide(const RunningApp &app) = 0;
    // Whether hide() can put apps' windows away here at all (not where the window system keeps them from us).
    [[nodiscard]] virtual bool canHide() const { return true; }
    // Whether the instance has a window that hide() reaches.
    [[nodiscard]] virtual bool hasWindows(const RunningApp &app) const
    {
        Q_UNUSED(app);
        return true;
    }
};
