#pragma once

#include "bundlereader.h"
#include "desktopentry.h"

#include <functional>

// Reads desktop entries (*.desktop) as bundles. The identifier is the desktop-file id: the path below the first
// application root that holds it, "/" turned into "-", less ".desktop". The information dictionary holds
// "CFBundleIdentifier" and "CFBundleName" (Name); each Name[xx] becomes the table of "xx.lproj" with its
// "CFBundleName". An entry that is not Type=Application, is NoDisplay, is not shown on the current desktop or whose
// TryExec program is missing cannot be opened, nor can a Hidden (deleted) one, nor one whose Exec does not parse or
// names a program that is not installed (the first word; looked up on PATH, a path must be an executable file), nor
// one without Exec unless it is DBusActivatable. The first entry met for an id in root
// order is the one that counts, whatever it says: an entry with the id of a file in an earlier root cannot be opened.
// Stateless after construction; safe to use from several threads. Owned by main.cpp (or a test).
class DesktopEntryReader : public BundleReader
{
public:
    struct Options
    {
        QStringList roots;           // the application folders, first the one that wins
        QStringList currentDesktops; // $XDG_CURRENT_DESKTOP, split at ":"
        // For TryExec and Exec: a bare name is looked up on PATH, an absolute path must be an executable file.
        // Absent means every one exists.
        std::function<bool(const QString &program)> programExists;
    };

    explicit DesktopEntryReader(Options options);

    [[nodiscard]] std::optional<Bundle> open(const QString &path) const override;
    [[nodiscard]] std::optional<Instant> creationDate(const QString &path) const override;

    // Where `path` lies among the roots: the index of the first root that holds it and its desktop-file id; nothing
    // when no root holds it or it does not end with ".desktop".
    struct Placement
    {
        int rootIndex = 0;
        QString id;
    };
    [[nodiscard]] static std::optional<Placement> placement(const QString &path, const QStringList &roots);
    // Whether any file below `root` has the desktop-file id `id`.
    [[nodiscard]] static bool rootHoldsId(const QString &root, const QString &id);

    // The bundle a parsed entry makes, without the checks of open(): for the index and the tests.
    [[nodiscard]] static Bundle bundleOf(const QString &path, const QString &id, const DesktopEntry &entry);
    // Whether an entry is one to list: an application, shown here, not deleted, its TryExec and Exec programs
    // present.
    [[nodiscard]] bool canBeOpened(const DesktopEntry &entry) const;

private:
    Options m_options;

    [[nodiscard]] bool startsAProgram(const DesktopEntry &entry) const;
};
