#include "fixtureapps.h"
#include "mainviewcontroller.h"
#include "qttranslations.h"
#include "rulestransfer.h"
#include "settingssheetmodel.h"
#include "viewtest.h"

#include "../App/appstatefixture.h"
#include "../Services/supervisionfixtures.h"
#include "fake/fakeclipboard.h"
#include "fake/fakesystemsettings.h"
#include "launchpromptmodels.h"
#include "appgroup.h"
#include "quitplan.h"
#include "restrictionrule.h"
#include "supervisionexporter.h"

#include <QFile>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The settings sheet in the launcher window over a state object on fakes: its height rule, its rows, and the rules
// file's round trip through the file dialogs, driven with real clicks and keys.
class TestSettingsView : public QObject
{
    Q_OBJECT

    QTemporaryDir m_icons;

    struct Main
    {
        AppStateFixture f;
        FakeSystemSettings systemSettings;
        FakeClipboard clipboard;
        std::unique_ptr<MainViewFactory> factory;
        std::unique_ptr<LaunchPromptModels> prompts;
        ViewTest view{u"tst_settingsview"_s};
        QList<AppInfo> apps;

        explicit Main(const QString &iconDir, QSize size = QSize(1030, 763))
        {
            f.start();
            QVERIFY(f.state);
            f.state->systemSettings = &systemSettings;
            apps = FixtureApps::make(12, iconDir);
            f.finishScan(apps);
            factory = std::make_unique<MainViewFactory>(MainViewController::Services{
                *f.state, f.activation, f.clock, f.clock, &f.iconCache,
                [iconDir](const AppInfo &app) {
                    return QUrl::fromLocalFile(FixtureApps::iconPath(iconDir, app.bundleID.right(3).toInt()))
                        .toString();
                },
                [] {}});
            prompts = std::make_unique<LaunchPromptModels>(*f.state, clipboard, systemSettings);
            view.setIconCache(f.iconCache);
            QVERIFY2(view.loadView(u"MainView"_s,
                                   {{u"state"_s, QVariant::fromValue(f.state.get())},
                                    {u"factory"_s, QVariant::fromValue(factory.get())},
                                    {u"prompts"_s, QVariant::fromValue(prompts.get())}},
                                   size),
                     qPrintable(view.errors()));
            QCoreApplication::processEvents();
        }
        AppState &state() { return *f.state; }
        // Items of popups live in the window's overlay, beside the main view.
        QQuickItem *item(const QString &name) const { return ViewTest::itemIn(view.view()->contentItem(), name); }
        QObject *object(const QString &name) const
        {
            return view.view()->contentItem()->findChild<QObject *>(name, Qt::FindChildrenRecursively);
        }
        void openSettings()
        {
            view.key(Qt::Key_Comma, Qt::ControlModifier);
            QTRY_VERIFY(item(u"settingsScroller"_s));
            QTest::qWait(250); // the sheet's opening
        }
        void clickItem(const QString &name)
        {
            QQuickItem *target = item(name);
            QVERIFY2(target, qPrintable(name));
            view.click(ViewTest::centreOf(target));
        }
        QString rulesDetail() const
        {
            QQuickItem *row = item(u"rulesRow"_s);
            return row ? row->property("detail").toString() : QString();
        }
    };

    static QByteArray readAll(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The visible item showing exactly `text` (a label of Qt's own dialog, or a file in its list).
    static QQuickItem *itemWithText(QQuickItem *under, const QString &text)
    {
        if (under->isVisible() && under->property("text").toString() == text)
            return under;
        for (QQuickItem *child : under->childItems())
            if (QQuickItem *found = child->isVisible() ? itemWithText(child, text) : nullptr)
                return found;
        return nullptr;
    }
    // Clicks the file in Qt's own open dialog, then its "打开" button.
    static void chooseInOpenDialog(Main &m, const QString &fileName)
    {
        QQuickItem *entry = nullptr;
        QTRY_VERIFY((entry = itemWithText(m.view.view()->contentItem(), fileName)));
        m.view.click(ViewTest::centreOf(entry));
        // The dialog's own button, in the window's overlay (the main view's key hints say "打开" too).
        QQuickItem *overlay = nullptr;
        for (QQuickItem *child : m.view.view()->contentItem()->childItems())
            if (child->inherits("QQuickOverlay"))
                overlay = child;
        QVERIFY(overlay);
        QQuickItem *open = itemWithText(overlay, u"打开"_s);
        QVERIFY(open);
        QTRY_VERIFY(open->isEnabled() || (open->parentItem() && open->parentItem()->isEnabled()));
        m.view.click(ViewTest::centreOf(open));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_icons.isValid());
        // Qt's own dialogs in Chinese, as the program loads them.
        QCOMPARE(QtTranslations::install(*QCoreApplication::instance()).size(), 2);
    }

    void heightRule_data()
    {
        QTest::addColumn<double>("screen");
        QTest::addColumn<double>("window"); // 0: none
        QTest::addColumn<double>("content"); // -1: not measured yet
        QTest::addColumn<double>("height");
        QTest::addColumn<bool>("divider");

        QTest::newRow("700: never above 520, divider while taller") << 700.0 << 900.0 << 600.0 << 520.0 << true;
        QTest::newRow("700: content that fits, no divider") << 700.0 << 900.0 << 400.0 << 400.0 << false;
        QTest::newRow("not measured counts as 480") << 800.0 << 900.0 << -1.0 << 480.0 << false;
        QTest::newRow("a taller screen raises the limit") << 1000.0 << 1200.0 << 900.0 << 820.0 << true;
        QTest::newRow("180: nothing, with the divider") << 180.0 << 900.0 << 300.0 << 0.0 << true;
        QTest::newRow("below 180: nothing") << 120.0 << 900.0 << 300.0 << 0.0 << true;
        QTest::newRow("a window shorter than its screen") << 1000.0 << 600.0 << 900.0 << 420.0 << true;
        QTest::newRow("no window: 800") << 0.0 << 0.0 << 700.0 << 620.0 << true;
    }
    void heightRule()
    {
        QFETCH(double, screen);
        QFETCH(double, window);
        QFETCH(double, content);
        QFETCH(double, height);
        QFETCH(bool, divider);
        const double h = SettingsSheetModel::visibleHeight(screen > 0 ? std::optional(screen) : std::nullopt,
                                                           window > 0 ? std::optional(window) : std::nullopt);
        const double measured = content < 0 ? SettingsSheetModel::unmeasuredContentHeight : content;
        QCOMPARE(SettingsSheetModel::scrollHeightFor(h, measured), height);
        QCOMPARE(SettingsSheetModel::scrollHeightFor(h, measured) < measured, divider);
    }

    void heightFollowsTheWindow()
    {
        QQuickWindow window;
        window.resize(500, 900);
        SettingsSheetModel model;
        QCOMPARE(model.screenHeight(), 800.0);
        QCOMPARE(model.scrollHeight(), 480.0);
        model.setWindow(&window);
        const double available = window.screen()->availableGeometry().height();
        QCOMPARE(model.screenHeight(), std::min(available, 900.0));
        QSignalSpy spy(&model, &SettingsSheetModel::heightsChanged);
        window.resize(500, 400);
        QVERIFY(!spy.isEmpty());
        QCOMPARE(model.screenHeight(), std::min(available, 400.0));
        model.setContentHeight(1000);
        QCOMPARE(model.scrollHeight(), std::min(available, 400.0) - 180);
        QVERIFY(model.showsDivider());
    }

    void hiddenRowCountsSnapshotsOfTargetableApps()
    {
        AppStateFixture f;
        AppState &state = f.start();
        const QList<AppInfo> apps = FixtureApps::make(3, m_icons.path());
        f.finishScan(apps);
        SettingsSheetModel model;
        model.setState(&state);
        QCOMPARE(model.hiddenCount(), 0);
        QCOMPARE(model.hiddenDetail(), u"暂无已隐藏应用"_s);
        state.hideApp(apps.at(1));
        QCOMPARE(model.hiddenCount(), 1);
        QCOMPARE(model.hiddenDetail(), u"查看已隐藏的应用，并可取消隐藏"_s);
        state.hideApp(apps.at(2));
        QCOMPARE(model.hiddenCount(), 2);
        state.unhideApp(apps.at(1));
        state.unhideApp(apps.at(2));
        QCOMPARE(model.hiddenCount(), 0);
    }

    void sheetFitsAndScrollsWithTheDivider()
    {
        Main m(m_icons.path());
        m.openSettings();
        QQuickItem *scroller = m.item(u"settingsScroller"_s);
        QQuickItem *cards = m.item(u"settingsCards"_s);
        QQuickItem *divider = m.item(u"footerDivider"_s);
        QVERIFY(scroller && cards && divider);
        QTRY_COMPARE(scroller->height(), cards->implicitHeight());
        QVERIFY(!divider->isVisible());
        QCOMPARE(m.item(u"hiddenAppsRow"_s)->property("detail").toString(), u"暂无已隐藏应用"_s);
        QVERIFY(!m.item(u"viewHiddenButton"_s)->isEnabled());
        QCOMPARE(m.rulesDetail(), u"导出为 JSON 备份；导入将全量覆盖当前规则、计划与分组"_s);
        m.view.grab(u"设置-完整显示"_s);

        // A short window: the area is cut down, scrolls, and the footer's divider shows.
        m.view.view()->resize(1030, 520);
        QTRY_COMPARE(scroller->height(), 520.0 - 180);
        QTRY_VERIFY(divider->isVisible());
        m.view.wheel(ViewTest::centreOf(scroller), QPoint(0, -480));
        QTRY_VERIFY(scroller->property("contentY").toDouble() > 0);
        m.view.grab(u"设置-滚动与分隔线"_s);

        // Steppers write through at once; Return closes.
        const int columns = m.state().gridPreferredColumns();
        m.view.view()->resize(1030, 763);
        QTRY_COMPARE(scroller->height(), cards->implicitHeight());
        QQuickItem *plus = ViewTest::itemIn(m.item(u"columnsStepper"_s), u"plus"_s);
        QVERIFY(plus);
        m.view.click(ViewTest::centreOf(plus));
        QCOMPARE(m.state().gridPreferredColumns(), columns + 1);
        m.view.key(Qt::Key_Return);
        QTRY_VERIFY(!m.state().showSettings());
    }

    void viewHiddenLeavesSearchAndGroup()
    {
        Main m(m_icons.path());
        m.state().hideApp(m.apps.at(3));
        auto *group = m.state().container().mainContext().insert(
            std::make_unique<AppGroup>(u"工作"_s, 0, QStringList{m.apps.at(0).bundleID}));
        QVERIFY(m.state().container().mainContext().save() == SaveResult::saved);
        m.state().setSearchText(u"app"_s);
        m.state().setSelectedGroupID(group->storeID());
        m.state().setSelectedAppID(m.apps.at(0).bundleID);
        const int token = m.state().pagerResetToken();
        m.openSettings();
        QCOMPARE(m.item(u"hiddenAppsRow"_s)->property("detail").toString(), u"查看已隐藏的应用，并可取消隐藏"_s);
        m.clickItem(u"viewHiddenButton"_s);
        QTRY_VERIFY(!m.state().showSettings());
        QCOMPARE(m.state().searchText(), QString());
        QVERIFY(!m.state().selectedGroupID());
        QVERIFY(m.state().showHiddenApps());
        QVERIFY(!m.state().selectedAppID());
        QCOMPARE(m.state().pagerResetToken(), token + 1);
    }

    void openSupervisionAndNotifications()
    {
        Main m(m_icons.path());
        m.openSettings();
        m.systemSettings.refuseNotificationSettings();
        m.clickItem(u"openNotificationsButton"_s);
        QCOMPARE(m.systemSettings.calls(), (QStringList{u"notifications"_s, u"settings"_s}));
        QVERIFY(m.state().showSettings());
        QCOMPARE(m.state().toast().message(), QString());

        m.state().supervisionInitialTab = SupervisionTab::quit;
        m.clickItem(u"openSupervisionButton"_s);
        QVERIFY(!m.state().showSettings());
        QVERIFY(m.state().showSupervision());
        // The panel opened on the tab asked for and handed the request back.
        QTRY_VERIFY(m.item(u"supervisionPanel"_s));
        QCOMPARE(m.item(u"supervisionPanel"_s)->property("model").value<QObject *>()->property("tab").toString(),
                 u"quit"_s);
        QCOMPARE(m.state().supervisionInitialTab, SupervisionTab::launch);
        QTRY_VERIFY(!m.item(u"settingsScroller"_s) || !m.item(u"settingsScroller"_s)->isVisible());
    }

    void roundTripThroughTheDialogs_data()
    {
        QTest::addColumn<QString>("source"); // empty: the file just exported
        QTest::newRow("the exported file") << QString();
        QTest::newRow("the golden file") << QStringLiteral(TARNWICK_TEST_DATA_DIR "/supervision-rules.json");
    }
    void roundTripThroughTheDialogs()
    {
        QFETCH(QString, source);
        Main m(m_icons.path());
        StoreContext &context = m.state().container().mainContext();
        auto *group = context.insert(std::make_unique<AppGroup>(u"学习"_s, 0, QStringList{m.apps.at(0).bundleID}));
        context.insert(std::make_unique<RestrictionRule>(RestrictionTarget::group, group->refID(), 60, 120,
                                                         QList<int>{1, 2}, true, std::nullopt));
        context.insert(std::make_unique<QuitPlan>(QuitPlanTarget::apps, QString(), QStringList{m.apps.at(1).bundleID},
                                                  600, QList<int>{3}, QuitPlanBlockMode::none, 0, 0, true));
        QVERIFY(context.save() == SaveResult::saved);
        const QString groupID = group->refID();
        m.openSettings();

        const QString exported = QDir(RulesTransfer::startFolder().toLocalFile()).filePath(u"我的规则.json"_s);
        m.clickItem(u"exportButton"_s);
        QObject *saveDialog = m.object(u"saveDialog"_s);
        QVERIFY(saveDialog);
        QTRY_VERIFY(saveDialog->property("visible").toBool());
        QTest::qWait(300);
        // Qt's own dialog (no desktop offers one here), with the proposed name in its field.
        QQuickItem *nameField = m.item(u"fileNameTextField"_s);
        QVERIFY(nameField);
        QCOMPARE(nameField->property("text").toString(), SupervisionExporter::defaultFileName(m.f.clock.now()));
        if (source.isEmpty())
            m.view.grab(u"保存对话框-建议文件名"_s);
        // Its buttons in Chinese; the save panel accepts with "保存".
        QVERIFY(itemWithText(m.view.view()->contentItem(), u"保存"_s));
        QVERIFY(itemWithText(m.view.view()->contentItem(), u"取消"_s));
        QVERIFY(!itemWithText(m.view.view()->contentItem(), u"Open"_s));
        // Another name, typed as the user would, then the dialog's accept.
        const auto acceptTypedName = [&] {
            m.view.click(ViewTest::centreOf(nameField));
            m.view.key(Qt::Key_A, Qt::ControlModifier);
            m.view.type(u"我的规则.json"_s);
            QCOMPARE(nameField->property("text").toString(), u"我的规则.json"_s);
            QVERIFY(QMetaObject::invokeMethod(saveDialog, "accept"));
        };
        const bool existed = QFile::exists(exported);
        const QByteArray before = existed ? readAll(exported) : QByteArray();
        acceptTypedName();
        if (existed) {
            // The first row's export is there: nothing is replaced before the user says yes.
            QTRY_VERIFY(m.item(u"replaceCardTitle"_s) && m.item(u"replaceCardTitle"_s)->isVisible());
            QCOMPARE(m.item(u"replaceCardTitle"_s)->property("text").toString(),
                     u"「我的规则.json」已存在，要替换它吗？"_s);
            QCOMPARE(readAll(exported), before);
            QTest::qWait(250);
            m.view.grab(u"替换确认卡片"_s);
            m.view.key(Qt::Key_Escape);
            QTRY_VERIFY(!m.item(u"replaceCardTitle"_s) || !m.item(u"replaceCardTitle"_s)->isVisible());
            QVERIFY(m.rulesDetail() != u"已导出：我的规则.json"_s);
            QCOMPARE(readAll(exported), before);
            // Again, and yes.
            m.clickItem(u"exportButton"_s);
            QTRY_VERIFY(saveDialog->property("visible").toBool());
            QTest::qWait(300);
            acceptTypedName();
            QTRY_VERIFY(m.item(u"replaceCardTitle"_s) && m.item(u"replaceCardTitle"_s)->isVisible());
            QTest::qWait(250);
            m.clickItem(u"replaceConfirm"_s);
            QTRY_VERIFY(readAll(exported) != before);
        }
        QTRY_COMPARE(m.rulesDetail(), u"已导出：我的规则.json"_s);
        QVERIFY(m.state().showSettings());
        QVERIFY(QFile::exists(exported));

        // Edits after the export.
        context.insert(std::make_unique<AppGroup>(u"娱乐"_s, 1, QStringList{}));
        context.fetch<RestrictionRule>().first()->setIsEnabled(false);
        QVERIFY(context.save() == SaveResult::saved);

        // The file to import lies in the folder the open dialog starts in.
        const QString name = source.isEmpty() ? QFileInfo(exported).fileName() : QFileInfo(source).fileName();
        if (!source.isEmpty())
            QVERIFY(QFile::copy(source, QDir(RulesTransfer::startFolder().toLocalFile()).filePath(name)));
        m.clickItem(u"importButton"_s);
        QObject *openDialog = m.object(u"openDialog"_s);
        QVERIFY(openDialog);
        QTRY_VERIFY(openDialog->property("visible").toBool());
        chooseInOpenDialog(m, name);
        QTRY_VERIFY(m.item(u"importCardTitle"_s) && m.item(u"importCardTitle"_s)->isVisible());
        const QString fileCounts = source.isEmpty() ? u"1 条规则、1 条计划、1 个分组"_s : u"2 条规则、2 条计划、2 个分组"_s;
        QCOMPARE(m.item(u"importCardTitle"_s)->property("text").toString(),
                 u"将覆盖当前的 1 条禁启规则、1 条计划、2 个分组与禁启标语，替换为文件中的 "_s + fileCounts
                     + u"。此操作不可撤销。"_s);
        QTest::qWait(250);
        if (source.isEmpty()) {
            m.view.grab(u"导入确认卡片"_s);
            // Escape leaves everything, the line included, and the sheet stays.
            m.view.key(Qt::Key_Escape);
            QTRY_VERIFY(!m.item(u"importCardTitle"_s) || !m.item(u"importCardTitle"_s)->isVisible());
            QVERIFY(m.state().showSettings());
            QCOMPARE(m.rulesDetail(), u"已导出：我的规则.json"_s);
            QCOMPARE(context.fetch<AppGroup>().size(), 2);
            m.clickItem(u"importButton"_s);
            QTRY_VERIFY(openDialog->property("visible").toBool());
            chooseInOpenDialog(m, name);
            QTRY_VERIFY(m.item(u"importCardTitle"_s) && m.item(u"importCardTitle"_s)->isVisible());
            QTest::qWait(250);
        }
        m.clickItem(u"importConfirm"_s);
        const QString counts = source.isEmpty() ? u"（规则 1 · 计划 1 · 分组 1）"_s : u"（规则 2 · 计划 2 · 分组 2）"_s;
        QTRY_COMPARE(m.rulesDetail(), u"已导入："_s + name + counts);
        QVERIFY(m.state().showSettings());
        QStringList ids;
        for (AppGroup *g : context.fetch<AppGroup>({}, &AppGroup::bySortIndex))
            ids.append(g->refID());
        const QStringList expectedIDs = source.isEmpty()
                                            ? QStringList{groupID}
                                            : QStringList{SupervisionFixtures::entertainmentID, SupervisionFixtures::workID};
        QCOMPARE(ids, expectedIDs);
        if (source.isEmpty()) {
            QVERIFY(context.fetch<RestrictionRule>().first()->isEnabled());
            m.view.grab(u"设置-已导入"_s);
        }
    }
};

QTEST_MAIN(TestSettingsView)
#include "tst_settingsview.moc"
