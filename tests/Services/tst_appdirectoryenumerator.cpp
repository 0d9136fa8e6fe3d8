#include "../support/fixturetree.h"

#include "appdirectoryenumerator.h"
#include "portablebundlereader.h"

#include <QTest>

// The walk of the application folders and the names of what it finds.
class TestAppDirectoryEnumerator : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void walksTwoLevelsInNameOrder();
    void displayName_data();
    void displayName();
    void removingBundleSuffix_data();
    void removingBundleSuffix();
};

namespace {

using Tables = QMap<QString, QVariantMap>;

QStringList described(const QList<AppDirectoryEnumerator::Found> &found, const QString &base)
{
    QStringList out;
    for (const auto &f : found)
        out << f.bundleID + u' ' + f.url.toLocalFile().sliced(base.size() + 1);
    return out;
}

} // namespace

void TestAppDirectoryEnumerator::walksTwoLevelsInNameOrder()
{
    FixtureTree tree;
    const auto app = [&](const QString &relative, const QString &id) {
        tree.appBundle(relative, {{u"CFBundleIdentifier"_qs, id}});
    };
    app(u"one/Zed.app"_qs, u"com.example.zed"_qs);
    app(u"one/Alpha.app"_qs, u"com.example.alpha"_qs);
    app(u"one/Utilities/Terminal.app"_qs, u"com.example.terminal"_qs);
    app(u"one/A/B/C.app"_qs, u"com.example.c"_qs);           // three levels: only the search finds it
    app(u"one/.Hidden.app"_qs, u"com.example.hidden"_qs);
    app(u"one/Tools/.Secret.app"_qs, u"com.example.secret"_qs);
    app(u"one/.Stash/Kept.app"_qs, u"com.example.kept"_qs);   // inside a hidden folder
    app(u"one/Outer.app/Contents/Inner.app"_qs, u"com.example.inner"_qs); // a bundle is never entered
    app(u"one/Outer.app"_qs, u"com.example.outer"_qs);
    tree.mkdir(u"one/NoInfo.app"_qs);                         // opens, but has no identifier
    tree.write(u"one/Flat.app"_qs, "a file, not a bundle");
    tree.write(u"one/notes.txt"_qs, "x");
    tree.mkdir(u"one/Utilities/Sub.app.d"_qs);
    tree.desktopEntry(u"one/files.desktop"_qs, u"Files"_qs);
    tree.desktopEntry(u"one/kde/dolphin.desktop"_qs, u"Dolphin"_qs);
    tree.desktopEntry(u"one/kde/hidden.desktop"_qs, u"Gone"_qs, u"Hidden=true"_qs);
    app(u"two/Alpha.app"_qs, u"com.example.alpha"_qs);        // the same app again: kept for the merge
    QVERIFY(QFile::link(tree.path(u"one/Utilities"_qs), tree.path(u"two/Linked"_qs)));

    const PortableBundleReader reader({{tree.path(u"one"_qs), tree.path(u"two"_qs)}, {}, {}});
    const auto found = AppDirectoryEnumerator(reader).enumerate(
        {tree.path(u"one"_qs), tree.path(u"missing"_qs), tree.path(u"two"_qs)});
    QCOMPARE(described(found, tree.path()), (QStringList{
                                                u"com.example.alpha one/Alpha.app"_qs,
                                                u"com.example.outer one/Outer.app"_qs,
                                                u"com.example.terminal one/Utilities/Terminal.app"_qs,
                                                u"com.example.zed one/Zed.app"_qs,
                                                u"files one/files.desktop"_qs,
                                                u"kde-dolphin one/kde/dolphin.desktop"_qs,
                                                u"com.example.alpha two/Alpha.app"_qs,
                                                u"com.example.terminal two/Linked/Terminal.app"_qs,
                                            }));
}

void TestAppDirectoryEnumerator::displayName_data()
{
    QTest::addColumn<Tables>("tables");
    QTest::addColumn<QVariantMap>("info");
    QTest::addColumn<QStringList>("languages");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");

    const auto name = [](const QString &n) { return QVariantMap{{u"CFBundleName"_qs, n}}; };
    const auto shown = [](const QString &n) { return QVariantMap{{u"CFBundleDisplayName"_qs, n}}; };
    const QVariantMap noInfo;
    const QString path = u"/apps/draw.io.app"_qs;
    const QStringList enUS{u"en_US"_qs};

    // en_US tries en-US, en_US, en, en: each row leaves out the key the one before matched.
    const Tables en{{u"en-US.lproj"_qs, name(u"dash"_qs)}, {u"en_US.lproj"_qs, name(u"underscore"_qs)},
                    {u"en.lproj"_qs, name(u"language"_qs)}};
    QTest::newRow("en_US tries en-US first") << en << noInfo << enUS << path << u"dash"_qs;
    Tables noDash = en;
    noDash.remove(u"en-US.lproj"_qs);
    QTest::newRow("then en_US") << noDash << noInfo << enUS << path << u"underscore"_qs;
    Tables languageOnly = noDash;
    languageOnly.remove(u"en_US.lproj"_qs);
    QTest::newRow("then en") << languageOnly << noInfo << enUS << path << u"language"_qs;
    QTest::newRow("zh-Hans-CN drops to zh_Hans")
        << Tables{{u"zh_Hans.lproj"_qs, name(u"简体"_qs)}, {u"zh.lproj"_qs, name(u"中文"_qs)}} << noInfo
        << QStringList{u"zh-Hans-CN"_qs} << path << u"简体"_qs;
    QTest::newRow("zh-Hans-CN never matches zh_CN")
        << Tables{{u"zh_CN.lproj"_qs, name(u"中国"_qs)}} << name(u"Draw"_qs) << QStringList{u"zh-Hans-CN"_qs}
        << path << u"Draw"_qs;
    QTest::newRow("zh-CN matches zh_CN") << Tables{{u"zh_CN.lproj"_qs, name(u"中国"_qs)}} << noInfo
                                         << QStringList{u"zh-CN"_qs, u"zh-Hans-CN"_qs, u"zh"_qs} << path
                                         << u"中国"_qs;
    QTest::newRow("second language when the first has nothing")
        << Tables{{u"de.lproj"_qs, name(u"Zeichnen"_qs)}} << noInfo << QStringList{u"fr-FR"_qs, u"de-AT"_qs}
        << path << u"Zeichnen"_qs;
    QTest::newRow("first language wins over a better match later")
        << Tables{{u"en.lproj"_qs, name(u"English"_qs)}, {u"de-AT.lproj"_qs, name(u"Österreich"_qs)}} << noInfo
        << QStringList{u"en-GB"_qs, u"de-AT"_qs} << path << u"English"_qs;
    QTest::newRow("display name before name")
        << Tables{{u"en.lproj"_qs, QVariantMap{{u"CFBundleName"_qs, u"N"_qs}, {u"CFBundleDisplayName"_qs, u"D"_qs}}}}
        << noInfo << QStringList{u"en"_qs} << path << u"D"_qs;
    QTest::newRow("blank display name leaves the folder out")
        << Tables{{u"en.lproj"_qs, QVariantMap{{u"CFBundleName"_qs, u"N"_qs}, {u"CFBundleDisplayName"_qs, u" \t"_qs}}}}
        << name(u"Info"_qs) << QStringList{u"en"_qs} << path << u"Info"_qs;
    QTest::newRow("display name of another type falls to the name")
        << Tables{{u"en.lproj"_qs, QVariantMap{{u"CFBundleName"_qs, u"N"_qs}, {u"CFBundleDisplayName"_qs, 3}}}}
        << noInfo << QStringList{u"en"_qs} << path << u"N"_qs;
    QTest::newRow("table names trimmed of spaces and tabs")
        << Tables{{u"en.lproj"_qs, name(u"\t Draw\u00A0"_qs)}} << noInfo << QStringList{u"en"_qs} << path
        << u"Draw"_qs;
    QTest::newRow("line breaks are not trimmed") << Tables{{u"en.lproj"_qs, name(u"Draw\n"_qs)}} << noInfo
                                                 << QStringList{u"en"_qs} << path << u"Draw\n"_qs;
    QTest::newRow("lproj suffix is case-sensitive") << Tables{{u"en.LPROJ"_qs, name(u"Upper"_qs)}} << noInfo
                                                    << QStringList{u"en"_qs} << path << u"draw.io"_qs;
    QTest::newRow("info display name untrimmed")
        << Tables{} << QVariantMap{{u"CFBundleDisplayName"_qs, u" Draw "_qs}, {u"CFBundleName"_qs, u"N"_qs}}
        << enUS << path << u" Draw "_qs;
    QTest::newRow("info display name even when empty")
        << Tables{} << QVariantMap{{u"CFBundleDisplayName"_qs, u""_qs}, {u"CFBundleName"_qs, u"N"_qs}} << enUS
        << path << QString();
    QTest::newRow("info name") << Tables{} << name(u"Draw"_qs) << enUS << path << u"Draw"_qs;
    QTest::newRow("info name of another type") << Tables{} << QVariantMap{{u"CFBundleName"_qs, true}} << enUS
                                               << path << u"draw.io"_qs;
    QTest::newRow("file name keeps inner dots") << Tables{} << noInfo << enUS << path << u"draw.io"_qs;
    QTest::newRow("file name of a desktop entry") << Tables{} << noInfo << enUS
                                                  << u"/apps/org.gnome.Files.desktop"_qs << u"org.gnome.Files"_qs;
    QTest::newRow("no languages") << en << shown(u"Info"_qs) << QStringList{} << path << u"Info"_qs;
    QTest::newRow("empty language parts dropped") << languageOnly << noInfo << QStringList{u"-en--"_qs} << path
                                                  << u"language"_qs;
}

void TestAppDirectoryEnumerator::displayName()
{
    QFETCH(Tables, tables);
    QFETCH(QVariantMap, info);
    QFETCH(QStringList, languages);
    QFETCH(QString, path);
    QFETCH(QString, expected);
    Bundle bundle;
    bundle.path = path;
    bundle.infoDictionary = info;
    bundle.localizationTables = tables;
    const QString name = AppDirectoryEnumerator::displayName(bundle, path, languages);
    QCOMPARE(name, expected);
}

void TestAppDirectoryEnumerator::removingBundleSuffix_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("app suffix") << u"Safari.app"_qs << u"Safari"_qs;
    QTest::newRow("desktop suffix") << u"Files.desktop"_qs << u"Files"_qs;
    QTest::newRow("dotted name stays") << u"draw.io"_qs << u"draw.io"_qs;
    QTest::newRow("dotted name with suffix") << u"draw.io.app"_qs << u"draw.io"_qs;
    QTest::newRow("version number stays") << u"Xcode 15.2"_qs << u"Xcode 15.2"_qs;
    QTest::newRow("js stays") << u"Node.js"_qs << u"Node.js"_qs;
    QTest::newRow("suffix is case-sensitive") << u"Tool.APP"_qs << u"Tool.APP"_qs;
    QTest::newRow("suffix alone stays") << u".app"_qs << u".app"_qs;
}

void TestAppDirectoryEnumerator::removingBundleSuffix()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(AppDirectoryEnumerator::removingBundleSuffix(name), expected);
}

QTEST_GUILESS_MAIN(TestAppDirectoryEnumerator)
#include "tst_appdirectoryenumerator.moc"
