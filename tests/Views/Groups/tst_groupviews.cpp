#include "appcontextmenumodel.h"
#include "groupsfixture.h"
#include "grouptabsmodel.h"
#include "renamesheetmodel.h"
#include "viewtest.h"

#include <QQuickItem>
#include <QTest>

using AppLists::ids;

// The group strip, the app context menu and the naming sheet in a window, driven by real mouse and key events; the
// screenshots are looked at with Chinese group and app names.
class TestGroupViews : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void stripSelectsByClicks();
    void dragReordersWithMarker();
    void hiddenModeRow();
    void namingSheetAnswersReturnAndEscape();
    void groupTabMenuDeletes();
    void rightClickOpensTheAppMenu();
    void hiddenModeMenu();
    void renameSheetReturnSaves();
    void renameSheetEscapeKeeps();
    void renameSheetUnknownAppCloses();

private:
    // The visible item with that objectName anywhere in the window (popups included).
    static QQuickItem *find(const ViewTest &test, const QString &name);
};

namespace {
QQuickItem *findUnder(QQuickItem *item, const QString &name)
{
    if (!item)
        return nullptr;
    if (item->objectName() == name && item->isVisible())
        return item;
    const auto children = item->childItems();
    for (QQuickItem *child : children) {
        if (QQuickItem *found = findUnder(child, name))
            return found;
    }
    return nullptr;
}

const QString editor = u"org.example.editor"_qs;
const QString calc = u"org.example.calc"_qs;
const QString music = u"org.example.music"_qs;
} // namespace

QQuickItem *TestGroupViews::find(const ViewTest &test, const QString &name)
{
    return findUnder(test.view()->contentItem(), name);
}

namespace {
struct Strip
{
    GroupsFixture s;
    AppGroup *work = s.addGroup(u"工作"_qs, 0, {editor, calc});
    AppGroup *fun = s.addGroup(u"娱乐与游戏"_qs, 1, {music});
    AppGroup *study = s.addGroup(u"学习"_qs, 2);
    GroupTabsModel tabs{*s.state, s.store()};
    ViewTest view{u"tst_groupviews"_qs};

    bool load()
    {
        return view.loadFile(TARNWICK_TEST_QML_DIR u"/GroupTabsPage.qml"_qs,
                             {{u"tabs"_qs, QVariant::fromValue(&tabs)}});
    }
};
} // namespace

void TestGroupViews::stripSelectsByClicks()
{
    Strip t;
    QVERIFY2(t.load(), qPrintable(t.view.errors()));
    t.view.click(ViewTest::centreOf(find(t.view, u"groupTab:娱乐与游戏"_qs)));
    QCOMPARE(t.s.state->selectedGroupID(), std::optional(t.fun->storeID()));
    t.view.mouseMove(ViewTest::centreOf(find(t.view, u"groupTab:学习"_qs)));
    QCOMPARE(t.view.cursorShape(), Qt::PointingHandCursor);
    t.view.grab(u"strip-three-groups-second-selected-third-hovered"_qs);
    t.view.click(ViewTest::centreOf(find(t.view, u"allAppsTab"_qs)));
    QVERIFY(!t.s.state->selectedGroupID());
}

void TestGroupViews::dragReordersWithMarker()
{
    Strip t;
    QVERIFY2(t.load(), qPrintable(t.view.errors()));
    QQuickItem *from = find(t.view, u"groupTab:工作"_qs);
    QQuickItem *onto = find(t.view, u"groupTab:学习"_qs);
    QVERIFY(from && onto);
    const QPointF start = ViewTest::centreOf(from);
    t.view.mousePress(start);
    // Past the drag threshold, then across the strip into the trailing half of "学习".
    const QPointF target = ViewTest::pointIn(onto, QPointF(onto->width() * 0.8, onto->height() / 2));
    for (int i = 1; i <= 12; ++i)
        t.view.mouseMove(start + (target - start) * (i / 12.0));
    QVERIFY(t.tabs.draggingGroupID());
    QTRY_VERIFY(t.tabs.dropSlot().has_value());
    QCOMPARE(t.tabs.dropSlot()->refID, t.study->refID());
    QVERIFY(!t.tabs.dropSlot()->after); // the side of the entry point: entered from the leading edge
    QQuickItem *marker = findUnder(onto, u"dropMarker"_qs);
    QVERIFY(marker);
    t.view.grab(u"drag-marker-before-study"_qs);
    t.view.mouseRelease(target); // dropped in the trailing half: after
    QCOMPARE(t.s.names(), (QStringList{u"娱乐与游戏"_qs, u"学习"_qs, u"工作"_qs}));
    QVERIFY(!t.tabs.draggingGroupID());
    QVERIFY(!t.tabs.dropSlot());
    t.view.grab(u"after-drop-work-last"_qs);

    // A drag let go outside the strip leaves nothing behind.
    QQuickItem *fun = find(t.view, u"groupTab:娱乐与游戏"_qs);
    const QPointF funCentre = ViewTest::centreOf(fun);
    t.view.mousePress(funCentre);
    for (int i = 1; i <= 8; ++i)
        t.view.mouseMove(funCentre + QPointF(0, 25 * i));
    QVERIFY(t.tabs.draggingGroupID());
    t.view.mouseRelease(funCentre + QPointF(0, 200));
    QVERIFY(!t.tabs.draggingGroupID());
    QCOMPARE(t.s.names(), (QStringList{u"娱乐与游戏"_qs, u"学习"_qs, u"工作"_qs}));
}

void TestGroupViews::hiddenModeRow()
{
    Strip t;
    t.s.state->setShowHiddenApps(true);
    QVERIFY2(t.load(), qPrintable(t.view.errors()));
    QVERIFY(!find(t.view, u"allAppsTab"_qs));
    QQuickItem *back = find(t.view, u"backToAllTab"_qs);
    QVERIFY(back);
    // 18 high under 6 of padding: what follows the strip starts 24 below its top.
    QQuickItem *strip = find(t.view, u"strip"_qs);
    QQuickItem *row = find(t.view, u"hiddenRow"_qs);
    QCOMPARE(row->mapToItem(strip, QPointF(0, 0)).y(), 6.0);
    QCOMPARE(row->height(), 18.0);
    QCOMPARE(strip->height(), 24.0);
    t.view.grab(u"hidden-mode-row"_qs);
    const int token = t.s.state->pagerResetToken();
    t.view.click(ViewTest::centreOf(back));
    QVERIFY(!t.s.state->showHiddenApps());
    QCOMPARE(t.s.state->pagerResetToken(), token + 1);
    QTRY_VERIFY(find(t.view, u"allAppsTab"_qs));
}

void TestGroupViews::namingSheetAnswersReturnAndEscape()
{
    Strip t;
    QVERIFY2(t.load(), qPrintable(t.view.errors()));
    t.view.click(ViewTest::centreOf(find(t.view, u"addGroupButton"_qs)));
    QVERIFY(t.tabs.naming());
    QQuickItem *field = nullptr;
    QTRY_VERIFY((field = find(t.view, u"groupNameField"_qs)));
    QTRY_VERIFY(field->hasActiveFocus());
    QCOMPARE(field->property("text").toString(), u"新分组"_qs);
    t.view.grab(u"naming-sheet-new-group"_qs);
    t.view.key(Qt::Key_End);
    for (int i = 0; i < 3; ++i)
        t.view.key(Qt::Key_Backspace);
    t.view.type(u"阅读"_qs);
    t.view.key(Qt::Key_Return);
    QVERIFY(!t.tabs.naming());
    QCOMPARE(t.s.names().constLast(), u"阅读"_qs);
    QTRY_VERIFY(find(t.view, u"groupTab:阅读"_qs)); // the strip has its new layout

    // Escape after typing: the new group keeps "新分组".
    t.view.click(ViewTest::centreOf(find(t.view, u"addGroupButton"_qs)));
    QTRY_VERIFY(t.tabs.naming());
    QTRY_VERIFY((field = find(t.view, u"groupNameField"_qs)) && field->hasActiveFocus());
    QCOMPARE(field->property("text").toString(), u"新分组"_qs);
    t.view.type(u"草稿"_qs);
    t.view.key(Qt::Key_Escape);
    QTRY_VERIFY(!t.tabs.naming());
    QCOMPARE(t.s.names().constLast(), u"新分组"_qs);
}

void TestGroupViews::groupTabMenuDeletes()
{
    Strip t;
    t.s.state->setSelectedGroupID(t.study->storeID());
    QVERIFY2(t.load(), qPrintable(t.view.errors()));
    t.view.click(ViewTest::centreOf(find(t.view, u"groupTab:学习"_qs)), Qt::RightButton);
    QQuickItem *remove = nullptr;
    QTRY_VERIFY((remove = find(t.view, u"deleteGroupItem"_qs)));
    QTest::qWait(50);
    t.view.grab(u"group-tab-menu"_qs);
    t.view.click(ViewTest::centreOf(remove));
    QCOMPARE(t.s.names(), (QStringList{u"工作"_qs, u"娱乐与游戏"_qs}));
    QVERIFY(!t.s.state->selectedGroupID());
}

namespace {
struct Menu
{
    GroupsFixture s;
    AppGroup *work = s.addGroup(u"工作"_qs, 0, {editor, calc});
    AppGroup *fun = s.addGroup(u"娱乐与游戏"_qs, 1, {music});
    QList<QList<QUrl>> revealed;
    AppContextMenuModel model{*s.state, s.store(), [this](const QList<QUrl> &items) { revealed.append(items); }};
    ViewTest view{u"tst_groupviews"_qs};

    bool load()
    {
        QVariantList apps;
        for (const AppInfo &a : GroupsFixture::apps())
            apps.append(QVariantMap{{u"bundleID"_qs, a.bundleID}, {u"name"_qs, a.name}, {u"pinned"_qs, a.bundleID == calc}});
        return view.loadFile(TARNWICK_TEST_QML_DIR u"/AppMenuPage.qml"_qs,
                             {{u"menuModel"_qs, QVariant::fromValue(&model)}, {u"apps"_qs, apps}});
    }
};
} // namespace

void TestGroupViews::rightClickOpensTheAppMenu()
{
    Menu t;
    t.s.state->setSelectedGroupID(t.work->storeID());
    QVERIFY2(t.load(), qPrintable(t.view.errors()));
    QQuickItem *tile = find(t.view, u"tile:"_qs + calc);
    t.view.click(ViewTest::centreOf(tile)); // a left click opens no menu
    QVERIFY(!find(t.view, u"menuEntry:重命名"_qs));
    t.view.click(ViewTest::centreOf(tile), Qt::RightButton);
    QQuickItem *groups = nullptr;
    QTRY_VERIFY((groups = find(t.view, u"menuEntry:重命名"_qs)));
    QVERIFY(find(t.view, u"menuEntry:移出分组"_qs));
    // Hovering "移入分组" opens the submenu with the member group checked.
    QQuickItem *submenu = nullptr;
    for (QQuickItem *item = groups->parentItem(); item && !submenu; item = item->parentItem()) {
        const auto children = item->childItems();
        for (QQuickItem *child : children) {
            if (child->property("text").toString() == u"移入分组"_qs)
                submenu = child;
        }
    }
    QVERIFY(submenu);
    t.view.mouseMove(ViewTest::centreOf(submenu));
    t.view.mouseMove(ViewTest::centreOf(submenu) + QPointF(3, 0));
    // Hovering opens it after a moment; a click opens it too.
    if (!QTest::qWaitFor([&] { return find(t.view, u"menuEntry:工作"_qs) != nullptr; }, 1500))
        t.view.click(ViewTest::centreOf(submenu));
    QQuickItem *member = nullptr;
    QTRY_VERIFY((member = find(t.view, u"menuEntry:工作"_qs)));
    QVERIFY(member->property("isChecked").toBool());
    QVERIFY(!find(t.view, u"menuEntry:娱乐与游戏"_qs)->property("isChecked").toBool());
    QTest::qWait(80);
    t.view.grab(u"app-menu-move-to-group-open-member-checked"_qs);
    t.view.mouseMove(ViewTest::centreOf(member));
    t.view.click(ViewTest::centreOf(member));
    QCOMPARE(t.work->bundleIDs(), QStringList{editor});

    // A second right click, then "在文件管理器中显示".
    QTRY_VERIFY(!find(t.view, u"menuEntry:工作"_qs));
    t.view.click(ViewTest::centreOf(tile), Qt::RightButton);
    QQuickItem *reveal = nullptr;
    QTRY_VERIFY((reveal = find(t.view, u"menuEntry:在文件管理器中显示"_qs)));
    QVERIFY(!find(t.view, u"menuEntry:移出分组"_qs)); // no longer a member
    t.view.mouseMove(ViewTest::centreOf(reveal));
    QTest::qWait(50);
    t.view.click(ViewTest::centreOf(reveal));
    QTRY_COMPARE(t.revealed, (QList<QList<QUrl>>{{GroupsFixture::appOf(calc).url}}));
}

void TestGroupViews::hiddenModeMenu()
{
    Menu t;
    t.s.state->setShowHiddenApps(true);
    QVERIFY2(t.load(), qPrintable(t.view.errors()));
    t.view.click(ViewTest::centreOf(find(t.view, u"tile:"_qs + editor)), Qt::RightButton);
    QQuickItem *unhide = nullptr;
    QTRY_VERIFY((unhide = find(t.view, u"menuEntry:取消隐藏"_qs)));
    QVERIFY(find(t.view, u"menuEntry:在文件管理器中显示"_qs));
    QVERIFY(!find(t.view, u"menuEntry:打开"_qs));
    QTest::qWait(50);
    t.view.grab(u"hidden-mode-app-menu"_qs);
}

namespace {
struct Rename
{
    GroupsFixture s;
    RenameSheetModel model{*s.state};
    ViewTest view{u"tst_groupviews"_qs};

    Rename()
    {
        s.store().fetchOrCreateMeta(calc)->setAliasName(u" 算盘 "_qs);
        std::ignore = s.store().save();
        s.state->refreshSortMeta();
    }
    bool load(const QString &bundleID)
    {
        return view.loadFile(TARNWICK_TEST_QML_DIR u"/RenameSheetPage.qml"_qs,
                             {{u"renameModel"_qs, QVariant::fromValue(&model)}, {u"bundleID"_qs, bundleID}});
    }
    [[nodiscard]] int closes() const { return view.root()->property("closes").toInt(); }
};
} // namespace

void TestGroupViews::renameSheetReturnSaves()
{
    Rename t;
    QVERIFY2(t.load(calc), qPrintable(t.view.errors()));
    QQuickItem *field = nullptr;
    QTRY_VERIFY((field = find(t.view, u"renameField"_qs)) && field->hasActiveFocus());
    QCOMPARE(field->property("text").toString(), u"算盘"_qs);
    t.view.grab(u"rename-sheet-alias-focused"_qs);
    t.view.key(Qt::Key_A, Qt::ControlModifier);
    t.view.type(u"  "_qs);
    t.view.key(Qt::Key_Return);
    QTRY_COMPARE(t.closes(), 1);
    QVERIFY(!t.s.store().meta(calc)->aliasName()); // blanks remove the alias
    QCOMPARE(t.s.state->appName(calc), std::optional(u"计算器"_qs));
}

void TestGroupViews::renameSheetEscapeKeeps()
{
    Rename t;
    QVERIFY2(t.load(calc), qPrintable(t.view.errors()));
    QQuickItem *field = nullptr;
    QTRY_VERIFY((field = find(t.view, u"renameField"_qs)) && field->hasActiveFocus());
    t.view.type(u"盘"_qs);
    QCOMPARE(field->property("text").toString(), u"算盘盘"_qs);
    t.view.key(Qt::Key_Escape);
    QTRY_COMPARE(t.closes(), 1);
    QCOMPARE(t.s.store().meta(calc)->aliasName(), std::optional(u" 算盘 "_qs));
}

void TestGroupViews::renameSheetUnknownAppCloses()
{
    Rename t;
    QVERIFY2(t.load(u"org.example.gone"_qs), qPrintable(t.view.errors()));
    QTRY_COMPARE(t.closes(), 1);
    QVERIFY(!t.s.store().hasChanges());
    QVERIFY(!t.s.store().meta(u"org.example.gone"_qs));
}

QTEST_MAIN(TestGroupViews)
#include "tst_groupviews.moc"
