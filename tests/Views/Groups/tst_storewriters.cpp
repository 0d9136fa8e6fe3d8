#include "appcontextmenumodel.h"
#include "appstategridhost.h"
#include "groupaddappsmodel.h"
#include "groupsfixture.h"
#include "grouptabsmodel.h"
#include "quitplan.h"
#include "quitplaneditormodel.h"
#include "quittabmodel.h"
#include "../support/recordingrearm.h"
#include "restrictionrule.h"
#include "ruleeditormodel.h"
#include "supervisionpanelmodel.h"

#include <QSignalSpy>
#include <QTest>

// Every writer of groups, rules and plans tells the state object once it has saved: the grid's apps and its lock
// marks follow the store before control returns to the event loop. Over the state object on fakes, at Monday
// 2026-03-02 12:00 UTC, with the group "娱乐" (音乐, 哔哩哔哩) selected and blocked all day by a rule.
namespace {

const QString editor = u"org.example.editor"_qs;
const QString calc = u"org.example.calc"_qs;
const QString music = u"org.example.music"_qs;
const QString bili = u"tv.danmaku.bili"_qs;

enum class Writer {
    menuRemoveFromGroup,
    menuUntickGroup,
    menuTickGroup,
    addSheetBatch,
    tabsDeleteGroup,
    ruleEditorRetarget,
    planEditorSave,
    panelDeleteRule,
    quitTabDeletePlan,
};

// The entry with that label, searched in submenus too.
const AppContextMenuEntry *entryLabelled(const QList<AppContextMenuEntry> &entries, const QString &label)
{
    for (const AppContextMenuEntry &e : entries) {
        if (e.kind == AppContextMenuEntry::Kind::command && e.label == label)
            return &e;
        if (const auto *inner = entryLabelled(e.children, label))
            return inner;
    }
    return nullptr;
}

QStringList sorted(QStringList ids)
{
    ids.sort();
    return ids;
}

} // namespace

class TestStoreWriters : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void gridFollowsAtOnce_data();
    void gridFollowsAtOnce();
};

void TestStoreWriters::gridFollowsAtOnce_data()
{
    QTest::addColumn<int>("writer");
    QTest::addColumn<QStringList>("shown");   // the grid's apps afterwards
    QTest::addColumn<QStringList>("blocked"); // the apps with a lock mark afterwards
    QTest::newRow("menu: 移出分组") << int(Writer::menuRemoveFromGroup) << QStringList{music} << QStringList{music};
    QTest::newRow("menu: 移入分组, unticked") << int(Writer::menuUntickGroup) << QStringList{music}
                                          << QStringList{music};
    QTest::newRow("menu: 移入分组, ticked") << int(Writer::menuTickGroup) << QStringList{bili, editor, music}
                                        << QStringList{bili, editor, music};
    QTest::newRow("add sheet: a batch") << int(Writer::addSheetBatch) << QStringList{bili, calc, editor, music}
                                        << QStringList{bili, calc, editor, music};
    QTest::newRow("tabs: the group deleted") << int(Writer::tabsDeleteGroup)
                                             << QStringList{bili, calc, editor, music} << QStringList{};
    QTest::newRow("rule editor: retargeted") << int(Writer::ruleEditorRetarget) << QStringList{bili, music}
                                             << QStringList{calc};
    QTest::newRow("plan editor: a block after a quit") << int(Writer::planEditorSave) << QStringList{bili, music}
                                                       << QStringList{bili, editor, music};
    QTest::newRow("panel: the rule deleted") << int(Writer::panelDeleteRule) << QStringList{bili, music}
                                             << QStringList{};
    QTest::newRow("quit tab: the plan deleted") << int(Writer::quitTabDeletePlan) << QStringList{bili, music}
                                                << QStringList{bili, music};
}

void TestStoreWriters::gridFollowsAtOnce()
{
    QFETCH(int, writer);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, blocked);

    GroupsFixture g;
    AppState &state = *g.state;
    AppGroup *group = g.addGroup(u"娱乐"_qs, 0, {music, bili});
    RestrictionRule *rule = g.store().insert(std::make_unique<RestrictionRule>(
        RestrictionTarget::group, group->refID(), 0, 1439, QList<int>{1, 2, 3, 4, 5, 6, 7}, true, std::nullopt));
    // Quit at 11:50, then blocked for 60 minutes: 编辑器 now.
    QuitPlan *plan = nullptr;
    if (Writer(writer) == Writer::quitTabDeletePlan) {
        plan = g.store().insert(std::make_unique<QuitPlan>(QuitPlanTarget::apps, QString(), QStringList{editor},
                                                           11 * 60 + 50, QList<int>{1, 2, 3, 4, 5, 6, 7},
                                                           QuitPlanBlockMode::minutes, 60, 0, true));
    }
    std::ignore = g.store().save();
    state.setSelectedGroupID(group->storeID());
    state.refreshSupervisionStatus();
    GroupsFixture::settle();

    AppStateGridHost host(state, nullptr, {});
    const auto shownIDs = [&host] {
        QStringList ids;
        for (const AppInfo &app : host.visibleApps())
            ids.append(app.bundleID);
        return sorted(ids);
    };
    const auto blockedIDs = [&host] {
        QStringList ids;
        for (const AppInfo &app : GroupsFixture::apps()) {
            if (host.isBlocked(app.bundleID))
                ids.append(app.bundleID);
        }
        return sorted(ids);
    };
    QCOMPARE(shownIDs(), sorted({bili, music}));
    QCOMPARE(blockedIDs(), sorted(plan ? QStringList{bili, editor, music} : QStringList{bili, music}));

    RecordingRearm rearm;
    SupervisionWriteHooks hooks{[] {}, [] {}};
    AppContextMenuModel menu(state, g.store(), {});
    GroupAddAppsModel addSheet(state);
    GroupTabsModel tabs(state, g.store());
    RuleEditorModel ruleEditor(state, hooks);
    QuitPlanEditorModel planEditor(state, hooks);
    SupervisionPanelModel panel(state, rearm);
    QuitTabModel quitTab(state, hooks, &panel);
    GroupsFixture::settle();
    QSignalSpy appsChanged(&host, &GridHost::appsChanged);

    const auto choose = [&](const QString &id, const QString &label) {
        const auto entries = menu.entries(GroupsFixture::appOf(id), false);
        const AppContextMenuEntry *entry = entryLabelled(entries, label);
        QVERIFY2(entry, qPrintable(label));
        entry->trigger();
    };
    switch (Writer(writer)) {
    case Writer::menuRemoveFromGroup:
        choose(bili, u"移出分组"_qs);
        break;
    case Writer::menuUntickGroup:
    case Writer::menuTickGroup:
        choose(Writer(writer) == Writer::menuUntickGroup ? bili : editor, u"娱乐"_qs);
        break;
    case Writer::addSheetBatch:
        addSheet.refresh();
        addSheet.selectAllShown();
        addSheet.add();
        break;
    case Writer::tabsDeleteGroup:
        tabs.deleteGroup(0);
        break;
    case Writer::ruleEditorRetarget:
        ruleEditor.open(rule, false);
        ruleEditor.chooseKind(int(RestrictionTarget::app));
        ruleEditor.setTargetID(calc);
        ruleEditor.save();
        break;
    case Writer::planEditorSave: {
        QuitPlan *made = quitTab.addPlan();
        planEditor.open(made, true);
        planEditor.setSelectedBundleIDs({editor});
        planEditor.setQuitMinute(11 * 60 + 50);
        planEditor.setBlockOn(true);
        planEditor.setBlockByMinutes(true);
        planEditor.setBlockMinutes(60);
        planEditor.save();
        break;
    }
    case Writer::panelDeleteRule:
        panel.deleteRuleAt(0);
        break;
    case Writer::quitTabDeletePlan:
        quitTab.deletePlan(*plan);
        break;
    }

    // No turn of the event loop since the writer returned.
    QVERIFY(appsChanged.count() > 0);
    QCOMPARE(shownIDs(), sorted(shown));
    QCOMPARE(blockedIDs(), sorted(blocked));
}

QTEST_MAIN(TestStoreWriters)
#include "tst_storewriters.moc"
