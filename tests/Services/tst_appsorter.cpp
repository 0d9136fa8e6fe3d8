#include "appsorter.h"
#include "pinyinmatcher.h"

#include "../support/applists.h"

#include <QTest>

#include <algorithm>
#include <cstring>
#include <optional>

using MetaMap = QHash<QString, AppMetaSnapshot>;
Q_DECLARE_METATYPE(MetaMap)

namespace {

Instant day(int n)
{
    return Instants::fromSecondsSince1970(1.7e9 + n * 86400.0);
}

using AppLists::app;
using AppLists::ids;
using AppLists::idsOf;

AppMetaSnapshot indexed(int sortIndex)
{
    AppMetaSnapshot s;
    s.sortIndex = sortIndex;
    return s;
}

AppMetaSnapshot firstSeen(Instant at)
{
    AppMetaSnapshot s;
    s.firstSeenAt = at;
    return s;
}

AppMetaSnapshot pinned(bool isPinned = true)
{
    AppMetaSnapshot s;
    s.isPinned = isPinned;
    return s;
}

// Apps named alike (equal under a case-insensitive comparison) with nothing else to tell them apart: more of them
// than a plain introsort leaves to insertion sort, so that an unstable sort shows.
QList<AppInfo> manyAlike()
{
    QList<AppInfo> apps;
    const QStringList spellings{u"Foo"_qs, u"foo"_qs, u"FOO"_qs, u"fOo"_qs};
    for (int i = 0; i < 40; ++i)
        apps.append(app(u"x%1"_qs.arg(i, 2, 10, QChar(u'0')), spellings[(i * 7) % 4]));
    return apps;
}

} // namespace

class TestAppSorter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void customSort_data();
    void customSort();
    void nameOrder_data();
    void nameOrder();
    void keyOrderMatchesCollator_data();
    void keyOrderMatchesCollator();
    void repeatedSortsFollowChangedInputs();
    void sortByArrayOrder_data();
    void sortByArrayOrder();
    void pinnedFirst_data();
    void pinnedFirst();
    void mergedOrder_data();
    void mergedOrder();
};

void TestAppSorter::customSort_data()
{
    QTest::addColumn<QList<AppInfo>>("apps");
    QTest::addColumn<MetaMap>("meta");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("index 0 beats no index, whatever the dates")
        << QList{app(u"a"_qs, u"Alpha"_qs, day(1)), app(u"b"_qs, u"Beta"_qs, day(9))} << MetaMap{{u"b"_qs, indexed(0)}}
        << ids(u"b a"_qs);
    QTest::newRow("smaller index first, against dates and names")
        << QList{app(u"a"_qs, u"Alpha"_qs, day(1)), app(u"b"_qs, u"Beta"_qs, day(9))}
        << MetaMap{{u"a"_qs, indexed(5)}, {u"b"_qs, indexed(2)}} << ids(u"b a"_qs);
    QTest::newRow("negative index still counts as an index")
        << QList{app(u"a"_qs, u"Alpha"_qs, day(1)), app(u"b"_qs, u"Beta"_qs, day(9))}
        << MetaMap{{u"a"_qs, indexed(0)}, {u"b"_qs, indexed(-1)}} << ids(u"b a"_qs);
    QTest::newRow("equal indices fall through to the dates")
        << QList{app(u"a"_qs, u"Alpha"_qs, day(9)), app(u"b"_qs, u"Beta"_qs, day(1))}
        << MetaMap{{u"a"_qs, indexed(3)}, {u"b"_qs, indexed(3)}} << ids(u"b a"_qs);
    QTest::newRow("equal indices and dates fall through to the names")
        << QList{app(u"b"_qs, u"Beta"_qs, day(1)), app(u"a"_qs, u"Alpha"_qs, day(1))}
        << MetaMap{{u"a"_qs, indexed(3)}, {u"b"_qs, indexed(3)}} << ids(u"a b"_qs);
    QTest::newRow("a snapshot without an index is no index")
        << QList{app(u"a"_qs, u"Alpha"_qs, day(1)), app(u"b"_qs, u"Beta"_qs, day(9))}
        << MetaMap{{u"a"_qs, pinned()}, {u"b"_qs, indexed(7)}} << ids(u"b a"_qs);
    QTest::newRow("earlier install date first, against names")
        << QList{app(u"a"_qs, u"Alpha"_qs, day(9)), app(u"b"_qs, u"Beta"_qs, day(1))} << MetaMap{}
        << ids(u"b a"_qs);
    QTest::newRow("no install date and no snapshot comes first")
        << QList{app(u"a"_qs, u"Alpha"_qs, day(1)), app(u"b"_qs, u"Beta"_qs)} << MetaMap{} << ids(u"b a"_qs);
    QTest::newRow("first-seen date stands in for a missing install date")
        << QList{app(u"a"_qs, u"Alpha"_qs, day(5)), app(u"b"_qs, u"Beta"_qs), app(u"c"_qs, u"Gamma"_qs)}
        << MetaMap{{u"b"_qs, firstSeen(day(7))}, {u"c"_qs, firstSeen(day(3))}} << ids(u"c a b"_qs);
    QTest::newRow("install date wins over first-seen date")
        << QList{app(u"a"_qs, u"Alpha"_qs, day(9)), app(u"b"_qs, u"Beta"_qs, day(5))}
        << MetaMap{{u"a"_qs, firstSeen(day(1))}} << ids(u"b a"_qs);
    QTest::newRow("app 2 before App 10 on equal dates")
        << QList{app(u"a"_qs, u"App 10"_qs, day(1)), app(u"b"_qs, u"app 2"_qs, day(1))} << MetaMap{}
        << ids(u"b a"_qs);
    QTest::newRow("Foo then foo keep their order")
        << QList{app(u"a"_qs, u"Foo"_qs, day(1)), app(u"b"_qs, u"foo"_qs, day(1))} << MetaMap{} << ids(u"a b"_qs);
    QTest::newRow("foo then Foo keep their order")
        << QList{app(u"a"_qs, u"foo"_qs, day(1)), app(u"b"_qs, u"Foo"_qs, day(1))} << MetaMap{} << ids(u"a b"_qs);
    const QList<AppInfo> alike = manyAlike();
    QTest::newRow("forty names alike keep their order") << alike << MetaMap{} << idsOf(alike);
}

void TestAppSorter::customSort()
{
    QFETCH(QList<AppInfo>, apps);
    QFETCH(MetaMap, meta);
    QFETCH(QStringList, expected);
    const QList<AppInfo> sorted = AppSorter::customSort(apps, meta);
    QCOMPARE(idsOf(sorted), expected);
    // The apps come back whole, not rebuilt from their identifiers.
    for (const AppInfo &a : sorted)
        QVERIFY(apps.contains(a));
}

void TestAppSorter::nameOrder_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("firstPrecedes");
    QTest::addColumn<bool>("secondPrecedes");

    QTest::newRow("digits compare by value") << u"app 2"_qs << u"App 10"_qs << true << false;
    QTest::newRow("case alone leaves names unordered") << u"Foo"_qs << u"foo"_qs << false << false;
    // Pinyin order puts a toned vowel before the bare one, and an acute is a tone mark.
    QTest::newRow("an accent still counts") << u"Café"_qs << u"Cafe"_qs << true << false;
    QTest::newRow("a decomposed accent equals the composed one") << u"Caf\u00e9"_qs << u"Cafe\u0301"_qs << false
                                                                << false;
    QTest::newRow("Han by pinyin, not by code point") << u"阿里"_qs << u"钉钉"_qs << true << false;
    QTest::newRow("Han by pinyin, further on") << u"钉钉"_qs << u"微信"_qs << true << false;
    // The Chinese tailoring puts the Han script ahead of Latin: pinyin does not interleave with Latin names.
    QTest::newRow("Han before Latin") << u"微信"_qs << u"Safari"_qs << true << false;
    QTest::newRow("a name equals itself") << u"Safari"_qs << u"Safari"_qs << false << false;
}

void TestAppSorter::nameOrder()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, firstPrecedes);
    QFETCH(bool, secondPrecedes);
    QCOMPARE(AppSorter::namePrecedes(first, second), firstPrecedes);
    QCOMPARE(AppSorter::namePrecedes(second, first), secondPrecedes);
}

void TestAppSorter::keyOrderMatchesCollator_data()
{
    QTest::addColumn<QStringList>("names");

    QTest::newRow("Latin and Han mixed") << QStringList{u"微信"_qs, u"Safari"_qs, u"QQ音乐"_qs, u"QQ 音乐"_qs,
                                                         u"阿里云盘"_qs, u"钉钉"_qs, u"WPS 文字"_qs, u"终端"_qs,
                                                         u"Zoom"_qs, u"爱奇艺"_qs, u"百度网盘"_qs, u"Ａ"_qs};
    QTest::newRow("digits by value") << QStringList{u"App 10"_qs, u"App 2"_qs, u"app 1"_qs, u"App 02"_qs,
                                                    u"App 100"_qs, u"App 9a"_qs, u"2048"_qs, u"App"_qs,
                                                    u"App 2.5"_qs, u"App 2.10"_qs};
    QTest::newRow("case and accents") << QStringList{u"foo"_qs, u"Foo"_qs, u"FOO"_qs, u"Café"_qs, u"Cafe"_qs,
                                                     u"Caf\u00e9"_qs, u"Cafe\u0301"_qs, u"cafe"_qs, u"Éclair"_qs};
    QTest::newRow("full-width and half-width")
        << QStringList{u"Ｗｅｃｈａｔ"_qs, u"Wechat"_qs, u"WeChat"_qs, u"１２３"_qs, u"123"_qs, u"（测试）"_qs,
                       u"(测试)"_qs, u"ｱﾌﾟﾘ"_qs, u"アプリ"_qs};
    QTest::newRow("empty and blank names") << QStringList{u""_qs, u" "_qs, u"a"_qs, u""_qs, u"\u3000"_qs,
                                                          u"微"_qs};
    QTest::newRow("equal names and prefixes") << QStringList{u"Notes"_qs, u"Notes"_qs, u"notes"_qs, u"Note"_qs,
                                                             u"Notes 2"_qs, u"笔记"_qs, u"笔记"_qs, u"笔记本"_qs};
    // Longer than the first buffer a key is made in.
    QTest::newRow("long names") << QStringList{QString(u"汉字Latin 12 "_qs).repeated(30),
                                               QString(u"汉字Latin 12 "_qs).repeated(30) + u"1"_qs,
                                               QString(u"汉字latin 12 "_qs).repeated(30), u"汉字"_qs};
}

void TestAppSorter::keyOrderMatchesCollator()
{
    QFETCH(QStringList, names);
    auto keyLess = [](const QByteArray &a, const QByteArray &b) {
        const qsizetype common = std::min(a.size(), b.size());
        const int byBytes = common == 0 ? 0 : std::memcmp(a.constData(), b.constData(), size_t(common));
        return byBytes != 0 ? byBytes < 0 : a.size() < b.size();
    };
    for (const QString &a : names) {
        for (const QString &b : names) {
            QVERIFY(!AppSorter::nameSortKey(a).isEmpty());
            QVERIFY2(keyLess(AppSorter::nameSortKey(a), AppSorter::nameSortKey(b)) == AppSorter::namePrecedes(a, b),
                     qPrintable(a + u" / "_qs + b));
        }
    }

    // Both sorts, with nothing but the names to go by, give the order of a stable sort by the collator itself; names
    // that compare equal keep their input order.
    QList<AppInfo> apps;
    for (qsizetype i = 0; i < names.size(); ++i)
        apps.append(app(u"id%1"_qs.arg(i), names[i], day(1)));
    QList<AppInfo> expected = apps;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const AppInfo &a, const AppInfo &b) { return AppSorter::namePrecedes(a.name, b.name); });
    QCOMPARE(idsOf(AppSorter::customSort(apps, {})), idsOf(expected));
    QCOMPARE(idsOf(AppSorter::sort(apps, {})), idsOf(expected));
    std::reverse(apps.begin(), apps.end());
    expected = apps;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const AppInfo &a, const AppInfo &b) { return AppSorter::namePrecedes(a.name, b.name); });
    QCOMPARE(idsOf(AppSorter::customSort(apps, {})), idsOf(expected));
}

// The same order asked for again is handed out again, but any change to the apps or their records shows at once.
void TestAppSorter::repeatedSortsFollowChangedInputs()
{
    QList<AppInfo> apps{app(u"a"_qs, u"Beta"_qs, day(1)), app(u"b"_qs, u"Alpha"_qs, day(1)),
                        app(u"c"_qs, u"Gamma"_qs, day(1))};
    MetaMap meta;
    QCOMPARE(idsOf(AppSorter::customSort(apps, meta)), ids(u"b a c"_qs));
    QCOMPARE(idsOf(AppSorter::customSort(apps, meta)), ids(u"b a c"_qs));

    apps[2].name = u"Aaron"_qs; // a rename
    QCOMPARE(idsOf(AppSorter::customSort(apps, meta)), ids(u"c b a"_qs));
    meta.insert(u"a"_qs, indexed(0)); // a record changes
    QCOMPARE(idsOf(AppSorter::customSort(apps, meta)), ids(u"a c b"_qs));
    meta[u"a"_qs].aliasName = u"别名"_qs; // an alias alone leaves the order
    QCOMPARE(idsOf(AppSorter::customSort(apps, meta)), ids(u"a c b"_qs));
    meta[u"a"_qs].sortIndex.reset();
    QCOMPARE(idsOf(AppSorter::customSort(apps, meta)), ids(u"c b a"_qs));
    QCOMPARE(idsOf(AppSorter::customSort(apps.mid(1), meta)), ids(u"c b"_qs)); // fewer apps

    // Equal apps with newly prepared search forms come back with those forms.
    QList<AppInfo> prepared = apps;
    PinyinMatcher::prepare(prepared);
    QVERIFY(prepared[0].searchForms);
    for (const AppInfo &a : AppSorter::customSort(prepared, meta))
        QVERIFY(a.searchForms);
    for (const AppInfo &a : AppSorter::customSort(apps, meta))
        QVERIFY(!a.searchForms);
}

void TestAppSorter::sortByArrayOrder_data()
{
    QTest::addColumn<QList<AppInfo>>("apps");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<QStringList>("expected");

    const QList<AppInfo> abc{app(u"C"_qs, u"Charlie"_qs), app(u"A"_qs, u"Alpha"_qs), app(u"B"_qs, u"Bravo"_qs)};
    QTest::newRow("a repeated id keeps its first place") << abc << ids(u"B A B"_qs) << ids(u"B A C"_qs);
    QTest::newRow("the list order wins over names") << abc << ids(u"C B A"_qs) << ids(u"C B A"_qs);
    QTest::newRow("apps missing from the list follow in name order")
        << QList{app(u"z"_qs, u"Zulu"_qs), app(u"b"_qs, u"Bravo"_qs), app(u"y"_qs, u"Tool 10"_qs),
                 app(u"x"_qs, u"tool 9"_qs)}
        << ids(u"b"_qs) << ids(u"b x y z"_qs);
    QTest::newRow("ids of absent apps are skipped") << abc << ids(u"Q A R"_qs) << ids(u"A B C"_qs);
    QTest::newRow("an empty list leaves name order") << abc << QStringList() << ids(u"A B C"_qs);
    const QList<AppInfo> alike = manyAlike();
    QTest::newRow("missing apps named alike keep their order") << alike << ids(u"none"_qs) << idsOf(alike);
    QTest::newRow("no apps") << QList<AppInfo>() << ids(u"A B"_qs) << QStringList();
}

void TestAppSorter::sortByArrayOrder()
{
    QFETCH(QList<AppInfo>, apps);
    QFETCH(QStringList, order);
    QFETCH(QStringList, expected);
    QCOMPARE(idsOf(AppSorter::sort(apps, order)), expected);
}

void TestAppSorter::pinnedFirst_data()
{
    QTest::addColumn<QList<AppInfo>>("apps");
    QTest::addColumn<MetaMap>("meta");
    QTest::addColumn<QStringList>("expected");

    // Names and dates against the input order, so that any sorting would show.
    const QList<AppInfo> four{app(u"d"_qs, u"Delta"_qs, day(4)), app(u"b"_qs, u"Bravo"_qs, day(2)),
                              app(u"c"_qs, u"Charlie"_qs, day(3)), app(u"a"_qs, u"Alpha"_qs, day(1))};
    QTest::newRow("no snapshots give the input back") << four << MetaMap{} << ids(u"d b c a"_qs);
    QTest::newRow("pinned ones move up in their order")
        << four << MetaMap{{u"c"_qs, pinned()}, {u"a"_qs, pinned()}} << ids(u"c a d b"_qs);
    QTest::newRow("a snapshot not pinned stays behind")
        << four << MetaMap{{u"a"_qs, pinned()}, {u"d"_qs, pinned(false)}} << ids(u"a d b c"_qs);
    QTest::newRow("all pinned give the input back")
        << four << MetaMap{{u"a"_qs, pinned()}, {u"b"_qs, pinned()}, {u"c"_qs, pinned()}, {u"d"_qs, pinned()}}
        << ids(u"d b c a"_qs);
}

void TestAppSorter::pinnedFirst()
{
    QFETCH(QList<AppInfo>, apps);
    QFETCH(MetaMap, meta);
    QFETCH(QStringList, expected);
    QCOMPARE(idsOf(AppSorter::pinnedFirst(apps, meta)), expected);
}

void TestAppSorter::mergedOrder_data()
{
    QTest::addColumn<QStringList>("all");
    QTest::addColumn<QStringList>("visibleReordered");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("visible pair swapped in place") << ids(u"a b c d"_qs) << ids(u"d b"_qs) << ids(u"a d c b"_qs);
    QTest::newRow("a new id goes last") << ids(u"a b c d"_qs) << ids(u"d b e"_qs) << ids(u"a d c b e"_qs);
    QTest::newRow("a repeat finds the queue empty") << ids(u"a b b"_qs) << ids(u"b"_qs) << ids(u"a b"_qs);
    QTest::newRow("the same order changes nothing") << ids(u"a b c"_qs) << ids(u"a c"_qs) << ids(u"a b c"_qs);
    QTest::newRow("nothing visible keeps all") << ids(u"a b c"_qs) << QStringList() << ids(u"a b c"_qs);
    QTest::newRow("an empty full order takes the visible ones") << QStringList() << ids(u"b a"_qs)
                                                               << ids(u"b a"_qs);
    QTest::newRow("hidden ones keep their places") << ids(u"h1 a h2 b h3 c"_qs) << ids(u"c a b"_qs)
                                                  << ids(u"h1 c h2 a h3 b"_qs);
}

void TestAppSorter::mergedOrder()
{
    QFETCH(QStringList, all);
    QFETCH(QStringList, visibleReordered);
    QFETCH(QStringList, expected);
    QCOMPARE(AppSorter::mergedOrder(all, visibleReordered), expected);
}

QTEST_GUILESS_MAIN(TestAppSorter)
#include "tst_appsorter.moc"
