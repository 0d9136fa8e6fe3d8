#include "adhocblock.h"
#include "appgroup.h"
#include "mainviewfixture.h"
#include "quitplan.h"
#include "restrictionrule.h"

#include <QScopeGuard>
#include <QStyleHints>
#include <QTemporaryDir>

#include <functional>

// Input in the whole launcher window: whatever lies on top (a sheet, a card, a menu, a picker) takes every press,
// hover, wheel and drag over its area and its scrim, so the tiles under it never see them; and every popup that
// closes hands the keyboard back. Real events on the window content with a full page of tiles under every surface.
class TestMainViewInput : public QObject
{
    Q_OBJECT

    QTemporaryDir m_icons;

    using Main = MainViewFixture;

    // The window's overlay layer, where Qt puts every popup.
    static QQuickItem *overlay(Main &m)
    {
        for (QQuickItem *child : m.view.view()->contentItem()->childItems()) {
            if (child->inherits("QQuickOverlay"))
                return child;
        }
        return nullptr;
    }

    // The popup in front: the visible item of the overlay layer with the highest z.
    static QQuickItem *front(Main &m)
    {
        QQuickItem *layer = overlay(m);
        QQuickItem *top = nullptr;
        if (!layer)
            return nullptr;
        for (QQuickItem *child : layer->childItems()) {
            if (child->isVisible() && child->opacity() > 0 && (!top || child->z() >= top->z()))
                top = child;
        }
        return top;
    }

    static bool isControl(QQuickItem *item)
    {
        if (item->acceptedMouseButtons() != Qt::NoButton)
            return true;
        const QObjectList children = item->children();
        return std::any_of(children.begin(), children.end(),
                           [](QObject *child) { return child->inherits("QQuickPointerHandler"); });
    }

    // Every control the user can reach in `surface`: shown, enabled, with its centre inside the window and the
    // surface, in tree order.
    static QList<QQuickItem *> controls(Main &m, QQuickItem *surface)
    {
        QList<QQuickItem *> out;
        const QRectF window(QPointF(0, 0), m.view.view()->size());
        const QRectF area = surface->mapRectToScene(QRectF(0, 0, surface->width(), surface->height()));
        std::function<void(QQuickItem *)> walk = [&](QQuickItem *item) {
            if (!item->isVisible() || !item->isEnabled() || item->opacity() <= 0)
                return;
            const QPointF centre = ViewTest::centreOf(item);
            if (item != surface && item->width() >= 2 && item->height() >= 2 && isControl(item)
                && window.contains(centre) && area.contains(centre))
                out.append(item);
            for (QQuickItem *child : item->childItems())
                walk(child);
        };
        walk(surface);
        return out;
    }

    static QString describe(QQuickItem *item)
    {
        QString name = item->objectName();
        for (QQuickItem *up = item->parentItem(); name.isEmpty() && up; up = up->parentItem())
            name = up->objectName().isEmpty() ? QString() : up->objectName() + u'>';
        QString text = item->property("text").toString();
        if (text.isEmpty())
            text = item->property("title").toString();
        return QString::fromLatin1(item->metaObject()->className()) + u' ' + name + u' ' + text;
    }

    // What the grid beneath shows and holds; nothing over it may change it.
    static QString gridFingerprint(Main &m)
    {
        QStringList parts;
        for (const AppInfo &app : m.state().visibleApps())
            parts.append(app.bundleID);
        parts.append(m.state().selectedAppID().value_or(QString()));
        parts.append(QString::number(m.controller()->pagedGrid()->pager()->currentPage()));
        std::function<void(QQuickItem *)> walk = [&](QQuickItem *item) {
            if (item->objectName().startsWith(u"tile:"_qs)) {
                for (QQuickItem *child : item->childItems()) {
                    if (child->property("hovering").toBool())
                        parts.append(u"hover "_qs + item->objectName());
                }
            }
            for (QQuickItem *child : item->childItems())
                walk(child);
        };
        walk(m.view.root());
        return parts.join(u' ');
    }

    static QString launches(Main &m)
    {
        QString out = m.f.opener.requests().mid(m.seenRequests).join(u',');
        if (m.state().blockedPrompt())
            out += u" prompt"_qs;
        if (m.state().pendingFocusApp())
            out += u" focus"_qs;
        return out;
    }

    // One surface to sweep: how to open it (returning false when it did not open), what the user may legitimately
    // change beneath it with its controls (none by default), and which controls to leave out.
    struct Surface
    {
        QString name;
        std::function<bool(Main &)> open;
        std::function<QString(Main &)> beneath = gridFingerprint;
        std::function<bool(QQuickItem *)> skip = [](QQuickItem *) { return false; };
        bool opensItsApp = false; // a launch prompt: its buttons may open its own app (the fourth), no other
    };

    static bool onlyItsOwnLaunch(Main &m, const Surface &s)
    {
        if (!s.opensItsApp)
            return launches(m).isEmpty();
        const QStringList opened = m.f.opener.requests().mid(m.seenRequests);
        return std::all_of(opened.begin(), opened.end(),
                           [&](const QString &request) { return request.contains(m.apps.at(3).path()); });
    }

    static void closeEverything(Main &m)
    {
        for (int i = 0; i < 3 && front(m); ++i)
            m.view.key(Qt::Key_Escape);
        m.state().setShowSupervision(false);
        m.state().setShowSettings(false);
        m.state().setShowGroupAddSheet(false);
        m.state().setRenameTargetBundleID(std::nullopt);
        m.state().setPendingFocusApp(std::nullopt);
        m.state().setBlockedPrompt(std::nullopt);
        m.state().setShowQuitConfirm(false);
        m.controller()->groupTabs()->cancelNaming();
        m.controller()->groupTabs()->leaveHiddenMode();
        m.controller()->groupTabs()->selectAll();
        // The settings' own controls change the grid; each sweep starts on the same one.
        m.state().setGridPreferredColumns(7);
        m.state().setGridPreferredRows(4);
        m.state().setGridIconScale(1);
        m.state().setLayoutMode(GridLayoutMode::Horizontal);
        QTRY_VERIFY(!front(m));
        QTRY_VERIFY(!m.controller()->isCovered());
        seedSupervision(m);
        m.seenRequests = m.f.opener.requests().size();
    }

    static QObject *panelModel(Main &m)
    {
        QQuickItem *panel = m.anywhere(u"supervisionPanel"_qs);
        return panel ? panel->property("model").value<QObject *>() : nullptr;
    }

    static bool openPanel(Main &m, const char *tab)
    {
        m.state().setShowSupervision(true);
        QObject *model = nullptr;
        if (!QTest::qWaitFor([&] { return (model = panelModel(m)) != nullptr; }))
            return false;
        model->setProperty("tab", QString::fromLatin1(tab));
        QCoreApplication::processEvents();
        return true;
    }

    static QString panelFingerprint(Main &m)
    {
        QObject *model = panelModel(m);
        return gridFingerprint(m) + u" | "_qs
               + (model ? model->property("tab").toString() + model->property("hasDisableRequest").toString()
                              + model->property("hasCloseTarget").toString()
                        : u"no panel"_qs);
    }

    // One rule, one plan and one ad-hoc block, fresh (a sweep's clicks turn them off, end or delete them), and the
    // group "工作" with one app.
    static void seedSupervision(Main &m)
    {
        StoreContext &context = m.state().container().mainContext();
        for (RestrictionRule *rule : context.fetch<RestrictionRule>())
            context.remove(rule);
        for (QuitPlan *plan : context.fetch<QuitPlan>())
            context.remove(plan);
        for (AdHocBlock *block : context.fetch<AdHocBlock>())
            context.remove(block);
        context.insert(std::make_unique<RestrictionRule>(RestrictionTarget::app, u"org.example.reader"_qs, 22 * 60,
                                                         23 * 60, QList<int>{1, 2, 3, 4, 5, 6, 7}, true,
                                                         std::nullopt));
        context.insert(std::make_unique<QuitPlan>(QuitPlanTarget::apps, QString(), QStringList{u"org.example.reader"_qs},
                                                  23 * 60, QList<int>{1, 2, 3, 4, 5, 6, 7},
                                                  QuitPlanBlockMode::minutes, 30, 0, true));
        context.insert(std::make_unique<AdHocBlock>(u"org.example.reader"_qs, m.f.clock.now() + 3600s));
        const QList<AppGroup *> groups = context.fetch<AppGroup>();
        const bool hasGroup = std::any_of(groups.begin(), groups.end(),
                                          [](const AppGroup *group) { return group->name() == u"工作"_qs; });
        if (!hasGroup)
            context.insert(std::make_unique<AppGroup>(u"工作"_qs, 0, QStringList{m.apps.at(0).bundleID}));
        QVERIFY(context.save() == SaveResult::saved);
        if (hasGroup)
            return;
        // The strip shows the group's tab and the layout under it settles before anything is clicked.
        QTRY_VERIFY(m.view.item(u"groupTab:工作"_qs));
        QTest::qWait(100);
    }

    QList<Surface> surfaces()
    {
        QList<Surface> out;
        out.append({u"监督: 启动条件"_qs, [](Main &m) { return openPanel(m, "launch"); }});
        out.append({u"监督: 禁启规则"_qs, [](Main &m) { return openPanel(m, "restrict"); }});
        out.append({u"监督: 定时退出"_qs, [](Main &m) { return openPanel(m, "quit"); }});
        out.append({u"监督: 关闭确认卡片"_qs, [](Main &m) {
                        if (!openPanel(m, "restrict"))
                            return false;
                        QMetaObject::invokeMethod(panelModel(m), "closeLinkedAt", Q_ARG(int, 0));
                        return panelModel(m)->property("hasCloseTarget").toBool();
                    }});
        out.append({u"监督: 关闭规则卡片"_qs, [](Main &m) {
                        if (!openPanel(m, "restrict"))
                            return false;
                        QMetaObject::invokeMethod(panelModel(m), "ruleSwitchClicked", Q_ARG(int, 0));
                        return panelModel(m)->property("hasDisableRequest").toBool();
                    }});
        out.append({u"规则编辑"_qs, [](Main &m) {
                        if (!openPanel(m, "restrict"))
                            return false;
                        QMetaObject::invokeMethod(panelModel(m), "addRuleClicked");
                        return QTest::qWaitFor([&] { return m.anywhere(u"ruleEditor"_qs) != nullptr; });
                    },
                    panelFingerprint});
        out.append({u"规则编辑: 选择应用"_qs, [](Main &m) {
                        if (!openPanel(m, "restrict"))
                            return false;
                        QMetaObject::invokeMethod(panelModel(m), "addRuleClicked");
                        QQuickItem *editor = nullptr;
                        if (!QTest::qWaitFor([&] { return (editor = m.anywhere(u"ruleEditor"_qs)) != nullptr; }))
                            return false;
                        editor->property("model").value<QObject *>()->setProperty("showAppPicker", true);
                        return QTest::qWaitFor([&] { return m.anywhere(u"appPickerPopup"_qs) || front(m); });
                    },
                    panelFingerprint});
        out.append({u"定时退出编辑"_qs, [](Main &m) {
                        if (!openPanel(m, "quit"))
                            return false;
                        QQuickItem *tab = nullptr;
                        if (!QTest::qWaitFor([&] { return (tab = m.anywhere(u"quitTab"_qs)) != nullptr; }))
                            return false;
                        QMetaObject::invokeMethod(tab->property("tab").value<QObject *>(), "addPlanClicked");
                        return QTest::qWaitFor([&] { return m.anywhere(u"planEditor"_qs) != nullptr; });
                    },
                    panelFingerprint});
        out.append({u"批量选择定时退出应用"_qs, [](Main &m) {
                        if (!openPanel(m, "launch"))
                            return false;
                        panelModel(m)->setProperty("showAppPicker", true);
                        return QTest::qWaitFor([&] { return m.anywhere(u"pickerTitle"_qs) != nullptr; });
                    },
                    panelFingerprint});
        out.append({u"打开时进入搜索页"_qs, [](Main &m) {
                        if (!openPanel(m, "launch"))
                            return false;
                        panelModel(m)->setProperty("showSearchPagePicker", true);
                        return QTest::qWaitFor([&] { return m.anywhere(u"pickerTitle"_qs) != nullptr; });
                    },
                    panelFingerprint});
        // Its own controls change the grid's columns, rows and icons; its hidden-apps button changes the shown apps.
        out.append({u"设置"_qs,
                    [](Main &m) {
                        m.state().setShowSettings(true);
                        return QTest::qWaitFor([&] { return m.anywhere(u"settingsCards"_qs) != nullptr; });
                    },
                    launches});
        out.append({u"添加应用"_qs, [](Main &m) {
                        const QList<AppGroup *> groups = m.state().container().mainContext().fetch<AppGroup>();
                        m.state().setSelectedGroupID(groups.last()->storeID());
                        m.state().setShowGroupAddSheet(true);
                        return QTest::qWaitFor([&] { return m.anywhere(u"sheetTitle"_qs) != nullptr; });
                    },
                    [](Main &m) { return launches(m) + m.state().selectedAppID().value_or(QString()); }});
        out.append({u"重命名"_qs, [](Main &m) {
                        m.state().setRenameTargetBundleID(m.apps.at(3).bundleID);
                        return QTest::qWaitFor([&] { return front(m) != nullptr; });
                    },
                    launches});
        out.append({u"定时退出确认"_qs, [](Main &m) {
                        m.state().setPendingFocusApp(m.apps.at(3));
                        return QTest::qWaitFor([&] { return m.anywhere(u"startButton"_qs) != nullptr; });
                    },
                    gridFingerprint, {}, true});
        out.append({u"禁启提示"_qs, [](Main &m) {
                        m.state().setBlockedPrompt(AppState::BlockedPromptInfo{m.apps.at(3), std::nullopt});
                        return QTest::qWaitFor([&] { return front(m) != nullptr; });
                    },
                    gridFingerprint, {}, true});
        out.append({u"退出确认"_qs, [](Main &m) {
                        m.state().setShowQuitConfirm(true);
                        return QTest::qWaitFor([&] { return front(m) != nullptr; });
                    }});
        out.append({u"分组名称"_qs, [](Main &m) {
                        m.controller()->groupTabs()->addGroup();
                        return QTest::qWaitFor([&] { return m.anywhere(u"groupNameField"_qs) != nullptr; });
                    },
                    launches});
        // The menus: each entry does its own job (opening, pinning, hiding); none may reach the tile beneath.
        out.append({u"右键菜单"_qs,
                    [](Main &m) {
                        QQuickItem *tile = m.view.item(u"tile:"_qs + m.state().visibleApps().at(9).bundleID);
                        if (!tile)
                            return false;
                        m.view.click(ViewTest::centreOf(tile), Qt::RightButton);
                        return QTest::qWaitFor([&] { return front(m) != nullptr; });
                    },
                    [](Main &m) { return launches(m).isEmpty() ? QString() : u"launch"_qs; },
                    [](QQuickItem *item) {
                        return item->objectName() == u"menuEntry:打开"_qs;
                    }});
        out.append({u"分组菜单"_qs,
                    [](Main &m) {
                        QQuickItem *tab = m.view.item(u"groupTab:工作"_qs);
                        if (!tab)
                            return false;
                        m.view.click(ViewTest::centreOf(tab), Qt::RightButton);
                        const bool ok = QTest::qWaitFor([&] { return front(m) != nullptr; });
                        return ok;
                    },
                    launches});
        return out;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_icons.isValid()); }

    // Every control of every surface, clicked with a real mouse over a full page of tiles, then the scrim, a wheel
    // and a drag over the surface: nothing opens and the grid beneath stays as it was.
    void surfacesOwnTheirInput()
    {
        Main m(u"tst_mainviewinput"_qs, m_icons.path(), 40);
        seedSupervision(m);
        QTRY_COMPARE(m.controller()->pagedGrid()->apps()->count(), 40);
        QStringList leaks;
        QStringList covered;
        for (const Surface &s : surfaces()) {
            closeEverything(m);
            QVERIFY2(s.open(m), qPrintable(s.name));
            QTRY_VERIFY2(front(m), qPrintable(s.name));
            QTest::qWait(50);
            m.view.grab(u"覆盖_"_qs + QString(s.name).replace(u": "_qs, u"_"_qs));
            const int count = controls(m, front(m)).size();
            QVERIFY2(count > 0, qPrintable(s.name));
            for (int i = 0;; ++i) {
                closeEverything(m);
                // A control may have removed what the surface is opened on (the last group's "删除分组").
                if (!s.open(m))
                    break;
                QTRY_VERIFY(front(m));
                QTest::qWait(20);
                const QString before = s.beneath(m);
                const QList<QQuickItem *> shown = controls(m, front(m));
                if (i >= shown.size())
                    break;
                QQuickItem *control = shown.at(i);
                if (s.skip && s.skip(control))
                    continue;
                const QString what = s.name + u": "_qs + describe(control);
                covered.append(what);
                m.view.click(ViewTest::centreOf(control));
                QTest::qWait(20);
                const QString after = s.beneath(m);
                if (after != before || !onlyItsOwnLaunch(m, s))
                    leaks.append(what + u" → "_qs + launches(m));
            }
            // The scrim, a hover and a drag across the surface, and a wheel over it.
            closeEverything(m);
            QVERIFY2(s.open(m), qPrintable(s.name));
            QTRY_VERIFY2(front(m), qPrintable(s.name));
            QTest::qWait(20);
            const QString before = gridFingerprint(m);
            QQuickItem *surface = front(m);
            const QRectF area = surface->mapRectToScene(QRectF(0, 0, surface->width(), surface->height()));
            const QPointF scrim = area.width() < m.view.view()->width() - 40 ? QPointF(area.left() - 15, area.center().y())
                                                                             : QPointF(60, 260);
            m.view.mouseMove(area.center());
            m.view.wheel(area.center(), QPoint(0, -360));
            m.view.mousePress(area.center() + QPointF(-60, 0));
            for (int step = 1; step <= 10; ++step) {
                m.view.mouseMove(area.center() + QPointF(-60 + step * 12, step * 3));
                QTest::qWait(5);
            }
            m.view.mouseRelease(area.center() + QPointF(60, 30));
            if (gridFingerprint(m) != before || m.f.opener.requests().size() > m.seenRequests)
                leaks.append(s.name + u": hover, wheel or drag"_qs);
            m.view.click(scrim);
            QTest::qWait(20);
            if (m.f.opener.requests().size() > m.seenRequests || !onlyItsOwnLaunch(m, s))
                leaks.append(s.name + u": scrim → "_qs + launches(m));
        }
        qInfo().noquote() << "controls clicked:" << covered.size() << "\n" << covered.join(u'\n');
        for (const QString &leak : std::as_const(leaks))
            qWarning().noquote() << "reached beneath:" << leak;
        QVERIFY(leaks.isEmpty());
    }

    // The knob of the vertical grid's scrollbar follows a real mouse drag down and back up; the content under it
    // neither takes the drag over nor reorders.
    void scrollbarKnobDragScrolls()
    {
        Main m(u"tst_mainviewinput"_qs, m_icons.path(), 120);
        m.state().setLayoutMode(GridLayoutMode::Vertical);
        QQuickItem *knob = nullptr;
        QTRY_VERIFY((knob = m.view.item(u"scrollKnob"_qs)) && knob->isVisible());
        QQuickItem *scroll = m.view.item(u"verticalScroll"_qs);
        const QStringList order = [&] {
            QStringList ids;
            for (const AppInfo &app : m.state().visibleApps())
                ids.append(app.bundleID);
            return ids;
        }();
        auto drag = [&](double dy) {
            const QPointF from = ViewTest::centreOf(knob);
            const double knobTop = knob->y();
            m.view.mouseMove(from);
            m.view.mousePress(from);
            for (int step = 1; step <= 20; ++step) {
                m.view.mouseMove(from + QPointF(step % 2, dy * step / 20));
                QTest::qWait(5);
            }
            m.view.mouseRelease(from + QPointF(0, dy));
            QCoreApplication::processEvents();
            // The knob moved by the pointer's way, as far as the track allows.
            return knob->y() - knobTop;
        };
        const double down = drag(120);
        QVERIFY2(qAbs(down - 120) <= 2, qPrintable(QString::number(down)));
        const double offset = scroll->property("contentY").toDouble() - scroll->property("originY").toDouble();
        QVERIFY(offset > 100);
        m.view.grab(u"竖排网格_拖动滚动条"_qs);
        const double up = drag(-80);
        QVERIFY2(qAbs(up + 80) <= 2, qPrintable(QString::number(up)));
        QVERIFY(scroll->property("contentY").toDouble() - scroll->property("originY").toDouble() < offset - 50);
        QStringList after;
        for (const AppInfo &app : m.state().visibleApps())
            after.append(app.bundleID);
        QCOMPARE(after, order);
        QVERIFY(m.f.opener.requests().isEmpty());
    }

    // A press and release without a drag opens the app, however long the press was held.
    void slowClickOpens_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::newRow("paged") << u"horizontal"_qs;
        QTest::newRow("vertical") << u"vertical"_qs;
    }
    void slowClickOpens()
    {
        QFETCH(QString, layout);
        // A short press-and-hold interval, so that the hold below is well past it.
        Main m(u"tst_mainviewinput"_qs, m_icons.path(), 12);
        m.state().setLayoutMode(layout == u"vertical"_qs ? GridLayoutMode::Vertical : GridLayoutMode::Horizontal);
        QQuickItem *tile = nullptr;
        QTRY_VERIFY((tile = m.view.item(u"tile:"_qs + m.apps.at(5).bundleID)) && tile->isVisible());
        const QPointF at = ViewTest::centreOf(tile);
        m.view.mouseMove(at);
        m.view.mousePress(at);
        m.view.mouseRelease(at, Qt::LeftButton, {}, 1500);
        QCoreApplication::processEvents();
        QCOMPARE(m.f.opener.requests().size(), 1);
        QVERIFY(m.f.opener.requests().first().contains(m.apps.at(5).path()));
    }

    // "全选" and "清空" act on the rows the search shows and leave the keyboard in the search field: typing goes on.
    void batchButtonsKeepTheSearchFocus_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::newRow("添加应用") << u"groupAdd"_qs;
        QTest::newRow("批量选择定时退出应用") << u"focusPicker"_qs;
    }
    void batchButtonsKeepTheSearchFocus()
    {
        QFETCH(QString, sheet);
        Main m(u"tst_mainviewinput"_qs, m_icons.path(), 12);
        seedSupervision(m);
        if (sheet == u"groupAdd"_qs) {
            m.state().setSelectedGroupID(m.state().container().mainContext().fetch<AppGroup>().first()->storeID());
            m.state().setShowGroupAddSheet(true);
        } else {
            QVERIFY(openPanel(m, "launch"));
            panelModel(m)->setProperty("showAppPicker", true);
        }
        QQuickItem *surface = nullptr;
        QTRY_VERIFY((surface = front(m)) && ViewTest::itemIn(surface, u"selectAll"_qs));
        QQuickItem *search = ViewTest::itemIn(surface, u"searchField"_qs);
        QVERIFY(search);
        m.view.click(ViewTest::centreOf(search));
        QTRY_VERIFY(search->hasActiveFocus());
        m.view.type(u"微"_qs);
        for (const char *button : {"selectAll", "clearAll", "selectAll"}) {
            m.view.click(ViewTest::centreOf(ViewTest::itemIn(surface, QString::fromLatin1(button))));
            QVERIFY2(search->hasActiveFocus(), button);
        }
        m.view.type(u"信"_qs);
        QCOMPARE(search->property("text").toString(), u"微信"_qs);
        m.view.grab(u"全选后继续输入_"_qs + QString::fromUtf8(QTest::currentDataTag()));
    }

    // Every popup that closes hands the keyboard back to the search field: typing, the arrows and Return work again.
    void closedPopupsHandTheKeysBack_data()
    {
        QTest::addColumn<QString>("popup");
        QTest::addColumn<QString>("close");
        QTest::newRow("右键菜单, Escape") << u"appMenu"_qs << u"escape"_qs;
        QTest::newRow("右键菜单, 置顶") << u"appMenu"_qs << u"menuEntry:置顶"_qs;
        QTest::newRow("右键菜单, 隐藏") << u"appMenu"_qs << u"menuEntry:隐藏"_qs;
        QTest::newRow("右键菜单, a click beside it") << u"appMenu"_qs << u"outside"_qs;
        QTest::newRow("分组菜单, Escape") << u"tabMenu"_qs << u"escape"_qs;
        QTest::newRow("分组菜单, 删除分组") << u"tabMenu"_qs << u"deleteGroupItem"_qs;
        QTest::newRow("分组名称, Escape") << u"naming"_qs << u"escape"_qs;
        QTest::newRow("分组名称, 取消") << u"naming"_qs << u"cancelNaming"_qs;
        QTest::newRow("分组名称, Return") << u"naming"_qs << u"return"_qs;
        QTest::newRow("重命名, Escape") << u"rename"_qs << u"escape"_qs;
    }
    void closedPopupsHandTheKeysBack()
    {
        QFETCH(QString, popup);
        QFETCH(QString, close);
        Main m(u"tst_mainviewinput"_qs, m_icons.path(), 12);
        seedSupervision(m);
        QTRY_VERIFY(m.field()->hasActiveFocus());
        if (popup == u"appMenu"_qs) {
            m.view.click(ViewTest::centreOf(m.view.item(u"tile:"_qs + m.apps.at(2).bundleID)), Qt::RightButton);
        } else if (popup == u"tabMenu"_qs) {
            QQuickItem *tab = nullptr;
            QTRY_VERIFY((tab = m.view.item(u"groupTab:工作"_qs)));
            m.view.click(ViewTest::centreOf(tab), Qt::RightButton);
        } else if (popup == u"naming"_qs) {
            m.view.click(ViewTest::centreOf(m.view.item(u"addGroupButton"_qs)));
            QTRY_VERIFY(m.anywhere(u"groupNameField"_qs) && m.anywhere(u"groupNameField"_qs)->hasActiveFocus());
            m.view.type(u"学习"_qs);
        } else {
            m.state().setRenameTargetBundleID(m.apps.at(2).bundleID);
        }
        if (!QTest::qWaitFor([&] { return front(m) != nullptr; })) {
            for (QQuickItem *c : overlay(m)->childItems())
                qWarning() << c << c->isVisible() << c->opacity() << c->z();
        }
        QTRY_VERIFY(front(m));
        QTRY_VERIFY(!m.field()->hasActiveFocus());
        QTest::qWait(50);
        if (close == u"escape"_qs)
            m.view.key(Qt::Key_Escape);
        else if (close == u"return"_qs)
            m.view.key(Qt::Key_Return);
        else if (close == u"outside"_qs)
            m.view.click(QPointF(m.view.view()->width() - 10, m.view.view()->height() - 60));
        else
            m.view.click(ViewTest::centreOf(ViewTest::itemIn(front(m), close)));
        QTRY_VERIFY(!front(m));
        QTRY_VERIFY2(m.field()->hasActiveFocus(), qPrintable(m.view.view()->activeFocusItem()
                                                                ? describe(m.view.view()->activeFocusItem())
                                                                : u"nothing"_qs));
        m.view.type(u"wx"_qs);
        QCOMPARE(m.state().searchText(), u"wx"_qs);
        m.view.key(Qt::Key_Escape);
        m.view.key(Qt::Key_Down);
        QVERIFY(m.state().selectedAppID().has_value());
        m.view.key(Qt::Key_Return);
        QTRY_VERIFY(!m.f.opener.requests().isEmpty());
    }
};

QTEST_MAIN(TestMainViewInput)
#include "tst_mainviewinput.moc"
