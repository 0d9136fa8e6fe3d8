#include "focussessionstore.h"

#include "atomicfile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <tuple>

FocusSessionStore::FocusSessionStore(QString directory)
    : m_directory(std::move(directory))
{
}

QString FocusSessionStore::filePath() const
{
    return m_directory + u"/sessions.json"_qs;
}

QList<FocusSessionStore::Entry> FocusSessionStore::loadEntries()
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
    const auto doc = QJsonDocument::fromJson(AtomicFile::validUtf8(file.readAll()), &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray()) {
        m_keepAsideBeforeWrite = true;
        return {};
    }
    m_keepAsideBeforeWrite = false;
    QList<Entry> out;
    for (const auto &element : doc.array())
        out.append(Entry{element, FocusSession::fromJson(element)});
    return out;
}

QList<FocusSession> FocusSessionStore::load()
{
    QList<FocusSession> out;
    for (const auto &entry : loadEntries()) {
        if (entry.session)
            out.append(*entry.session);
    }
    return out;
}

QList<FocusSession> FocusSessionStore::activeSessions(Instant now)
{
    AtomicFile::removeStaleTemporaries(filePath());
    QList<Entry> kept;
    QList<FocusSession> sessions;
    for (const auto &entry : loadEntries()) {
        if (entry.session && entry.session->deadline <= now)
            continue;
        kept.append(entry);
        if (entry.session)
            sessions.append(*entry.session);
    }
    std::ignore = write(kept);
    return sessions;
}

void FocusSessionStore::append(const FocusSession &session)
{
    auto entries = loadEntries();
    entries.append(Entry{session.toJson(), session});
    std::ignore = write(entries);
}

void FocusSessionStore::replace(const FocusSession &session)
{
    auto entries = loadEntries();
    const QJsonObject fresh = session.toJson();
    for (auto &entry : entries) {
        if (!entry.session || entry.session->id != session.id)
            continue;
        // Our keys take the new values; keys we do not know stay. An optional value that is now absent goes.
        QJsonObject merged = entry.json.toObject();
        for (const QString &key : {u"taskNote"_qs, u"blockMinutes"_qs}) {
            if (!fresh.contains(key))
                merged.remove(key);
        }
        for (auto it = fresh.begin(); it != fresh.end(); ++it)
            merged.insert(it.key(), it.value());
        entry = Entry{merged, session};
    }
    std::ignore = write(entries);
}

void FocusSessionStore::remove(const QUuid &id)
{
    auto entries = loadEntries();
    entries.removeIf([&](const Entry &e) { return e.session && e.session->id == id; });
    std::ignore = write(entries);
}

FocusSessionStore::WriteResult FocusSessionStore::saveAll(const QList<FocusSession> &sessions)
{
    QList<Entry> entries;
    for (const auto &s : sessions)
        entries.append(Entry{s.toJson(), s});
    return write(entries);
}

FocusSessionStore::WriteResult FocusSessionStore::write(const QList<Entry> &entries)
{
    // What could not be read may still be worth something to the user; it must not be written over.
    if (m_keepAsideBeforeWrite && !AtomicFile::keepAside(filePath()))
        return WriteResult::failed;
    m_keepAsideBeforeWrite = false;
    QJsonArray array;
    for (const auto &entry : entries)
        array.append(entry.json);
    return AtomicFile::write(filePath(), QJsonDocument(array).toJson(QJsonDocument::Compact)) ? WriteResult::written
                                                                                              : WriteResult::failed;
}
