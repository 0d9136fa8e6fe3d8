#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>
#include <optional>

// Icon files by name, found as the Icon Theme Specification orders the search: the current theme and the themes it
// inherits, then "hicolor", then the files right inside the base folders (the pixmaps folder among them). Within a
// theme a folder made for the size wins; else the file in the folder nearest to the size. Each theme's index.theme is
// read once, on first use, and kept; look-ups are safe from several threads. Owned by its icon source.
class IconThemeIndex
{
public:
    static constexpr QStringView fallbackTheme = u"hicolor";

    // `baseFolders`: where themes live, most important first ($HOME/.icons, $XDG_DATA_HOME/icons,
    // $XDG_DATA_DIRS/icons, /usr/share/pixmaps). `themeName` may be empty: then only "hicolor" is searched.
    IconThemeIndex(QStringList baseFolders, QString themeName);
    ~IconThemeIndex();

    // The file of the icon `name` (without extension) for size x size pixels at scale 1; nothing when no theme
    // and no base folder has it.
    [[nodiscard]] std::optional<QString> find(const QString &name, int size) const;

    [[nodiscard]] const QStringList &baseFolders() const { return m_baseFolders; }

private:
    struct Theme;

    QStringList m_baseFolders;
    QString m_themeName;
    mutable std::mutex m_mutex;
    mutable QHash<QString, std::shared_ptr<const Theme>> m_themes; // null: no such theme

    [[nodiscard]] std::shared_ptr<const Theme> theme(const QString &name) const;
    [[nodiscard]] std::optional<QString> findInTheme(const QString &theme, const QString &name, int size,
                                                     QStringList &visited) const;
    [[nodiscard]] std::optional<QString> lookUp(const Theme &theme, const QString &name, int size) const;
};
