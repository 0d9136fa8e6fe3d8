#pragma once

#include "preferences.h"

// Preferences kept in one JSON object file, by default "$XDG_CONFIG_HOME/Tarnwick/defaults.json". The file is read
// once at construction and rewritten whole, atomically, after every change; a failed write leaves the old file in
// place and the new value in memory, and the next change writes both. A file that cannot be read as a JSON object is
// renamed with a ".corrupt" suffix before the first write, so nothing of it is lost. Main thread; owned by main.cpp.
class JsonFilePreferences : public Preferences
{
    Q_OBJECT
public:
    explicit JsonFilePreferences(QString filePath = defaultFilePath(), QObject *parent = nullptr);

    [[nodiscard]] static QString defaultFilePath();
    [[nodiscard]] QString filePath() const { return m_filePath; }
    // Whether the last write reached the disk.
    [[nodiscard]] bool lastWriteSucceeded() const { return m_lastWriteSucceeded; }

protected:
    void persist(const QJsonObject &all) override;

private:
    QString m_filePath;
    bool m_keepAsideBeforeWrite = false;
    bool m_lastWriteSucceeded = true;
};
