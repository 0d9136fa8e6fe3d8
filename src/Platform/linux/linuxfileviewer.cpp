#include "linuxfileviewer.h"

#include "detachedprocess.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

void startDetached(const QString &program, const QStringList &arguments)
{
    const QString executable = QStandardPaths::findExecutable(program);
    if (executable.isEmpty())
        return;
    DetachedProcess process;
    process.executable = executable;
    process.arguments = QStringList{program} + arguments;
    process.environment = QProcessEnvironment::systemEnvironment();
    std::ignore = process.start();
}

} // namespace

LinuxFileViewer::LinuxFileViewer(QDBusConnection bus, Starter starter, QObject *parent)
    : QObject(parent)
    , m_bus(std::move(bus))
    , m_starter(starter ? std::move(starter) : Starter(&startDetached))
{
}

QUrl LinuxFileViewer::containingFolder(const QUrl &item)
{
    const QString local = item.adjusted(QUrl::StripTrailingSlash).toLocalFile();
    if (local.isEmpty())
        return {};
    return QUrl::fromLocalFile(QFileInfo(local).absolutePath());
}

void LinuxFileViewer::revealItems(const QList<QUrl> &urls)
{
    if (urls.isEmpty())
        return;
    QStringList uris;
    uris.reserve(urls.size());
    for (const QUrl &url : urls)
        uris.append(url.toString(QUrl::FullyEncoded));

    if (!m_bus.isConnected()) {
        openFolder(urls.first());
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(service.toString(), path.toString(), interface.toString(),
                                                       u"ShowItems"_qs);
    call << uris << QString();
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, first = urls.first()](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        if (w->isError())
            openFolder(first);
    });
}

void LinuxFileViewer::openFolder(const QUrl &item)
{
    const QUrl folder = containingFolder(item);
    if (folder.isEmpty())
        return;
    m_starter(u"xdg-open"_qs, {folder.toString(QUrl::FullyEncoded)});
}
