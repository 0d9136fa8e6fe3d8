#include "appcontextmenumodel.h"
#include "appsearchdeeplink.h"
#include "groupsfixture.h"

#include <QSignalSpy>
#include <QTest>

// The app context menu's entries for each state, and what each entry does, over the state object and a store in
// memory.
namespace {

const QString editor = u"org.example.editor"_qs;
const QString calc = u"org.example.calc"_qs;
const QString music = u"org.example.music"_qs;
const QString bili = u"tv.danmaku.bili"_qs;
const QString wechatEx = u"com.tencent.flue.WeChatAppEx"_qs;
const QString wechatExPath = u"/Applications/WeChat.app/Contents/MacOS/WeChatAppEx.app"_qs;

// The menu as one line: entries split by "|", a check as "✓" before the label, a divider "-", a submenu
// "label[entries]", a text that cannot be chosen "(text)".
QString render(const QList<AppContextMenuEntry> &entries)
{
    QStringList parts;
    for (const AppContextMenuEntry &e : entries) {
        switch (e.kind) {
        case AppContextMenuEntry::Kind::command:
            parts.append((e.checked ? u"✓"_qs : QString()) + e.label);
            break;
        case AppContextMenuEntry::Kind::divider:
            parts.append(u"-"_qs);
            break;
        case AppContextMenuEntry::Kind::submenu:
            parts.append(e.label + u'[' + render(e.children) + u']');
            break;
        case AppContextMenuEntry::Kind::note:
            parts.append(u'(' + e.label + u')');
            break;
        }
    }
    return parts.join(u'|');
}

// The entry with that label, searched in submenus too.
const AppContextMenuEntry *find(const QList<AppContextMenuEntry> &entries, const QString &label)
{
    for (const AppContextMenuEntry &e : entries) {
        if (e.kind == AppContextMenuEntry::Kind::command && e.label == label)
            return &e;
        if (const auto *inner = find(e.children, label))
            return inner;
    }
    return nullptr;
}

struct MenuFixture : GroupsFixture
{
    QList<QList<QUrl>> revealed;
    AppContextMenuModel menu{*state, store(), [this](const QList<QUrl> &items) { revealed.append(items); }};

    QList<AppContextMenuEntry> entriesFor(const QString &id, bool pinned = false)
    {
        return menu.entries(appOf(id), pinned);
    }
    void choose(const QString &id, const QString &label, bool pinned = false)
    {
        const auto entries = entriesFor(id, pinned);
        const AppContextMenuEntry *entry = find(entries, label);
        QVERIFY2(entry, qPrintable(label));
        entry->trigger();
    }
};

} // namespace

class TestAppContextMenu : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void entries_data();
    void entries();
    void groupEntryTogglesMembership();
    void removeFromGroupToastsTheOwnName();
    void searchPageFlipsThePreference();
    void plainActions();
    void buildAndTriggerForQml();
};

void TestAppContextMenu::entries_data()
{
    QTest::addColumn<QString>("app");
    QTest::addColumn<QString>("setup"); // space-separated: pinned hidden focus link groups-twice groups-without
    QTest::addColumn<QString>("expected");
    const QString tail = u"|-|在文件管理器中显示|隐藏|设置禁启时段…"_qs;
    QTest::newRow("plain app, no groups")
        << editor << QString()
        << u"打开|置顶|置入程序坞常驻|重命名|定时退出|移入分组[(暂无分组)]"_qs + tail;
    QTest::newRow("pinned and focus-controlled")
        << calc << u"pinned focus"_qs << u"打开|✓置顶|置入程序坞常驻|重命名|✓定时退出|移入分组[(暂无分组)]"_qs + tail;
    QTest::newRow("search-page link, off")
        << bili << QString() << u"打开|置顶|置入程序坞常驻|重命名|定时退出|打开搜索页|移入分组[(暂无分组)]"_qs + tail;
    QTest::newRow("search-page link, on")
        << bili << u"link"_qs << u"打开|置顶|置入程序坞常驻|重命名|定时退出|✓打开搜索页|移入分组[(暂无分组)]"_qs + tail;
    QTest::newRow("embedded app") << wechatEx << u"focus"_qs
                                  << u"定时退出…|置顶|置入程序坞常驻|重命名|移入分组[(暂无分组)]"_qs + tail;
    QTest::newRow("selected group holds the app twice")
        << editor << u"twice"_qs << u"打开|置顶|置入程序坞常驻|重命名|定时退出|移入分组[✓工作|娱乐]|移出分组"_qs + tail;
    QTest::newRow("selected group without the app")
        << calc << u"without"_qs << u"打开|置顶|置入程序坞常驻|重命名|定时退出|移入分组[工作|娱乐]"_qs + tail;
    QTest::newRow("groups, none selected")
        << editor << u"groups"_qs << u"打开|置顶|置入程序坞常驻|重命名|定时退出|移入分组[✓工作|娱乐]"_qs + tail;
    QTest::newRow("hidden mode") << editor << u"hidden twice pinned"_qs << u"取消隐藏|-|在文件管理器中显示"_qs;
}

void TestAppContextMenu::entries()
{
    QFETCH(QString, app);
    QFETCH(QString, setup);
    QFETCH(QString, expected);
    MenuFixture s;
    s.f.existingPaths.append(wechatExPath);
    const QStringList flags = setup.split(u' ', Qt::SkipEmptyParts);
    if (flags.contains(u"focus"_qs))
        s.state->toggleFocusControl(GroupsFixture::appOf(app));
    if (flags.contains(u"link"_qs))
        s.state->searchDeepLinks().setEnabled(true, app);
    if (flags.contains(u"twice"_qs) || flags.contains(u"without"_qs) || flags.contains(u"groups"_qs)) {
        AppGroup *work = s.addGroup(u"工作"_qs, 0, {editor, music, editor});
        s.addGroup(u"娱乐"_qs, 1);
        if (!flags.contains(u"groups"_qs))
            s.state->setSelectedGroupID(work->storeID());
    }
    if (flags.contains(u"hidden"_qs))
        s.state->setShowHiddenApps(true);
    QCOMPARE(render(s.entriesFor(app, flags.contains(u"pinned"_qs))), expected);
}

void TestAppContextMenu::groupEntryTogglesMembership()
{
    MenuFixture s;
    AppGroup *work = s.addGroup(u"工作"_qs, 0, {editor, music, editor, calc});
    AppGroup *fun = s.addGroup(u"娱乐"_qs, 1, {music});
    s.choose(editor, u"工作"_qs); // a member, listed twice: both copies go
    QCOMPARE(work->bundleIDs(), (QStringList{music, calc}));
    s.choose(editor, u"娱乐"_qs); // not a member: appended
    QCOMPARE(fun->bundleIDs(), (QStringList{music, editor}));
    QVERIFY(!s.store().hasChanges());
    QVERIFY(!s.state->toast().isShown());
}

void TestAppContextMenu::removeFromGroupToastsTheOwnName()
{
    MenuFixture s;
    AppGroup *work = s.addGroup(u"工作"_qs, 0, {calc, editor, calc});
    s.state->setAlias(u"算盘"_qs, GroupsFixture::appOf(calc));
    s.state->setSelectedGroupID(work->storeID());
    s.choose(calc, u"移出分组"_qs);
    QCOMPARE(work->bundleIDs(), QStringList{editor});
    QVERIFY(!s.store().hasChanges());
    QCOMPARE(s.state->toast().message(), u"已将「计算器」移出「工作」"_qs);
}

void TestAppContextMenu::searchPageFlipsThePreference()
{
    MenuFixture s;
    QSignalSpy changed(s.state, &AppState::changed);
    s.choose(bili, u"打开搜索页"_qs);
    QCOMPARE(s.f.preferences.stringList(AppSearchDeepLink::enabledBundleIDsKey.toString()), std::optional(QStringList{bili}));
    QCOMPARE(changed.count(), 1);
    s.choose(bili, u"打开搜索页"_qs);
    QVERIFY(!s.state->searchDeepLinks().isEnabled(bili));
    QCOMPARE(changed.count(), 2);
}

void TestAppContextMenu::plainActions()
{
    MenuFixture s;
    s.choose(music, u"在文件管理器中显示"_qs);
    QCOMPARE(s.revealed, (QList<QList<QUrl>>{{GroupsFixture::appOf(music).url}}));

    s.choose(music, u"重命名"_qs);
    QCOMPARE(s.state->renameTargetBundleID(), std::optional(music));

    s.choose(music, u"设置禁启时段…"_qs);
    QVERIFY(s.state->showSupervision());
    QCOMPARE(s.state->supervisionInitialTab, SupervisionTab::launch);

    s.choose(music, u"置顶"_qs);
    QVERIFY(s.store().meta(music)->isPinned());

    s.choose(music, u"隐藏"_qs);
    QCOMPARE(s.store().meta(music)->isHidden(), std::optional(true));
    s.state->setShowHiddenApps(true);
    s.choose(music, u"取消隐藏"_qs);
    QVERIFY(!s.store().meta(music)->isHidden().value_or(false));

    s.state->setShowHiddenApps(false);
    s.choose(music, u"定时退出"_qs);
    QVERIFY(s.state->isFocusControlled(music));
}

void TestAppContextMenu::buildAndTriggerForQml()
{
    MenuFixture s;
    s.addGroup(u"工作"_qs, 0, {calc});
    QVERIFY(s.menu.build(u"org.example.gone"_qs, false).isEmpty());
    const QVariantList entries = s.menu.build(calc, true);
    QCOMPARE(entries.size(), 10);
    const QVariantMap pin = entries.at(1).toMap();
    QCOMPARE(pin.value(u"kind"_qs).toString(), u"command"_qs);
    QCOMPARE(pin.value(u"label"_qs).toString(), u"置顶"_qs);
    QVERIFY(pin.value(u"checked"_qs).toBool());
    const QVariantMap submenu = entries.at(5).toMap();
    QCOMPARE(submenu.value(u"kind"_qs).toString(), u"submenu"_qs);
    const QVariantMap group = submenu.value(u"entries"_qs).toList().at(0).toMap();
    QCOMPARE(group.value(u"label"_qs).toString(), u"工作"_qs);
    QVERIFY(group.value(u"checked"_qs).toBool());
    QCOMPARE(entries.at(6).toMap().value(u"kind"_qs).toString(), u"divider"_qs);

    s.menu.trigger(group.value(u"id"_qs).toInt());
    QVERIFY(s.state->groups().first()->bundleIDs().isEmpty());
    s.menu.trigger(pin.value(u"id"_qs).toInt());
    QVERIFY(s.store().meta(calc)->isPinned());
    s.menu.trigger(999); // unknown: nothing
    s.menu.trigger(-1);
}

QTEST_GUILESS_MAIN(TestAppContextMenu)
#include "tst_appcontextmenu.moc"
