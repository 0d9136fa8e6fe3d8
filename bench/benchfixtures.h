#pragma once

// Fixtures that several benchmarks share.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace BenchFixtures {

// 500 generated desktop entries in two application folders, a third of them with Chinese names, each with a dozen
// translations and an action, and a folder with their programs (empty executable files) to put on PATH:
// <dataHome>/applications holds every eighth, <dataDirs>/applications the rest, every tenth in a vendor sub-folder.
struct DesktopEntries
{
    QTemporaryDir dir;
    QString dataHome;
    QString dataDirs;
    QStringList roots;
    QString binFolder;

    DesktopEntries()
    {
        dataHome = dir.path() + u"/home"_qs;
        dataDirs = dir.path() + u"/usr"_qs;
        roots = {dataHome + u"/applications"_qs, dataDirs + u"/applications"_qs};
        binFolder = dir.path() + u"/bin"_qs;
        QDir().mkpath(binFolder);
        const QStringList locales{u"de"_qs, u"fr"_qs, u"es"_qs, u"it"_qs, u"ja"_qs, u"ko"_qs, u"pt_BR"_qs,
                                  u"ru"_qs, u"zh_TW"_qs, u"pl"_qs, u"nl"_qs, u"sv"_qs};
        for (int i = 0; i < 500; ++i) {
            QString folder = roots[i % 8 == 0 ? 0 : 1];
            if (i % 10 == 3)
                folder += u"/vendor"_qs + QString::number(i % 4);
            QDir().mkpath(folder);
            const QString id = u"org.example.App"_qs + QString::number(i);
            QByteArray text = "[Desktop Entry]\nType=Application\nName=App " + QByteArray::number(i) + "\n";
            if (i % 3 == 0)
                text += "Name[zh_CN]=应用程序" + QByteArray::number(i) + "\nName[zh]=程序" + QByteArray::number(i) + "\n";
            for (const auto &locale : locales) {
                text += "Name[" + locale.toUtf8() + "]=App " + QByteArray::number(i) + " " + locale.toUtf8() + "\n";
                text += "Comment[" + locale.toUtf8() + "]=Does things, in " + locale.toUtf8() + "\n";
            }
            text += "Comment=Does things\nExec=app" + QByteArray::number(i) + " %U\nIcon=app" + QByteArray::number(i)
                + "\nTerminal=false\nCategories=Utility;\n";
            text += "\n[Desktop Action new-window]\nName=New Window\nExec=app --new-window\n";
            QFile file(folder + u'/' + id + u".desktop"_qs);
            if (file.open(QIODevice::WriteOnly))
                file.write(text);
            QFile program(binFolder + u"/app"_qs + QString::number(i));
            if (program.open(QIODevice::WriteOnly)) {
                program.close();
                program.setPermissions(program.permissions() | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
            }
        }
    }
};

inline DesktopEntries &desktopEntries()
{
    static DesktopEntries f;
    return f;
}

} // namespace BenchFixtures
