#include "pinyinmatcher.h"

#include "../support/applists.h"

#include <QTest>

using ExtraNameMap = QHash<QString, QStringList>;
Q_DECLARE_METATYPE(ExtraNameMap)

namespace {

AppInfo app(const QString &id, const QString &name, const QStringList &aliases = {})
{
    return AppLists::app(id, name, std::nullopt, aliases);
}

using AppLists::ids;
using AppLists::idsOf;

// A small catalogue in which each app is found in one way only.
QList<AppInfo> catalogue()
{
    return {
        app(u"vscode"_qs, u"Visual Studio Code"_qs),
        app(u"wechat"_qs, u"微信"_qs, {u"WeChat"_qs}),
        app(u"netease"_qs, u"网易云音乐"_qs, {u"NetEase Music"_qs}),
        app(u"qqmusic"_qs, u"QQ音乐"_qs),
        app(u"safari"_qs, u"Safari"_qs),
        app(u"music"_qs, u"Music"_qs),
        app(u"applemusic"_qs, u"Apple Music"_qs),
    };
}

} // namespace

class TestPinyinMatcher : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void pinyin_data();
    void pinyin();
    void match_data();
    void match();
    void rankedFilter_data();
    void rankedFilter();
    void blankQueryReturnsTheInputAsItIs();
};

void TestPinyinMatcher::pinyin_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("full");
    QTest::addColumn<QString>("initials");

    QTest::newRow("two Han characters") << u"微信"_qs << u"weixin"_qs << u"wx"_qs;
    QTest::newRow("Latin words") << u"Visual Studio Code"_qs << u"visualstudiocode"_qs << u"vsc"_qs;
    QTest::newRow("five Han characters") << u"网易云音乐"_qs << u"wangyiyunyinle"_qs << u"wyyyl"_qs;
    QTest::newRow("Latin before Han") << u"QQ音乐"_qs << u"qqyinle"_qs << u"qyl"_qs;
    QTest::newRow("Latin right after Han joins the last syllable") << u"微信WeChat"_qs << u"weixinwechat"_qs
                                                                   << u"wx"_qs;
    QTest::newRow("tone marks go, the umlaut too") << u"绿"_qs << u"lu"_qs << u"l"_qs;
    QTest::newRow("accents of Latin text go") << u"Café"_qs << u"cafe"_qs << u"c"_qs;
    QTest::newRow("kana become romaji") << u"カメラ"_qs << u"kamera"_qs << u"k"_qs;
    QTest::newRow("Greek becomes Latin") << u"ΣΟΦΙΑ"_qs << u"sophia"_qs << u"s"_qs;
    QTest::newRow("sharp s is not folded to ss") << u"Straße"_qs << u"straße"_qs << u"s"_qs;
    QTest::newRow("full-width letters stay full-width") << u"ＡＢＣ"_qs << u"ａｂｃ"_qs << u"ａ"_qs;
    QTest::newRow("runs of spaces make no empty words") << u"  two   words "_qs << u"twowords"_qs << u"tw"_qs;
    QTest::newRow("a tab does not split words") << u"Foo\tBar"_qs << u"foo\tbar"_qs << u"f"_qs;
    QTest::newRow("an ideographic space does not split words")
        << u"微信\u3000聊天"_qs << u"weixin\u3000liaotian"_qs << u"wxt"_qs;
    QTest::newRow("an initial is a whole flag") << u"🇨🇳 Maps"_qs << u"🇨🇳maps"_qs << u"🇨🇳m"_qs;
    QTest::newRow("an initial is a whole emoji sequence")
        << u"👨\u200d👩\u200d👧 Home"_qs << u"👨\u200d👩\u200d👧home"_qs << u"👨\u200d👩\u200d👧h"_qs;
    QTest::newRow("empty text") << QString() << QString() << QString();
}

void TestPinyinMatcher::pinyin()
{
    QFETCH(QString, text);
    QFETCH(QString, full);
    QFETCH(QString, initials);
    const PinyinMatcher::Pinyin first = PinyinMatcher::pinyin(text);
    QCOMPARE(first.full, full);
    QCOMPARE(first.initials, initials);
    // The second call reads the memo and must give the same.
    QCOMPARE(PinyinMatcher::pinyin(text), first);
}

void TestPinyinMatcher::match_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("aliases");
    QTest::addColumn<QStringList>("extraNames");
    QTest::addColumn<QString>("query"); // already lowered, as the ranked filter hands it over
    QTest::addColumn<int>("tier");      // -1: no match
    QTest::addColumn<int>("position");

    const QString vsc = u"Visual Studio Code"_qs;
    const QStringList none;
    QTest::newRow("a word of the name") << vsc << none << none << u"code"_qs << 0 << 14;
    QTest::newRow("initials of the name") << vsc << none << none << u"vsc"_qs << 2 << 0;
    QTest::newRow("initials match only at their start") << vsc << none << none << u"sc"_qs << -1 << 0;
    QTest::newRow("the full pinyin of a Chinese name") << u"微信"_qs << none << none << u"weixin"_qs << 2 << 0;
    QTest::newRow("inside the full pinyin") << u"微信"_qs << none << none << u"xin"_qs << 2 << 3;
    QTest::newRow("a spaced query misses the joined pinyin") << u"微信"_qs << none << none << u"wei xin"_qs << -1
                                                            << 0;
    QTest::newRow("the full pinyin before the initials") << u"安爸爸"_qs << none << none << u"ab"_qs << 2 << 3;
    QTest::newRow("Chinese text itself") << u"网易云音乐"_qs << none << none << u"音乐"_qs << 0 << 3;
    QTest::newRow("the name before an alias at its start")
        << u"Text Memo"_qs << QStringList{u"Memo"_qs} << none << u"memo"_qs << 0 << 5;
    QTest::newRow("an alias") << u"WeChat"_qs << QStringList{u"微信"_qs} << none << u"信"_qs << 1 << 1;
    QTest::newRow("the best alias") << u"Zed"_qs << QStringList{u"xx ab"_qs, u"ab"_qs} << none << u"ab"_qs << 1
                                    << 0;
    QTest::newRow("an alias before the pinyin of the name")
        << u"微信"_qs << QStringList{u"Chat wx"_qs} << none << u"wx"_qs << 1 << 5;
    QTest::newRow("the pinyin of an alias") << u"WeChat"_qs << QStringList{u"微信"_qs} << none << u"wx"_qs << 2
                                            << 0;
    QTest::newRow("the best pinyin among name and aliases")
        << u"QQ音乐"_qs << QStringList{u"音乐"_qs} << none << u"yinle"_qs << 2 << 0;
    QTest::newRow("the best of name and extra names")
        << u"Big Notes"_qs << none << QStringList{u"Notes"_qs} << u"notes"_qs << 0 << 0;
    QTest::newRow("an extra name before an alias")
        << u"Safari"_qs << QStringList{u"web"_qs} << QStringList{u"My Web"_qs} << u"web"_qs << 0 << 3;
    QTest::newRow("a Chinese extra name as it is written")
        << u"Safari"_qs << none << QStringList{u"浏览器"_qs} << u"浏览"_qs << 0 << 0;
    QTest::newRow("a Chinese extra name is not searched by its pinyin")
        << u"Safari"_qs << none << QStringList{u"浏览器"_qs} << u"liulan"_qs << -1 << 0;
    QTest::newRow("the name's pinyin counts beside extra names")
        << u"微信"_qs << none << QStringList{u"聊天"_qs} << u"wx"_qs << 2 << 0;
    QTest::newRow("capitals of the name are lowered") << u"ÉCOLE"_qs << none << none << u"éco"_qs << 0 << 0;
    QTest::newRow("a decomposed query finds a composed name")
        << u"Caf\u00e9 Noir"_qs << none << none << u"cafe\u0301"_qs << 0 << 0;
    QTest::newRow("a composed query finds a decomposed name")
        << u"Cafe\u0301 Noir"_qs << none << none << u"caf\u00e9"_qs << 0 << 0;
    QTest::newRow("a bare letter misses an accented one, but not its pinyin")
        << u"Caf\u00e9"_qs << none << none << u"cafe"_qs << 2 << 0;
    QTest::newRow("positions count characters, not code points")
        << u"Cafe\u0301 Code"_qs << none << none << u"code"_qs << 0 << 5;
    QTest::newRow("a flag is one character") << u"🇨🇳 Maps"_qs << none << none << u"maps"_qs << 0 << 2;
    QTest::newRow("a query never matches inside characters")
        << u"🇨🇳🇯🇵"_qs << none << none << u"🇳🇯"_qs << -1 << 0;
    QTest::newRow("a query ending inside a character misses")
        << u"👍🏽 Yes"_qs << none << none << u"👍"_qs << -1 << 0;
    QTest::newRow("nothing alike") << vsc << QStringList{u"编辑器"_qs} << none << u"zzz"_qs << -1 << 0;
}

void TestPinyinMatcher::match()
{
    QFETCH(QString, name);
    QFETCH(QStringList, aliases);
    QFETCH(QStringList, extraNames);
    QFETCH(QString, query);
    QFETCH(int, tier);
    QFETCH(int, position);
    const std::optional<PinyinMatcher::MatchScore> score = PinyinMatcher::match(name, aliases, query, extraNames);
    if (tier < 0) {
        QVERIFY2(!score, qPrintable(u"matched at tier %1, position %2"_qs.arg(score->tier).arg(score->position)));
        return;
    }
    QVERIFY(score);
    QCOMPARE(score->tier, tier);
    QCOMPARE(score->position, position);
}

void TestPinyinMatcher::rankedFilter_data()
{
    QTest::addColumn<QList<AppInfo>>("apps");
    QTest::addColumn<ExtraNameMap>("extraNames");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("expected");

    const QList<AppInfo> all = catalogue();
    QTest::newRow("a query trimmed of spaces and tabs") << all << ExtraNameMap{} << u" \tcode\u3000"_qs
                                                         << ids(u"vscode"_qs);
    QTest::newRow("a line break is not trimmed") << all << ExtraNameMap{} << u"code\n"_qs << QStringList();
    QTest::newRow("the query is lowered") << all << ExtraNameMap{} << u"CODE"_qs << ids(u"vscode"_qs);
    QTest::newRow("names by position, then an alias")
        << all << ExtraNameMap{} << u"music"_qs << ids(u"music applemusic netease"_qs);
    QTest::newRow("pinyin by position") << all << ExtraNameMap{} << u"yinle"_qs << ids(u"qqmusic netease"_qs);
    QTest::newRow("the text before its pinyin")
        << all << ExtraNameMap{} << u"音乐"_qs << ids(u"qqmusic netease"_qs);
    QTest::newRow("pinyin initials") << all << ExtraNameMap{} << u"wx"_qs << ids(u"wechat"_qs);
    QTest::newRow("a spaced pinyin query") << all << ExtraNameMap{} << u"wei xin"_qs << QStringList();
    QTest::newRow("a miss") << all << ExtraNameMap{} << u"zzqx"_qs << QStringList();
    QTest::newRow("a name match before an alias match at position 0")
        << QList{app(u"pad"_qs, u"Notes"_qs, {u"Memo Pad"_qs}), app(u"text"_qs, u"Text Memo"_qs)}
        << ExtraNameMap{} << u"memo"_qs << ids(u"text pad"_qs);
    QTest::newRow("the extra names of each app")
        << all << ExtraNameMap{{u"safari"_qs, {u"浏览器"_qs}}, {u"vscode"_qs, {u"代码浏览"_qs}}} << u"浏览"_qs
        << ids(u"safari vscode"_qs);
    QTest::newRow("extra names are not searched by pinyin")
        << all << ExtraNameMap{{u"safari"_qs, {u"浏览器"_qs}}} << u"liulan"_qs << QStringList();
    QTest::newRow("an extra name that is another app's name")
        << all << ExtraNameMap{{u"safari"_qs, {u"微信"_qs}}} << u"wx"_qs << ids(u"wechat"_qs);

    // More ties than an insertion-sorted run, in an order no key of theirs would give.
    QList<AppInfo> tied;
    for (int i = 0; i < 24; ++i)
        tied.append(app(u"t%1"_qs.arg((i * 11) % 24), u"Code %1"_qs.arg((i * 5) % 24)));
    QTest::newRow("ties keep the input order") << tied << ExtraNameMap{} << u"code"_qs << idsOf(tied);
}

void TestPinyinMatcher::rankedFilter()
{
    QFETCH(QList<AppInfo>, apps);
    QFETCH(ExtraNameMap, extraNames);
    QFETCH(QString, query);
    QFETCH(QStringList, expected);
    const auto extras = [&](const AppInfo &a) { return extraNames.value(a.bundleID); };
    QCOMPARE(idsOf(PinyinMatcher::rankedFilter(apps, query, extras)), expected);
}

void TestPinyinMatcher::blankQueryReturnsTheInputAsItIs()
{
    // Out of every order the filter could impose, with a duplicate: nothing may be sorted, merged or dropped.
    QList<AppInfo> apps = catalogue();
    std::reverse(apps.begin(), apps.end());
    apps.append(apps.first());
    const QStringList blanks{QString(), u"   "_qs, u"\t"_qs, u"\u3000 \u3000"_qs, u"\u00a0\u2003"_qs};
    for (const QString &blank : blanks) {
        QCOMPARE(PinyinMatcher::rankedFilter(apps, blank, {}), apps);
        QCOMPARE(PinyinMatcher::rankedFilter(apps, blank, [](const AppInfo &) { return QStringList{u"x"_qs}; }),
                 apps);
    }
}

QTEST_GUILESS_MAIN(TestPinyinMatcher)
#include "tst_pinyinmatcher.moc"
