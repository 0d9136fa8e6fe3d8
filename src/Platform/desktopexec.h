#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// The Exec value of a desktop entry turned into a program and its arguments, by the Desktop Entry Specification's
// quoting rules and field codes. Takes the value with the general string escapes already resolved (as DesktopEntry
// hands it out). Pure functions; no shell is involved anywhere.
//
// Words are split at unquoted blanks. Double quotes hold a word together, and inside them a backslash escapes
// " ` $ and \ (before any other character it stays). Outside quotes a backslash takes the next character as it is,
// and single quotes hold literal text, as desktop launchers accept in practice. Field codes:
//   %f  the first local file among the URLs, as a path       %F  every local file, one word each
//   %u  the first URL, encoded                               %U  every URL, one word each
//   %i  "--icon" and the Icon value as two words (none without an Icon)
//   %c  the application's name                               %k  the location of the desktop entry file
//   %%  a literal "%"                                        %d %D %n %N %v %m  deprecated, dropped
// %F, %U and %i stand only as a word of their own, outside quotes. A word made of field codes that expand to
// nothing is dropped. Any other field code, a "%" at the end, a misplaced list code or an open quote makes the
// whole value one that must not be run.
class DesktopExec
{
public:
    struct Inputs
    {
        QList<QUrl> urls;
        QString icon; // the Icon value; empty when there is none
        QString name;
        QString desktopFile;
    };

    // The program (first word) and its arguments; nothing when the value is malformed or has no program.
    [[nodiscard]] static std::optional<QStringList> expand(const QString &exec, const Inputs &inputs);
};
