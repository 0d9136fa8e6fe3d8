#include "linux/linuxclipboard.h"
#include "linux/linuxsystemsettings.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

// The desktop's settings program by XDG_CURRENT_DESKTOP, with the PATH lookup and the start replaced; and the
// clipboard of the offscreen platform, set and read back.
class TestLinuxSystemSettings : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void commandByDesktop_data()
    {
        QTest::addColumn<QString>("desktop");
        QTest::addColumn<QStringList>("notifications");
        QTest::addColumn<QStringList>("settings");
        const QStringList gnomeN{u"gnome-control-center"_qs, u"notifications"_qs};
        const QStringList gnome{u"gnome-control-center"_qs};
        const QStringList kdeN{u"systemsettings"_qs, u"kcm_notifications"_qs};
        const QStringList kde{u"systemsettings"_qs};
        QTest::newRow("GNOME") << u"GNOME"_qs << gnomeN << gnome;
        QTest::newRow("Ubuntu's list") << u"ubuntu:GNOME"_qs << gnomeN << gnome;
        QTest::newRow("GNOME Classic") << u"GNOME-Classic:GNOME"_qs << gnomeN << gnome;
        QTest::newRow("lower case") << u"gnome"_qs << gnomeN << gnome;
        QTest::newRow("KDE") << u"KDE"_qs << kdeN << kde;
        QTest::newRow("first known wins") << u"KDE:GNOME"_qs << kdeN << kde;
        QTest::newRow("XFCE") << u"XFCE"_qs << QStringList() << QStringList();
        QTest::newRow("unset") << QString() << QStringList() << QStringList();
        QTest::newRow("only colons") << u"::"_qs << QStringList() << QStringList();
    }
    void commandByDesktop()
    {
        QFETCH(QString, desktop);
        QFETCH(QStringList, notifications);
        QFETCH(QStringList, settings);
        QCOMPARE(LinuxSystemSettings::command(desktop, true), notifications);
        QCOMPARE(LinuxSystemSettings::command(desktop, false), settings);
    }

    void startsOrRefuses_data()
    {
        QTest::addColumn<QString>("desktop");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("startWorks");
        QTest::addColumn<bool>("started");
        QTest::addColumn<QStringList>("starts"); // "<executable> | <argv>"
        QTest::newRow("GNOME, installed") << u"GNOME"_qs << true << true << true
                                          << QStringList{u"/usr/bin/gnome-control-center | gnome-control-center notifications"_qs};
        QTest::newRow("KDE, installed") << u"KDE"_qs << true << true << true
                                        << QStringList{u"/usr/bin/systemsettings | systemsettings kcm_notifications"_qs};
        QTest::newRow("program missing") << u"GNOME"_qs << false << true << false << QStringList();
        QTest::newRow("start fails") << u"KDE"_qs << true << false << false
                                     << QStringList{u"/usr/bin/systemsettings | systemsettings kcm_notifications"_qs};
        QTest::newRow("unknown desktop") << u"LXQt"_qs << true << true << false << QStringList();
    }
    void startsOrRefuses()
    {
        QFETCH(QString, desktop);
        QFETCH(bool, installed);
        QFETCH(bool, startWorks);
        QFETCH(bool, started);
        QFETCH(QStringList, starts);
        QStringList lookedUp;
        QStringList seen;
        LinuxSystemSettings settings(
            desktop,
            [&](const QString &name) -> std::optional<QString> {
                lookedUp.append(name);
                if (!installed)
                    return std::nullopt;
                return u"/usr/bin/"_qs + name;
            },
            [&](const QString &executable, const QStringList &argv) {
                seen.append(executable + u" | "_qs + argv.join(u' '));
                return startWorks;
            });
        QCOMPARE(settings.openNotificationSettings() == OpenResult::started, started);
        QCOMPARE(seen, starts);
    }

    void startPageHasNoArguments()
    {
        QStringList seen;
        LinuxSystemSettings settings(
            u"GNOME"_qs, [](const QString &name) { return std::optional(u"/bin/"_qs + name); },
            [&](const QString &executable, const QStringList &argv) {
                seen.append(executable + u" | "_qs + argv.join(u' '));
                return true;
            });
        QCOMPARE(settings.openSettings(), OpenResult::started);
        QCOMPARE(seen, QStringList{u"/bin/gnome-control-center | gnome-control-center"_qs});
    }

    void clipboardTakesAndDropsText()
    {
        LinuxClipboard clipboard;
        clipboard.setText(u"  读书 \n"_qs);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"  读书 \n"_qs);
        clipboard.clear();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());
    }
};

QTEST_MAIN(TestLinuxSystemSettings)
#include "tst_linuxsystemsettings.moc"
