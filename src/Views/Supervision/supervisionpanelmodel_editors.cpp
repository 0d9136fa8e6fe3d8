// The editors and the timed-quit tab, made for the panel's sheets.

#include "supervisionpanelmodel.h"

#include "quitplaneditormodel.h"
#include "quittabmodel.h"
#include "ruleeditormodel.h"
#include "supervisionrearm.h"

// --- Editors and the timed-quit tab.

SupervisionWriteHooks SupervisionPanelModel::writeHooks() const
{
    SupervisionRearm *rearm = &m_rearm;
    return {[rearm] { rearm->rearmGuards(); }, [rearm] { rearm->rescheduleQuitPlans(); }};
}

RuleEditorModel *SupervisionPanelModel::makeRuleEditor(QObject *owner)
{
    auto *editor = new RuleEditorModel(m_state, writeHooks(), owner);
    if (m_editingRule)
        editor->open(m_editingRule, m_ruleIsNew);
    // Queued: the editor's sheet goes with the record, and the editor is still inside save() or cancel() here.
    connect(
        editor, &RuleEditorModel::openChanged, this,
        [this, editor] {
            if (!editor->isOpen())
                ruleEditorClosed();
        },
        Qt::QueuedConnection);
    return editor;
}

QuitPlanEditorModel *SupervisionPanelModel::makePlanEditor(QObject *owner)
{
    auto *editor = new QuitPlanEditorModel(m_state, writeHooks(), owner);
    if (m_editingPlan)
        editor->open(m_editingPlan, m_planIsNew);
    connect(
        editor, &QuitPlanEditorModel::openChanged, this,
        [this, editor] {
            if (!editor->isOpen())
                planEditorClosed();
        },
        Qt::QueuedConnection);
    return editor;
}

QuitTabModel *SupervisionPanelModel::makeQuitTab(QObject *owner)
{
    return new QuitTabModel(m_state, writeHooks(), this, owner);
}
