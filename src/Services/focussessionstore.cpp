#include "focussessionstore.h"

#include "atomicfile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <tuple>

FocusSessionStore::FocusSessionStore(QString directory)
    : m_directory(std::move(directory))
{
}

QString FocusSessionStore::filePath() const
{
    return m_directory + u"/sessions.json"_qs;
}

QList<FocusSession> FocusSessionStore::load()
{
    QFile file(filePath());
    if (!file.exists()) {
        m_keepAsideBeforeWrite = false;
        return {};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        m_keepAsideBeforeWrite = true;
        return {};
    }
    QJsonParseError error{};
    const auto doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray()) {
        m_keepAsideBeforeWrite = true;
        return {};
    }
    m_keepAsideBeforeWrite = false;
    QList<FocusSession> out;
    for (const auto &element : doc.array()) {
        if (auto session = FocusSession::fromJson(element))
            out.append(*session);
    }
    return out;
}

QList<FocusSession> FocusSessionStore::activeSessions(Instant now)
{
    QList<FocusSession> kept;
    for (const auto &s : load()) {
        if (s.deadline > now)
            kept.append(s);
    }
    std::ignore = saveAll(kept);
    return kept;
}

void FocusSessionStore::append(const FocusSession &session)
{
    auto all = load();
    all.append(session);
    std::ignore = saveAll(all);
}

void FocusSessionStore::replace(const FocusSession &session)
{
    auto all = load();
    for (auto &s : all) {
        if (s.id == session.id)
            s = session;
    }
    std::ignore = saveAll(all);
}

void FocusSessionStore::remove(const QUuid &id)
{
    auto all = load();
    all.removeIf([&](const FocusSession &s) { return s.id == id; });
    std::ignore = saveAll(all);
}

FocusSessionStore::WriteResult FocusSessionStore::saveAll(const QList<FocusSession> &sessions)
{
    const QString path = filePath();
    if (m_keepAsideBeforeWrite && QFile::exists(path)) {
        // What could not be read may still be worth something to the user; it must not be written over.
        const QString aside = path + u".corrupt"_qs;
        QFile::remove(aside);
        if (!QFile::rename(path, aside))
            return WriteResult::failed;
    }
    m_keepAsideBeforeWrite = false;
    QJsonArray array;
    for (const auto &s : sessions)
        array.append(s.toJson());
    return AtomicFile::write(path, QJsonDocument(array).toJson(QJsonDocument::Compact)) ? WriteResult::written
                                                                                         : WriteResult::failed;
}
