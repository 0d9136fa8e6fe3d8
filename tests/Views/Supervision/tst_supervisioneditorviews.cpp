#include "fixtureapps.h"
#include "viewtest.h"

#include "../App/appstatefixture.h"
#include "appgroup.h"
#include "focussessionmanager.h"
#include "supervisionpanelmodel.h"
#include "supervisiontab.h"
#include "quitplan.h"
#include "quitplaneditormodel.h"
#include "restrictionrule.h"
#include "ruleeditormodel.h"
#include "schedulecalendar.h"
#include "storecontext.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono;

// The two supervision editors and their two hand-made fields in a window over a state object on fakes, driven with
// real clicks, keys and wheel turns: validity and "保存", Return and Escape, the kind switch, the group pop-up, the
// app picker, typed and stepped times with "次日", the day pop-up and its minimum. Runs with TZ=Asia/Shanghai.
class TestSupervisionEditorViews : public QObject
{
    Q_OBJECT

    QTemporaryDir m_icons;

    struct Editors
    {
        AppStateFixture f;
        QStringList calls;
        QList<AppInfo> apps;
        // Made before the view, so they outlive it.
        std::unique_ptr<RuleEditorModel> ruleModel;
        std::unique_ptr<QuitPlanEditorModel> planModel;
        ViewTest view{u"tst_supervisioneditorviews"_s};

        explicit Editors(const QString &iconDir)
        {
            // Wednesday 18 March 2026, 20:00 in Shanghai.
            f.clock.setWallTime(Instant{sys_days{year{2026} / 3 / 18} + hours{12}});
            f.start();
            apps = FixtureApps::make(8, iconDir);
            f.finishScan(apps);
            view.setIconCache(f.iconCache);
            StoreContext &c = context();
            c.insert(std::make_unique<AppGroup>(u"学习"_s, 0, QStringList{apps[0].bundleID}));
            c.insert(std::make_unique<AppGroup>(u"娱乐"_s, 1, QStringList{apps[2].bundleID}));
            std::ignore = c.save();
        }
        SupervisionWriteHooks hooks()
        {
            return {[this] { calls.append(u"guards"_s); }, [this] { calls.append(u"reschedule"_s); }};
        }
        StoreContext &context() { return f.state->container().mainContext(); }
        RuleEditorModel &ruleEditor()
        {
            ruleModel = std::make_unique<RuleEditorModel>(state(), hooks());
            return *ruleModel;
        }
        QuitPlanEditorModel &planEditor()
        {
            planModel = std::make_unique<QuitPlanEditorModel>(state(), hooks());
            return *planModel;
        }
        AppState &state() { return *f.state; }
        // The shown item of that name (rows rebuilt a moment ago may linger, hidden, until they are deleted).
        QQuickItem *item(const QString &name) const
        {
            QQuickItem *found = shownIn(view.view()->contentItem(), name);
            return found ? found : ViewTest::itemIn(view.view()->contentItem(), name);
        }
        static QQuickItem *shownIn(QQuickItem *under, const QString &name)
        {
            if (!under->isVisible())
                return nullptr;
            if (under->objectName() == name)
                return under;
            for (QQuickItem *child : under->childItems())
                if (QQuickItem *found = shownIn(child, name))
                    return found;
            return nullptr;
        }
        // A frame first, so what just showed has its place (its layout is done when the scene is polished).
        void click(const QString &name)
        {
            QTest::qWait(20);
            QQuickItem *target = item(name);
            QVERIFY2(target, qPrintable(name));
            QVERIFY2(target->isVisible(), qPrintable(name));
            view.click(ViewTest::centreOf(target));
        }
        bool shown(const QString &name) const
        {
            QQuickItem *target = item(name);
            return target && target->isVisible();
        }
        QString groupRef(int sortIndex)
        {
            for (const AppGroup *g : context().fetch<AppGroup>())
                if (g->sortIndex() == sortIndex)
                    return g->refID();
            return {};
        }
        RestrictionRule *newRule()
        {
            auto *rule = context().insert(std::make_unique<RestrictionRule>(
                RestrictionTarget::app, QString(), 1380, 420, QList<int>{1, 2, 3, 4, 5, 6, 7}, true, std::nullopt));
            std::ignore = context().save();
            return rule;
        }
        QuitPlan *newPlan()
        {
            auto *plan = context().insert(std::make_unique<QuitPlan>(QuitPlanTarget::apps, QString(), QStringList(),
                                                                     1380, QList<int>{1, 2, 3, 4, 5, 6, 7},
                                                                     QuitPlanBlockMode::none, 60, 420, true));
            std::ignore = context().save();
            return plan;
        }
        template <class Model>
        void load(const QString &sheet, Model &model)
        {
            QVERIFY2(view.loadView(sheet, {{u"model"_s, QVariant::fromValue(&model)}}, QSize(520, 820)),
                     qPrintable(view.errors()));
            QCoreApplication::processEvents();
        }
        void loadPanel()
        {
            state().setShowSupervision(true);
            QVERIFY2(view.loadFile(QStringLiteral(TARNWICK_TEST_QML_DIR "/SupervisionPanelPage.qml"),
                                   {{u"state"_s, QVariant::fromValue(f.state.get())}}),
                     qPrintable(view.errors()));
            QTRY_VERIFY(shown(u"supervisionPanel"_s));
            QTest::qWait(100); // the sheet's opening
        }
        // A part of a row, after a frame (a row that just came is placed when the scene is polished).
        void clickIn(const QString &row, const QString &part)
        {
            QTest::qWait(20);
            QQuickItem *r = item(row);
            QQuickItem *target = r ? ViewTest::itemIn(r, part) : nullptr;
            QVERIFY2(target, qPrintable(row + u' ' + part));
            view.click(ViewTest::centreOf(target));
        }
        // The row's buttons show while the pointer is over it. Rows are rebuilt when the store or the state changes
        // (a rebuilt row has not seen the pointer yet), so the pointer moves onto the row until they show.
        void hoverAndClick(const QString &row, const QString &button)
        {
            QQuickItem *b = nullptr;
            for (int i = 0; i < 50 && !b; ++i) {
                QQuickItem *r = item(row);
                QVERIFY2(r, qPrintable(row));
                view.mouseMove(ViewTest::pointIn(r, QPointF(r->width() / 2, 2)));
                view.mouseMove(ViewTest::pointIn(r, QPointF(r->width() / 2, r->height() / 2)));
                b = ViewTest::itemIn(r, button);
                if (!b)
                    QTest::qWait(20);
            }
            QVERIFY2(b, qPrintable(button));
            view.click(ViewTest::centreOf(b));
        }
        QString rowText(const QString &row, const QString &part) const
        {
            QQuickItem *r = item(row);
            QQuickItem *t = r ? ViewTest::itemIn(r, part) : nullptr;
            return t ? t->property("text").toString() : QString();
        }
        QString text(const QString &name) const
        {
            QQuickItem *target = item(name);
            return target ? target->property("text").toString() : QString();
        }
    };

    static QString fieldText(QQuickItem *field)
    {
        return ViewTest::itemIn(field, u"hours"_s)->property("text").toString() + u':'
               + ViewTest::itemIn(field, u"minutes"_s)->property("text").toString();
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_icons.isValid()); }

    // --- The time field on its own.
    void timeFieldTypesAndSteps()
    {
        Editors e(m_icons.path());
        QVERIFY2(e.view.loadView(u"TimeOfDayField"_s, {{u"value"_s, 23 * 60 + 59}}, QSize(120, 40)),
                 qPrintable(e.view.errors()));
        QQuickItem *field = e.view.root();
        QSignalSpy edited(field, SIGNAL(valueEdited(int)));
        QCOMPARE(fieldText(field), u"23:59"_s);

        // Up on the hours wraps 23 → 0 and leaves the minutes.
        e.click(u"hours"_s);
        QVERIFY(field->hasActiveFocus());
        QCOMPARE(field->property("part").toInt(), 0);
        e.view.key(Qt::Key_Up);
        QCOMPARE(edited.takeLast().at(0).toInt(), 59);
        QCOMPARE(fieldText(field), u"00:59"_s);
        // Tab moves to the minutes; Up wraps 59 → 0 and leaves the hours.
        e.view.key(Qt::Key_Tab);
        QCOMPARE(field->property("part").toInt(), 1);
        e.view.key(Qt::Key_Up);
        QCOMPARE(fieldText(field), u"00:00"_s);
        QCOMPARE(edited.takeLast().at(0).toInt(), 0);
        e.view.key(Qt::Key_Down);
        QCOMPARE(fieldText(field), u"00:59"_s);

        // Typing: "7" completes the hours at once and hands over to the minutes, "4" "5" fill them.
        e.click(u"hours"_s);
        e.view.type(u"745"_s);
        QCOMPARE(fieldText(field), u"07:45"_s);
        QCOMPARE(edited.last().at(0).toInt(), 7 * 60 + 45);
        // "2" waits for a second digit (already written through), "3" makes 23.
        e.click(u"hours"_s);
        e.view.type(u"2"_s);
        QCOMPARE(fieldText(field), u"02:45"_s);
        QCOMPARE(field->property("part").toInt(), 0);
        e.view.type(u"3"_s);
        QCOMPARE(fieldText(field), u"23:45"_s);
        QCOMPARE(field->property("part").toInt(), 1);
        // Out of range is refused: "2" "7" in the hours keeps 02; "6" then "7"... minutes 67 never happens.
        e.click(u"hours"_s);
        e.view.type(u"27"_s);
        QCOMPARE(fieldText(field), u"02:45"_s);
        e.click(u"minutes"_s);
        e.view.type(u"x"_s);
        QCOMPARE(fieldText(field), u"02:45"_s);

        // The arrows step the selected part; the wheel too, one step per notch, wrapping.
        e.click(u"minutes"_s);
        e.click(u"down"_s);
        QCOMPARE(fieldText(field), u"02:44"_s);
        e.click(u"hours"_s);
        e.click(u"up"_s);
        QCOMPARE(fieldText(field), u"03:44"_s);
        e.view.wheel(ViewTest::centreOf(field), QPoint(0, 120));
        QCOMPARE(fieldText(field), u"04:44"_s);
        e.view.wheel(ViewTest::centreOf(field), QPoint(0, -120 * 5));
        QCOMPARE(fieldText(field), u"23:44"_s);
        // A high-resolution wheel's small deltas make one step together.
        for (int i = 0; i < 7; ++i)
            e.view.wheel(ViewTest::centreOf(field), QPoint(0, 15));
        QCOMPARE(fieldText(field), u"23:44"_s);
        e.view.wheel(ViewTest::centreOf(field), QPoint(0, 15));
        QCOMPARE(fieldText(field), u"00:44"_s);
        e.view.grab(u"时间字段_小时选中"_s);
    }

    // --- The rule editor.
    void newRuleSavesOnlyWithAnApp()
    {
        Editors e(m_icons.path());
        RuleEditorModel &model = e.ruleEditor();
        RestrictionRule *rule = e.newRule();
        model.open(rule, true);
        e.load(u"RuleEditorSheet"_s, model);

        QCOMPARE(e.text(u"appName"_s), u"请选择应用"_s);
        QCOMPARE(fieldText(e.item(u"startField"_s)), u"23:00"_s);
        QCOMPARE(fieldText(e.item(u"endField"_s)), u"07:00"_s);
        QVERIFY(e.shown(u"nextDay"_s));
        QVERIFY(e.shown(u"weekdays"_s));
        QVERIFY(!e.shown(u"dayRow"_s));
        QVERIFY(!e.item(u"save"_s)->isEnabled());
        e.view.grab(u"规则编辑_新建"_s);

        // Return does nothing while "保存" is off.
        e.view.key(Qt::Key_Return);
        QVERIFY(model.isOpen());
        QVERIFY(rule->targetID().isEmpty());

        // The app picker above the editor; a click picks and closes it.
        e.click(u"appButton"_s);
        QTRY_VERIFY(e.shown(u"row_"_s + e.apps[0].bundleID));
        QTest::qWait(100);
        e.view.grab(u"规则编辑_选择应用"_s);
        // Escape closes the picker alone, Return there saves nothing.
        e.view.key(Qt::Key_Escape);
        QTRY_VERIFY(!e.shown(u"appPickerPopup"_s));
        QVERIFY(model.isOpen());
        e.click(u"appButton"_s);
        QTRY_VERIFY(e.shown(u"row_"_s + e.apps[0].bundleID));
        e.click(u"row_"_s + e.apps[0].bundleID);
        QTRY_VERIFY(!e.shown(u"appPickerPopup"_s));
        QCOMPARE(e.text(u"appName"_s), u"微信"_s);
        QVERIFY(e.item(u"save"_s)->isEnabled());
        e.view.grab(u"规则编辑_已选应用"_s);

        // 09:00–17:00 typed into the fields: no "次日".
        e.click(u"hours"_s); // the start field's hours come first
        e.view.type(u"0900"_s);
        QCOMPARE(model.startMinute(), 540);
        QVERIFY(e.shown(u"nextDay"_s));
        QQuickItem *end = e.item(u"endField"_s);
        e.view.click(ViewTest::centreOf(ViewTest::itemIn(end, u"hours"_s)));
        e.view.type(u"1700"_s);
        QCOMPARE(model.endMinute(), 1020);
        QVERIFY(!e.shown(u"nextDay"_s));

        // Return saves now, even with the focus in a time field.
        e.view.key(Qt::Key_Return);
        QVERIFY(!model.isOpen());
        QCOMPARE(rule->targetID(), e.apps[0].bundleID);
        QCOMPARE(rule->startMinute(), 540);
        QCOMPARE(rule->endMinute(), 1020);
        QCOMPARE(e.calls, QStringList{u"guards"_s});
        QVERIFY(!e.context().hasChanges());
    }

    void escapeCancelsANewRule()
    {
        Editors e(m_icons.path());
        RuleEditorModel &model = e.ruleEditor();
        model.open(e.newRule(), true);
        e.load(u"RuleEditorSheet"_s, model);
        e.view.key(Qt::Key_Escape);
        QVERIFY(!model.isOpen());
        QCOMPARE(e.context().count<RestrictionRule>(), 0);
        QCOMPARE(e.calls, QStringList{u"guards"_s});
    }

    void groupKindAndDanglingGroup()
    {
        Editors e(m_icons.path());
        RuleEditorModel &model = e.ruleEditor();
        RestrictionRule *rule = e.newRule();
        rule->setTargetID(e.apps[1].bundleID);
        model.open(rule, false);
        e.load(u"RuleEditorSheet"_s, model);
        QCOMPARE(e.text(u"appName"_s), e.apps[1].name);

        // "分组" clears the app; the pop-up starts on "请选择分组" and "保存" is off.
        e.click(u"segment_分组"_s);
        QVERIFY(e.shown(u"groupRow"_s));
        QVERIFY(!e.shown(u"appRow"_s));
        QCOMPARE(model.targetID(), QString());
        QCOMPARE(e.item(u"groupPicker"_s)->property("displayText").toString(), u"请选择分组"_s);
        QVERIFY(!e.item(u"save"_s)->isEnabled());
        e.click(u"groupPicker"_s);
        QTRY_VERIFY(e.shown(u"choice_2"_s));
        QTest::qWait(100); // the pop-up settles where it opens
        e.view.grab(u"规则编辑_分组弹出"_s);
        e.click(u"choice_2"_s);
        QCOMPARE(model.targetID(), e.groupRef(1));
        QCOMPARE(e.item(u"groupPicker"_s)->property("displayText").toString(), u"娱乐"_s);
        QVERIFY(e.item(u"save"_s)->isEnabled());
        e.view.grab(u"规则编辑_分组"_s);
        // Back to "单个应用": the app does not come back.
        e.click(u"segment_单个应用"_s);
        QCOMPARE(e.text(u"appName"_s), u"请选择应用"_s);
        // Cancelling an old rule leaves it as it was.
        e.click(u"cancel"_s);
        QVERIFY(!model.isOpen());
        QCOMPARE(rule->targetID(), e.apps[1].bundleID);
        QCOMPARE(e.calls, QStringList());

        // A group reference no group has: a blank pop-up, and still saveable.
        rule->setTargetKindRaw(1);
        rule->setTargetID(u"gone"_s);
        std::ignore = e.context().save();
        model.open(rule, false);
        QCoreApplication::processEvents();
        QCOMPARE(e.item(u"groupPicker"_s)->property("currentIndex").toInt(), -1);
        QCOMPARE(e.item(u"groupPicker"_s)->property("displayText").toString(), QString());
        QVERIFY(e.item(u"save"_s)->isEnabled());
        e.click(u"save"_s);
        QCOMPARE(rule->targetID(), u"gone"_s);
    }

    void oneOffDayPopupKeepsTheMinimum()
    {
        Editors e(m_icons.path());
        RuleEditorModel &model = e.ruleEditor();
        RestrictionRule *rule = e.newRule();
        rule->setTargetID(e.apps[3].bundleID);
        model.open(rule, false);
        e.load(u"RuleEditorSheet"_s, model);

        e.click(u"segment_单次"_s);
        QVERIFY(model.isOnce());
        QVERIFY(e.shown(u"dayRow"_s));
        QVERIFY(!e.shown(u"weekdays"_s));
        QCOMPARE(e.text(u"dayText"_s), u"2026年3月18日"_s);
        e.click(u"dayField"_s);
        QTRY_VERIFY(e.shown(u"monthGrid"_s));
        QCOMPARE(e.text(u"monthTitle"_s), u"2026年3月"_s);
        QVERIFY(!e.item(u"previousMonth"_s)->isEnabled());
        QTest::qWait(100);
        e.view.grab(u"规则编辑_单次日期弹出"_s);

        // Escape closes the calendar alone.
        e.view.key(Qt::Key_Escape);
        QTRY_VERIFY(!e.shown(u"monthGrid"_s));
        QVERIFY(model.isOpen());
        e.click(u"dayField"_s);
        QTRY_VERIFY(e.shown(u"monthGrid"_s));
        // A day before today cannot be picked; the pop-up stays.
        e.click(u"day17"_s);
        QCOMPARE(model.onceDay(), QDate(2026, 3, 18));
        QVERIFY(e.shown(u"monthGrid"_s));
        // Next month, then back; a later day is picked and the pop-up closes.
        e.click(u"nextMonth"_s);
        QCOMPARE(e.text(u"monthTitle"_s), u"2026年4月"_s);
        QVERIFY(e.item(u"previousMonth"_s)->isEnabled());
        e.click(u"previousMonth"_s);
        e.click(u"day20"_s);
        QTRY_VERIFY(!e.shown(u"monthGrid"_s));
        QCOMPARE(model.onceDay(), QDate(2026, 3, 20));
        QCOMPARE(e.text(u"dayText"_s), u"2026年3月20日"_s);
        e.view.grab(u"规则编辑_单次"_s);

        e.click(u"save"_s);
        QVERIFY(rule->onceDate().has_value());
        const ScheduleCalendar calendar = ScheduleCalendar::system();
        QCOMPARE(calendar.localDay(*rule->onceDate()), sys_days{year{2026} / 3 / 20});
    }

    // --- The plan editor.
    void newPlanSavesOnlyWithATarget()
    {
        Editors e(m_icons.path());
        QuitPlanEditorModel &model = e.planEditor();
        QuitPlan *plan = e.newPlan();
        model.open(plan, true);
        e.load(u"QuitPlanEditorSheet"_s, model);

        QVERIFY(e.shown(u"appsPicker"_s));
        QCOMPARE(fieldText(e.item(u"quitField"_s)), u"23:00"_s);
        QVERIFY(!e.shown(u"weekdays"_s));
        QVERIFY(!e.item(u"blockSwitch"_s)->property("checked").toBool());
        QVERIFY(!e.item(u"save"_s)->isEnabled());
        QTest::qWait(100);
        e.view.grab(u"计划编辑_新建"_s);
        e.view.key(Qt::Key_Return);
        QVERIFY(model.isOpen());

        // The list is sorted by name: 百度网盘 and 哔哩哔哩 come first.
        e.click(u"row_"_s + e.apps[7].bundleID);
        e.click(u"row_"_s + e.apps[2].bundleID);
        QVERIFY(e.item(u"save"_s)->isEnabled());
        // The quit time stepped with the arrows: 23:00 → 22:00 (the hours) → 22:59 (the minutes, wrapping).
        QQuickItem *quit = e.item(u"quitField"_s);
        e.view.click(ViewTest::centreOf(ViewTest::itemIn(quit, u"hours"_s)));
        e.view.click(ViewTest::centreOf(ViewTest::itemIn(quit, u"down"_s)));
        e.view.click(ViewTest::centreOf(ViewTest::itemIn(quit, u"minutes"_s)));
        e.view.key(Qt::Key_Down);
        QCOMPARE(model.quitMinute(), 22 * 60 + 59);
        e.view.grab(u"计划编辑_已选应用"_s);
        e.view.key(Qt::Key_Return);
        QVERIFY(!model.isOpen());
        QCOMPARE(plan->bundleIDs(), (QStringList{e.apps[2].bundleID, e.apps[7].bundleID}));
        QCOMPARE(plan->quitMinute(), 22 * 60 + 59);
        QCOMPARE(e.calls, QStringList{u"reschedule"_s});
    }

    void escapeCancelsANewPlan()
    {
        Editors e(m_icons.path());
        QuitPlanEditorModel &model = e.planEditor();
        model.open(e.newPlan(), true);
        e.load(u"QuitPlanEditorSheet"_s, model);
        e.click(u"row_"_s + e.apps[2].bundleID);
        e.view.key(Qt::Key_Escape);
        QVERIFY(!model.isOpen());
        QCOMPARE(e.context().count<QuitPlan>(), 0);
        QCOMPARE(e.calls, QStringList());
    }

    void planGroupDaysAndBlock()
    {
        Editors e(m_icons.path());
        QuitPlanEditorModel &model = e.planEditor();
        QuitPlan *plan = e.newPlan();
        plan->setBundleIDs({e.apps[2].bundleID});
        model.open(plan, false);
        e.load(u"QuitPlanEditorSheet"_s, model);

        // The group kind: the pop-up; the apps stay ticked behind it.
        e.click(u"segment_分组"_s);
        QVERIFY(e.shown(u"groupRow"_s));
        QVERIFY(!e.shown(u"appsPicker"_s));
        QVERIFY(!e.item(u"save"_s)->isEnabled());
        e.click(u"groupPicker"_s);
        QTRY_VERIFY(e.shown(u"choice_1"_s));
        QTest::qWait(100); // the pop-up settles where it opens
        e.click(u"choice_1"_s);
        QVERIFY(e.item(u"save"_s)->isEnabled());
        e.view.grab(u"计划编辑_分组"_s);

        // "自定义" starts without days and turns "保存" off until one is chosen.
        e.click(u"segment_自定义"_s);
        QVERIFY(e.shown(u"weekdays"_s));
        QVERIFY(!e.item(u"save"_s)->isEnabled());
        e.click(u"day2"_s);
        e.click(u"day4"_s);
        e.click(u"day6"_s);
        QVERIFY(e.item(u"save"_s)->isEnabled());
        e.view.grab(u"计划编辑_自定义"_s);

        // The block: by minutes, a typed length that Return commits and then saves with the whole plan.
        e.click(u"blockSwitch"_s);
        QVERIFY(model.blockOn());
        QVERIFY(e.shown(u"blockMinutes"_s));
        QTest::qWait(20); // placed at the next polish
        QQuickItem *input = ViewTest::itemIn(e.item(u"blockMinutes"_s), u"input"_s);
        e.view.click(ViewTest::centreOf(input));
        e.view.key(Qt::Key_A, Qt::ControlModifier);
        e.view.type(u"90"_s);
        e.view.grab(u"计划编辑_按分钟禁启"_s);
        e.view.key(Qt::Key_Return);
        QVERIFY(!model.isOpen());
        QCOMPARE(plan->blockMode(), QuitPlanBlockMode::minutes);
        QCOMPARE(plan->blockMinutes(), 90);
        QCOMPARE(plan->weekdays(), (QList<int>{2, 4, 6}));

        // Opened again for the rest.
        model.open(plan, false);
        QTRY_VERIFY(e.shown(u"blockMinutes"_s));
        QCOMPARE(ViewTest::itemIn(e.item(u"blockMinutes"_s), u"input"_s)->property("text").toString(), u"90"_s);

        // Until a time: "次日" while the quit is not before it.
        e.click(u"segment_到某时刻"_s);
        QVERIFY(e.shown(u"untilField"_s));
        QVERIFY(e.shown(u"nextDay"_s)); // 23:00 → 07:00
        QTest::qWait(20); // placed at the next polish
        QQuickItem *until = e.item(u"untilField"_s);
        e.view.click(ViewTest::centreOf(ViewTest::itemIn(until, u"hours"_s)));
        e.view.type(u"2330"_s);
        QVERIFY(!e.shown(u"nextDay"_s));
        e.view.click(ViewTest::centreOf(ViewTest::itemIn(until, u"hours"_s)));
        e.view.type(u"23"_s);
        e.view.type(u"00"_s);
        QVERIFY(e.shown(u"nextDay"_s)); // equal times count as the next day
        e.view.click(ViewTest::centreOf(ViewTest::itemIn(until, u"hours"_s)));
        e.view.type(u"0730"_s);
        e.view.grab(u"计划编辑_禁启至次日"_s);

        e.click(u"save"_s);
        QVERIFY(!model.isOpen());
        QCOMPARE(plan->targetKind(), QuitPlanTarget::group);
        QCOMPARE(plan->groupID(), e.groupRef(0));
        QCOMPARE(plan->bundleIDs(), QStringList());
        QCOMPARE(plan->weekdays(), (QList<int>{2, 4, 6}));
        QCOMPARE(plan->blockMode(), QuitPlanBlockMode::until);
        QCOMPARE(plan->blockMinutes(), 90);
        QCOMPARE(plan->blockUntilMinute(), 450);
    }

    void typedBlockLengthIsClampedOnSave()
    {
        Editors e(m_icons.path());
        QuitPlanEditorModel &model = e.planEditor();
        QuitPlan *plan = e.newPlan();
        plan->setBundleIDs({e.apps[2].bundleID});
        plan->setBlockModeRaw(1);
        model.open(plan, false);
        e.load(u"QuitPlanEditorSheet"_s, model);
        QQuickItem *input = ViewTest::itemIn(e.item(u"blockMinutes"_s), u"input"_s);
        e.view.click(ViewTest::centreOf(input));
        e.view.key(Qt::Key_A, Qt::ControlModifier);
        e.view.type(u"5000"_s);
        // Not committed yet; the click on "保存" takes the focus, which commits it first.
        e.click(u"save"_s);
        QVERIFY(!model.isOpen());
        QCOMPARE(plan->blockMinutes(), 1439);
    }

    // --- In the panel: the timed-quit tab and both editors, the whole flow.
    void quitTabInThePanel()
    {
        Editors e(m_icons.path());
        e.state().supervisionInitialTab = SupervisionTab::quit;
        e.loadPanel();
        QVERIFY(e.shown(u"plansEmpty"_s));
        QVERIFY(!e.shown(u"sessionsBlock"_s));

        // Add: a plan listed at once behind its editor, which opens on it as new.
        e.click(u"addButton"_s);
        QTRY_VERIFY(e.shown(u"planEditor"_s));
        QTRY_VERIFY(e.shown(u"plan_0"_s));
        QCOMPARE(e.rowText(u"plan_0"_s, u"rowTitle"_s), u"（未选择应用）"_s);
        QCOMPARE(e.rowText(u"plan_0"_s, u"rowSubtitle"_s), u"每天 23:00 退出"_s);
        QVERIFY(!e.shown(u"rowBadge"_s));
        QCOMPARE(e.context().count<QuitPlan>(), 1);
        QTest::qWait(100);
        e.view.grab(u"面板_新计划编辑器"_s);
        // Escape cancels it: the plan and its row go, the panel stays.
        e.view.key(Qt::Key_Escape);
        QTRY_VERIFY(!e.shown(u"planEditor"_s));
        QTRY_VERIFY(e.shown(u"plansEmpty"_s));
        QCOMPARE(e.context().count<QuitPlan>(), 0);
        QVERIFY(e.shown(u"supervisionPanel"_s));

        // Add again, tick two apps, Return: saved and listed under their names.
        e.click(u"addButton"_s);
        QTRY_VERIFY(e.shown(u"planEditor"_s));
        QTRY_VERIFY(e.shown(u"row_"_s + e.apps[7].bundleID));
        e.click(u"row_"_s + e.apps[7].bundleID);
        e.click(u"row_"_s + e.apps[2].bundleID);
        e.view.key(Qt::Key_Return);
        QTRY_VERIFY(!e.shown(u"planEditor"_s));
        QTRY_COMPARE(e.rowText(u"plan_0"_s, u"rowTitle"_s), u"哔哩哔哩、百度网盘"_s);

        // Edit: the editor opens on the stored values; a change then "取消" leaves the plan as it was.
        QuitPlan *plan = e.context().fetch<QuitPlan>().at(0);
        e.hoverAndClick(u"plan_0"_s, u"editButton"_s);
        QTRY_VERIFY(e.shown(u"planEditor"_s));
        QVERIFY(e.shown(u"appsPicker"_s));
        e.click(u"segment_自定义"_s);
        e.click(u"cancel"_s);
        QTRY_VERIFY(!e.shown(u"planEditor"_s));
        QCOMPARE(plan->weekdays(), (QList<int>{1, 2, 3, 4, 5, 6, 7}));
        QCOMPARE(e.context().count<QuitPlan>(), 1);
        // Edit and save: a block of 45 minutes, the badge follows.
        e.hoverAndClick(u"plan_0"_s, u"editButton"_s);
        QTRY_VERIFY(e.shown(u"planEditor"_s));
        e.click(u"blockSwitch"_s);
        e.click(u"save"_s);
        QTRY_VERIFY(!e.shown(u"planEditor"_s));
        QTRY_COMPARE(e.rowText(u"plan_0"_s, u"rowBadge"_s), u"禁启 60 分钟"_s);

        // A second plan, a group one, paused once through the switch and the card.
        auto *second = e.context().insert(std::make_unique<QuitPlan>(
            QuitPlanTarget::group, e.groupRef(1), QStringList(), 8 * 60 + 30, QList<int>{2, 3, 4, 5, 6},
            QuitPlanBlockMode::until, 60, 12 * 60, true));
        std::ignore = e.context().save();
        QTRY_VERIFY(e.shown(u"plan_1"_s));
        QCOMPARE(e.rowText(u"plan_1"_s, u"rowTitle"_s), u"分组：娱乐"_s);
        QCOMPARE(e.rowText(u"plan_1"_s, u"rowBadge"_s), u"禁启至 12:00"_s);
        e.clickIn(u"plan_1"_s, u"rowSwitch"_s);
        QTRY_VERIFY(e.shown(u"disableCard"_s));
        QTest::qWait(500); // the card springs in
        QVERIFY(second->isEnabled());
        e.click(u"pauseOnceButton"_s);
        QTRY_VERIFY(!e.shown(u"disableCard"_s));
        QVERIFY(second->pausedUntil().has_value());
        QTRY_COMPARE(e.rowText(u"plan_1"_s, u"rowSubtitle"_s), u"周一～周五 08:30 退出 · 已暂停至明日 12:00"_s);

        // Running sessions below the plans.
        for (int i = 0; i < 2; ++i) {
            FocusSession s;
            s.bundleID = e.apps[i].bundleID;
            s.appName = e.apps[i].name;
            if (i == 0)
                s.taskNote = u"写周报"_s;
            s.deadline = e.f.clock.now() + 24min + 37s + std::chrono::minutes(i * 51);
            if (i == 0)
                s.blockMinutes = 30;
            e.state().sessionManager().begin(s);
        }
        QTRY_VERIFY(e.shown(u"sessionsBlock"_s));
        QCOMPARE(e.rowText(u"session_0"_s, u"rowTitle"_s), u"写周报"_s);
        QCOMPARE(e.rowText(u"session_0"_s, u"rowBadge"_s), u"运行中"_s);
        QCOMPARE(e.rowText(u"session_0"_s, u"rowSubtitle"_s), u"剩余 24:37 · 到点自动退出，后续禁启 30 分钟"_s);
        QCOMPARE(e.rowText(u"session_1"_s, u"rowTitle"_s), e.apps[1].name);
        QCOMPARE(e.rowText(u"session_1"_s, u"rowSubtitle"_s), u"剩余 75:37 · 到点自动退出"_s);
        e.view.mouseMove(QPointF(2, 2));
        QTest::qWait(50);
        e.view.grab(u"面板_定时退出_计划与会话"_s);
        // A session's close: the close card, and "关闭并删除" ends it.
        e.hoverAndClick(u"session_0"_s, u"closeButton"_s);
        QTRY_VERIFY(e.shown(u"closeCard"_s));
        QTest::qWait(500); // the card springs in
        e.view.grab(u"面板_定时退出_关闭会话"_s);
        e.click(u"confirmButton"_s);
        QTRY_COMPARE(e.state().sessionManager().sessions().size(), 1);
        QTRY_COMPARE(e.rowText(u"session_0"_s, u"rowTitle"_s), e.apps[1].name);

        // Delete: at once.
        e.hoverAndClick(u"plan_0"_s, u"deleteButton"_s);
        QTRY_COMPARE(e.context().count<QuitPlan>(), 1);
        QTRY_COMPARE(e.rowText(u"plan_0"_s, u"rowTitle"_s), u"分组：娱乐"_s);
    }

    void ruleEditorInThePanel()
    {
        Editors e(m_icons.path());
        e.state().supervisionInitialTab = SupervisionTab::restrict;
        e.loadPanel();
        e.click(u"addButton"_s);
        QTRY_VERIFY(e.shown(u"ruleEditor"_s));
        QCOMPARE(e.context().count<RestrictionRule>(), 1);
        QTest::qWait(100);
        e.view.grab(u"面板_新规则编辑器"_s);
        // A click outside the editor closes nothing.
        e.view.click(QPointF(5, 5));
        QVERIFY(e.shown(u"ruleEditor"_s));
        // "取消" deletes the new rule.
        e.click(u"cancel"_s);
        QTRY_VERIFY(!e.shown(u"ruleEditor"_s));
        QCOMPARE(e.context().count<RestrictionRule>(), 0);
        QVERIFY(e.shown(u"rulesEmpty"_s));

        // Add, pick an app in the picker above the editor, save: listed.
        e.click(u"addButton"_s);
        QTRY_VERIFY(e.shown(u"ruleEditor"_s));
        e.click(u"appButton"_s);
        QTRY_VERIFY(e.shown(u"row_"_s + e.apps[3].bundleID));
        QTest::qWait(100);
        e.view.grab(u"面板_规则编辑器_选择应用"_s);
        e.click(u"row_"_s + e.apps[3].bundleID);
        QTRY_VERIFY(!e.shown(u"appPickerPopup"_s));
        e.view.key(Qt::Key_Return);
        QTRY_VERIFY(!e.shown(u"ruleEditor"_s));
        QTRY_VERIFY(e.shown(u"rule_0"_s));
        QCOMPARE(e.rowText(u"rule_0"_s, u"rowTitle"_s), e.apps[3].name);

        // Edit: one-off, the calendar above the editor, save.
        e.hoverAndClick(u"rule_0"_s, u"editButton"_s);
        QTRY_VERIFY(e.shown(u"ruleEditor"_s));
        QTest::qWait(300); // the editor's opening
        e.click(u"segment_单次"_s);
        QTRY_VERIFY(e.shown(u"dayField"_s));
        e.click(u"dayField"_s);
        QTRY_VERIFY(e.shown(u"monthGrid"_s));
        QTest::qWait(100);
        e.view.grab(u"面板_规则编辑器_日期弹出"_s);
        e.click(u"day21"_s);
        QTRY_VERIFY(!e.shown(u"monthGrid"_s));
        e.click(u"save"_s);
        QTRY_VERIFY(!e.shown(u"ruleEditor"_s));
        QTRY_COMPARE(e.rowText(u"rule_0"_s, u"rowSubtitle"_s), u"23:00 – 07:00 · 单次 3月21日"_s);
    }
};

QTEST_MAIN(TestSupervisionEditorViews)
#include "tst_supervisioneditorviews.moc"
