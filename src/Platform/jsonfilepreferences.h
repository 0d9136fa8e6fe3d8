#pragma once

#include "preferences.h"

// Preferences kept in one JSON object file, by default "$XDG_CONFIG_HOME/Tarnwick/defaults.json". The file is read
// once at construction (temporary files that a killed write left beside it are removed first) and rewritten whole,
// atomically, after every change; a failed write leaves the old file in place and the new value in memory, and the
// next change writes both. Every key is kept as it was read, also keys this version does not know and values of
// another type than it expects; bytes that are no UTF-8 read as U+FFFD, so they cost only the text they are in. A
// file that cannot be read as a JSON object at all is kept aside (AtomicFile::keepAside) before the first write, so
// nothing of it is lost. Main thread; owned by main.cpp.
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
