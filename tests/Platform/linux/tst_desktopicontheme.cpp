#include "fakex11display.h"
#include "linux/desktopicontheme.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using Answers = DesktopIconTheme::Answers;
Q_DECLARE_METATYPE(Answers)

namespace {

std::optional<QString> some(const char16_t *name)
{
    return QString::fromUtf16(name);
}

// One XSETTINGS setting in the wire format, in the byte order of `big`.
struct Setting
{
    int type; // 0 integer, 1 string, 2 colour
    QByteArray name;
    QByteArray text; // the string's bytes
};

QByteArray pad(QByteArray bytes)
{
    while (bytes.size() % 4)
        bytes.append('\0');
    return bytes;
}

QByteArray card32(quint32 value, bool big)
{
    QByteArray out(4, '\0');
    if (big)
        qToBigEndian(value, out.data());
    else
        qToLittleEndian(value, out.data());
    return out;
}

QByteArray card16(quint16 value, bool big)
{
    QByteArray out(2, '\0');
    if (big)
        qToBigEndian(value, out.data());
    else
        qToLittleEndian(value, out.data());
    return out;
}

QByteArray xsettings(const QList<Setting> &settings, bool big = false)
{
    QByteArray out;
    out.append(char(big ? 1 : 0));
    out.append(QByteArray(3, '\0'));
    out.append(card32(7, big)); // serial
    out.append(card32(quint32(settings.size()), big));
    for (const Setting &s : settings) {
        out.append(char(s.type));
        out.append('\0');
        out.append(card16(quint16(s.name.size()), big));
        out.append(pad(s.name));
        out.append(card32(3, big)); // last change
        if (s.type == 0)
            out.append(card32(42, big));
        else if (s.type == 1)
            out.append(card32(quint32(s.text.size()), big) + pad(s.text));
        else
            out.append(QByteArray(8, '\x7f'));
    }
    return out;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

// Where the name of the desktop's icon theme comes from. Nothing real is asked: files live in a temporary folder,
// the X server is one in memory and gsettings is a scripted answer.
class TestDesktopIconTheme : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void theDesktopsOwnSettingComesFirst_data()
    {
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<QString>("expected");
        const QStringList kde{u"KDE"_qs}, gnome{u"ubuntu"_qs, u"GNOME"_qs}, xfce{u"XFCE"_qs};
        QTest::newRow("KDE: kdeglobals before XSETTINGS")
            << Answers{kde, some(u"breeze-dark"), some(u"Breeze"), {}, u"breeze"_qs} << u"breeze-dark"_qs;
        QTest::newRow("KDE without a theme in kdeglobals: XSETTINGS")
            << Answers{kde, {}, some(u"Papirus"), {}, u"breeze"_qs} << u"Papirus"_qs;
        QTest::newRow("GNOME: its setting before Qt's fixed Adwaita")
            << Answers{gnome, {}, {}, some(u"Papirus-Dark"), u"Adwaita"_qs} << u"Papirus-Dark"_qs;
        QTest::newRow("GNOME on X11: the published value")
            << Answers{gnome, {}, some(u"Yaru"), some(u"Yaru"), u"Adwaita"_qs} << u"Yaru"_qs;
        QTest::newRow("Xfce: XSETTINGS, GNOME's setting is not Xfce's")
            << Answers{xfce, {}, some(u"elementary-xfce"), some(u"Adwaita"), QString()} << u"elementary-xfce"_qs;
        QTest::newRow("Xfce without its daemon: Qt's answer")
            << Answers{xfce, {}, {}, some(u"Adwaita"), u"Tango"_qs} << u"Tango"_qs;
        QTest::newRow("kdeglobals counts on KDE only")
            << Answers{gnome, some(u"breeze"), {}, {}, QString()} << QString();
        QTest::newRow("nothing but hicolor: no theme")
            << Answers{{}, {}, {}, {}, u"hicolor"_qs} << QString();
        QTest::newRow("a path is no theme name")
            << Answers{xfce, {}, some(u"../../secret"), {}, u"Tango"_qs} << u"Tango"_qs;
        QTest::newRow("blank answers are skipped")
            << Answers{gnome, {}, some(u"  "), some(u""), u" Adwaita "_qs} << u"Adwaita"_qs;
    }
    void theDesktopsOwnSettingComesFirst()
    {
        QFETCH(Answers, answers);
        QFETCH(QString, expected);
        QCOMPARE(DesktopIconTheme::choose(answers), expected);
    }

    void kdeglobalsIsRead_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("the Icons group") << QByteArray("[General]\nTheme=Other\n\n[Icons]\nTheme=breeze-dark\n")
                                         << u"breeze-dark"_qs;
        QTest::newRow("with KDE's flags") << QByteArray("[Icons]\nTheme[$e]=Papirus\n") << u"Papirus"_qs;
        QTest::newRow("only in another group") << QByteArray("[KDE]\nTheme=breeze\n[Icons]\n") << QString();
        QTest::newRow("no Icons group") << QByteArray("[General]\nColorScheme=BreezeLight\n") << QString();
    }
    void kdeglobalsIsRead()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, expected);
        QCOMPARE(DesktopIconTheme::kdeGlobalsTheme(text).value_or(QString()), expected);
    }

    void kdeglobalsOfTheUserBeforeTheSystems()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QProcessEnvironment env;
        env.insert(u"XDG_CONFIG_HOME"_qs, dir.filePath(u"home"_qs));
        env.insert(u"XDG_CONFIG_DIRS"_qs, dir.filePath(u"system"_qs) + u':' + dir.filePath(u"vendor"_qs));
        writeFile(dir.filePath(u"vendor/kdeglobals"_qs), "[Icons]\nTheme=vendor-theme\n");
        QCOMPARE(DesktopIconTheme::kdeGlobalsTheme(env), some(u"vendor-theme"));
        writeFile(dir.filePath(u"home/kdeglobals"_qs), "[General]\nwidgetStyle=Breeze\n");
        QCOMPARE(DesktopIconTheme::kdeGlobalsTheme(env), some(u"vendor-theme")); // the user's names none
        writeFile(dir.filePath(u"home/kdeglobals"_qs), "[Icons]\nTheme=mine\n");
        QCOMPARE(DesktopIconTheme::kdeGlobalsTheme(env), some(u"mine"));
    }

    void xsettingsAreParsed_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("expected");
        const QList<Setting> usual{{0, "Net/DoubleClickTime", {}},
                                   {2, "Gtk/Colour", {}},
                                   {1, "Net/ThemeName", "Greybird"},
                                   {1, "Net/IconThemeName", "elementary-xfce-dark"},
                                   {1, "Gtk/FontName", "Sans 10"}};
        QTest::newRow("little-endian, after other kinds") << xsettings(usual) << u"elementary-xfce-dark"_qs;
        QTest::newRow("big-endian") << xsettings(usual, true) << u"elementary-xfce-dark"_qs;
        QTest::newRow("not published") << xsettings({{1, "Net/ThemeName", "Greybird"}}) << QString();
        QTest::newRow("not a string") << xsettings({{0, "Net/IconThemeName", {}}}) << QString();
        QByteArray cut = xsettings(usual);
        cut.chop(40); // the font setting and half the icon theme's value
        QTest::newRow("cut short") << cut << QString();
        QByteArray lying = xsettings({{1, "Net/IconThemeName", "Papirus"}});
        lying[43] = '\x7f'; // a value length past the end
        QTest::newRow("a length past the end") << lying << QString();
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("unknown byte order") << QByteArray("\x05\0\0\0\0\0\0\0\0\0\0\0", 12) << QString();
    }
    void xsettingsAreParsed()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, expected);
        QCOMPARE(DesktopIconTheme::xsettingsIconTheme(data).value_or(QString()), expected);
    }

    void xsettingsComeFromTheManagersWindow()
    {
        FakeX11Display display;
        QCOMPARE(DesktopIconTheme::xsettingsIconTheme(display), std::nullopt); // no manager runs
        const quint32 manager = 0x500001;
        display.setSelectionOwner("_XSETTINGS_S0", manager);
        display.setRaw(manager, "_XSETTINGS_SETTINGS",
                       X11Property{display.atom("_XSETTINGS_SETTINGS"), 8,
                                   xsettings({{1, "Net/IconThemeName", "Papirus"}})});
        QCOMPARE(DesktopIconTheme::xsettingsIconTheme(display), some(u"Papirus"));
    }

    void gsettingsOutputIsRead_data()
    {
        QTest::addColumn<QByteArray>("printed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << QByteArray("'Papirus-Dark'\n") << u"Papirus-Dark"_qs;
        QTest::newRow("escaped quote") << QByteArray("'it\\'s'\n") << u"it's"_qs;
        QTest::newRow("empty string") << QByteArray("''\n") << QString();
        QTest::newRow("no string") << QByteArray("@as []\n") << QString();
        QTest::newRow("two strings") << QByteArray("'a', 'b'\n") << QString();
    }
    void gsettingsOutputIsRead()
    {
        QFETCH(QByteArray, printed);
        QFETCH(QString, expected);
        QCOMPARE(DesktopIconTheme::gsettingsString(printed).value_or(QString()), expected);
    }

    void gatherAsksOnlyTheDesktopsSources_data()
    {
        QTest::addColumn<QStringList>("desktops");
        QTest::addColumn<bool>("asksGsettings");
        QTest::addColumn<QString>("expected");
        QTest::newRow("GNOME") << QStringList{u"GNOME"_qs} << true << u"Papirus"_qs;
        QTest::newRow("KDE") << QStringList{u"KDE"_qs} << false << u"breeze-dark"_qs;
        QTest::newRow("no desktop named") << QStringList() << false << u"Fallback"_qs;
    }
    void gatherAsksOnlyTheDesktopsSources()
    {
        QFETCH(QStringList, desktops);
        QFETCH(bool, asksGsettings);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        writeFile(dir.filePath(u"kdeglobals"_qs), "[Icons]\nTheme=breeze-dark\n");
        QProcessEnvironment env;
        env.insert(u"XDG_CONFIG_HOME"_qs, dir.path());
        env.insert(u"XDG_CONFIG_DIRS"_qs, dir.filePath(u"none"_qs));
        QList<QStringList> calls;
        const auto runner = [&](const QString &program, const QStringList &arguments) {
            calls.append(QStringList{program} + arguments);
            return std::optional<QByteArray>("'Papirus'\n");
        };
        FakeX11Display noManager;
        const Answers answers = DesktopIconTheme::gather(env, desktops, &noManager, runner, u"Fallback"_qs);
        QCOMPARE(DesktopIconTheme::choose(answers), expected);
        QCOMPARE(calls.isEmpty(), !asksGsettings);
        if (asksGsettings) {
            QCOMPARE(calls.first(), (QStringList{u"gsettings"_qs, u"get"_qs, u"org.gnome.desktop.interface"_qs,
                                                 u"icon-theme"_qs}));
        }
        // Without an X server nothing breaks.
        QCOMPARE(DesktopIconTheme::choose(DesktopIconTheme::gather(env, desktops, nullptr, runner, u"Fallback"_qs)),
                 expected);
    }
};

QTEST_GUILESS_MAIN(TestDesktopIconTheme)
#include "tst_desktopicontheme.moc"
