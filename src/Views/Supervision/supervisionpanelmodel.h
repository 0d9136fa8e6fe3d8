#pragma once

#include "instant.h"
#include "rowclickguard.h"
#include "supervisiontab.h"
#include "supervisionwritehooks.h"
#include "timerservice.h"

#include <QAbstractListModel>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUuid>
#include <QtQml/qqmlregistration.h>

#include <functional>
#include <memory>
#include <optional>

class AdHocBlock;
class AppPickerModel;
class QuitPlanEditorModel;
class QuitTabModel;
class RuleEditorModel;
struct AppInfo;
class AppGroup;
class AppState;
class QuitPlan;
class RestrictionRule;
class ScheduleCalendar;
class StoreRecord;
class SupervisionRearm;
struct QuitPlanSnapshot;
struct RestrictionRuleSnapshot;

// Rows that a supervision tab shows: a title, an optional badge, a subtitle and, for rule rows, the switch as shown.
// Rebuilt whole by its panel model and updated in place (rows changed, added or removed at the end), so a view keeps
// its delegates and its scroll position. The restriction tab's list holds its rules, then the caption of the linked
// blocks and the blocks, each row knowing its kind, its index in its own list and whether it starts or ends its
// section. Main thread; owned by the panel model.
class SupervisionRowsModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the supervision panel model")
    Q_PROPERTY(int count READ count NOTIFY countChanged)
public:
    struct Row
    {
        QString key; // the record's store identifier, or the ad-hoc block's
        QString title;
        QString badge;
        QString subtitle;
        bool switchOn = false;
        QString kind;     // "rule", "linkedCaption" or "linked" in the restriction tab's list
        int source = -1;  // the row's index among the rows of its kind
        bool first = false; // first of its section
        bool last = false;  // last of its section
        friend bool operator==(const Row &, const Row &) = default;
    };
    enum Role {
        KeyRole = Qt::UserRole + 1,
        TitleRole,
        BadgeRole,
        SubtitleRole,
        SwitchOnRole,
        KindRole,
        SourceRole,
        FirstRole,
        LastRole
    };

    using QAbstractListModel::QAbstractListModel;
    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;
    [[nodiscard]] int count() const { return int(m_rows.size()); }
    [[nodiscard]] const QList<Row> &rows() const { return m_rows; }
    void setRows(QList<Row> rows);

Q_SIGNALS:
    void countChanged();

private:
    QList<Row> m_rows;
};

// The supervision panel's state and rules: the shell (tab, cards, keys, the appear step), the restriction-rules tab
// and the launch-conditions tab. Made afresh for each opening of the panel; works on the state object's store and
// preferences and re-arms through the given SupervisionRearm. Main thread; owned by the panel (or a test).
class SupervisionPanelModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by SupervisionPanels or a test")
    Q_PROPERTY(QString tab READ tabRaw WRITE setTabRaw NOTIFY tabChanged)
    Q_PROPERTY(int toggleRefresh READ toggleRefresh NOTIFY toggleRefreshChanged)
    Q_PROPERTY(QString blockedSlogan READ blockedSlogan WRITE setBlockedSlogan NOTIFY blockedSloganChanged)
    Q_PROPERTY(bool hasDisableRequest READ hasDisableRequest NOTIFY cardsChanged)
    Q_PROPERTY(bool canPauseOnce READ canPauseOnce NOTIFY cardsChanged)
    Q_PROPERTY(bool hasCloseTarget READ hasCloseTarget NOTIFY cardsChanged)
    Q_PROPERTY(QString closeTitle READ closeTitle NOTIFY cardsChanged)
    Q_PROPERTY(QString closeMessage READ closeMessage NOTIFY cardsChanged)
    Q_PROPERTY(QString closeConfirmTitle READ closeConfirmTitle NOTIFY cardsChanged)
    Q_PROPERTY(QString closeSlogan READ closeSlogan NOTIFY cardsChanged)
    Q_PROPERTY(SupervisionRowsModel *ruleRows READ ruleRows CONSTANT)
    Q_PROPERTY(SupervisionRowsModel *linkedRows READ linkedRows CONSTANT)
    Q_PROPERTY(SupervisionRowsModel *restrictList READ restrictList CONSTANT)
    Q_PROPERTY(bool showAppPicker READ showAppPicker WRITE setShowAppPicker NOTIFY pickersChanged)
    Q_PROPERTY(bool showSearchPagePicker READ showSearchPagePicker WRITE setShowSearchPagePicker NOTIFY pickersChanged)
    Q_PROPERTY(QString focusCountText READ focusCountText NOTIFY launchChanged)
    Q_PROPERTY(QString searchPageCountText READ searchPageCountText NOTIFY launchChanged)
    Q_PROPERTY(bool hasEditingRule READ hasEditingRule NOTIFY editorsChanged)
    Q_PROPERTY(bool ruleIsNew READ ruleIsNew NOTIFY editorsChanged)
    Q_PROPERTY(bool hasEditingPlan READ hasEditingPlan NOTIFY editorsChanged)
    Q_PROPERTY(bool planIsNew READ planIsNew NOTIFY editorsChanged)
public:
    enum class DisableChoice { pauseOnce, always, cancel };
    Q_ENUM(DisableChoice)

    // A turn-off waiting for the card's answer. The record stays valid after a delete (the store keeps it inert).
    struct DisableRequest
    {
        std::optional<Instant> pauseUntil;
        std::function<void(Instant)> setPause;
        std::function<void()> setOff;
    };

    struct CloseTarget
    {
        enum class Kind { plan, adhoc, session } kind = Kind::plan;
        QuitPlan *plan = nullptr;
        AdHocBlock *adhoc = nullptr;
        QUuid sessionID;
        QString sessionTitle; // the session's task note, else its app's name
    };

    struct CloseCard
    {
        QString slogan;
        QString title;
        QString message;
        QString confirmTitle;
    };

    struct LinkedItem
    {
        QString title;
        QString badge;
        QString subtitle;
        CloseTarget target;
    };

    SupervisionPanelModel(AppState &state, SupervisionRearm &rearm, QObject *parent = nullptr);
    // The same with a re-arm of its own (the program's, made by SupervisionPanels).
    SupervisionPanelModel(AppState &state, std::unique_ptr<SupervisionRearm> rearm, QObject *parent = nullptr);
    ~SupervisionPanelModel() override;

    // --- Shell.
    [[nodiscard]] SupervisionTab tab() const { return m_tab; }
    void setTab(SupervisionTab tab);
    [[nodiscard]] QString tabRaw() const;
    void setTabRaw(const QString &raw);
    [[nodiscard]] int toggleRefresh() const { return m_toggleRefresh; }

    // The first step once shown: the tab asked for, then the stale rules and the plans without a target go.
    Q_INVOKABLE void appear();
    void resolveDisable(DisableChoice choice);
    Q_INVOKABLE void resolveDisableRaw(int choice) { resolveDisable(DisableChoice(choice)); }
    [[nodiscard]] CloseCard closeCard(const CloseTarget &target) const;
    Q_INVOKABLE void confirmClose();
    Q_INVOKABLE void cancelClose();
    // Escape: the turn-off card, else the close card, else the panel (dismissRequested).
    Q_INVOKABLE void escape();
    // Return: the open card's prominent button, else "完成" (dismissRequested).
    Q_INVOKABLE void returnPressed();

    [[nodiscard]] const std::optional<DisableRequest> &disableRequest() const { return m_disableRequest; }
    // Opens the turn-off card (a row's switch turned off); the caller has re-armed what it owes.
    void setDisableRequest(DisableRequest request);
    [[nodiscard]] bool hasDisableRequest() const { return m_disableRequest.has_value(); }
    [[nodiscard]] bool canPauseOnce() const { return m_disableRequest && m_disableRequest->pauseUntil.has_value(); }
    [[nodiscard]] const std::optional<CloseTarget> &closeTarget() const { return m_closeTarget; }
    void setCloseTarget(std::optional<CloseTarget> target);
    [[nodiscard]] bool hasCloseTarget() const { return m_closeTarget.has_value(); }
    [[nodiscard]] QString closeTitle() const { return m_closeTarget ? closeCard(*m_closeTarget).title : QString(); }
    [[nodiscard]] QString closeMessage() const { return m_closeTarget ? closeCard(*m_closeTarget).message : QString(); }
    [[nodiscard]] QString closeConfirmTitle() const
    {
        return m_closeTarget ? closeCard(*m_closeTarget).confirmTitle : QString();
    }
    [[nodiscard]] QString closeSlogan() const { return m_closeTarget ? closeCard(*m_closeTarget).slogan : QString(); }

    [[nodiscard]] QString blockedSlogan() const;
    void setBlockedSlogan(const QString &slogan);

    // The records the editors show and whether they are new. The panel presents an editor while its record is set;
    // the editor, once saved or cancelled, hands the record back through the matching ...Closed().
    [[nodiscard]] RestrictionRule *editingRule() const { return m_editingRule; }
    [[nodiscard]] bool hasEditingRule() const { return m_editingRule != nullptr; }
    [[nodiscard]] bool ruleIsNew() const { return m_ruleIsNew; }
    [[nodiscard]] QuitPlan *editingPlan() const { return m_editingPlan; }
    [[nodiscard]] bool hasEditingPlan() const { return m_editingPlan != nullptr; }
    [[nodiscard]] bool planIsNew() const { return m_planIsNew; }
    // Sets the is-new flag, then the plan (the timed-quit tab's add and edit actions).
    void editPlan(QuitPlan &plan, bool isNew);
    Q_INVOKABLE void ruleEditorClosed();
    Q_INVOKABLE void planEditorClosed();

    // --- Texts.
    [[nodiscard]] QString planTitle(const QuitPlan &plan) const;
    [[nodiscard]] static std::optional<QString> planBadge(const QuitPlan &plan);
    [[nodiscard]] QString withPauseSuffix(const QString &text, const std::optional<Instant> &pausedUntil) const;
    [[nodiscard]] static QString windowEndText(Instant date, const ScheduleCalendar &calendar, Instant now);
    [[nodiscard]] QString ruleTitle(const RestrictionRule &rule) const;
    [[nodiscard]] QString ruleSubtitle(const RestrictionRule &rule) const;
    [[nodiscard]] QString onceExpiredSuffix(const RestrictionRule &rule) const;
    [[nodiscard]] bool ruleSwitchShown(const RestrictionRule &rule) const;

    // --- Restriction-rules tab.
    [[nodiscard]] QList<RestrictionRule *> rules() const;
    [[nodiscard]] QList<QuitPlan *> plans() const;
    [[nodiscard]] QList<AppGroup *> groups() const;
    [[nodiscard]] QList<RestrictionRule *> validRules() const;
    void addRule();
    void setRule(RestrictionRule &rule, bool on);
    void editRule(RestrictionRule &rule);
    void deleteRule(RestrictionRule &rule);
    void purgeStaleRules();
    [[nodiscard]] QList<LinkedItem> linkedItems(Instant at) const;
    Q_INVOKABLE void addRuleClicked() { addRule(); }
    Q_INVOKABLE void ruleSwitchClicked(int row);
    Q_INVOKABLE void editRuleAt(int row);
    Q_INVOKABLE void deleteRuleAt(int row);
    // The row's delete button, clicked at `scenePos`: deletes unless the click is the second of a double-click whose
    // first deleted the row that stood there (RowClickGuard).
    Q_INVOKABLE void deleteRuleClicked(int row, QPointF scenePos);
    Q_INVOKABLE void closeLinkedAt(int row);
    [[nodiscard]] SupervisionRowsModel *ruleRows() { return &m_ruleRows; }
    [[nodiscard]] SupervisionRowsModel *linkedRows() { return &m_linkedRows; }
    // The rules, then (when any) the linked blocks' caption and the blocks: what the restriction tab lists.
    [[nodiscard]] SupervisionRowsModel *restrictList() { return &m_restrictList; }

    // --- Launch-conditions tab.
    [[nodiscard]] QList<AppInfo> focusControlApps() const;
    [[nodiscard]] QList<AppInfo> searchPageConfigurableApps() const;
    [[nodiscard]] QStringList focusControlAppIDs() const;
    [[nodiscard]] QStringList searchPageConfigurableAppIDs() const;
    [[nodiscard]] int focusControlCount() const;
    [[nodiscard]] int searchPageCount() const;
    [[nodiscard]] QString focusCountText() const;
    [[nodiscard]] QString searchPageCountText() const;
    [[nodiscard]] QSet<QString> focusSelection() const;
    void setFocusSelection(const QSet<QString> &selection);
    [[nodiscard]] QSet<QString> searchPageSelection() const;
    void setSearchPageSelection(const QSet<QString> &selection);
    [[nodiscard]] bool showAppPicker() const { return m_showAppPicker; }
    void setShowAppPicker(bool show);
    [[nodiscard]] bool showSearchPagePicker() const { return m_showSearchPagePicker; }
    void setShowSearchPagePicker(bool show);
    // The rows of the two picker sheets, made afresh for each opening and owned by `owner` (the sheet). Each click
    // writes the selection at once; the names shown are the aliases, else the apps' names.
    Q_INVOKABLE AppPickerModel *makeFocusPicker(QObject *owner);
    Q_INVOKABLE AppPickerModel *makeSearchPagePicker(QObject *owner);

    // --- Editors and the timed-quit tab: their view models, made afresh for each showing, owned by `owner` (the
    // sheet or the tab) and re-arming through this panel's re-arm. An editor opens on the record being edited and,
    // once saved or cancelled, hands it back (ruleEditorClosed(), planEditorClosed()).
    Q_INVOKABLE RuleEditorModel *makeRuleEditor(QObject *owner);
    Q_INVOKABLE QuitPlanEditorModel *makePlanEditor(QObject *owner);
    Q_INVOKABLE QuitTabModel *makeQuitTab(QObject *owner);

    // Rebuilds the rows (the store changed, the state announced a change, toggleRefresh moved).
    void rebuildRows();
    // Rebuilds the linked blocks alone (the 30-s tick).
    void rebuildLinked();

    [[nodiscard]] static RestrictionRuleSnapshot snapshot(const RestrictionRule &rule);
    [[nodiscard]] static QuitPlanSnapshot snapshot(const QuitPlan &plan);

Q_SIGNALS:
    void tabChanged();
    void toggleRefreshChanged();
    void blockedSloganChanged();
    void cardsChanged();
    void pickersChanged();
    void launchChanged();
    void editorsChanged();
    // The panel asks its host to close it.
    void dismissRequested();

private:
    // Uses `rearm` when given, else `owned`.
    SupervisionPanelModel(AppState &state, SupervisionRearm *rearm, std::unique_ptr<SupervisionRearm> owned,
                          QObject *parent);
    [[nodiscard]] Instant now() const;
    [[nodiscard]] QString shownName(const AppInfo &app) const;
    void bumpToggleRefresh();
    void rebuildRestrictList();
    void save();
    // The editors' and the tab's hooks: this panel's re-arm, which outlives them.
    [[nodiscard]] SupervisionWriteHooks writeHooks() const;

    AppState &m_state;
    std::unique_ptr<SupervisionRearm> m_ownedRearm;
    SupervisionRearm &m_rearm;
    SupervisionTab m_tab = SupervisionTab::launch;
    RestrictionRule *m_editingRule = nullptr;
    bool m_ruleIsNew = false;
    QuitPlan *m_editingPlan = nullptr;
    bool m_planIsNew = false;
    int m_toggleRefresh = 0;
    std::optional<DisableRequest> m_disableRequest;
    std::optional<CloseTarget> m_closeTarget;
    bool m_showAppPicker = false;
    bool m_showSearchPagePicker = false;
    SupervisionRowsModel m_ruleRows;
    SupervisionRowsModel m_linkedRows;
    SupervisionRowsModel m_restrictList;
    QList<RestrictionRule *> m_shownRules;
    QList<LinkedItem> m_shownLinked;
    TimerHandle m_linkedTick;
    RowClickGuard m_deleteClicks;
};

// Makes the supervision panel's model for QML: one per opening, owned by the panel, so that it goes with it.
class SupervisionPanels : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
public:
    using QObject::QObject;
    Q_INVOKABLE static SupervisionPanelModel *create(AppState *state, QObject *owner);
};
