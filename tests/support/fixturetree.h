#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

// A folder tree in a fresh temporary folder, for the tests of the readers, the walk and the scanner. Paths are
// relative to the tree; files are written in whole, parents made on the way.
class FixtureTree
{
public:
    [[nodiscard]] bool isValid() const { return m_dir.isValid(); }
    [[nodiscard]] QString path(const QString &relative = {}) const
    {
        return relative.isEmpty() ? m_dir.path() : m_dir.path() + u'/' + relative;
    }

    QString write(const QString &relative, const QByteArray &bytes) const
    {
        const QString file = path(relative);
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile out(file);
        if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            out.write(bytes);
        return file;
    }

    QString mkdir(const QString &relative) const
    {
        QDir().mkpath(path(relative));
        return path(relative);
    }

    // A desktop entry of Type=Application named `name`, with `extra` lines appended to its group.
    QString desktopEntry(const QString &relative, const QString &name, const QString &extra = {}) const
    {
        QString text = u"[Desktop Entry]\nType=Application\nName="_qs + name + u"\nExec=true\n"_qs;
        if (!extra.isEmpty())
            text += extra + u'\n';
        return write(relative, text.toUtf8());
    }

    // An .app bundle: Contents/Info.plist with the given string keys, and one InfoPlist.strings per table, keyed by
    // the folder name ("zh_CN.lproj").
    QString appBundle(const QString &relative, const QMap<QString, QString> &info,
                      const QMap<QString, QByteArray> &tables = {}) const
    {
        QByteArray plist = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                           "<plist version=\"1.0\">\n<dict>\n";
        for (auto it = info.constBegin(); it != info.constEnd(); ++it)
            plist += "  <key>" + it.key().toUtf8() + "</key>\n  <string>" + it.value().toHtmlEscaped().toUtf8()
                + "</string>\n";
        plist += "</dict>\n</plist>\n";
        write(relative + u"/Contents/Info.plist"_qs, plist);
        for (auto it = tables.constBegin(); it != tables.constEnd(); ++it)
            write(relative + u"/Contents/Resources/"_qs + it.key() + u"/InfoPlist.strings"_qs, it.value());
        return path(relative);
    }

private:
    QTemporaryDir m_dir;
};
