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
    void readings_data();
    void readings();
    void manyPolyphonesStayCheap();
    void preparedFormsOfOtherNamesAreNotUsed();
    void preparedFormsAreSharedByCopies();
    void oneLetterQueriesRankAsTheFormsDo();
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
    QTest::newRow("a polyphone by its usual reading") << u"银行"_qs << u"yinxing"_qs << u"yx"_qs;
    QTest::newRow("ü without its dots") << u"女"_qs << u"nu"_qs << u"n"_qs;
    QTest::newRow("a syllable after a letter starts a word") << u"a微"_qs << u"awei"_qs << u"aw"_qs;
    QTest::newRow("a syllable after a digit does not") << u"1微"_qs << u"1wei"_qs << u"1"_qs;
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
    QTest::newRow("a second reading") << u"银行"_qs << none << none << u"hang"_qs << 2 << 3;
    QTest::newRow("the smallest position over all readings") << u"乐音"_qs << none << none << u"yin"_qs << 2 << 2;
    QTest::newRow("a match across syllables") << u"命令行"_qs << none << none << u"inglingh"_qs << 2 << 1;
    QTest::newRow("initials of the second readings") << u"重命名"_qs << none << none << u"cm"_qs << 2 << 0;
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

    // Matches thousands of characters into a name rank by position like any other.
    const QString pad(3000, QChar(u'x'));
    const QList<AppInfo> farIn{app(u"far"_qs, pad + u"code"_qs), app(u"near"_qs, u"x code"_qs),
                               app(u"farther"_qs, pad + pad + u"code"_qs), app(u"alias"_qs, u"z"_qs, {u"code"_qs}),
                               app(u"again"_qs, pad + u"code"_qs)};
    QTest::newRow("positions far into long names")
        << farIn << ExtraNameMap{} << u"code"_qs << ids(u"near far again farther alias"_qs);
}

void TestPinyinMatcher::rankedFilter()
{
    QFETCH(QList<AppInfo>, apps);
    QFETCH(ExtraNameMap, extraNames);
    QFETCH(QString, query);
    QFETCH(QStringList, expected);
    const auto extras = [&](const AppInfo &a) { return extraNames.value(a.bundleID); };
    QCOMPARE(idsOf(PinyinMatcher::rankedFilter(apps, query, extras)), expected);
    // Prepared forms, as the scanner publishes them, find the same.
    QList<AppInfo> prepared = apps;
    PinyinMatcher::prepare(prepared);
    QCOMPARE(idsOf(PinyinMatcher::rankedFilter(prepared, query, extras)), expected);
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

void TestPinyinMatcher::readings_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("found");

    struct Row
    {
        const char *name;
        const char16_t *app;
        const char16_t *query;
        bool found;
    };
    const Row rows[] = {
        {"音乐 by yue", u"音乐", u"yinyue", true},
        {"音乐 by le", u"音乐", u"yinle", true},
        {"音乐 by yue initials", u"音乐", u"yy", true},
        {"音乐 by le initials", u"音乐", u"yl", true},
        {"音乐 not by a reading of 药", u"音乐", u"yinyao", false},
        {"音乐 not by initials of no reading", u"音乐", u"yx", false},
        {"QQ音乐 with Latin before", u"QQ音乐", u"qqyinyue", true},
        {"QQ音乐 initials", u"QQ音乐", u"qyy", true},
        {"网易云音乐 in full", u"网易云音乐", u"wangyiyunyinyue", true},
        {"网易云音乐 initials", u"网易云音乐", u"wyyyy", true},
        {"招商银行 by hang", u"招商银行", u"zhaoshangyinhang", true},
        {"招商银行 initials by hang", u"招商银行", u"zsyh", true},
        {"招商银行 initials by xing", u"招商银行", u"zsyx", true},
        {"招商银行 not by a syllable of no reading", u"招商银行", u"yinxang", false},
        {"招商银行 initials not by another letter", u"招商银行", u"zsyg", false},
        {"高德地图 by di", u"高德地图", u"gaodeditu", true},
        {"高德地图 by de", u"高德地图", u"ditu", true},
        {"高德地图 initials", u"高德地图", u"gddt", true},
        {"高德地图 not by a reading 德 lacks", u"高德地图", u"gaodiditu", false},
        {"茄子 by qie", u"茄子", u"qiezi", true},
        {"茄子 initials by qie", u"茄子", u"qz", true},
        {"茄子 by jia", u"茄子", u"jiazi", true},
        {"茄子 not by a reading 子 lacks", u"茄子", u"qiezhi", false},
        {"命令行 by hang", u"命令行", u"minglinghang", true},
        {"命令行 initials", u"命令行", u"mlh", true},
        {"命令行 not by a reading 令 lacks", u"命令行", u"minglenghang", false},
        {"重命名 by chong", u"重命名", u"chongmingming", true},
        {"重命名 by zhong", u"重命名", u"zhongmingming", true},
        {"重命名 not by a reading 重 lacks", u"重命名", u"chengmingming", false},
        {"绿 typed with v", u"绿色", u"lvse", true},
        {"绿 typed with u", u"绿色", u"luse", true},
        {"女 typed with v", u"女神", u"nvshen", true},
        {"ü is not any other vowel", u"绿色", u"lese", false},
        {"a tone mark is not typed", u"音乐", u"yīn", false},
    };
    for (const Row &row : rows)
        QTest::newRow(row.name) << QString::fromUtf16(row.app) << QString::fromUtf16(row.query) << row.found;
}

void TestPinyinMatcher::readings()
{
    QFETCH(QString, name);
    QFETCH(QString, query);
    QFETCH(bool, found);
    QList<AppInfo> apps{app(u"a"_qs, name)};
    QCOMPARE(PinyinMatcher::rankedFilter(apps, query, {}).size(), found ? 1 : 0);
    PinyinMatcher::prepare(apps);
    QCOMPARE(PinyinMatcher::rankedFilter(apps, query, {}).size(), found ? 1 : 0);
}

void TestPinyinMatcher::manyPolyphonesStayCheap()
{
    // Sixty-four characters of two readings each: 2^64 ways to read the name, which only a walk that never lists
    // them gets through.
    const QString name = QString(64, QChar(u'重'));
    QList<AppInfo> apps{app(u"a"_qs, name)};
    PinyinMatcher::prepare(apps);
    const QString mixed = u"chong"_qs.repeated(32) + u"zhong"_qs.repeated(31) + u"chong"_qs;
    QCOMPARE(PinyinMatcher::rankedFilter(apps, mixed, {}).size(), 1);
    QCOMPARE(PinyinMatcher::rankedFilter(apps, u"chong"_qs.repeated(63) + u"zhongx"_qs, {}).size(), 0);
    QCOMPARE(PinyinMatcher::rankedFilter(apps, u"cz"_qs.repeated(32), {}).size(), 1);
    QCOMPARE(PinyinMatcher::rankedFilter(apps, u"cz"_qs.repeated(32) + u"c"_qs, {}).size(), 0);
    const std::optional<PinyinMatcher::MatchScore> score =
        PinyinMatcher::match(name, {}, u"zhongchongzhong"_qs, {});
    QVERIFY(score);
    QCOMPARE(score->position, 0);
}

void TestPinyinMatcher::preparedFormsOfOtherNamesAreNotUsed()
{
    // An app renamed after its forms were made is searched by its new name and alias, not by the old ones.
    QList<AppInfo> apps{app(u"a"_qs, u"音乐"_qs, {u"Music"_qs})};
    PinyinMatcher::prepare(apps);
    apps[0].name = u"地图"_qs;
    QCOMPARE(PinyinMatcher::rankedFilter(apps, u"yinyue"_qs, {}).size(), 0);
    QCOMPARE(PinyinMatcher::rankedFilter(apps, u"ditu"_qs, {}).size(), 1);
    apps[0].aliases = {u"Maps"_qs};
    QCOMPARE(PinyinMatcher::rankedFilter(apps, u"music"_qs, {}).size(), 0);
    QCOMPARE(PinyinMatcher::rankedFilter(apps, u"maps"_qs, {}).size(), 1);
    // Preparing again replaces the forms that no longer fit.
    const auto old = apps[0].searchForms;
    PinyinMatcher::prepare(apps);
    QVERIFY(apps[0].searchForms != old);
    QCOMPARE(PinyinMatcher::rankedFilter(apps, u"dt"_qs, {}).size(), 1);
}

void TestPinyinMatcher::preparedFormsAreSharedByCopies()
{
    QList<AppInfo> apps = catalogue();
    PinyinMatcher::prepare(apps);
    const size_t bytes = PinyinMatcher::preparedBytes(apps);
    QVERIFY(bytes > 0);
    // A copy of the list shares every form, so it costs nothing more; equality does not look at the forms.
    QList<AppInfo> twice = apps + apps;
    QCOMPARE(PinyinMatcher::preparedBytes(twice), bytes);
    QCOMPARE(apps, catalogue());
}

void TestPinyinMatcher::oneLetterQueriesRankAsTheFormsDo()
{
    // Prepared apps answer queries of one letter or digit from scores kept when they were prepared; the answers are
    // the ones their forms give, with extra names, aliases, pinyin, initials and matches far into a name.
    QList<AppInfo> apps = catalogue();
    apps.append(app(u"long"_qs, QString(100, QChar(u'-')) + u"Zebra 7"_qs));
    apps.append(app(u"digits"_qs, u"Office 365"_qs, {u"办公"_qs}));
    apps.append(app(u"alias"_qs, u"银行"_qs, {u"Bank"_qs}));
    apps.append(app(u"marks"_qs, u"Café Crème"_qs));
    const ExtraNameMap extraNames{{u"safari"_qs, {u"浏览器 y"_qs}},
                                  {u"long"_qs, {u"zz"_qs}},
                                  {u"wechat"_qs, {u"xy"_qs}},
                                  {u"alias"_qs, {u"Kasse"_qs, u"Ébène"_qs}}};
    const auto extras = [&](const AppInfo &a) { return extraNames.value(a.bundleID); };
    QList<AppInfo> prepared = apps;
    PinyinMatcher::prepare(prepared);
    for (QChar c : QStringView(u"abcdefghijklmnopqrstuvwxyz0123456789")) {
        for (const QString &query : {QString(c), QString(c).toUpper(), u" "_qs + c}) {
            QCOMPARE(idsOf(PinyinMatcher::rankedFilter(prepared, query, extras)),
                     idsOf(PinyinMatcher::rankedFilter(apps, query, extras)));
        }
    }
    // A few of them by hand: an extra name's first tier before a pinyin match (x), an alias before a pinyin match
    // (h), an extra name before the alias (k), and matches past the positions that are kept (7, z).
    QCOMPARE(idsOf(PinyinMatcher::rankedFilter(prepared, u"x"_qs, extras)), ids(u"wechat alias"_qs));
    QCOMPARE(idsOf(PinyinMatcher::rankedFilter(prepared, u"h"_qs, extras)), ids(u"wechat alias"_qs));
    QCOMPARE(idsOf(PinyinMatcher::rankedFilter(prepared, u"k"_qs, extras)), ids(u"alias"_qs));
    QCOMPARE(idsOf(PinyinMatcher::rankedFilter(prepared, u"7"_qs, extras)), ids(u"long"_qs));
    QCOMPARE(idsOf(PinyinMatcher::rankedFilter(prepared, u"z"_qs, extras)), ids(u"long"_qs));
}

QTEST_GUILESS_MAIN(TestPinyinMatcher)
#include "tst_pinyinmatcher.moc"
