#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// One installed desktop entry, as far as telling its processes apart needs it.
struct DesktopAppEntry
{
    QString bundleID;      // the desktop-file id without ".desktop"
    QString localizedName; // the Name for the user's language
    QString exec;          // the Exec value, its general escapes resolved (as DesktopEntry::exec() gives it)
    QString filePath;      // where the entry lies, to recognise GIO_LAUNCHED_DESKTOP_FILE
    QString startupWMClass{}; // the WM_CLASS its windows carry, when the entry names one

    friend bool operator==(const DesktopAppEntry &, const DesktopAppEntry &) = default;
};

// The installed entries, looked up by what a process shows of itself: the entry file it was launched from, or its
// executable. An executable names an entry only when exactly one entry runs it and it is no interpreter, shell or
// wrapper (sh, env, python3, flatpak ...), since one of those runs any number of unrelated programs. Immutable
// after construction; any thread.
class DesktopEntryLookup
{
public:
    // Turns the program of an Exec line into the canonical path of the file that runs (symbolic links resolved);
    // none when it cannot be found.
    using ProgramResolver = std::function<std::optional<QString>(const QString &program)>;

    DesktopEntryLookup() = default;
    explicit DesktopEntryLookup(const QList<DesktopAppEntry> &entries,
                               const ProgramResolver &resolve = searchPathResolver());

    [[nodiscard]] static ProgramResolver searchPathResolver();
    // The entries of desktop files as the installed-app scanner finds them: the id from where each file lies among
    // the application roots, the Name for `locales` (POSIX form, most preferred first), the Exec value. A file that
    // cannot be read as a desktop entry is left out.
    [[nodiscard]] static QList<DesktopAppEntry> readEntries(const QStringList &paths, const QStringList &roots,
                                                            const QStringList &locales);
    // The program word of an Exec value: the first argument, with the quoting of the Desktop Entry Specification
    // undone; empty when there is none.
    [[nodiscard]] static QString execProgram(const QString &exec);
    [[nodiscard]] static bool isWrapperProgram(const QString &path);
    // The desktop-file id of an entry path: what follows the last "applications/" folder, "/" turned into "-", less
    // ".desktop"; none when the path lies in no such folder or is no desktop file.
    [[nodiscard]] static std::optional<QString> desktopFileID(const QString &path);

    [[nodiscard]] bool contains(const QString &bundleID) const { return m_names.contains(bundleID); }
    [[nodiscard]] QString localizedName(const QString &bundleID) const { return m_names.value(bundleID); }
    [[nodiscard]] std::optional<QString> bundleIDForExecutable(const QString &executable) const;
    [[nodiscard]] std::optional<QString> bundleIDForDesktopFile(const QString &path) const;
    // The entry of a window that names no process, by its WM_CLASS (instance and class names): the one entry whose
    // StartupWMClass is either name, else the one entry whose program (no wrapper) is called so; letter case aside.
    [[nodiscard]] std::optional<QString> bundleIDForWindowClass(const QString &instanceName,
                                                                const QString &className) const;

private:
    QHash<QString, QString> m_names;
    QHash<QString, QString> m_byFile;
    QHash<QString, QString> m_byExecutable; // only executables of exactly one entry
    // Folded names, each of exactly one entry (an empty value: of several).
    QHash<QString, QString> m_byWindowClass;
    QHash<QString, QString> m_byProgramName;
};
