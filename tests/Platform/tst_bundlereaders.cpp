#include "../support/fixturetree.h"

#include "appbundlereader.h"
#include "desktopentryreader.h"
#include "portablebundlereader.h"
#include "propertylist.h"

#include <QDateTime>
#include <QStringEncoder>
#include <QTest>

#include <sys/stat.h>

// The two bundle readers: desktop-file ids, which entries open, masking across roots, and the .app bundle's
// property list and string tables.
class TestBundleReaders : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void placement_data();
    void placement();
    void desktopEntryOpens_data();
    void desktopEntryOpens();
    void desktopEntryBundle();
    void masking_data();
    void masking();
    void xmlPropertyList_data();
    void xmlPropertyList();
    void stringsTable_data();
    void stringsTable();
    void appBundle();
    void portableReaderPicksBySuffix();
    void birthTime();
    void specialFilesAreNotRead_data();
    void specialFilesAreNotRead();
};

namespace {

QByteArray utf16(const QString &text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

} // namespace

void TestBundleReaders::placement_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("rootIndex"); // -1: not placed
    QTest::addColumn<QString>("id");

    QTest::newRow("top level") << u"/r1/applications/org.gnome.Files.desktop"_qs << 0 << u"org.gnome.Files"_qs;
    QTest::newRow("sub-folder joins with a dash") << u"/r1/applications/kde4/dolphin.desktop"_qs << 0
                                                  << u"kde4-dolphin"_qs;
    QTest::newRow("two sub-folders") << u"/r1/applications/a/b/c.desktop"_qs << 0 << u"a-b-c"_qs;
    QTest::newRow("second root") << u"/r2/apps/files.desktop"_qs << 1 << u"files"_qs;
    QTest::newRow("dots cleaned") << u"/r2/apps/./x/../files.desktop"_qs << 1 << u"files"_qs;
    QTest::newRow("outside every root") << u"/elsewhere/files.desktop"_qs << -1 << QString();
    QTest::newRow("root prefix is not a folder boundary") << u"/r2/apps2/files.desktop"_qs << -1 << QString();
    QTest::newRow("not a desktop entry") << u"/r1/applications/files.txt"_qs << -1 << QString();
    QTest::newRow("suffix alone") << u"/r1/applications/.desktop"_qs << -1 << QString();
}

void TestBundleReaders::placement()
{
    QFETCH(QString, path);
    QFETCH(int, rootIndex);
    QFETCH(QString, id);
    const QStringList roots{u"/r1/applications"_qs, u"/r2/apps/"_qs};
    const auto place = DesktopEntryReader::placement(path, roots);
    if (rootIndex < 0) {
        QVERIFY(!place);
        return;
    }
    QVERIFY(place);
    QCOMPARE(place->rootIndex, rootIndex);
    QCOMPARE(place->id, id);
}

void TestBundleReaders::desktopEntryOpens_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("opens");

    const QByteArray head = "[Desktop Entry]\nName=Editor\nExec=editor %f\n";
    QTest::newRow("application") << head + "Type=Application\n" << true;
    QTest::newRow("no display") << head + "Type=Application\nNoDisplay=true\n" << false;
    QTest::newRow("no display false") << head + "Type=Application\nNoDisplay=false\n" << true;
    QTest::newRow("hidden means deleted") << head + "Type=Application\nHidden=true\n" << false;
    QTest::newRow("a link") << head + "Type=Link\nURL=https://example.org\n" << false;
    QTest::newRow("a directory") << head + "Type=Directory\n" << false;
    QTest::newRow("no type") << head << false;
    QTest::newRow("only shown in another desktop") << head + "Type=Application\nOnlyShowIn=KDE;\n" << false;
    QTest::newRow("only shown in this desktop") << head + "Type=Application\nOnlyShowIn=KDE;XFCE;\n" << true;
    QTest::newRow("not shown in this desktop") << head + "Type=Application\nNotShowIn=XFCE;\n" << false;
    QTest::newRow("try-exec program missing") << head + "Type=Application\nTryExec=missing-program\n" << false;
    QTest::newRow("try-exec program present") << head + "Type=Application\nTryExec=present-program\n" << true;
    QTest::newRow("try-exec empty") << head + "Type=Application\nTryExec=\n" << false;
    QTest::newRow("byte order mark") << "\xEF\xBB\xBF" + head + "Type=Application\n" << false;
    QTest::newRow("invalid utf-8") << head + "Type=Application\nComment=\xC3\x28\n" << false;
    QTest::newRow("no entry group") << QByteArray("[Desktop Action x]\nType=Application\nName=X\n") << false;

    // The program of Exec, as the launcher would start it.
    const QByteArray app = "[Desktop Entry]\nType=Application\nName=Editor\n";
    QTest::newRow("exec program installed") << app + "Exec=editor --new %F\n" << true;
    QTest::newRow("exec program missing") << app + "Exec=removed-editor %F\n" << false;
    QTest::newRow("exec absolute path installed") << app + "Exec=/opt/tool/bin/tool\n" << true;
    QTest::newRow("exec absolute path missing") << app + "Exec=/opt/gone/bin/tool %u\n" << false;
    QTest::newRow("exec quoted path installed") << app + "Exec=\"/opt/tool/bin/tool\" --x\n" << true;
    QTest::newRow("exec relative path in the working folder") << app + "Exec=bin/tool\nPath=/opt/tool\n" << true;
    QTest::newRow("exec relative path missing there") << app + "Exec=bin/tool\nPath=/opt/gone\n" << false;
    QTest::newRow("exec relative path without a working folder") << app + "Exec=./tool\n" << false;
    QTest::newRow("exec unbalanced quote") << app + "Exec=\"editor --x\n" << false;
    QTest::newRow("exec bare percent") << app + "Exec=editor 50%\n" << false;
    QTest::newRow("exec unknown field code") << app + "Exec=editor %x\n" << false;
    QTest::newRow("exec empty") << app + "Exec=\n" << false;
    QTest::newRow("exec only a field code") << app + "Exec=%U\n" << false;
    QTest::newRow("env before a missing program is env's to run") << app + "Exec=env LANG=C removed-editor\n"
                                                                   << true;
    QTest::newRow("env missing itself") << app + "Exec=/no/env LANG=C editor\n" << false;
    QTest::newRow("no exec") << app << false;
    QTest::newRow("no exec, started over the bus") << app + "DBusActivatable=true\n" << true;
    QTest::newRow("bus and a missing exec program") << app + "DBusActivatable=true\nExec=removed-editor\n" << false;
}

void TestBundleReaders::desktopEntryOpens()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, opens);
    FixtureTree tree;
    const QString file = tree.write(u"apps/editor.desktop"_qs, content);
    const DesktopEntryReader reader({{tree.path(u"apps"_qs)},
                                     {u"XFCE"_qs},
                                     [](const QString &program) {
                                         return QStringList{u"present-program"_qs, u"editor"_qs, u"env"_qs,
                                                            u"/opt/tool/bin/tool"_qs}
                                             .contains(program);
                                     }});
    QCOMPARE(reader.open(file).has_value(), opens);
}

void TestBundleReaders::desktopEntryBundle()
{
    FixtureTree tree;
    const QString file = tree.write(u"apps/vendor/fox.desktop"_qs, "[Desktop Entry]\nType=Application\n"
                                                                   "Name=Firefox\nName[zh_CN]=火狐\n"
                                                                   "Name[de]=Feuerfuchs\nName[fr.UTF-8]=Renard\n"
                                                                   "Exec=firefox %u\nIcon=firefox\n");
    const DesktopEntryReader reader({{tree.path(u"apps"_qs)}, {}, {}});
    const auto bundle = reader.open(file);
    QVERIFY(bundle);
    QCOMPARE(bundle->identifier, u"vendor-fox"_qs);
    QCOMPARE(bundle->path, file);
    QCOMPARE(bundle->infoDictionary, (QVariantMap{{u"CFBundleIdentifier"_qs, u"vendor-fox"_qs},
                                                  {u"CFBundleName"_qs, u"Firefox"_qs}}));
    const QMap<QString, QVariantMap> tables{
        {u"de.lproj"_qs, {{u"CFBundleName"_qs, u"Feuerfuchs"_qs}}},
        {u"fr.lproj"_qs, {{u"CFBundleName"_qs, u"Renard"_qs}}},
        {u"zh_CN.lproj"_qs, {{u"CFBundleName"_qs, u"火狐"_qs}}},
    };
    QCOMPARE(bundle->localizationTables, tables);

    // What the launcher and the icon code read again from the location.
    const auto entry = DesktopEntry::load(file);
    QVERIFY(entry);
    QCOMPARE(entry->exec(), std::optional<QString>(u"firefox %u"_qs));
    QCOMPARE(entry->icon(), std::optional<QString>(u"firefox"_qs));
    QCOMPARE(entry->workingDirectory(), std::nullopt);
    QCOMPARE(entry->terminal(), false);
}

void TestBundleReaders::masking_data()
{
    QTest::addColumn<QString>("firstRootFile"); // relative to the first root; empty: none
    QTest::addColumn<QByteArray>("firstRootContent");
    QTest::addColumn<bool>("laterOpens");

    const QByteArray app = "[Desktop Entry]\nType=Application\nName=Mine\n";
    QTest::newRow("nothing in the first root") << QString() << QByteArray() << true;
    QTest::newRow("another id in the first root") << u"other.desktop"_qs << app << true;
    QTest::newRow("hidden in the first root") << u"vendor-tool.desktop"_qs << app + "Hidden=true\n" << false;
    QTest::newRow("no display in the first root") << u"vendor-tool.desktop"_qs << app + "NoDisplay=true\n" << false;
    QTest::newRow("broken in the first root") << u"vendor-tool.desktop"_qs << QByteArray("\xFF\xFF") << false;
    QTest::newRow("same id from a sub-folder") << u"vendor/tool.desktop"_qs << app << false;
    QTest::newRow("a folder named like the entry") << u"vendor-tool.desktop/x"_qs << app << true;
}

void TestBundleReaders::masking()
{
    QFETCH(QString, firstRootFile);
    QFETCH(QByteArray, firstRootContent);
    QFETCH(bool, laterOpens);
    FixtureTree tree;
    tree.mkdir(u"first"_qs);
    if (!firstRootFile.isEmpty())
        tree.write(u"first/"_qs + firstRootFile, firstRootContent);
    const QString later = tree.desktopEntry(u"second/vendor-tool.desktop"_qs, u"Tool"_qs);
    const DesktopEntryReader reader({{tree.path(u"first"_qs), tree.path(u"second"_qs)}, {}, {}});
    QCOMPARE(reader.open(later).has_value(), laterOpens);
}

void TestBundleReaders::xmlPropertyList_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<QVariant>("expected");

    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC "
                            "\"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n";
    QVariantMap all{
        {u"CFBundleIdentifier"_qs, u"org.example.Tool"_qs},
        {u"Count"_qs, qint64(42)},
        {u"Scale"_qs, 1.5},
        {u"Yes"_qs, true},
        {u"No"_qs, false},
        {u"List"_qs, QVariantList{u"a"_qs, qint64(-1)}},
        {u"Nested"_qs, QVariantMap{{u"k"_qs, u"v & w"_qs}}},
        {u"When"_qs, QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC)},
        {u"Blob"_qs, QByteArray("hi")},
    };
    QTest::newRow("every kind of value")
        << head + "<plist version=\"1.0\"><dict>"
                  "<key>CFBundleIdentifier</key><string>org.example.Tool</string>"
                  "<key>Count</key><integer> 42 </integer>"
                  "<key>Scale</key><real>1.5</real>"
                  "<key>Yes</key><true/><key>No</key><false/>"
                  "<key>List</key><array><string>a</string><integer>-1</integer></array>"
                  "<key>Nested</key><dict><key>k</key><string>v &amp; w</string></dict>"
                  "<key>When</key><date>2024-05-06T07:08:09Z</date>"
                  "<key>Blob</key><data>\n aGk=\n</data>"
                  "</dict></plist>"
        << true << QVariant(all);
    QTest::newRow("empty dict") << QByteArray("<plist><dict/></plist>") << true << QVariant(QVariantMap{});
    QTest::newRow("top-level string") << QByteArray("<plist><string>x</string></plist>") << true
                                      << QVariant(u"x"_qs);
    QTest::newRow("value without a key") << QByteArray("<plist><dict><string>x</string></dict></plist>") << false
                                         << QVariant();
    QTest::newRow("key without a value") << QByteArray("<plist><dict><key>k</key></dict></plist>") << false
                                         << QVariant();
    QTest::newRow("bad integer") << QByteArray("<plist><integer>4x</integer></plist>") << false << QVariant();
    QTest::newRow("unknown element") << QByteArray("<plist><set/></plist>") << false << QVariant();
    QTest::newRow("not a property list") << QByteArray("<html><dict/></html>") << false << QVariant();
    QTest::newRow("unclosed") << QByteArray("<plist><dict><key>k</key><string>v") << false << QVariant();
    QTest::newRow("two top values") << QByteArray("<plist><dict/><dict/></plist>") << false << QVariant();
    QTest::newRow("binary property list") << QByteArray("bplist00\xd1\x01\x02", 11) << false << QVariant();
    QByteArray deep = "<plist>";
    for (int i = 0; i < 200; ++i)
        deep += "<array>";
    QTest::newRow("nested too deep") << deep << false << QVariant();
}

void TestBundleReaders::xmlPropertyList()
{
    QFETCH(QByteArray, xml);
    QFETCH(bool, readable);
    QFETCH(QVariant, expected);
    const auto value = PropertyList::parseXml(xml);
    QCOMPARE(value.has_value(), readable);
    if (value)
        QCOMPARE(*value, expected);
}

void TestBundleReaders::stringsTable_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<QVariantMap>("expected");

    const QString text = u"/* Localized versions of Info.plist keys */\n\n"
                         "\"CFBundleName\" = \"计算器\";\n"
                         "// the name under the icon\n"
                         "\"CFBundleDisplayName\" = \"计算器 Pro\";\n"_qs;
    const QVariantMap names{{u"CFBundleName"_qs, u"计算器"_qs}, {u"CFBundleDisplayName"_qs, u"计算器 Pro"_qs}};
    QTest::newRow("utf-8 with comments") << text.toUtf8() << true << names;
    QTest::newRow("utf-8 with byte order mark") << "\xEF\xBB\xBF" + text.toUtf8() << true << names;
    QTest::newRow("utf-16 little endian") << utf16(text, QStringConverter::Utf16LE) << true << names;
    QTest::newRow("utf-16 big endian") << utf16(text, QStringConverter::Utf16BE) << true << names;
    QTest::newRow("escapes") << QByteArray(R"("a" = "say \"hi\"\n\\ \U4E2D\101";)") << true
                             << QVariantMap{{u"a"_qs, u"say \"hi\"\n\\ 中A"_qs}};
    QTest::newRow("bare words and a lone key") << QByteArray("CFBundleName = Calc;\n\"Same\";") << true
                                               << QVariantMap{{u"CFBundleName"_qs, u"Calc"_qs},
                                                              {u"Same"_qs, u"Same"_qs}};
    QTest::newRow("empty file") << QByteArray() << true << QVariantMap{};
    QTest::newRow("comments only") << QByteArray("/* nothing */ // here") << true << QVariantMap{};
    QTest::newRow("missing semicolon") << QByteArray("\"a\" = \"b\"") << false << QVariantMap{};
    QTest::newRow("missing value") << QByteArray("\"a\" = ;") << false << QVariantMap{};
    QTest::newRow("unterminated string") << QByteArray("\"a\" = \"b;") << false << QVariantMap{};
    QTest::newRow("unterminated comment") << QByteArray("\"a\" = \"b\"; /* oops") << false << QVariantMap{};
    QTest::newRow("invalid utf-8") << QByteArray("\"a\" = \"\xFF\";") << false << QVariantMap{};
    QTest::newRow("written as a property list")
        << QByteArray("<?xml version=\"1.0\"?><plist><dict><key>CFBundleName</key><string>Calc</string></dict>"
                      "</plist>")
        << true << QVariantMap{{u"CFBundleName"_qs, u"Calc"_qs}};
}

void TestBundleReaders::stringsTable()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, readable);
    QFETCH(QVariantMap, expected);
    const auto table = PropertyList::parseStrings(bytes);
    QCOMPARE(table.has_value(), readable);
    if (table)
        QCOMPARE(*table, expected);
}

void TestBundleReaders::appBundle()
{
    FixtureTree tree;
    const QString app = tree.appBundle(
        u"Applications/Calculator.app"_qs,
        {{u"CFBundleIdentifier"_qs, u"com.example.calculator"_qs}, {u"CFBundleName"_qs, u"Calculator"_qs}},
        {{u"zh_CN.lproj"_qs, QString(u"\"CFBundleDisplayName\" = \"计算器\";"_qs).toUtf8()},
         {u"de.lproj"_qs, utf16(u"\"CFBundleName\" = \"Rechner\";"_qs, QStringConverter::Utf16LE)},
         {u"broken.lproj"_qs, QByteArray("\"CFBundleName\" = ")},
         {u".lproj"_qs, QByteArray("\"CFBundleName\" = \"Dot\";")},
         {u"fr.LPROJ"_qs, QByteArray("\"CFBundleName\" = \"Calculatrice\";")}});
    tree.mkdir(u"Applications/Calculator.app/Contents/Resources/Base.lproj"_qs);
    tree.write(u"Applications/Calculator.app/Contents/Resources/notes.txt"_qs, "x");

    const auto bundle = AppBundleReader().open(app);
    QVERIFY(bundle);
    QCOMPARE(bundle->identifier, u"com.example.calculator"_qs);
    QCOMPARE(bundle->infoDictionary.value(u"CFBundleName"_qs), QVariant(u"Calculator"_qs));
    const QMap<QString, QVariantMap> tables{
        {u".lproj"_qs, {{u"CFBundleName"_qs, u"Dot"_qs}}},
        {u"de.lproj"_qs, {{u"CFBundleName"_qs, u"Rechner"_qs}}},
        {u"zh_CN.lproj"_qs, {{u"CFBundleDisplayName"_qs, u"计算器"_qs}}},
    };
    QCOMPARE(bundle->localizationTables, tables);

    // A folder without a readable Info.plist still opens, with no identifier; a file does not open.
    tree.mkdir(u"Applications/Empty.app"_qs);
    const auto empty = AppBundleReader().open(tree.path(u"Applications/Empty.app"_qs));
    QVERIFY(empty);
    QCOMPARE(empty->identifier, QString());
    tree.write(u"Applications/Flat.app"_qs, "not a folder");
    QVERIFY(!AppBundleReader().open(tree.path(u"Applications/Flat.app"_qs)));
    QVERIFY(!AppBundleReader().open(tree.path(u"Applications/Missing.app"_qs)));

    // An identifier that is not a string is no identifier.
    tree.write(u"Applications/Odd.app/Contents/Info.plist"_qs,
               "<plist><dict><key>CFBundleIdentifier</key><integer>7</integer></dict></plist>");
    QCOMPARE(AppBundleReader().open(tree.path(u"Applications/Odd.app"_qs))->identifier, QString());
}

void TestBundleReaders::portableReaderPicksBySuffix()
{
    FixtureTree tree;
    const QString entry = tree.desktopEntry(u"apps/tool.desktop"_qs, u"Tool"_qs);
    const QString app = tree.appBundle(u"apps/Tool.app"_qs, {{u"CFBundleIdentifier"_qs, u"com.example.tool"_qs}});
    const PortableBundleReader reader({{tree.path(u"apps"_qs)}, {}, {}});
    QCOMPARE(reader.open(entry)->identifier, u"tool"_qs);
    QCOMPARE(reader.open(app)->identifier, u"com.example.tool"_qs);
}

void TestBundleReaders::birthTime()
{
    FixtureTree tree;
    const QString file = tree.write(u"fresh.desktop"_qs, "x");
    const Instant before = Instants::fromDateTime(QDateTime::currentDateTimeUtc()) - 60s;
    // Some file systems keep no birth time; where one is kept it is this file's.
    if (const auto born = BundleReader::fileBirthTime(file))
        QVERIFY(*born > before);
    QVERIFY(!BundleReader::fileBirthTime(tree.path(u"missing.desktop"_qs)));
}

void TestBundleReaders::specialFilesAreNotRead_data()
{
    QTest::addColumn<QString>("pipe"); // made a named pipe, which no writer ever opens
    QTest::addColumn<QString>("opened");
    QTest::newRow("a desktop entry") << u"apps/pipe.desktop"_qs << u"apps/pipe.desktop"_qs;
    QTest::newRow("an Info.plist") << u"apps/Pipe.app/Contents/Info.plist"_qs << u"apps/Pipe.app"_qs;
    QTest::newRow("a strings table") << u"apps/Pipe.app/Contents/Resources/en.lproj/InfoPlist.strings"_qs
                                     << u"apps/Pipe.app"_qs;
}

void TestBundleReaders::specialFilesAreNotRead()
{
    // Reading a pipe would wait for a writer for good and stall the rebuild that asked.
    QFETCH(QString, pipe);
    QFETCH(QString, opened);
    FixtureTree tree;
    tree.mkdir(QFileInfo(tree.path(pipe)).path().sliced(tree.path().size() + 1));
    QCOMPARE(::mkfifo(QFile::encodeName(tree.path(pipe)).constData(), 0600), 0);
    const PortableBundleReader reader({{tree.path(u"apps"_qs)}, {}, {}});
    const auto bundle = reader.open(tree.path(opened));
    if (opened.endsWith(u".desktop")) {
        QVERIFY(!bundle);
        QVERIFY(!DesktopEntry::load(tree.path(pipe)));
    } else {
        QVERIFY(bundle);
        QVERIFY(bundle->infoDictionary.isEmpty());
        QVERIFY(bundle->localizationTables.isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestBundleReaders)
#include "tst_bundlereaders.moc"
