pragma ComponentBehavior: Bound
import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels

// The timed-quit tab: the plans (or the hint when there are none; a new plan is listed behind its editor) and, while
// any runs, the focus sessions with the time they have left at the last 30-second tick.
Column {
    id: tab
    required property QuitTabModel model

    width: parent ? parent.width : 476
    spacing: 12

    Column {
        width: parent.width
        spacing: 7
        SectionCaption {
            objectName: "plansCaption"
            title: "定时退出计划"
            hasAction: true
            onActionClicked: tab.model.addPlanClicked()
        }
        EmptyHint {
            objectName: "plansEmpty"
            visible: tab.model.planRows.count === 0
            text: "还没有定时退出计划"
        }
        SettingsSection {
            objectName: "plansList"
            visible: tab.model.planRows.count > 0
            Repeater {
                model: tab.model.planRows
                Column {
                    id: planItem
                    required property int index
                    required property string title
                    required property string badge
                    required property string subtitle
                    required property bool switchOn
                    width: parent.width
                    SettingsRowDivider { visible: planItem.index > 0 }
                    SupervisionCard {
                        objectName: "plan_" + planItem.index
                        firstInSection: planItem.index === 0
                        lastInSection: planItem.index === tab.model.planRows.count - 1
                        isEnabled: planItem.switchOn
                        title: planItem.title
                        badge: planItem.badge
                        subtitle: planItem.subtitle
                        onSwitchClicked: tab.model.planSwitchClicked(planItem.index)
                        onEditClicked: tab.model.editPlanAt(planItem.index)
                        onDeleteClicked: tab.model.deletePlanAt(planItem.index)
                    }
                }
            }
        }
    }

    Column {
        objectName: "sessionsBlock"
        width: parent.width
        spacing: 7
        visible: tab.model.sessionRows.length > 0
        SectionCaption { title: "运行中的定时退出" }
        SettingsSection {
            Repeater {
                model: tab.model.sessionRows
                Column {
                    id: sessionItem
                    required property int index
                    required property var modelData
                    width: parent.width
                    SettingsRowDivider { visible: sessionItem.index > 0 }
                    LinkedBlockRow {
                        objectName: "session_" + sessionItem.index
                        firstInSection: sessionItem.index === 0
                        lastInSection: sessionItem.index === tab.model.sessionRows.length - 1
                        title: sessionItem.modelData.title
                        badge: sessionItem.modelData.badge
                        subtitle: sessionItem.modelData.subtitle
                        onCloseClicked: tab.model.closeSessionAt(sessionItem.index)
                    }
                }
            }
        }
    }
}
