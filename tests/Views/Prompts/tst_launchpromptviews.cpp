#include "launchpromptfixture.h"
#include "launchpromptmodels.h"
#include "viewtest.h"

#include <QQuickItem>
#include <QTest>

using namespace LaunchPromptApps;

// The launch prompts in a window, driven with real keys and clicks: the blocked-launch prompt, the focus set-up
// sheet, the quit card (also over an open sheet) and the notification guide banner; screenshots of each look.
namespace {

const QSize windowSize(760, 620);
// Longer than every entrance and fade.
constexpr int settle = 600;

struct Harness : LaunchPromptFixture
{
    std::unique_ptr<LaunchPromptModels> models;
    QList<bool> quitAnswers;

    Harness()
    {
        start(Instants::fromDateTime(QDateTime::fromString(u"2026-03-02T13:30:00Z"_qs, Qt::ISODate)), {gameApp});
        models = std::make_unique<LaunchPromptModels>(*state, clipboard, settings);
        state->replyToTermination = [this](bool approve) { quitAnswers.append(approve); };
    }
    void blockGame(int startMinute, int endMinute) { blockEveryDay(game, startMinute, endMinute); }
    void adHoc(const QString &id, Duration length) { adHocUntil(id, f.clock.now() + length); }
    [[nodiscard]] QVariantMap properties() const { return {{u"models"_qs, QVariant::fromValue(models.get())}}; }
};

} // namespace

class TestLaunchPromptViews : public QObject
{
    Q_OBJECT
private:
    // Loads the prompt for the harness's current prompt; false when it does not load.
    bool loadPrompt(ViewTest &view, Harness &h)
    {
        view.setIconCache(h.f.iconCache);
        if (!view.loadView(u"BlockedPromptView"_qs, h.properties(), windowSize))
            return false;
        QTest::qWait(settle);
        return true;
    }
    static bool shown(ViewTest &view, const QString &name)
    {
        QQuickItem *item = view.item(name);
        return item && item->isVisible();
    }

private Q_SLOTS:
    void promptLooks_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("shot");
        QTest::newRow("ordinary") << u"ordinary"_qs << u"拦截提示_普通应用_倒计时与原因"_qs;
        QTest::newRow("embedded") << u"embedded"_qs << u"拦截提示_内置应用"_qs;
        QTest::newRow("ignore panel") << u"ignore"_qs << u"拦截提示_忽略面板展开"_qs;
        QTest::newRow("no info panel") << u"bare"_qs << u"拦截提示_无信息面板"_qs;
        QTest::newRow("ad-hoc only") << u"adhoc"_qs << u"拦截提示_仅临时禁启_无箭头"_qs;
    }
    void promptLooks()
    {
        QFETCH(QString, which);
        QFETCH(QString, shot);
        Harness h;
        if (which == u"embedded") {
            h.adHoc(wechatEx, std::chrono::minutes{95});
            h.state->requestLaunch(wechatApp());
        } else if (which == u"bare") {
            h.state->setBlockedPrompt(AppState::BlockedPromptInfo{gameApp, std::nullopt});
        } else if (which == u"adhoc") {
            h.adHoc(game, std::chrono::minutes{40});
            h.state->requestLaunch(gameApp);
        } else {
            h.blockGame(0, 23 * 60);
            h.state->requestLaunch(gameApp);
        }
        QVERIFY(h.state->blockedPrompt());
        ViewTest view(u"tst_launchpromptviews"_qs);
        QVERIFY2(loadPrompt(view, h), qPrintable(view.errors()));
        if (which == u"ignore") {
            view.click(ViewTest::centreOf(view.item(u"ignoreToggle"_qs)));
            QTest::qWait(settle);
            QVERIFY(shown(view, u"ignorePanel"_qs));
        }
        QCOMPARE(shown(view, u"appBadge"_qs), which != u"embedded");
        QCOMPARE(shown(view, u"embeddedBadge"_qs), which == u"embedded");
        QCOMPARE(shown(view, u"infoPanel"_qs), which != u"bare");
        QCOMPARE(shown(view, u"countdownRow"_qs), which != u"bare");
        QCOMPARE(shown(view, u"reasonsRow"_qs), which != u"bare");
        QCOMPARE(shown(view, u"chevron"_qs), which == u"ordinary" || which == u"ignore");
        view.grab(shot);
    }

    void promptAnswers_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("closed");
        QTest::newRow("Return") << u"return"_qs << true;
        QTest::newRow("Escape") << u"escape"_qs << true;
        QTest::newRow("click on the scrim") << u"scrim"_qs << true;
        QTest::newRow("click on the card") << u"card"_qs << false;
        QTest::newRow("click on the message") << u"message"_qs << false;
        QTest::newRow("好，先专注") << u"button"_qs << true;
        QTest::newRow("Ctrl+Return answers nothing") << u"ctrlReturn"_qs << false;
    }
    void promptAnswers()
    {
        QFETCH(QString, action);
        QFETCH(bool, closed);
        Harness h;
        h.blockGame(0, 23 * 60);
        h.state->requestLaunch(gameApp);
        ViewTest view(u"tst_launchpromptviews"_qs);
        QVERIFY2(loadPrompt(view, h), qPrintable(view.errors()));
        QQuickItem *card = view.item(u"card"_qs);
        if (action == u"return")
            view.key(Qt::Key_Return);
        else if (action == u"escape")
            view.key(Qt::Key_Escape);
        else if (action == u"scrim")
            view.click(QPointF(12, 12));
        else if (action == u"card")
            view.click(ViewTest::pointIn(card, QPointF(8, card->height() / 2)));
        else if (action == u"message")
            view.click(ViewTest::centreOf(view.item(u"slogan"_qs)));
        else if (action == u"button")
            view.click(ViewTest::centreOf(view.item(u"focusButton"_qs)));
        else
            view.key(Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(!h.state->blockedPrompt(), closed);
        QVERIFY(h.state->graceOverrides().isEmpty());
        QVERIFY(h.f.opener.requests().isEmpty());
    }

    // A number typed into the minutes field counts before "确定"; Return from the field commits it, then dismisses.
    void typedMinutes_data()
    {
        QTest::addColumn<QString>("then");
        QTest::newRow("确定") << u"confirm"_qs;
        QTest::newRow("Return") << u"return"_qs;
        QTest::newRow("忽略 1 分钟") << u"one"_qs;
        QTest::newRow("暂停本次限制") << u"session"_qs;
    }
    void typedMinutes()
    {
        QFETCH(QString, then);
        Harness h;
        h.blockGame(0, 23 * 60);
        h.state->requestLaunch(gameApp);
        ViewTest view(u"tst_launchpromptviews"_qs);
        QVERIFY2(loadPrompt(view, h), qPrintable(view.errors()));
        view.click(ViewTest::centreOf(view.item(u"ignoreToggle"_qs)));
        QTest::qWait(settle);
        QQuickItem *input = view.item(u"ignoreMinutesField"_qs)->findChild<QQuickItem *>(u"input"_qs);
        QVERIFY(input);
        view.click(ViewTest::centreOf(input));
        QVERIFY(input->hasActiveFocus());
        view.key(Qt::Key_A, Qt::ControlModifier);
        view.type(u"20"_qs);
        const Instant now = h.f.clock.now();
        std::optional<Instant> end;
        if (then == u"confirm") {
            view.click(ViewTest::centreOf(view.item(u"ignoreConfirm"_qs)));
            end = now + std::chrono::minutes{20};
        } else if (then == u"return") {
            view.key(Qt::Key_Return);
        } else if (then == u"one") {
            view.click(ViewTest::centreOf(view.item(u"ignoreOneMinute"_qs)));
            end = now + std::chrono::minutes{1};
        } else {
            end = h.state->ignoreSessionEnd(game, now);
            view.click(ViewTest::centreOf(view.item(u"ignoreSession"_qs)));
        }
        QVERIFY(!h.state->blockedPrompt());
        if (end) {
            QCOMPARE(h.state->graceOverrides().size(), 1);
            QVERIFY(h.state->graceOverrides().first().until == *end);
            QCOMPARE(h.f.opener.requests(), QStringList{u"open "_qs + gameApp.path()});
        } else {
            QVERIFY(h.state->graceOverrides().isEmpty());
            QVERIFY(h.f.opener.requests().isEmpty());
        }
    }

    void reasonsLinkOpensTheRules()
    {
        Harness h;
        h.blockGame(0, 23 * 60);
        h.state->requestLaunch(gameApp);
        ViewTest view(u"tst_launchpromptviews"_qs);
        QVERIFY2(loadPrompt(view, h), qPrintable(view.errors()));
        QQuickItem *row = view.item(u"reasonsRow"_qs);
        view.mouseMove(ViewTest::centreOf(row));
        QCOMPARE(view.cursorShape(), Qt::PointingHandCursor);
        view.grab(u"拦截提示_原因行悬停"_qs);
        view.click(ViewTest::centreOf(row));
        QVERIFY(!h.state->blockedPrompt());
        QVERIFY(h.state->showSupervision());
        QCOMPARE(h.state->supervisionInitialTab, SupervisionTab::restrict);
    }

    void adHocReasonsLeadNowhere()
    {
        Harness h;
        h.adHoc(game, std::chrono::minutes{40});
        h.state->requestLaunch(gameApp);
        ViewTest view(u"tst_launchpromptviews"_qs);
        QVERIFY2(loadPrompt(view, h), qPrintable(view.errors()));
        QQuickItem *row = view.item(u"reasonsRow"_qs);
        view.mouseMove(ViewTest::centreOf(row));
        QCOMPARE(view.cursorShape(), Qt::ArrowCursor);
        view.click(ViewTest::centreOf(row));
        QVERIFY(h.state->blockedPrompt());
        QVERIFY(!h.state->showSupervision());
    }

    // --- The focus set-up sheet.

    void sheetLooks_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("shot");
        QTest::newRow("ordinary") << u"ordinary"_qs << u"定时退出表_普通应用"_qs;
        QTest::newRow("embedded") << u"embedded"_qs << u"定时退出表_内置应用"_qs;
        QTest::newRow("block off") << u"blockOff"_qs << u"定时退出表_关闭到期禁止"_qs;
        QTest::newRow("chip 15") << u"chip"_qs << u"定时退出表_选中15"_qs;
    }
    void sheetLooks()
    {
        QFETCH(QString, which);
        QFETCH(QString, shot);
        Harness h;
        h.state->setPendingFocusApp(which == u"embedded" ? wechatApp() : gameApp);
        ViewTest view(u"tst_launchpromptviews"_qs);
        view.setIconCache(h.f.iconCache);
        QVERIFY2(view.loadView(u"FocusSetupSheet"_qs, h.properties()), qPrintable(view.errors()));
        if (which == u"blockOff")
            view.click(ViewTest::centreOf(view.item(u"blockCheckbox"_qs)));
        if (which == u"chip")
            view.click(ViewTest::centreOf(view.item(u"chip15"_qs)));
        if (which == u"ordinary")
            view.type(u"读书"_qs);
        QTest::qWait(100);
        QCOMPARE(shown(view, u"directButton"_qs), which != u"embedded");
        QCOMPARE(shown(view, u"blockMinutesField"_qs), which != u"blockOff");
        view.grab(shot);
    }

    void sheetKeys_data()
    {
        QTest::addColumn<bool>("embedded");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("sessions");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<bool>("pending");
        QTest::newRow("Return starts") << false << u"return"_qs << 1 << true << false;
        QTest::newRow("Escape cancels") << false << u"escape"_qs << 0 << false << false;
        QTest::newRow("Ctrl+Shift+Return opens directly") << false << u"direct"_qs << 0 << true << false;
        QTest::newRow("embedded: Ctrl+Shift+Return does nothing") << true << u"direct"_qs << 0 << false << true;
        QTest::newRow("embedded: Return starts, opens nothing") << true << u"return"_qs << 1 << false << false;
    }
    void sheetKeys()
    {
        QFETCH(bool, embedded);
        QFETCH(QString, keys);
        QFETCH(int, sessions);
        QFETCH(bool, opened);
        QFETCH(bool, pending);
        Harness h;
        const AppInfo a = embedded ? wechatApp() : gameApp;
        h.state->setPendingFocusApp(a);
        ViewTest view(u"tst_launchpromptviews"_qs);
        view.setIconCache(h.f.iconCache);
        QVERIFY2(view.loadView(u"FocusSetupSheet"_qs, h.properties()), qPrintable(view.errors()));
        // The note field has the keys from the start.
        view.type(u" 读书 "_qs);
        if (keys == u"return")
            view.key(Qt::Key_Return);
        else if (keys == u"escape")
            view.key(Qt::Key_Escape);
        else
            view.key(Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(h.state->sessionManager().sessions().size(), sessions);
        if (sessions)
            QCOMPARE(h.state->sessionManager().sessions().first().taskNote, std::optional(u" 读书 "_qs));
        QCOMPARE(h.clipboard.calls(), (sessions ? QStringList{u"clear"_qs, u"set  读书 "_qs} : QStringList()));
        QCOMPARE(h.f.opener.requests(), opened ? QStringList{u"open "_qs + a.path()} : QStringList());
        QCOMPARE(h.state->pendingFocusApp().has_value(), pending);
    }

    // A number typed into the minutes field counts for the start button, by a click or by Return from the field.
    void sheetTypedMinutes_data()
    {
        QTest::addColumn<bool>("byReturn");
        QTest::newRow("start button") << false;
        QTest::newRow("Return in the field") << true;
    }
    void sheetTypedMinutes()
    {
        QFETCH(bool, byReturn);
        Harness h;
        h.state->setPendingFocusApp(gameApp);
        ViewTest view(u"tst_launchpromptviews"_qs);
        view.setIconCache(h.f.iconCache);
        QVERIFY2(view.loadView(u"FocusSetupSheet"_qs, h.properties()), qPrintable(view.errors()));
        QQuickItem *input = view.item(u"minutesField"_qs)->findChild<QQuickItem *>(u"input"_qs);
        view.click(ViewTest::centreOf(input));
        view.key(Qt::Key_A, Qt::ControlModifier);
        view.type(u"20"_qs);
        if (byReturn)
            view.key(Qt::Key_Return);
        else
            view.click(ViewTest::centreOf(view.item(u"startButton"_qs)));
        QCOMPARE(h.state->sessionManager().sessions().size(), 1);
        QVERIFY(h.state->sessionManager().sessions().first().deadline == h.f.clock.now() + std::chrono::minutes{20});
    }

    // --- The quit card.

    void quitAnswers_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QList<bool>>("answers");
        QTest::newRow("Return keeps running") << u"return"_qs << QList<bool>{false};
        QTest::newRow("Escape keeps running") << u"escape"_qs << QList<bool>{false};
        QTest::newRow("scrim keeps running") << u"scrim"_qs << QList<bool>{false};
        QTest::newRow("继续自控") << u"keep"_qs << QList<bool>{false};
        QTest::newRow("仍要退出") << u"quit"_qs << QList<bool>{true};
        QTest::newRow("a click on the card answers nothing") << u"card"_qs << QList<bool>{};
    }
    void quitAnswers()
    {
        QFETCH(QString, action);
        QFETCH(QList<bool>, answers);
        Harness h;
        h.state->setShowQuitConfirm(true);
        ViewTest view(u"tst_launchpromptviews"_qs);
        QVERIFY2(view.loadView(u"QuitConfirmCard"_qs, {{u"state"_qs, QVariant::fromValue(h.state)}}, windowSize),
                 qPrintable(view.errors()));
        QTest::qWait(settle);
        if (action == u"return")
            view.key(Qt::Key_Return);
        else if (action == u"escape")
            view.key(Qt::Key_Escape);
        else if (action == u"scrim")
            view.click(QPointF(12, 12));
        else if (action == u"keep")
            view.click(ViewTest::centreOf(view.item(u"keepButton"_qs)));
        else if (action == u"quit")
            view.click(ViewTest::centreOf(view.item(u"quitButton"_qs)));
        else
            view.click(ViewTest::centreOf(view.item(u"warning"_qs)));
        QCOMPARE(h.quitAnswers, answers);
        QCOMPARE(h.state->showQuitConfirm(), answers.isEmpty());
    }

    // The quit card raised over an open sheet takes the keys; the sheet stays open behind it.
    void quitCardOverTheSheet()
    {
        Harness h;
        h.state->setPendingFocusApp(gameApp);
        ViewTest view(u"tst_launchpromptviews"_qs);
        view.setIconCache(h.f.iconCache);
        QVERIFY2(view.loadFile(QStringLiteral(TARNWICK_TEST_QML_DIR "/LaunchOverlaysPage.qml"),
                               {{u"models"_qs, QVariant::fromValue(h.models.get())},
                                {u"state"_qs, QVariant::fromValue(h.state)}},
                               windowSize),
                 qPrintable(view.errors()));
        QTest::qWait(settle);
        h.state->setShowQuitConfirm(true);
        QTest::qWait(settle);
        view.grab(u"退出确认_盖在定时退出表上"_qs);
        view.key(Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(h.f.opener.requests().isEmpty());
        view.key(Qt::Key_Return);
        QCOMPARE(h.quitAnswers, QList<bool>{false});
        QVERIFY(h.state->pendingFocusApp());
        QVERIFY(h.state->sessionManager().sessions().isEmpty());
        QTest::qWait(settle);
        // The sheet has the keys again.
        view.key(Qt::Key_Escape);
        QVERIFY(!h.state->pendingFocusApp());
    }

    // --- The notification guide banner.

    void banner_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("refuseAll");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("toast");
        QTest::newRow("去开启") << u"openSettings"_qs << false << QStringList{u"notifications"_qs} << QString();
        QTest::newRow("去开启, nothing opens") << u"openSettings"_qs << true
                                             << QStringList{u"notifications"_qs, u"settings"_qs}
                                             << u"未能打开通知设置，请在桌面设置中开启"_qs;
        QTest::newRow("close") << u"closeButton"_qs << false << QStringList() << QString();
    }
    void banner()
    {
        QFETCH(QString, button);
        QFETCH(bool, refuseAll);
        QFETCH(QStringList, calls);
        QFETCH(QString, toast);
        Harness h;
        h.settings.refuseNotificationSettings(refuseAll);
        h.settings.refuseSettings(refuseAll);
        ViewTest view(u"tst_launchpromptviews"_qs);
        QVERIFY2(view.loadView(u"NotificationGuideBanner"_qs, h.properties(), QSize(760, 60)),
                 qPrintable(view.errors()));
        if (button == u"openSettings" && !refuseAll)
            view.grab(u"通知引导横幅"_qs);
        int dismissed = 0;
        QObject::connect(view.root(), SIGNAL(dismiss()), view.root(), SLOT(deleteLater()));
        QObject::connect(view.root(), &QObject::destroyed, [&] { ++dismissed; });
        QQuickItem *target = view.item(button);
        view.mouseMove(ViewTest::centreOf(target));
        QCOMPARE(view.cursorShape(), Qt::PointingHandCursor);
        view.click(ViewTest::centreOf(target));
        QCoreApplication::processEvents();
        QCOMPARE(dismissed, 1);
        QCOMPARE(h.settings.calls(), calls);
        QCOMPARE(h.state->toast().message(), toast);
    }
};

QTEST_MAIN(TestLaunchPromptViews)
#include "tst_launchpromptviews.moc"
