#include "appsearchdeeplink.h"
#include "fake/memorypreferences.h"

#include <QJsonArray>
#include <QTest>

class TestAppSearchDeepLink : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void linksKeepTheirExactText_data();
    void linksKeepTheirExactText();
    void launchPanelOffersFiveOfTheSix();
    void choiceIsKeptAsAList_data();
    void choiceIsKeptAsAList();
};

void TestAppSearchDeepLink::linksKeepTheirExactText_data()
{
    QTest::addColumn<QString>("bundleID");
    QTest::addColumn<QString>("expected"); // empty: no link
    QTest::newRow("xhs discover") << u"com.xingin.discover"_qs << u"xhsdiscover://search/result?keyword=%20"_qs;
    QTest::newRow("xhs") << u"com.xingin.xhs"_qs << u"xhsdiscover://search/result?keyword=%20"_qs;
    QTest::newRow("bilibili HD") << u"tv.danmaku.bilibilihd"_qs << u"bilibili://search?keyword=%20"_qs;
    QTest::newRow("bilibili anime") << u"tv.danmaku.bilianime"_qs << u"bilibili://search?keyword=%20"_qs;
    QTest::newRow("bilibili") << u"tv.danmaku.bili"_qs << u"bilibili://search?keyword=%20"_qs;
    QTest::newRow("douyin") << u"com.ss.iphone.ugc.Aweme"_qs << u"snssdk1128://search?keyword=%20"_qs;
    QTest::newRow("an app without a search page") << u"org.example.Editor"_qs << QString();
    QTest::newRow("a near miss of an identifier") << u"tv.danmaku.bili2"_qs << QString();
}

void TestAppSearchDeepLink::linksKeepTheirExactText()
{
    QFETCH(QString, bundleID);
    QFETCH(QString, expected);
    const auto url = AppSearchDeepLink::url(bundleID);
    QCOMPARE(url.has_value(), !expected.isEmpty());
    if (!url)
        return;
    QVERIFY(url->isValid());
    QCOMPARE(QString::fromLatin1(url->toEncoded()), expected);
    QCOMPARE(url->query(QUrl::FullyEncoded), u"keyword=%20"_qs);
    QCOMPARE(QUrl::fromEncoded(url->toEncoded()).toEncoded(), url->toEncoded()); // survives another hand-over
}

void TestAppSearchDeepLink::launchPanelOffersFiveOfTheSix()
{
    QStringList inTable;
    for (const auto &link : AppSearchDeepLink::links())
        inTable.append(link.bundleID);
    QCOMPARE(inTable, (QStringList{u"com.xingin.discover"_qs, u"com.xingin.xhs"_qs, u"tv.danmaku.bilibilihd"_qs,
                                   u"tv.danmaku.bilianime"_qs, u"tv.danmaku.bili"_qs, u"com.ss.iphone.ugc.Aweme"_qs}));
    const QSet<QString> expected = {u"com.xingin.discover"_qs, u"com.xingin.xhs"_qs, u"tv.danmaku.bilibilihd"_qs,
                                    u"tv.danmaku.bilianime"_qs, u"tv.danmaku.bili"_qs};
    QCOMPARE(AppSearchDeepLink::launchPanelBundleIDs(), expected);
}

void TestAppSearchDeepLink::choiceIsKeptAsAList_data()
{
    QTest::addColumn<QJsonValue>("stored"); // undefined: no value
    QTest::addColumn<QStringList>("steps");  // "+id" enables, "-id" disables
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("enabling twice keeps one entry, in order")
        << QJsonValue(QJsonValue::Undefined) << QStringList{u"+a"_qs, u"+b"_qs, u"+a"_qs}
        << QStringList{u"a"_qs, u"b"_qs};
    QTest::newRow("disabling removes every copy")
        << QJsonValue(QJsonArray{u"a"_qs, u"b"_qs, u"a"_qs, u"c"_qs, u"a"_qs}) << QStringList{u"-a"_qs}
        << QStringList{u"b"_qs, u"c"_qs};
    QTest::newRow("disabling an app not listed keeps the rest") << QJsonValue(QJsonArray{u"b"_qs})
                                                              << QStringList{u"-a"_qs} << QStringList{u"b"_qs};
    QTest::newRow("disabling with no value writes an empty list")
        << QJsonValue(QJsonValue::Undefined) << QStringList{u"-a"_qs} << QStringList{};
    QTest::newRow("a text where the list belongs counts as empty")
        << QJsonValue(u"a"_qs) << QStringList{u"+b"_qs} << QStringList{u"b"_qs};
    QTest::newRow("a list with a number counts as empty")
        << QJsonValue(QJsonArray{u"a"_qs, 1}) << QStringList{u"+b"_qs} << QStringList{u"b"_qs};
}

void TestAppSearchDeepLink::choiceIsKeptAsAList()
{
    QFETCH(QJsonValue, stored);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, expected);
    MemoryPreferences prefs;
    const QString key = AppSearchDeepLink::enabledBundleIDsKey.toString();
    QCOMPARE(key, u"searchPageEnabledBundleIDs"_qs);
    if (!stored.isUndefined())
        prefs.setValue(key, stored);
    AppSearchDeepLink links(prefs);
    for (const auto &step : steps)
        links.setEnabled(step.startsWith(u'+'), step.mid(1));
    QCOMPARE(prefs.stringList(key), std::optional(expected));
    for (const auto &id : {u"a"_qs, u"b"_qs, u"c"_qs})
        QCOMPARE(links.isEnabled(id), expected.contains(id));
}

QTEST_GUILESS_MAIN(TestAppSearchDeepLink)
#include "tst_appsearchdeeplink.moc"
