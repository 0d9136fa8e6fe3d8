#include "ruleeditormodel.h"

#include "appgroup.h"
#include "appstate.h"
#include "apptilerules.h"
#include "clock.h"
#include "editorfieldrules.h"
#include "restrictionrule.h"
#include "schedulecalendar.h"
#include "storecontext.h"

#include <QVariantMap>

#include <algorithm>

RuleEditorModel::RuleEditorModel(AppState &state, SupervisionWriteHooks hooks, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_hooks(std::move(hooks))
    , m_appPicker({}, [&state](const AppInfo &app) { return state.alias(app).value_or(app.name); },
                  AppPickerModel::SingleSelection{[this] { return m_targetID; },
                                                  [this](const QString &id) { setTargetID(id); }})
{
    connect(&m_appPicker, &AppPickerModel::picked, this, [this] { setShowAppPicker(false); });
    connect(&m_dayChooser, &DayChooser::dayEdited, this, &RuleEditorModel::setOnceDay);
}

void RuleEditorModel::open(RestrictionRule *rule, bool isNew)
{
    m_rule = rule;
    m_isNew = isNew;
    load();
    Q_EMIT openChanged();
    Q_EMIT edited();
}

void RuleEditorModel::load()
{
    if (!m_rule)
        return;
    const ScheduleCalendar calendar = ScheduleCalendar::system();
    const QDate today = EditorFieldRules::toDate(calendar.localDay(m_state.seams().clock.now()));
    m_kind = m_rule->targetKind();
    m_targetID = m_rule->targetID();
    m_isOnce = m_rule->onceDate().has_value();
    m_storedOnce = m_rule->onceDate();
    m_storedDay.reset();
    if (m_storedOnce)
        m_storedDay = EditorFieldRules::toDate(calendar.localDay(*m_storedOnce));
    m_onceDay = m_storedDay.value_or(today);
    m_minimumDay = EditorFieldRules::minimumDay(today, m_storedDay);
    m_weekdays = sortedUnique(m_rule->weekdays());
    m_startMinute = m_rule->startMinute();
    m_endMinute = m_rule->endMinute();
    m_showAppPicker = false;
    m_dayChooser.setMinimumDay(m_minimumDay);
    m_dayChooser.setDay(m_onceDay);
}

void RuleEditorModel::chooseKind(int raw)
{
    const auto kind = restrictionTargetFromRaw(raw);
    if (!kind || *kind == m_kind)
        return;
    m_kind = *kind;
    m_targetID.clear();
    Q_EMIT edited();
}

void RuleEditorModel::setTargetID(const QString &id)
{
    if (id == m_targetID)
        return;
    m_targetID = id;
    Q_EMIT edited();
}

void RuleEditorModel::setStartMinute(int minute)
{
    if (minute == m_startMinute)
        return;
    m_startMinute = minute;
    Q_EMIT edited();
}

void RuleEditorModel::setEndMinute(int minute)
{
    if (minute == m_endMinute)
        return;
    m_endMinute = minute;
    Q_EMIT edited();
}

void RuleEditorModel::setIsOnce(bool once)
{
    if (once == m_isOnce)
        return;
    m_isOnce = once;
    Q_EMIT edited();
}

void RuleEditorModel::setOnceDay(QDate day)
{
    if (!day.isValid() || day < m_minimumDay || day == m_onceDay)
        return;
    m_onceDay = day;
    m_dayChooser.setDay(day);
    Q_EMIT edited();
}

void RuleEditorModel::setWeekdays(const QList<int> &days)
{
    QList<int> sorted = sortedUnique(days);
    if (sorted == m_weekdays)
        return;
    m_weekdays = std::move(sorted);
    Q_EMIT edited();
}

void RuleEditorModel::setShowAppPicker(bool show)
{
    if (show == m_showAppPicker)
        return;
    if (show) {
        m_appPicker.setApps(m_state.targetableApps());
        m_appPicker.setSearch({});
        m_appPicker.selectionChanged();
    }
    m_showAppPicker = show;
    Q_EMIT edited();
}

bool RuleEditorModel::isValid() const
{
    return !m_targetID.isEmpty() && (m_isOnce || !m_weekdays.isEmpty());
}

std::optional<AppInfo> RuleEditorModel::selectedApp() const
{
    if (m_targetID.isEmpty())
        return std::nullopt;
    const QList<AppInfo> apps = m_state.targetableApps();
    const auto it = std::find_if(apps.cbegin(), apps.cend(),
                                 [this](const AppInfo &app) { return app.bundleID == m_targetID; });
    if (it == apps.cend())
        return std::nullopt;
    return *it;
}

QString RuleEditorModel::selectedAppName() const
{
    const auto app = selectedApp();
    if (!app)
        return {};
    return m_state.alias(*app).value_or(app->name);
}

QString RuleEditorModel::selectedAppBundleID() const
{
    const auto app = selectedApp();
    return app ? app->bundleID : QString();
}

QString RuleEditorModel::selectedAppIcon() const
{
    const auto app = selectedApp();
    return app ? AppTileRules::iconSource(*app) : QString();
}

QVariantList RuleEditorModel::groupChoices() const
{
    return ::groupChoices(m_state.container().mainContext());
}

void RuleEditorModel::save()
{
    if (!m_rule || !isValid())
        return;
    const ScheduleCalendar calendar = ScheduleCalendar::system();
    m_rule->setTargetKindRaw(rawValue(m_kind));
    m_rule->setTargetID(m_targetID);
    m_rule->setStartMinute(m_startMinute);
    m_rule->setEndMinute(m_endMinute);
    m_rule->setOnceDate(m_isOnce ? EditorFieldRules::dayInstant(m_onceDay, m_storedDay, m_storedOnce, calendar)
                                 : std::nullopt);
    m_rule->setWeekdays(m_weekdays);
    std::ignore = m_state.container().mainContext().save();
    m_state.publishStoreChange();
    if (m_hooks.rearmGuards)
        m_hooks.rearmGuards();
    close();
}

void RuleEditorModel::cancel()
{
    if (!m_rule)
        return;
    if (m_isNew) {
        StoreContext &context = m_state.container().mainContext();
        context.remove(m_rule);
        std::ignore = context.save();
        m_state.publishStoreChange();
        if (m_hooks.rearmGuards)
            m_hooks.rearmGuards();
    }
    close();
}

void RuleEditorModel::close()
{
    m_rule = nullptr;
    m_isNew = false;
    m_showAppPicker = false;
    Q_EMIT openChanged();
}

int RuleEditorModel::groupIndex() const
{
    return groupChoiceIndex(groupChoices(), m_targetID);
}

void RuleEditorModel::chooseGroup(int index)
{
    if (const std::optional<QString> value = groupChoiceValue(groupChoices(), index))
        setTargetID(*value);
}
