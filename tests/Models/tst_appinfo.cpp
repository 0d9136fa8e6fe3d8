#include "appinfo.h"

#include <QDir>
#include <QTest>

namespace {

const QString home = u"/home/u"_qs;

// "id:path id:path ..."; "~" stands for the home folder. Each entry's name is its position, so a test can tell
// which of two finds of one app was kept.
QList<AppInfo> finds(const QString &list)
{
    QList<AppInfo> out;
    for (const auto &entry : list.split(u' ', Qt::SkipEmptyParts)) {
        const auto colon = entry.indexOf(u':');
        QString path = entry.mid(colon + 1);
        if (path.startsWith(u'~'))
            path = home + path.mid(1);
        out.append(
            AppInfo{entry.left(colon), QString::number(out.size()), QUrl::fromLocalFile(path), std::nullopt, {}});
    }
    return out;
}

AppInfo app(const QString &path)
{
    return AppInfo{u"x"_qs, u"X"_qs, QUrl::fromLocalFile(path), std::nullopt, {}};
}

} // namespace

class TestAppInfo : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void merge_data();
    void merge();
    void mergeUsesTheUsersHomeFolder();
    void nesting_data();
    void nesting();
    void equality_data();
    void equality();
    void hashSeparatesFields_data();
    void hashSeparatesFields();
};

void TestAppInfo::merge_data()
{
    QTest::addColumn<QString>("found");
    QTest::addColumn<QList<int>>("kept"); // positions in `found`, in result order

    QTest::newRow("home folder then /Applications") << "x:~/Applications/X.app x:/Applications/X.app" << QList<int>{1};
    QTest::newRow("/Applications then home folder") << "x:/Applications/X.app x:~/Applications/X.app" << QList<int>{0};
    QTest::newRow("system apps lose to the home folder")
        << "x:/System/Applications/X.app x:~/Applications/X.app" << QList<int>{1};
    QTest::newRow("two finds elsewhere keep the first") << "x:/opt/X.app x:/usr/X.app" << QList<int>{0};
    QTest::newRow("system apps rank with everything else")
        << "x:/opt/X.app x:/System/Applications/X.app" << QList<int>{0};
    QTest::newRow("lower-case applications folder ranks with everything else")
        << "x:/opt/X.app x:/applications/X.app" << QList<int>{0};
    QTest::newRow("a folder merely named like Applications ranks with everything else")
        << "x:/opt/X.app x:/ApplicationsOld/X.app" << QList<int>{0};
    QTest::newRow("home folder without its Applications folder ranks with everything else")
        << "x:/opt/X.app x:~/X.app" << QList<int>{0};
    QTest::newRow("home Applications folder is case-sensitive")
        << "x:/opt/X.app x:~/applications/X.app" << QList<int>{0};
    QTest::newRow("equal ranks at /Applications keep the first")
        << "x:/Applications/X.app x:/Applications/Other/X.app" << QList<int>{0};
    QTest::newRow("a better find takes the place of the first")
        << "b:/opt/B.app a:/opt/A.app b:/Applications/B.app" << QList<int>{2, 1};
    QTest::newRow("first appearance order") << "c:/opt/C.app a:/opt/A.app b:/opt/B.app" << QList<int>{0, 1, 2};
    QTest::newRow("empty identifiers are dropped") << ":/Applications/A.app a:/opt/A.app :/opt/B.app"
                                                   << QList<int>{1};
    QTest::newRow("only empty identifiers") << ":/Applications/A.app :/opt/B.app" << QList<int>{};
    QTest::newRow("nothing found") << "" << QList<int>{};
}

void TestAppInfo::merge()
{
    QFETCH(QString, found);
    QFETCH(QList<int>, kept);
    const auto input = finds(found);
    QList<AppInfo> expected;
    for (int i : kept)
        expected.append(input[i]);
    QCOMPARE(AppInfo::merge(input, home), expected);
}

void TestAppInfo::mergeUsesTheUsersHomeFolder()
{
    const QList<AppInfo> input{app(u"/opt/X.app"_qs), app(QDir::homePath() + u"/Applications/X.app"_qs)};
    QCOMPARE(AppInfo::merge(input), QList<AppInfo>{input[1]});
}

void TestAppInfo::nesting_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("nested");
    QTest::newRow("an app in /Applications") << "/Applications/Foo.app" << false;
    QTest::newRow("an app inside another's bundle") << "/Applications/Foo.app/Contents/Library/Bar.app" << true;
    QTest::newRow("upper-case suffix is no bundle") << "/Applications/Foo.APP/Contents/Bar.app" << false;
    QTest::newRow("any earlier component counts") << "/Volumes/Tools.app/Z.app" << true;
    QTest::newRow("an outer bundle alone") << "/Volumes/Tools.app/Z" << true;
    QTest::newRow("only the last component is a bundle") << "/Foo.app" << false;
    QTest::newRow("a trailing slash adds no component") << "/Applications/Foo.app/" << false;
    QTest::newRow("a suffix in the middle of a name") << "/opt/Foo.app.bak/Bar.app" << false;
    QTest::newRow("the root alone") << "/" << false;
    QTest::newRow("a desktop entry") << "/usr/share/applications/foo.desktop" << false;
}

void TestAppInfo::nesting()
{
    QFETCH(QString, path);
    QFETCH(bool, nested);
    QCOMPARE(app(path).isNestedInsideAppBundle(), nested);
}

void TestAppInfo::equality_data()
{
    const AppInfo base{u"com.example.a"_qs, u"A"_qs, QUrl::fromLocalFile(u"/Applications/A.app"_qs),
                       Instants::fromSecondsSince1970(1700000000.5), {u"甲"_qs, u"Alpha"_qs}};
    QTest::addColumn<AppInfo>("other");
    QTest::addColumn<bool>("equal");

    QTest::newRow("same fields") << base << true;
    AppInfo v = base;
    v.aliases = {u"甲"_qs};
    QTest::newRow("other aliases, same id") << v << false;
    v = base;
    v.aliases = {u"Alpha"_qs, u"甲"_qs};
    QTest::newRow("aliases in another order") << v << false;
    v = AppInfo{base.bundleID, u"B"_qs, base.url, base.installedAt, base.aliases};
    QTest::newRow("other name") << v << false;
    v = AppInfo{base.bundleID, base.name, QUrl::fromLocalFile(u"/opt/A.app"_qs), base.installedAt, base.aliases};
    QTest::newRow("other location") << v << false;
    v = AppInfo{base.bundleID, base.name, base.url, Instants::fromSecondsSince1970(1700000000.25), base.aliases};
    QTest::newRow("other install date") << v << false;
    v = AppInfo{base.bundleID, base.name, base.url, std::nullopt, base.aliases};
    QTest::newRow("no install date") << v << false;
}

void TestAppInfo::equality()
{
    const AppInfo base{u"com.example.a"_qs, u"A"_qs, QUrl::fromLocalFile(u"/Applications/A.app"_qs),
                       Instants::fromSecondsSince1970(1700000000.5), {u"甲"_qs, u"Alpha"_qs}};
    QFETCH(AppInfo, other);
    QFETCH(bool, equal);
    QCOMPARE(other.id(), base.id());
    QCOMPARE(other == base, equal);
    if (equal)
        QCOMPARE(qHash(other, 7), qHash(base, 7));
}

void TestAppInfo::hashSeparatesFields_data()
{
    const QUrl url = QUrl::fromLocalFile(u"/Applications/A.app"_qs);
    QTest::addColumn<AppInfo>("a");
    QTest::addColumn<AppInfo>("b");
    QTest::newRow("no install date and the 1970 epoch")
        << AppInfo{u"a"_qs, u"A"_qs, url, std::nullopt, {}} << AppInfo{u"a"_qs, u"A"_qs, url, Instant{}, {}};
    QTest::newRow("one alias and two that spell the same")
        << AppInfo{u"a"_qs, u"A"_qs, url, std::nullopt, {u"xy"_qs}}
        << AppInfo{u"a"_qs, u"A"_qs, url, std::nullopt, {u"x"_qs, u"y"_qs}};
}

void TestAppInfo::hashSeparatesFields()
{
    QFETCH(AppInfo, a);
    QFETCH(AppInfo, b);
    QVERIFY(a != b);
    QVERIFY(qHash(a, 11) != qHash(b, 11));
}

QTEST_GUILESS_MAIN(TestAppInfo)
#include "tst_appinfo.moc"
