#include "appgroup.h"
#include "mainviewfixture.h"

#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>

// The launcher window's content over a state object on fakes: sizing, keys, the search field's focus, and the sheets
// and overlays, driven with real events on an offscreen window.
class TestMainView : public QObject
{
    Q_OBJECT

    QTemporaryDir m_icons;

    // The content under test, with its screenshots in this test's folder.
    struct Main : MainViewFixture
    {
        explicit Main(const QString &iconDir, int n = 40, QSize size = QSize(1030, 763))
            : MainViewFixture(u"tst_mainview"_qs, iconDir, n, size)
        {
        }
    };

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_icons.isValid()); }

    void firstSizingFitsThePreferredGrid()
    {
        Main m(m_icons.path(), 40, QSize(700, 520));
        MainViewController *c = m.controller();
        QVERIFY(c);
        const QRect available = m.view.view()->screen()->availableGeometry();
        QVERIFY(c->sizer().didApplyInitialSize());
        const double chrome = c->sizer().chromeHeight();
        QVERIFY(chrome > 100);
        // 7 x 4 at scale 1, as far as the screen allows: a window larger than the screen fills its available area,
        // frame included, so its bottom stays on the screen.
        const QMargins frame = m.view.view()->frameMargins();
        QTRY_COMPARE(m.view.view()->width(), std::min(1030, available.width() - frame.left() - frame.right()));
        QTRY_COMPARE(m.view.view()->height(), std::min(int(std::ceil(chrome + 560)),
                                                       available.height() - frame.top() - frame.bottom()));
        QVERIFY(m.view.view()->frameGeometry().bottom() <= available.bottom());

        // 5 x 2 fits any screen: the grid area is then exactly two rows of tiles and the dots.
        m.state().setGridPreferredColumns(5);
        m.state().setGridPreferredRows(2);
        QTRY_COMPARE(m.view.view()->width(), 750);
        QTRY_COMPARE(m.view.view()->height(), int(std::ceil(chrome + 292)));
        QTRY_COMPARE(m.view.item(u"gridArea"_qs)->height(), 292.0);
        m.view.grab(u"main-view"_qs);

        // Switching to the vertical grid: 4 points per row taller, as wide.
        m.state().setLayoutMode(GridLayoutMode::Vertical);
        QTRY_COMPARE(m.view.view()->height(), int(std::ceil(chrome + 300)));
        QCOMPARE(m.view.view()->width(), 750);
        m.view.grab(u"main-view-vertical"_qs);
    }

    void statusLine()
    {
        qputenv("TZ", "Asia/Shanghai");
        Main m(m_icons.path(), 4);
        QQuickItem *text = m.view.item(u"statusText"_qs);
        QVERIFY(text);
        QCOMPARE(text->property("text").toString(), u"未设置禁启规则"_qs);
        SupervisionStatus status;
        status.activeCount = 2;
        status.nextEvent = SupervisionStatus::NextEvent{
            SupervisionStatus::NextEventKind::quit,
            Instants::fromDateTime(QDateTime(QDate(2026, 3, 2), QTime(23, 5), Qt::UTC))};
        m.state().setSupervisionStatus(status);
        QCOMPARE(text->property("text").toString(), u"2 条规则生效中 · 下一次退出 07:05"_qs);
        // The footer's row ends 6 above the bottom of the window's content.
        QQuickItem *row = m.view.item(u"footerRow"_qs);
        QVERIFY(row);
        const QPointF rowBottom = row->mapToItem(m.view.root(), QPointF(0, row->height()));
        QCOMPARE(m.view.root()->height() - rowBottom.y(), 6.0);
        m.view.grab(u"status-footer"_qs);
    }

    void searchFieldTakesTheFocusAndWritesTheState()
    {
        Main m(m_icons.path(), 4);
        QTRY_VERIFY(m.field()->hasActiveFocus());
        m.view.type(u"wx"_qs);
        QCOMPARE(m.state().searchText(), u"wx"_qs);
        QVERIFY(m.view.item(u"clearSearch"_qs)->isVisible());
        m.view.key(Qt::Key_Escape);
        QCOMPARE(m.state().searchText(), QString());
        QVERIFY(m.field()->hasActiveFocus());
        // The program becoming active empties the field and focuses it.
        m.view.type(u"q"_qs);
        m.view.item(u"settingsButton"_qs)->forceActiveFocus();
        Q_EMIT m.f.activation.becameActive();
        QCOMPARE(m.state().searchText(), QString());
        QVERIFY(m.field()->hasActiveFocus());
    }

    // When the caret stops blinking it stays drawn, whatever phase it stopped in, and typing still reaches the field.
    void aCaretThatHoldsStillStaysShown()
    {
        Main m(m_icons.path(), 4);
        QTRY_VERIFY(m.field()->hasActiveFocus());
        m.view.type(u"wx"_qs);
        QStyleHints *hints = QGuiApplication::styleHints();
        const int flashTime = hints->cursorFlashTime();
        auto caretShown = [&](const QString &shot) {
            const QRectF caret = m.field()->property("cursorRectangle").toRectF();
            const QPointF middle = m.field()->mapToScene(caret.center());
            const QImage image = m.view.grab(shot);
            const QColor onCaret = image.pixelColor(middle.toPoint());
            const QColor beside = image.pixelColor((middle + QPointF(6, 0)).toPoint());
            return onCaret.lightness() + 60 < beside.lightness();
        };
        for (int phase : {0, 250, 500, 750}) {
            hints->setCursorFlashTime(flashTime);
            QTest::qWait(phase);
            hints->setCursorFlashTime(0);
            QTest::qWait(600);
            QVERIFY2(caretShown(u"caret-held-still"_qs), qPrintable(QString::number(phase)));
        }
        m.view.type(u"y"_qs);
        QCOMPARE(m.state().searchText(), u"wxy"_qs);
        hints->setCursorFlashTime(flashTime);
    }

    void inputMethodCompositionKeepsReturnAndArrows()
    {
        Main m(m_icons.path(), 4);
        QTRY_VERIFY(m.field()->hasActiveFocus());
        QInputMethodEvent preedit(u"wei"_qs, {});
        QCoreApplication::sendEvent(m.field(), &preedit);
        QVERIFY(m.field()->property("preeditText").toString() == u"wei"_qs);
        QCOMPARE(m.state().searchText(), QString());
        m.view.key(Qt::Key_Return);
        m.view.key(Qt::Key_Down);
        QVERIFY(m.f.opener.requests().isEmpty());
        QCOMPARE(m.state().selectedAppID(), std::nullopt);
        QInputMethodEvent commit;
        commit.setCommitString(u"微"_qs);
        QCoreApplication::sendEvent(m.field(), &commit);
        QCOMPARE(m.state().searchText(), u"微"_qs);
    }

    void sheetsAndOverlaysTakeTheKeys()
    {
        Main m(m_icons.path(), 4);
        m.view.key(Qt::Key_Comma, Qt::ControlModifier);
        QVERIFY(m.state().showSettings());
        QTRY_VERIFY(m.controller()->isCovered());
        m.view.grab(u"settings-sheet"_qs);
        m.view.key(Qt::Key_Escape);
        QTRY_VERIFY(!m.state().showSettings());
        QTRY_VERIFY(!m.controller()->isCovered());
        QTRY_VERIFY(m.field()->hasActiveFocus());
    }

    // The add tile opens the add sheet in the window; every opening starts afresh with the keys in its search, and
    // every close (Escape, or after adding) writes the flag back.
    void groupAddSheetOpensFreshAndClosesThroughTheFlag()
    {
        Main m(m_icons.path(), 6);
        StoreContext &context = m.state().container().mainContext();
        AppGroup *group = context.insert(std::make_unique<AppGroup>(u"工作"_qs, 0, QStringList{m.apps.at(0).bundleID}));
        std::ignore = context.save();
        m.state().setSelectedGroupID(group->storeID());
        QQuickItem *tile = nullptr;
        QTRY_VERIFY((tile = m.view.item(u"addTile"_qs)) && tile->isVisible());

        m.view.click(ViewTest::centreOf(tile));
        QVERIFY(m.state().showGroupAddSheet());
        QTRY_VERIFY(ViewTest::itemIn(m.view.view()->contentItem(), u"sheetTitle"_qs));
        QTRY_VERIFY(m.view.view()->activeFocusItem()
                    && m.view.view()->activeFocusItem()->objectName() == u"searchField"_qs
                    && m.view.view()->activeFocusItem() != m.field());
        m.view.type(u"zz"_qs);
        QVERIFY(m.state().searchText().isEmpty());
        QTest::qWait(250);
        m.view.grab(u"添加应用_主窗口"_qs);
        m.view.key(Qt::Key_Escape);
        QTRY_VERIFY(!m.state().showGroupAddSheet());
        QCOMPARE(group->bundleIDs().size(), 1);

        // Again: an empty search, and Return adds what was checked.
        m.state().setShowGroupAddSheet(true);
        QQuickItem *focus = nullptr;
        QTRY_VERIFY((focus = m.view.view()->activeFocusItem()) && focus->objectName() == u"searchField"_qs);
        QCOMPARE(focus->property("text").toString(), QString());
        QQuickItem *row = nullptr;
        QTRY_VERIFY((row = ViewTest::itemIn(m.view.view()->contentItem(), u"row_"_qs + m.apps.at(1).bundleID)));
        m.view.click(ViewTest::centreOf(row));
        m.view.key(Qt::Key_Return);
        QTRY_VERIFY(!m.state().showGroupAddSheet());
        QCOMPARE(group->bundleIDs(), (QStringList{m.apps.at(0).bundleID, m.apps.at(1).bundleID}));
        QCOMPARE(m.state().toast().message(), u"已添加 1 个应用到「工作」"_qs);
    }

    void quitCardLiesAboveThePrompt()
    {
        Main m(m_icons.path(), 4);
        m.state().setBlockedPrompt(AppState::BlockedPromptInfo{m.apps.at(0), std::nullopt});
        m.state().setShowQuitConfirm(true);
        QTest::qWait(300);
        QQuickItem *prompt = m.view.item(u"promptOverlay"_qs) ? nullptr : nullptr;
        Q_UNUSED(prompt);
        m.view.grab(u"quit-over-prompt"_qs);
        // A click at the centre lands on the quit card, not on the prompt beneath it: Return keeps the program.
        m.view.key(Qt::Key_Return);
        QTRY_VERIFY(!m.state().showQuitConfirm());
        QVERIFY(m.state().blockedPrompt().has_value());
        // Then the prompt has the keys: Escape dismisses it.
        QTest::qWait(250);
        m.view.key(Qt::Key_Escape);
        QTRY_VERIFY(!m.state().blockedPrompt().has_value());
    }

    // The banner under the top bar: "去开启" hides it for the window's life and opens the notification settings.
    void notificationBannerInTheWindow()
    {
        Main m(m_icons.path(), 12);
        m.state().setShowNotificationGuide(true);
        QTest::qWait(100);
        QQuickItem *open = m.view.item(u"openSettings"_qs);
        QVERIFY(open && open->isVisible());
        m.view.grab(u"主窗口_通知引导横幅"_qs);
        m.view.click(ViewTest::centreOf(open));
        QTRY_VERIFY(!open->isVisible());
        QCOMPARE(m.systemSettings.calls(), QStringList{u"notifications"_qs});
        QVERIFY(m.state().showNotificationGuide());
    }

    // The focus set-up sheet as the window's sheet: a click beside it does not close it; Escape does.
    void focusSheetInTheWindow()
    {
        Main m(m_icons.path(), 12);
        m.state().setPendingFocusApp(m.apps.at(0));
        QTest::qWait(400);
        // Sheets lie in the window's overlay layer, outside the content.
        QQuickItem *start = m.view.view()->contentItem()->findChild<QQuickItem *>(u"startButton"_qs);
        QVERIFY(start && start->isVisible());
        m.view.grab(u"主窗口_定时退出表"_qs);
        m.view.click(QPointF(12, 12));
        QVERIFY(m.state().pendingFocusApp().has_value());
        m.view.type(u"写报告"_qs);
        m.view.key(Qt::Key_Escape);
        QTRY_VERIFY(!m.state().pendingFocusApp().has_value());
        QVERIFY(m.state().sessionManager().sessions().isEmpty());
    }

    void clickDownReturnAndDragReachTheState()
    {
        Main m(m_icons.path(), 6);
        QTRY_COMPARE(m.controller()->pagedGrid()->apps()->count(), 6);
        const QList<AppInfo> shown = m.state().visibleApps();
        QCOMPARE(shown.size(), 6);
        QQuickItem *viewport = m.view.item(u"pagedViewport"_qs);
        const GridLayoutGeometry g = m.controller()->pagedGrid()->geometry();
        auto centre = [&](int i) {
            return viewport->mapToScene(m.controller()->pagedGrid()->cellPosition(i)
                                        + QPointF(g.cellWidth / 2, g.cellHeight / 2));
        };

        // A click launches the app under the pointer.
        m.view.click(centre(2));
        QTRY_COMPARE(m.f.opener.requests().size(), 1);
        QVERIFY(m.f.opener.requests().first().contains(shown.at(2).path()));

        // Down selects, Return opens the selection.
        m.field()->forceActiveFocus();
        m.view.key(Qt::Key_Down);
        QVERIFY(m.state().selectedAppID().has_value());
        const QString selected = *m.state().selectedAppID();
        m.view.key(Qt::Key_Return);
        QTRY_COMPARE(m.f.opener.requests().size(), 2);
        const auto it = std::find_if(shown.begin(), shown.end(), [&](const AppInfo &a) { return a.bundleID == selected; });
        QVERIFY(m.f.opener.requests().last().contains(it->path()));

        // A mouse drag puts the first tile after the third, in the state's own order.
        const QPointF from = centre(0);
        const QPointF to = centre(2);
        m.view.mousePress(from);
        for (int i = 1; i <= 12; ++i) {
            m.view.mouseMove(from + (to - from) * i / 12);
            QTest::qWait(5);
        }
        m.view.mouseRelease(to);
        QCoreApplication::processEvents();
        QTRY_COMPARE(m.state().visibleApps().at(2).bundleID, shown.at(0).bundleID);
        QCOMPARE(m.state().visibleApps().at(0).bundleID, shown.at(1).bundleID);
        QCOMPARE(m.f.opener.requests().size(), 2); // the drag opened nothing
    }

    void ctrlWheelZoomsOverTheGrid()
    {
        Main m(m_icons.path(), 6);
        m.state().gridZoomCeiling = 1.6;
        const QPointF overGrid = ViewTest::centreOf(m.view.item(u"gridArea"_qs));
        m.view.wheel(overGrid, QPoint(0, 120), {}, Qt::ControlModifier);
        QCOMPARE(m.state().gridIconScale(), 1.05);
        m.view.wheel(QPointF(20, 20), QPoint(0, 120), {}, Qt::ControlModifier); // over the top bar
        QCOMPARE(m.state().gridIconScale(), 1.05);
    }

    void ctrlQAsksTheDelegate()
    {
        Main m(m_icons.path(), 4);
        QCOMPARE(m.quitRequests, 0);
    }
};

QTEST_MAIN(TestMainView)
#include "tst_mainview.moc"
