#include "desktopentry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Reading desktop entry files: what makes a file unreadable, how values, lists and booleans come back, which
// localized value a locale picks and when an entry is shown on the current desktop.
class TestDesktopEntry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parse_data();
    void parse();
    void values_data();
    void values();
    void stringList_data();
    void stringList();
    void localizedValue_data();
    void localizedValue();
    void isShownIn_data();
    void isShownIn();
    void posixLocale_data();
    void posixLocale();
    void loadReadsWhatTheFileHoldsNow();
    void copiesOutliveTheirOriginal();
};

void TestDesktopEntry::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<QString>("name"); // Name as read, when readable

    const QByteArray plain = "[Desktop Entry]\nType=Application\nName=Files\n";
    QTest::newRow("plain entry") << plain << true << u"Files"_qs;
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF") + plain << false << QString();
    QTest::newRow("invalid utf-8") << QByteArray("[Desktop Entry]\nName=Caf\xE9\n") << false << QString();
    QTest::newRow("truncated utf-8 sequence") << QByteArray("[Desktop Entry]\nName=\xE4\xB8\n") << false << QString();
    QTest::newRow("utf-16 text") << QByteArray("\xFF\xFE[\0D\0", 6) << false << QString();
    QTest::newRow("no desktop entry group") << QByteArray("[Other]\nName=Files\n") << false << QString();
    QTest::newRow("keys without any group") << QByteArray("Name=Files\n") << false << QString();
    QTest::newRow("empty file") << QByteArray() << false << QString();
    QTest::newRow("binary garbage") << QByteArray("\x00\x01\x02\xFF\xFE", 5) << false << QString();
    QTest::newRow("chinese name") << QByteArray("[Desktop Entry]\nName=文件\n") << true << u"文件"_qs;
    QTest::newRow("spaces around the equals sign") << QByteArray("[Desktop Entry]\nName  =  Files  \n") << true
                                                  << u"Files"_qs;
    QTest::newRow("comments and blank lines")
        << QByteArray("# made by hand\n\n[Desktop Entry]\n# Name=Commented\n\nName=Files\n") << true << u"Files"_qs;
    QTest::newRow("crlf line ends") << QByteArray("[Desktop Entry]\r\nName=Files\r\n") << true << u"Files"_qs;
    QTest::newRow("first of a repeated key counts")
        << QByteArray("[Desktop Entry]\nName=First\nName=Second\n") << true << u"First"_qs;
    QTest::newRow("other groups do not leak into the entry")
        << QByteArray("[Desktop Entry]\nType=Application\n[Desktop Action new]\nName=New Window\n") << true
        << QString();
    QTest::newRow("a second entry group is not the entry")
        << QByteArray("[Desktop Entry]\nName=Files\n[Desktop Entry]\nName=Other\nIcon=x\n") << true << u"Files"_qs;
    QTest::newRow("entry group after another group")
        << QByteArray("[Other]\nName=No\n[Desktop Entry]\nName=Files\n") << true << u"Files"_qs;
    QTest::newRow("malformed lines are passed over")
        << QByteArray("[Desktop Entry]\njust words\n=nokey\nBad Key=x\nName=Files\n") << true << u"Files"_qs;
}

void TestDesktopEntry::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, readable);
    QFETCH(QString, name);
    const auto entry = DesktopEntry::parse(bytes);
    QCOMPARE(entry.has_value(), readable);
    if (entry)
        QCOMPARE(entry->value(u"Name"_qs).value_or(QString()), name);
}

void TestDesktopEntry::values_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("expected");

    QTest::newRow("escaped leading space") << QByteArray("Comment=\\sindented") << u"Comment"_qs << true
                                           << u" indented"_qs;
    QTest::newRow("newline tab and return") << QByteArray("Comment=a\\nb\\tc\\rd") << u"Comment"_qs << true
                                            << u"a\nb\tc\rd"_qs;
    QTest::newRow("escaped backslash") << QByteArray("Comment=C:\\\\temp") << u"Comment"_qs << true
                                       << u"C:\\temp"_qs;
    // The Exec quoting rules come after these escapes; a backslash before a quote is the launcher's to read.
    QTest::newRow("exec keeps its quoting") << QByteArray("Exec=sh -c \"echo \\\\\"hi\\\\\"\" %f") << u"Exec"_qs
                                            << true << u"sh -c \"echo \\\"hi\\\"\" %f"_qs;
    QTest::newRow("unknown escape stays") << QByteArray("Comment=a\\qb") << u"Comment"_qs << true << u"a\\qb"_qs;
    QTest::newRow("empty value") << QByteArray("Icon=") << u"Icon"_qs << true << QString();
    QTest::newRow("absent key") << QByteArray("Icon=x") << u"Path"_qs << false << QString();
    QTest::newRow("keys are case-sensitive") << QByteArray("icon=x") << u"Icon"_qs << false << QString();
}

void TestDesktopEntry::values()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, key);
    QFETCH(bool, present);
    QFETCH(QString, expected);
    const auto entry = DesktopEntry::parse("[Desktop Entry]\n" + line + '\n');
    QVERIFY(entry);
    const auto value = entry->value(key);
    QCOMPARE(value.has_value(), present);
    if (value)
        QCOMPARE(*value, expected);
}

void TestDesktopEntry::stringList_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("trailing separator") << QByteArray("GNOME;KDE;") << QStringList{u"GNOME"_qs, u"KDE"_qs};
    QTest::newRow("no trailing separator") << QByteArray("GNOME;KDE") << QStringList{u"GNOME"_qs, u"KDE"_qs};
    QTest::newRow("escaped separator") << QByteArray("a\\;b;c;") << QStringList{u"a;b"_qs, u"c"_qs};
    QTest::newRow("empty items dropped") << QByteArray(";;XFCE;;") << QStringList{u"XFCE"_qs};
    QTest::newRow("empty value") << QByteArray("") << QStringList{};
    QTest::newRow("escapes inside items") << QByteArray("a\\sb;") << QStringList{u"a b"_qs};
}

void TestDesktopEntry::stringList()
{
    QFETCH(QByteArray, value);
    QFETCH(QStringList, expected);
    const auto entry = DesktopEntry::parse("[Desktop Entry]\nOnlyShowIn=" + value + '\n');
    QVERIFY(entry);
    QCOMPARE(entry->stringList(u"OnlyShowIn"_qs), expected);
}

void TestDesktopEntry::localizedValue_data()
{
    QTest::addColumn<QStringList>("locales");
    QTest::addColumn<QString>("expected");

    // The file these rows read: see localizedValue().
    QTest::newRow("country before modifier-free language") << QStringList{u"sr_YU@Latn"_qs} << u"sr_YU"_qs;
    QTest::newRow("language with modifier") << QStringList{u"sr@Latn"_qs} << u"sr@Latn"_qs;
    QTest::newRow("unknown country falls to the language") << QStringList{u"sr_RS"_qs} << u"sr"_qs;
    QTest::newRow("plain language takes the plain key") << QStringList{u"sr"_qs} << u"sr"_qs;
    QTest::newRow("encoding is not matched") << QStringList{u"zh_CN.UTF-8"_qs} << u"中文"_qs;
    QTest::newRow("encoding in the file's key") << QStringList{u"ja_JP"_qs} << u"日本語"_qs;
    QTest::newRow("a country key needs the country") << QStringList{u"zh"_qs} << u"Default"_qs;
    QTest::newRow("second language when the first has none") << QStringList{u"fr"_qs, u"de_AT"_qs}
                                                              << u"Deutsch"_qs;
    QTest::newRow("first language wins over a later exact one") << QStringList{u"de"_qs, u"zh_CN"_qs}
                                                                 << u"Deutsch"_qs;
    QTest::newRow("no languages") << QStringList{} << u"Default"_qs;
    QTest::newRow("nothing matches") << QStringList{u"fr_FR"_qs} << u"Default"_qs;
}

void TestDesktopEntry::localizedValue()
{
    QFETCH(QStringList, locales);
    QFETCH(QString, expected);
    const auto entry = DesktopEntry::parse("[Desktop Entry]\n"
                                           "Name=Default\n"
                                           "Name[sr]=sr\n"
                                           "Name[sr_YU]=sr_YU\n"
                                           "Name[sr@Latn]=sr@Latn\n"
                                           "Name[zh_CN]=中文\n"
                                           "Name[ja_JP.UTF-8]=日本語\n"
                                           "Name[de]=Deutsch\n");
    QVERIFY(entry);
    QCOMPARE(entry->localizedValue(u"Name"_qs, locales).value_or(QString()), expected);
}

void TestDesktopEntry::isShownIn_data()
{
    QTest::addColumn<QByteArray>("keys");
    QTest::addColumn<QStringList>("desktops");
    QTest::addColumn<bool>("shown");

    const QStringList none;
    QTest::newRow("no keys, no desktop") << QByteArray() << none << true;
    QTest::newRow("only in GNOME, no desktop") << QByteArray("OnlyShowIn=GNOME;") << none << false;
    QTest::newRow("only in GNOME, on GNOME") << QByteArray("OnlyShowIn=GNOME;") << QStringList{u"GNOME"_qs} << true;
    QTest::newRow("only in GNOME, on KDE") << QByteArray("OnlyShowIn=GNOME;") << QStringList{u"KDE"_qs} << false;
    QTest::newRow("only in GNOME, on ubuntu:GNOME")
        << QByteArray("OnlyShowIn=GNOME;") << QStringList{u"ubuntu"_qs, u"GNOME"_qs} << true;
    QTest::newRow("names are case-sensitive") << QByteArray("OnlyShowIn=GNOME;") << QStringList{u"gnome"_qs}
                                              << false;
    QTest::newRow("empty only-list hides everywhere") << QByteArray("OnlyShowIn=") << QStringList{u"KDE"_qs}
                                                      << false;
    QTest::newRow("not in KDE, on KDE") << QByteArray("NotShowIn=KDE;") << QStringList{u"KDE"_qs} << false;
    QTest::newRow("not in KDE, on XFCE") << QByteArray("NotShowIn=KDE;") << QStringList{u"XFCE"_qs} << true;
    QTest::newRow("not in KDE, no desktop") << QByteArray("NotShowIn=KDE;") << none << true;
    QTest::newRow("first desktop name decides: hidden")
        << QByteArray("OnlyShowIn=GNOME;\nNotShowIn=ubuntu;") << QStringList{u"ubuntu"_qs, u"GNOME"_qs} << false;
    QTest::newRow("first desktop name decides: shown")
        << QByteArray("OnlyShowIn=GNOME;\nNotShowIn=ubuntu;") << QStringList{u"GNOME"_qs, u"ubuntu"_qs} << true;
}

void TestDesktopEntry::isShownIn()
{
    QFETCH(QByteArray, keys);
    QFETCH(QStringList, desktops);
    QFETCH(bool, shown);
    const auto entry = DesktopEntry::parse("[Desktop Entry]\nName=X\n" + keys + '\n');
    QVERIFY(entry);
    QCOMPARE(entry->isShownIn(desktops), shown);
}

void TestDesktopEntry::posixLocale_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("expected");
    QTest::newRow("language and region") << u"zh-CN"_qs << u"zh_CN"_qs;
    QTest::newRow("script dropped") << u"zh-Hans-CN"_qs << u"zh_CN"_qs;
    QTest::newRow("script only") << u"zh-Hant"_qs << u"zh"_qs;
    QTest::newRow("language only") << u"en"_qs << u"en"_qs;
    QTest::newRow("numeric region") << u"es-419"_qs << u"es_419"_qs;
    QTest::newRow("already posix") << u"pt_BR"_qs << u"pt_BR"_qs;
    QTest::newRow("empty") << QString() << QString();
}

void TestDesktopEntry::posixLocale()
{
    QFETCH(QString, tag);
    QFETCH(QString, expected);
    QCOMPARE(DesktopEntry::posixLocale(tag), expected);
}

QTEST_GUILESS_MAIN(TestDesktopEntry)
void TestDesktopEntry::loadReadsWhatTheFileHoldsNow()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"tool.desktop"_qs);
    const auto write = [&](const QByteArray &bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    };
    // Rewritten in place at once, same size: the file's times may not tell the versions apart; its bytes do.
    write("[Desktop Entry]\nName=Aaaa\n");
    QCOMPARE(DesktopEntry::load(path)->name(), u"Aaaa"_qs);
    write("[Desktop Entry]\nName=Bbbb\n");
    QCOMPARE(DesktopEntry::load(path)->name(), u"Bbbb"_qs);
    write("[Desktop Entry]\nName=Aaaa\n");
    QCOMPARE(DesktopEntry::load(path)->name(), u"Aaaa"_qs);
    write("[Other]\nName=Aaaa\n");
    QVERIFY(!DesktopEntry::load(path));
    QVERIFY(QFile::remove(path));
    QVERIFY(!DesktopEntry::load(path));
}

void TestDesktopEntry::copiesOutliveTheirOriginal()
{
    // Values are views into the entry's text, with an encoding dropped from one key: copies keep them good.
    std::optional<DesktopEntry> copy;
    {
        const auto original = DesktopEntry::parse("[Desktop Entry]\nName=Files\nName[de_DE.UTF-8]=Dateien\n"
                                                  "Name[fr]=Fichiers\n");
        QVERIFY(original);
        copy = *original;
    }
    QCOMPARE(copy->name(), u"Files"_qs);
    QCOMPARE(copy->localizedValue(u"Name"_qs, {u"de_DE"_qs}), std::optional<QString>(u"Dateien"_qs));
    QCOMPARE(copy->localizedValues(u"Name"_qs).value(u"fr"_qs), u"Fichiers"_qs);
}

#include "tst_desktopentry.moc"
