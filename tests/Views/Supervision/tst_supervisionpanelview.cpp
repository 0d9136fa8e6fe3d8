#include "../App/appstatefixture.h"
#include "../Services/scheduletesting.h"
#include "../support/applists.h"

#include "adhocblock.h"
#include "appgroup.h"
#include "focussession.h"
#include "quitplan.h"
#include "restrictionrule.h"
#include "supervisionpanelmodel.h"
#include "viewtest.h"

#include <QSignalSpy>
#include <QTest>

// The supervision panel in a window with real events: Return and Escape with and without a card, clicks under a
// card, the hover of a row, a switch turned off and cancelled, the pickers; and screenshots of every tab, card and
// sheet. On the virtual clock in Asia/Shanghai, Monday 2026-03-02 23:10.
class TestSupervisionPanelView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void tabsEmptyAndFilled();
    void returnAndEscape_data();
    void returnAndEscape();
    void clicksUnderACardDoNothing();
    void hoverShowsButtonsAndTint();
    void doubleClickOnDeleteDeletesOneRecord_data();
    void doubleClickOnDeleteDeletesOneRecord();
    void sloganWrittenOnEveryEdit();
    void switchOffCancelledShowsOn();
    void closeCards_data();
    void closeCards();
    void pickers();

private:
    bool loadPanel();
    // The item of that name anywhere in the window, the sheets included.
    [[nodiscard]] QQuickItem *find(const QString &name) const;
    [[nodiscard]] QQuickItem *panel() const;
    [[nodiscard]] SupervisionPanelModel *model() const;
    // Whether the item of that name exists and shows.
    [[nodiscard]] bool shown(const QString &name) const
    {
        const QQuickItem *item = find(name);
        return item && item->isVisible();
    }
    // How often the panel's sheet has closed.
    [[nodiscard]] int closes() const;
    [[nodiscard]] StoreContext &context() const { return m_fixture->state->container().mainContext(); }
    RestrictionRule *addRule(const QString &target, int start, int end, std::optional<Instant> once = std::nullopt);
    QuitPlan *addPlan(const QStringList &ids, QuitPlanBlockMode mode, int minutes, int until);
    void fill();

    std::unique_ptr<AppStateFixture> m_fixture;
    std::unique_ptr<ViewTest> m_test;
};

namespace {

using ScheduleTesting::instant;

Instant at(const QString &dayTime)
{
    return instant(u"2026-03-"_qs + dayTime + u"+08:00"_qs);
}

const QString reading = u"com.example.reading"_qs;
const QString video = u"com.example.video"_qs;
const QString notes = u"com.example.notes"_qs;
const QString chat = u"com.example.chat"_qs;
const QString bili = u"tv.danmaku.bilibilihd"_qs;
const QString xhs = u"com.xingin.xhs"_qs;

} // namespace

void TestSupervisionPanelView::init()
{
    m_fixture = std::make_unique<AppStateFixture>();
    m_fixture->clock.setWallTime(at(u"02T23:10:00"_qs));
    QVERIFY(&m_fixture->start());
    m_fixture->finishScan({AppLists::app(reading, u"微信读书"_qs), AppLists::app(video, u"哔哩哔哩"_qs),
                           AppLists::app(notes, u"备忘录"_qs), AppLists::app(chat, u"微信"_qs),
                           AppLists::app(bili, u"哔哩哔哩HD"_qs), AppLists::app(xhs, u"小红书"_qs)});
    m_test = std::make_unique<ViewTest>(u"tst_supervisionpanelview"_qs);
    m_test->setIconCache(m_fixture->iconCache);
}

void TestSupervisionPanelView::cleanup()
{
    m_test.reset();
    m_fixture.reset();
}

bool TestSupervisionPanelView::loadPanel()
{
    m_fixture->state->setShowSupervision(true);
    return m_test->loadFile(QStringLiteral(TARNWICK_TEST_QML_DIR "/SupervisionPanelPage.qml"),
                            {{u"state"_qs, QVariant::fromValue(m_fixture->state.get())}})
           && find(u"supervisionPanel"_qs);
}

QQuickItem *TestSupervisionPanelView::find(const QString &name) const
{
    return ViewTest::itemIn(m_test->view()->contentItem(), name);
}

QQuickItem *TestSupervisionPanelView::panel() const
{
    return find(u"supervisionPanel"_qs);
}

SupervisionPanelModel *TestSupervisionPanelView::model() const
{
    return panel()->property("model").value<SupervisionPanelModel *>();
}

int TestSupervisionPanelView::closes() const
{
    return m_test->root()->property("closes").toInt();
}

RestrictionRule *TestSupervisionPanelView::addRule(const QString &target, int start, int end,
                                                   std::optional<Instant> once)
{
    RestrictionRule *rule = context().insert(std::make_unique<RestrictionRule>(
        RestrictionTarget::app, target, start, end, QList<int>{1, 2, 3, 4, 5, 6, 7}, true, once));
    std::ignore = context().save();
    return rule;
}

QuitPlan *TestSupervisionPanelView::addPlan(const QStringList &ids, QuitPlanBlockMode mode, int minutes, int until)
{
    QuitPlan *plan = context().insert(std::make_unique<QuitPlan>(
        QuitPlanTarget::apps, QString(), ids, 23 * 60, QList<int>{1, 2, 3, 4, 5, 6, 7}, mode, minutes, until, true));
    std::ignore = context().save();
    return plan;
}

// Rules (one paused, two one-off ones of today: one over, one ending at 23:15), a plan block of each kind and an ad-hoc block, all seen at 23:10.
void TestSupervisionPanelView::fill()
{
    addRule(reading, 23 * 60, 7 * 60);
    RestrictionRule *paused = addRule(video, 21 * 60, 23 * 60 + 30);
    paused->setPausedUntil(at(u"02T23:30:00"_qs));
    addRule(notes, 22 * 60, 23 * 60, at(u"02T00:00:00"_qs)); // today 22:00–23:00, over at 23:10
    addRule(chat, 22 * 60, 23 * 60 + 15, at(u"02T00:00:00"_qs)); // today until 23:15, over while the panel shows
    AppGroup *group = context().insert(std::make_unique<AppGroup>(u"娱乐"_qs, 0, QStringList{video}));
    context().insert(std::make_unique<RestrictionRule>(RestrictionTarget::group, group->refID(), 9 * 60, 18 * 60,
                                                       QList<int>{2, 3, 4, 5, 6}, true, std::nullopt));
    addPlan({reading, video, chat}, QuitPlanBlockMode::minutes, 30, 0);
    addPlan({notes}, QuitPlanBlockMode::until, 0, 7 * 60);
    context().insert(std::make_unique<AdHocBlock>(u"org.example.unnamed"_qs, at(u"03T00:05:00"_qs)));
    std::ignore = context().save();
}

void TestSupervisionPanelView::tabsEmptyAndFilled()
{
    QVERIFY2(loadPanel(), qPrintable(m_test->errors()));
    QCOMPARE(panel()->width(), 520.0);
    QCOMPARE(panel()->height(), 500.0);
    m_test->grab(u"启动条件_空"_qs);
    m_test->click(ViewTest::centreOf(find(u"tab_restrict"_qs)));
    QCOMPARE(model()->tab(), SupervisionTab::restrict);
    QVERIFY(find(u"rulesEmpty"_qs)->isVisible());
    QVERIFY(!shown(u"linkedBlocks"_qs));
    m_test->grab(u"禁启规则_空"_qs);
    m_test->click(ViewTest::centreOf(find(u"tab_quit"_qs)));
    QVERIFY(find(u"plansEmpty"_qs)->isVisible());
    QVERIFY(!shown(u"sessionsBlock"_qs));
    m_test->grab(u"定时退出_空"_qs);

    // Filled: the panel opened from the blocked-launch prompt shows the rules at once.
    m_test.reset();
    m_test = std::make_unique<ViewTest>(u"tst_supervisionpanelview"_qs);
    m_test->setIconCache(m_fixture->iconCache);
    fill();
    m_fixture->preferences.setStringList(u"focusControlBundleIDs"_qs, {reading, chat, u"org.example.gone"_qs});
    m_fixture->preferences.setStringList(u"searchPageEnabledBundleIDs"_qs, {xhs});
    m_fixture->state->supervisionInitialTab = SupervisionTab::restrict;
    QVERIFY2(loadPanel(), qPrintable(m_test->errors()));
    QCOMPARE(model()->tab(), SupervisionTab::restrict);
    QCOMPARE(m_fixture->state->supervisionInitialTab, SupervisionTab::launch);
    // The one-off rule that ended went at the appear step; the other four are listed.
    QCOMPARE(model()->ruleRows()->count(), 4);
    QCOMPARE(model()->linkedRows()->count(), 3);
    QVERIFY(shown(u"linkedBlocks"_qs));
    // The next one-off rule ends while the panel shows: marked at the next rebuild, not deleted.
    m_fixture->clock.advanceTo(at(u"02T23:20:00"_qs));
    m_fixture->state->announceChange();
    QCOMPARE(model()->ruleRows()->rows().at(2).subtitle, u"22:00 – 23:15 · 单次 3月2日 · 已过期"_qs);
    m_test->grab(u"禁启规则_有规则与联动禁启"_qs);
    QMetaObject::invokeMethod(find(u"tabScroller"_qs), "positionViewAtEnd");
    m_test->grab(u"禁启规则_滚到底"_qs);
    m_test->click(ViewTest::centreOf(find(u"tab_launch"_qs)));
    QCOMPARE(find(u"focusRow"_qs)->property("title").toString(), u"已勾选 2 个应用"_qs);
    QCOMPARE(find(u"searchRow"_qs)->property("title").toString(), u"已开启 1 个应用"_qs);
    m_test->grab(u"启动条件_已勾选"_qs);
}

void TestSupervisionPanelView::returnAndEscape_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("closesPanel");
    QTest::addColumn<QString>("after"); // the rule's state after the key, or the card left open

    QTest::newRow("Return, no card: 完成") << u"none"_qs << int(Qt::Key_Return) << true << u"enabled"_qs;
    QTest::newRow("Enter, no card: 完成") << u"none"_qs << int(Qt::Key_Enter) << true << u"enabled"_qs;
    QTest::newRow("Escape, no card: closes") << u"none"_qs << int(Qt::Key_Escape) << true << u"enabled"_qs;
    QTest::newRow("Return, turn-off card: pause once") << u"turnOff"_qs << int(Qt::Key_Return) << false
                                                       << u"paused"_qs;
    QTest::newRow("Return, turn-off card without pause: nothing") << u"turnOffNoPause"_qs << int(Qt::Key_Return)
                                                                  << false << u"card"_qs;
    QTest::newRow("Escape, turn-off card: card only") << u"turnOff"_qs << int(Qt::Key_Escape) << false
                                                      << u"enabled"_qs;
    QTest::newRow("Return, close card: confirms") << u"close"_qs << int(Qt::Key_Return) << false << u"closed"_qs;
    QTest::newRow("Escape, close card: card only") << u"close"_qs << int(Qt::Key_Escape) << false << u"kept"_qs;
}

void TestSupervisionPanelView::returnAndEscape()
{
    QFETCH(QString, setup);
    QFETCH(int, key);
    QFETCH(bool, closesPanel);
    QFETCH(QString, after);

    // A rule in force now (23:00–07:00), or one without a coming window (start = end).
    RestrictionRule *rule = setup == u"turnOffNoPause" ? addRule(reading, 600, 600) : addRule(reading, 1380, 420);
    context().insert(std::make_unique<AdHocBlock>(chat, at(u"03T00:05:00"_qs)));
    std::ignore = context().save();
    m_fixture->state->supervisionInitialTab = SupervisionTab::restrict;
    QVERIFY2(loadPanel(), qPrintable(m_test->errors()));

    if (setup.startsWith(u"turnOff")) {
        m_test->click(ViewTest::centreOf(m_test->itemIn(find(u"rule_0"_qs), u"rowSwitch"_qs)));
        QVERIFY(shown(u"turnOffOverlay"_qs));
        QCOMPARE(find(u"pauseOnceButton"_qs)->isVisible(), setup == u"turnOff");
        m_test->grab(setup == u"turnOff" ? u"关闭规则卡片_可只关闭单次"_qs : u"关闭规则卡片_无单次"_qs);
    } else if (setup == u"close") {
        m_test->mouseMove(ViewTest::centreOf(find(u"linked_0"_qs)));
        m_test->click(ViewTest::centreOf(m_test->itemIn(find(u"linked_0"_qs), u"closeButton"_qs)));
        QVERIFY(shown(u"closeOverlay"_qs));
    }

    m_test->key(Qt::Key(key));
    QTRY_COMPARE(closes(), closesPanel ? 1 : 0);
    if (after == u"enabled") {
        QVERIFY(rule->isEnabled());
        QVERIFY(!rule->pausedUntil());
        QVERIFY(!shown(u"turnOffOverlay"_qs));
    } else if (after == u"paused") {
        QCOMPARE(rule->pausedUntil(), std::optional(at(u"03T07:00:00"_qs)));
        QVERIFY(!shown(u"turnOffOverlay"_qs));
    } else if (after == u"card") {
        QVERIFY(shown(u"turnOffOverlay"_qs));
        QVERIFY(rule->isEnabled());
    } else if (after == u"closed") {
        QVERIFY(context().fetch<AdHocBlock>().isEmpty());
        QVERIFY(!shown(u"closeOverlay"_qs));
    } else if (after == u"kept") {
        QCOMPARE(context().fetch<AdHocBlock>().size(), 1);
        QVERIFY(!shown(u"closeOverlay"_qs));
        m_test->key(Qt::Key_Escape); // a second Escape closes the panel
        QTRY_COMPARE(closes(), 1);
        QVERIFY(!m_fixture->state->showSupervision());
    }
}

void TestSupervisionPanelView::clicksUnderACardDoNothing()
{
    addRule(reading, 1380, 420);
    m_fixture->state->supervisionInitialTab = SupervisionTab::restrict;
    QVERIFY2(loadPanel(), qPrintable(m_test->errors()));
    const QPointF doneButton = ViewTest::centreOf(find(u"doneButton"_qs));
    const QPointF launchTab = ViewTest::centreOf(find(u"tab_launch"_qs));
    const QPointF addButton = ViewTest::centreOf(find(u"addButton"_qs));

    m_test->click(ViewTest::centreOf(m_test->itemIn(find(u"rule_0"_qs), u"rowSwitch"_qs)));
    QVERIFY(model()->hasDisableRequest());
    for (const QPointF &pos : {doneButton, launchTab, addButton})
        m_test->click(pos);
    QCOMPARE(closes(), 0);
    QCOMPARE(model()->tab(), SupervisionTab::restrict);
    QCOMPARE(context().fetch<RestrictionRule>().size(), 1); // "添加" made no rule
    QVERIFY(!model()->hasEditingRule());
    QVERIFY(model()->hasDisableRequest());
    // The pointer over the covered tab shows no pointing hand.
    m_test->mouseMove(launchTab);
    QCOMPARE(m_test->cursorShape(), Qt::ArrowCursor);
}

void TestSupervisionPanelView::hoverShowsButtonsAndTint()
{
    addRule(reading, 1380, 420);
    addRule(video, 600, 720);
    m_fixture->state->supervisionInitialTab = SupervisionTab::restrict;
    QVERIFY2(loadPanel(), qPrintable(m_test->errors()));
    QQuickItem *row = find(u"rule_1"_qs);
    QQuickItem *fill = m_test->itemIn(row, u"rowFill"_qs);
    const QPointF inside = ViewTest::pointIn(row, QPointF(200, row->height() / 2));
    const QPointF sample = ViewTest::pointIn(row, QPointF(60, 3)); // on the row, clear of its texts

    const QColor before = m_test->grab(u"悬停前"_qs).pixelColor(sample.toPoint());
    QVERIFY(!m_test->itemIn(row, u"editButton"_qs));
    QCOMPARE(fill->property("color").value<QColor>().alpha(), 0);

    m_test->mouseMove(inside);
    QVERIFY(m_test->itemIn(row, u"editButton"_qs));
    QVERIFY(m_test->itemIn(row, u"deleteButton"_qs));
    QVERIFY(!m_test->itemIn(find(u"rule_0"_qs), u"editButton"_qs));
    const QColor hovered = m_test->grab(u"规则行_悬停"_qs).pixelColor(sample.toPoint());
    QVERIFY2(hovered.lightness() < before.lightness(), qPrintable(hovered.name() + u" vs "_qs + before.name()));

    // The edit button names itself after a moment.
    m_test->mouseMove(ViewTest::centreOf(m_test->itemIn(row, u"editButton"_qs)));
    QTRY_VERIFY(find(u"iconButtonTip"_qs) && find(u"iconButtonTip"_qs)->isVisible());
    QCOMPARE(find(u"iconButtonTip"_qs)->property("text").toString(), u"编辑"_qs);
    m_test->grab(u"规则行_编辑提示"_qs);

    // The delete button turns red under the pointer and deletes at once.
    QQuickItem *trash = m_test->itemIn(row, u"deleteButton"_qs);
    m_test->mouseMove(ViewTest::centreOf(trash));
    QCOMPARE(m_test->cursorShape(), Qt::PointingHandCursor);
    m_test->grab(u"规则行_悬停删除"_qs);

    // Leaving the row hides both at once.
    m_test->mouseMove(ViewTest::pointIn(find(u"rulesCaption"_qs), QPointF(5, 5)));
    QVERIFY(!m_test->itemIn(row, u"editButton"_qs));
    QCOMPARE(fill->property("color").value<QColor>().alpha(), 0);
    const QColor after = m_test->grab(u"悬停后"_qs).pixelColor(sample.toPoint());
    QCOMPARE(after, before);
}

void TestSupervisionPanelView::doubleClickOnDeleteDeletesOneRecord_data()
{
    QTest::addColumn<bool>("plans");
    QTest::newRow("rules") << false;
    QTest::newRow("plans") << true;
}

void TestSupervisionPanelView::doubleClickOnDeleteDeletesOneRecord()
{
    QFETCH(bool, plans);
    for (int i = 0; i < 3; ++i) {
        if (plans)
            addPlan({reading}, QuitPlanBlockMode::none, 60, 420);
        else
            addRule(reading, 600 + 60 * i, 630 + 60 * i);
    }
    const auto count = [this, plans] {
        return plans ? context().fetch<QuitPlan>().size() : context().fetch<RestrictionRule>().size();
    };
    m_fixture->state->supervisionInitialTab = plans ? SupervisionTab::quit : SupervisionTab::restrict;
    QVERIFY2(loadPanel(), qPrintable(m_test->errors()));
    const QString first = plans ? u"plan_0"_qs : u"rule_0"_qs;
    const auto trash = [this, &first] {
        QQuickItem *row = find(first);
        return row ? m_test->itemIn(row, u"deleteButton"_qs) : nullptr;
    };
    m_test->mouseMove(ViewTest::centreOf(find(first)));
    QVERIFY(trash());
    const QPointF at = ViewTest::centreOf(trash());
    m_test->mouseMove(at);
    m_test->click(at);
    QTRY_COMPARE(count(), 2);
    // The next record's row now lies under the still pointer with its buttons shown; the double-click's second
    // click lands on its delete button and deletes nothing.
    QTRY_VERIFY(trash());
    QCOMPARE(ViewTest::centreOf(trash()), at);
    m_test->click(at);
    QTest::qWait(50);
    QCOMPARE(count(), 2);
    m_test->grab(plans ? u"双击删除计划"_qs : u"双击删除规则"_qs);
    // A click after the double-click interval is the user's own.
    m_fixture->clock.advanceBy(std::chrono::seconds(1));
    m_test->click(at);
    QTRY_COMPARE(count(), 1);
}

void TestSupervisionPanelView::sloganWrittenOnEveryEdit()
{
    m_fixture->state->supervisionInitialTab = SupervisionTab::restrict;
    QVERIFY2(loadPanel(), qPrintable(m_test->errors()));
    m_test->click(ViewTest::centreOf(find(u"sloganField"_qs)));
    m_test->type(u"ab"_qs);
    QCOMPARE(m_fixture->preferences.stringValue(u"blockedSlogan"_qs), std::optional(u"ab"_qs));
    m_test->key(Qt::Key_Backspace);
    QCOMPARE(m_fixture->preferences.stringValue(u"blockedSlogan"_qs), std::optional(u"a"_qs));
    // Return in the field is the panel's "完成".
    m_test->key(Qt::Key_Return);
    QTRY_COMPARE(closes(), 1);
}

void TestSupervisionPanelView::switchOffCancelledShowsOn()
{
    RestrictionRule *rule = addRule(reading, 1380, 420);
    m_fixture->state->supervisionInitialTab = SupervisionTab::restrict;
    QVERIFY2(loadPanel(), qPrintable(m_test->errors()));
    QQuickItem *toggle = m_test->itemIn(find(u"rule_0"_qs), u"rowSwitch"_qs);
    QVERIFY(toggle->property("checked").toBool());

    m_test->click(ViewTest::centreOf(toggle));
    QVERIFY(shown(u"turnOffOverlay"_qs));
    QVERIFY(rule->isEnabled()); // unchanged while the card asks
    m_test->click(ViewTest::centreOf(find(u"cancelButton"_qs)));
    // Under a real X server the click arrives through the server: wait for it rather than read at once.
    QTRY_VERIFY(!shown(u"turnOffOverlay"_qs));
    toggle = m_test->itemIn(find(u"rule_0"_qs), u"rowSwitch"_qs);
    QTRY_VERIFY(toggle->property("checked").toBool());
    QVERIFY(rule->isEnabled());
    QVERIFY(!rule->pausedUntil());
    QVERIFY(!context().hasChanges());

    // "一直关闭" turns it off; a click on the switch then turns it on again without a card.
    m_test->click(ViewTest::centreOf(toggle));
    m_test->click(ViewTest::centreOf(find(u"alwaysButton"_qs)));
    QTRY_VERIFY(!rule->isEnabled());
    toggle = m_test->itemIn(find(u"rule_0"_qs), u"rowSwitch"_qs);
    QTRY_VERIFY(!toggle->property("checked").toBool());
    m_test->click(ViewTest::centreOf(toggle));
    QTRY_VERIFY(rule->isEnabled());
    QVERIFY(!model()->hasDisableRequest());
    QVERIFY(m_test->itemIn(find(u"rule_0"_qs), u"rowSwitch"_qs)->property("checked").toBool());
}

void TestSupervisionPanelView::closeCards_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("slogan");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("shot");

    const QString longSlogan = u"现在不是玩的时候，先把今天的事情做完。放下手机，去散散步，喝杯水，看看窗外，"
                               u"等到规定的时间过去再回来。你会感谢现在克制的自己，也会更喜欢明天的自己。"_qs;
    QTest::newRow("plan, no slogan") << u"plan"_qs << QString() << u"关闭并删除这条计划？"_qs
                                     << u"关闭卡片_计划_无标语"_qs;
    QTest::newRow("ad-hoc, long slogan") << u"adhoc"_qs << longSlogan << u"关闭这条临时禁启？"_qs
                                         << u"关闭卡片_临时禁启_长标语"_qs;
    QTest::newRow("session, short slogan") << u"session"_qs << u"专注当下"_qs << u"关闭并删除这条定时退出？"_qs
                                           << u"关闭卡片_定时退出_短标语"_qs;
}

void TestSupervisionPanelView::closeCards()
{
    QFETCH(QString, target);
    QFETCH(QString, slogan);
    QFETCH(QString, title);
    QFETCH(QString, shot);

    QuitPlan *plan = addPlan({reading, video}, QuitPlanBlockMode::minutes, 30, 0);
    AdHocBlock *block = context().insert(std::make_unique<AdHocBlock>(u"org.example.unnamed"_qs,
                                                                      at(u"03T00:05:00"_qs)));
    std::ignore = context().save();
    m_fixture->preferences.setString(u"blockedSlogan"_qs, slogan);
    m_fixture->state->supervisionInitialTab = SupervisionTab::restrict;
    QVERIFY2(loadPanel(), qPrintable(m_test->errors()));

    SupervisionPanelModel::CloseTarget closeTarget;
    if (target == u"plan") {
        closeTarget.kind = SupervisionPanelModel::CloseTarget::Kind::plan;
        closeTarget.plan = plan;
    } else if (target == u"adhoc") {
        closeTarget.kind = SupervisionPanelModel::CloseTarget::Kind::adhoc;
        closeTarget.adhoc = block;
    } else {
        closeTarget.kind = SupervisionPanelModel::CloseTarget::Kind::session;
        closeTarget.sessionID = QUuid::createUuid();
        closeTarget.sessionTitle = u"读完第三章"_qs;
    }
    model()->setCloseTarget(closeTarget);
    QCOMPARE(find(u"closeCard"_qs)->property("title").toString(), title);
    QQuickItem *sloganText = m_test->itemIn(find(u"closeCard"_qs), u"cardSlogan"_qs);
    QCOMPARE(sloganText->isVisible(), !slogan.isEmpty());
    if (!slogan.isEmpty())
        QVERIFY(sloganText->property("lineCount").toInt() <= 3);
    if (slogan.size() > 40)
        QVERIFY(sloganText->property("truncated").toBool());
    m_test->grab(shot);

    // "取消" closes only the card.
    m_test->click(ViewTest::centreOf(m_test->itemIn(find(u"closeCard"_qs), u"cancelButton"_qs)));
    QVERIFY(!model()->hasCloseTarget());
    QCOMPARE(context().fetch<QuitPlan>().size(), 1);
    QCOMPARE(context().fetch<AdHocBlock>().size(), 1);
}

void TestSupervisionPanelView::pickers()
{
    m_fixture->state->setAlias(u"读书"_qs, AppLists::app(reading, u"微信读书"_qs));
    m_fixture->preferences.setStringList(u"focusControlBundleIDs"_qs, {u"org.example.gone"_qs});
    QVERIFY2(loadPanel(), qPrintable(m_test->errors()));
    QCOMPARE(find(u"focusRow"_qs)->property("title").toString(), u"已勾选 0 个应用"_qs);

    m_test->click(ViewTest::centreOf(find(u"focusConfigure"_qs)));
    QVERIFY(model()->showAppPicker());
    QTest::qWait(50);
    QQuickItem *row = find(u"row_"_qs + reading);
    QVERIFY(row);
    m_test->click(ViewTest::centreOf(row));
    QCOMPARE(find(u"focusRow"_qs)->property("title").toString(), u"已勾选 1 个应用"_qs);
    m_test->grab(u"批量选择定时退出应用"_qs);
    // Escape closes as "完成" does; the choice is written, the stale id kept.
    m_test->key(Qt::Key_Escape);
    QTRY_VERIFY(!model()->showAppPicker());
    const QStringList stored = m_fixture->preferences.stringList(u"focusControlBundleIDs"_qs).value_or(QStringList());
    QCOMPARE(QSet<QString>(stored.begin(), stored.end()), (QSet<QString>{u"org.example.gone"_qs, reading}));

    m_test->click(ViewTest::centreOf(find(u"searchConfigure"_qs)));
    QVERIFY(model()->showSearchPagePicker());
    QTest::qWait(50);
    QVERIFY(find(u"row_"_qs + xhs));
    QVERIFY(!find(u"row_"_qs + reading));
    m_test->click(ViewTest::centreOf(find(u"row_"_qs + xhs)));
    m_test->grab(u"打开时进入搜索页_选择"_qs);
    m_test->click(ViewTest::centreOf(find(u"pickerDone"_qs)));
    QTRY_VERIFY(!model()->showSearchPagePicker());
    QCOMPARE(find(u"searchRow"_qs)->property("title").toString(), u"已开启 1 个应用"_qs);
    // The panel has the keys again: Escape closes it.
    m_test->key(Qt::Key_Escape);
    QTRY_COMPARE(closes(), 1);
}

QTEST_MAIN(TestSupervisionPanelView)
#include "tst_supervisionpanelview.moc"
