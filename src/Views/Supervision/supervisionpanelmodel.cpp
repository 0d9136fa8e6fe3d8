// The panel itself: its state, the tab switch, the notices it follows and the sheets it opens. The rows and their
// texts, each tab's lists and the editors stand in supervisionpanelmodel_*.cpp beside this file.

#include "supervisionpanelmodel.h"

#include "adhocblock.h"
#include "appstate.h"
#include "clock.h"
#include "focussessionmanager.h"
#include "preferences.h"
#include "quitplan.h"
#include "storecontext.h"
#include "supervisionpanelkeys.h"
#include "supervisionrearm.h"

#include <chrono>

using namespace std::chrono_literals;

// --- Panel.

SupervisionPanelModel::SupervisionPanelModel(AppState &state, SupervisionRearm &rearm, QObject *parent)
    : SupervisionPanelModel(state, &rearm, nullptr, parent)
{
}

SupervisionPanelModel::SupervisionPanelModel(AppState &state, std::unique_ptr<SupervisionRearm> rearm,
                                             QObject *parent)
    : SupervisionPanelModel(state, nullptr, std::move(rearm), parent)
{
}

SupervisionPanelModel::SupervisionPanelModel(AppState &state, SupervisionRearm *rearm,
                                             std::unique_ptr<SupervisionRearm> owned, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_ownedRearm(std::move(owned))
    , m_rearm(rearm ? *rearm : *m_ownedRearm)
    , m_ruleRows(this)
    , m_linkedRows(this)
    , m_restrictList(this)
    , m_deleteClicks(state.seams().clock)
{
    StoreContext &context = m_state.container().mainContext();
    connect(&context, &StoreContext::changed, this, [this] { rebuildRows(); });
    connect(&m_state, &AppState::changed, this, [this] {
        rebuildRows();
        Q_EMIT launchChanged();
    });
    connect(&m_state.seams().preferences, &Preferences::valueChanged, this, [this](const QString &key) {
        if (key == SupervisionPanelKeys::slogan)
            Q_EMIT blockedSloganChanged();
        else if (key == SupervisionPanelKeys::focusApps || key == SupervisionPanelKeys::searchPageApps)
            Q_EMIT launchChanged();
    });
    m_linkedTick = m_state.seams().timers.startRepeating(30s, [this] { rebuildLinked(); });
    rebuildRows();
}

SupervisionPanelModel::~SupervisionPanelModel() = default;

Instant SupervisionPanelModel::now() const
{
    return m_state.seams().clock.now();
}

void SupervisionPanelModel::save()
{
    std::ignore = m_state.container().mainContext().save();
    m_state.publishStoreChange();
}

void SupervisionPanelModel::bumpToggleRefresh()
{
    ++m_toggleRefresh;
    Q_EMIT toggleRefreshChanged();
    rebuildRows();
}

void SupervisionPanelModel::setTab(SupervisionTab tab)
{
    if (m_tab == tab)
        return;
    m_tab = tab;
    Q_EMIT tabChanged();
}

QString SupervisionPanelModel::tabRaw() const
{
    switch (m_tab) {
    case SupervisionTab::launch: return QStringLiteral("launch");
    case SupervisionTab::restrict: return QStringLiteral("restrict");
    case SupervisionTab::quit: return QStringLiteral("quit");
    }
    return {};
}

void SupervisionPanelModel::setTabRaw(const QString &raw)
{
    if (raw == u"restrict")
        setTab(SupervisionTab::restrict);
    else if (raw == u"quit")
        setTab(SupervisionTab::quit);
    else
        setTab(SupervisionTab::launch);
}

void SupervisionPanelModel::appear()
{
    setTab(m_state.supervisionInitialTab);
    m_state.supervisionInitialTab = SupervisionTab::launch;
    // Plans are left as they are, those without apps or a group included (a rules file may hold them): the
    // quit tab lists them for the user to mend or delete.
    purgeStaleRules();
}

void SupervisionPanelModel::resolveDisable(DisableChoice choice)
{
    if (!m_disableRequest)
        return;
    switch (choice) {
    case DisableChoice::pauseOnce:
        if (m_disableRequest->pauseUntil)
            m_disableRequest->setPause(*m_disableRequest->pauseUntil);
        break;
    case DisableChoice::always: m_disableRequest->setOff(); break;
    case DisableChoice::cancel: break;
    }
    save();
    m_disableRequest.reset();
    Q_EMIT cardsChanged();
    bumpToggleRefresh();
}

SupervisionPanelModel::CloseCard SupervisionPanelModel::closeCard(const CloseTarget &target) const
{
    CloseCard card;
    card.slogan = blockedSlogan();
    switch (target.kind) {
    case CloseTarget::Kind::plan:
        card.title = QStringLiteral("关闭并删除这条计划？");
        card.message = QStringLiteral("删除后，该定时退出与其联动禁启一并失效。");
        card.confirmTitle = QStringLiteral("关闭并删除");
        break;
    case CloseTarget::Kind::adhoc: {
        const QString id = target.adhoc ? target.adhoc->bundleID() : QString();
        card.title = QStringLiteral("关闭这条临时禁启？");
        card.message = QStringLiteral("「") + m_state.appName(id).value_or(id) + QStringLiteral("」将立即恢复可用。");
        card.confirmTitle = QStringLiteral("关闭并解除");
        break;
    }
    case CloseTarget::Kind::session:
        card.title = QStringLiteral("关闭并删除这条定时退出？");
        card.message = QStringLiteral("「") + target.sessionTitle
                       + QStringLiteral("」将不再被自动退出，本次倒计时结束。");
        card.confirmTitle = QStringLiteral("关闭并删除");
        break;
    }
    return card;
}

void SupervisionPanelModel::setCloseTarget(std::optional<CloseTarget> target)
{
    m_closeTarget = std::move(target);
    Q_EMIT cardsChanged();
}

void SupervisionPanelModel::confirmClose()
{
    if (!m_closeTarget)
        return;
    const CloseTarget target = *m_closeTarget;
    StoreContext &context = m_state.container().mainContext();
    switch (target.kind) {
    case CloseTarget::Kind::plan:
        context.remove(target.plan);
        save();
        m_rearm.rescheduleQuitPlans();
        m_rearm.rearmGuards();
        setCloseTarget(std::nullopt);
        bumpToggleRefresh();
        break;
    case CloseTarget::Kind::adhoc:
        context.remove(target.adhoc);
        save();
        m_state.refreshSortMeta();
        setCloseTarget(std::nullopt);
        bumpToggleRefresh();
        break;
    case CloseTarget::Kind::session:
        m_state.sessionManager().end(target.sessionID);
        setCloseTarget(std::nullopt);
        break;
    }
}

void SupervisionPanelModel::cancelClose()
{
    if (m_closeTarget)
        setCloseTarget(std::nullopt);
}

void SupervisionPanelModel::escape()
{
    if (m_disableRequest) {
        m_disableRequest.reset();
        Q_EMIT cardsChanged();
    } else if (m_closeTarget) {
        setCloseTarget(std::nullopt);
    } else {
        Q_EMIT dismissRequested();
    }
}

void SupervisionPanelModel::returnPressed()
{
    if (m_disableRequest) {
        if (canPauseOnce())
            resolveDisable(DisableChoice::pauseOnce);
    } else if (m_closeTarget) {
        confirmClose();
    } else {
        Q_EMIT dismissRequested();
    }
}

QString SupervisionPanelModel::blockedSlogan() const
{
    return m_state.seams().preferences.stringValue(SupervisionPanelKeys::slogan).value_or(QString());
}

void SupervisionPanelModel::setBlockedSlogan(const QString &slogan)
{
    m_state.seams().preferences.setString(SupervisionPanelKeys::slogan, slogan);
}

// --- Factory.

SupervisionPanelModel *SupervisionPanels::create(AppState *state, QObject *owner)
{
    if (!state)
        return nullptr;
    return new SupervisionPanelModel(*state, std::make_unique<AppStateSupervisionRearm>(*state), owner);
}
