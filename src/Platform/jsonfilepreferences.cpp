#include "jsonfilepreferences.h"

#include "atomicfile.h"
#include "datalocation.h"

#include <QFile>
#include <QJsonDocument>

JsonFilePreferences::JsonFilePreferences(QString filePath, QObject *parent)
    : Preferences(parent)
    , m_filePath(std::move(filePath))
{
    AtomicFile::removeStaleTemporaries(m_filePath);
    QFile file(m_filePath);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        m_keepAsideBeforeWrite = true;
        return;
    }
    QJsonParseError error{};
    const auto doc = QJsonDocument::fromJson(AtomicFile::validUtf8(file.readAll()), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        m_keepAsideBeforeWrite = true;
        return;
    }
    m_values = doc.object();
}

QString JsonFilePreferences::defaultFilePath()
{
    return DataLocation::configFolder() + u"/defaults.json"_qs;
}

void JsonFilePreferences::persist(const QJsonObject &all)
{
    if (m_keepAsideBeforeWrite) {
        if (!AtomicFile::keepAside(m_filePath)) {
            m_lastWriteSucceeded = false;
            return;
        }
        m_keepAsideBeforeWrite = false;
    }
    m_lastWriteSucceeded = AtomicFile::write(m_filePath, QJsonDocument(all).toJson(QJsonDocument::Indented));
}
