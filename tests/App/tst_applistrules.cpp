#include "applistrules.h"

#include "../support/applists.h"

#include <QTest>

using namespace AppLists;
using AppListRules::MissingAppStep;

namespace {

const Instant now = Instant{std::chrono::sys_days{std::chrono::March / 2 / 2026} + std::chrono::hours{12}};

QList<AppInfo> numbered(int count)
{
    QList<AppInfo> apps;
    for (int i = 0; i < count; ++i)
        apps.append(app(u"app%1"_qs.arg(i, 2, 10, QChar(u'0')), u"App %1"_qs.arg(i, 2, 10, QChar(u'0'))));
    return apps;
}

AppMetaSnapshot meta(std::optional<int> sortIndex, bool pinned = false, bool hidden = false)
{
    AppMetaSnapshot s;
    s.sortIndex = sortIndex;
    s.isPinned = pinned;
    s.isHidden = hidden;
    return s;
}

} // namespace

class TestAppListRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void aliasTrimming_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown"); // "-": none
        QTest::newRow("plain") << u"笔记"_qs << u"笔记"_qs;
        QTest::newRow("blanks and tabs around") << u" \t Notes\t "_qs << u"Notes"_qs;
        QTest::newRow("inner blanks stay") << u"  my notes "_qs << u"my notes"_qs;
        QTest::newRow("ideographic space") << u"\u3000笔记\u3000"_qs << u"笔记"_qs;
        QTest::newRow("no-break and thin spaces") << u"\u00A0\u2009笔记\u202F"_qs << u"笔记"_qs;
        QTest::newRow("line breaks stay") << u"\n笔记\n "_qs << u"\n笔记\n"_qs;
        QTest::newRow("blanks only") << u" \t\u3000 "_qs << u"-"_qs;
        QTest::newRow("empty") << QString() << u"-"_qs;
    }
    void aliasTrimming()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        const auto alias = AppListRules::shownAlias(stored);
        QCOMPARE(alias.value_or(u"-"_qs), shown);
        QVERIFY(!AppListRules::shownAlias(std::nullopt));
    }

    void visibleApps_data()
    {
        QTest::addColumn<bool>("hiddenView");
        QTest::addColumn<QStringList>("group"); // "-" alone: no group
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("expected");

        // Apps a..f; b and e hidden; d and f pinned; sort indexes c 0, a 1, f 2; the rest by name.
        const QStringList noGroup{u"-"_qs};
        QTest::newRow("all: pinned first, then custom order")
            << false << noGroup << QString() << ids("f d c a");
        QTest::newRow("hidden view: hidden ones only, pinned first")
            << true << noGroup << QString() << ids("e b");
        QTest::newRow("hidden view ignores the group")
            << true << ids("a c") << QString() << ids("e b");
        QTest::newRow("group in its own order, pinned member first, hidden and absent members left out")
            << false << ids("c x b a d") << QString() << ids("d c a");
        QTest::newRow("empty group") << false << QStringList{} << QString() << QStringList{};
        QTest::newRow("search ranks, a pinned match first")
            << false << noGroup << u"a"_qs << ids("d a c");
        QTest::newRow("search by alias") << false << noGroup << u"备忘"_qs << ids("c");
        QTest::newRow("blank search leaves the list") << false << noGroup << u" \u3000"_qs << ids("f d c a");
        QTest::newRow("search in the group") << false << ids("a c d") << u"alpha"_qs << ids("a");
    }
    void visibleApps()
    {
        QFETCH(bool, hiddenView);
        QFETCH(QStringList, group);
        QFETCH(QString, search);
        QFETCH(QStringList, expected);

        const QList<AppInfo> targetable{app(u"a"_qs, u"Alpha"_qs), app(u"b"_qs, u"Bravo"_qs),
                                        app(u"c"_qs, u"Charlie"_qs), app(u"d"_qs, u"Delta"_qs),
                                        app(u"e"_qs, u"Echo"_qs), app(u"f"_qs, u"Foxtrot"_qs)};
        QHash<QString, AppMetaSnapshot> snapshots{
            {u"a"_qs, meta(1)},
            {u"b"_qs, meta(std::nullopt, false, true)},
            {u"c"_qs, meta(0)},
            {u"d"_qs, meta(std::nullopt, true)},
            {u"e"_qs, meta(std::nullopt, true, true)},
            {u"f"_qs, meta(2, true)},
        };
        snapshots[u"c"_qs].aliasName = u"备忘录"_qs;

        AppListRules::ListRequest request;
        request.showHiddenApps = hiddenView;
        if (group != QStringList{u"-"_qs})
            request.groupMembers = group;
        request.searchText = search;
        request.extraNames = [&snapshots](const AppInfo &a) {
            const auto alias = AppListRules::shownAlias(snapshots.value(a.bundleID).aliasName);
            return alias ? QStringList{*alias} : QStringList{};
        };
        QCOMPARE(idsOf(AppListRules::visibleApps(targetable, snapshots, request)), expected);
    }

    void movedSelection_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("selected"); // empty: none
        QTest::addColumn<int>("dx");
        QTest::addColumn<int>("dy");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("expected"); // empty: none

        QTest::newRow("right with nothing selected selects the first") << 20 << "" << 1 << 0 << 7 << "app00";
        QTest::newRow("a selection not shown selects the first") << 20 << "gone" << 0 << 1 << 7 << "app00";
        QTest::newRow("down by a row of 7") << 20 << "app02" << 0 << 1 << 7 << "app09";
        QTest::newRow("down from the last row stops at the last") << 20 << "app15" << 0 << 1 << 7 << "app19";
        QTest::newRow("up from the first row stops at the first") << 20 << "app03" << 0 << -1 << 7 << "app00";
        QTest::newRow("left from the first stays") << 20 << "app00" << -1 << 0 << 7 << "app00";
        QTest::newRow("right wraps into the next row") << 20 << "app06" << 1 << 0 << 7 << "app07";
        QTest::newRow("no columns count as one") << 20 << "app02" << 0 << 1 << 0 << "app03";
        QTest::newRow("empty list selects nothing") << 0 << "app02" << 1 << 0 << 7 << "";
    }
    void movedSelection()
    {
        QFETCH(int, count);
        QFETCH(QString, selected);
        QFETCH(int, dx);
        QFETCH(int, dy);
        QFETCH(int, columns);
        QFETCH(QString, expected);
        const auto result = AppListRules::movedSelection(numbered(count),
                                                         selected.isEmpty() ? std::nullopt : std::optional(selected),
                                                         dx, dy, columns);
        QCOMPARE(result.value_or(QString()), expected);
    }

    void missingApps_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<int>("missingDays"); // -1: not missing
        QTest::addColumn<int>("step");

        QTest::newRow("installed and not missing") << true << -1 << int(MissingAppStep::clearMissing);
        QTest::newRow("came back") << true << 40 << int(MissingAppStep::clearMissing);
        QTest::newRow("just gone") << false << -1 << int(MissingAppStep::markMissing);
        QTest::newRow("gone 29 days") << false << 29 << int(MissingAppStep::keep);
        QTest::newRow("gone exactly 30 days") << false << 30 << int(MissingAppStep::keep);
        QTest::newRow("gone 31 days") << false << 31 << int(MissingAppStep::deleteRecord);
    }
    void missingApps()
    {
        QFETCH(bool, installed);
        QFETCH(int, missingDays);
        QFETCH(int, step);
        const auto since = missingDays < 0 ? std::nullopt : std::optional(now - std::chrono::days{missingDays});
        QCOMPARE(int(AppListRules::missingAppStep(installed, since, now)), step);
    }

    void focusControlList()
    {
        QCOMPARE(AppListRules::toggledFocusControl(ids("a b"), u"c"_qs), ids("a b c"));
        QCOMPARE(AppListRules::toggledFocusControl(ids("c a c b c"), u"c"_qs), ids("a b"));
        QCOMPARE(AppListRules::toggledFocusControl({}, u"a"_qs), ids("a"));
        QCOMPARE(AppListRules::focusControlList({u"c"_qs, u"a"_qs, u"b"_qs}), ids("a b c"));
    }
};

QTEST_GUILESS_MAIN(TestAppListRules)
#include "tst_applistrules.moc"
