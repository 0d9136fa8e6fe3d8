import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The timed-quit tab, which scrolls by itself: the plans' caption on top, then the plans (or the hint when there are
// none; a new plan is listed behind its editor) and, while any runs, the focus sessions under their own caption with
// the time they had left at the last 30-second tick. Only the rows in sight are made.
ListView {
    id: list
    required property QuitTabModel tab

    objectName: "tabScroller"
    clip: true
    boundsBehavior: Flickable.StopAtBounds
    currentIndex: -1
    keyNavigationEnabled: false
    // Rows are made as they scroll into sight; an opening makes only the ones it shows.
    cacheBuffer: 0
    model: list.tab.quitList
    ScrollBar.vertical: PanelScrollBar { view: list }

    header: Column {
        x: 22
        width: list.width - 44
        bottomPadding: list.tab.planRows.count > 0 ? 7 : 0
        spacing: 7
        SectionCaption {
            objectName: "plansCaption"
            title: "定时退出计划"
            hasAction: true
            onActionClicked: list.tab.addPlanClicked()
        }
        EmptyHint {
            objectName: "plansEmpty"
            visible: list.tab.planRows.count === 0
            text: "还没有定时退出计划"
        }
    }
    footer: Item {
        width: list.width
        height: 12
    }

    delegate: Item {
        id: entry
        required property string kind
        required property int source
        required property string title
        required property string badge
        required property string subtitle
        required property bool switchOn
        required property bool first
        required property bool last

        objectName: kind === "plan" ? "plan_" + source : kind === "session" ? "session_" + source : "sessionsBlock"
        width: list.width
        height: loader.height

        Loader {
            id: loader
            x: 22
            width: parent.width - 44
            sourceComponent: entry.kind === "sessionsCaption" ? caption : segment
        }

        Component {
            id: caption
            Item {
                implicitHeight: 12 + captionText.implicitHeight + 7
                SectionCaption {
                    id: captionText
                    y: 12
                    title: entry.title
                }
            }
        }
        // One row of a section: the card's white with its rounded corners at the section's ends, the divider above
        // every row but the first.
        Component {
            id: segment
            Item {
                implicitHeight: row.height + (entry.first ? 0 : 1)
                Item {
                    anchors.fill: parent
                    clip: true
                    Rectangle {
                        readonly property real rounding: entry.first || entry.last ? 10 : 0
                        y: entry.first ? 0 : -rounding
                        width: parent.width
                        height: parent.height + (entry.first !== entry.last ? rounding : 0)
                        radius: rounding
                        color: SettingsPalette.surface
                    }
                }
                SettingsRowDivider {
                    visible: !entry.first
                    width: parent.width
                }
                Loader {
                    id: row
                    y: entry.first ? 0 : 1
                    width: parent.width
                    sourceComponent: entry.kind === "plan" ? planRow : sessionRow
                }
            }
        }
        Component {
            id: planRow
            SupervisionCard {
                objectName: "planCard"
                firstInSection: entry.first
                lastInSection: entry.last
                isEnabled: entry.switchOn
                title: entry.title
                badge: entry.badge
                subtitle: entry.subtitle
                onSwitchClicked: list.tab.planSwitchClicked(entry.source)
                onEditClicked: list.tab.editPlanAt(entry.source)
                onDeleteClicked: scenePos => list.tab.deletePlanClicked(entry.source, scenePos)
            }
        }
        Component {
            id: sessionRow
            LinkedBlockRow {
                objectName: "sessionRow"
                firstInSection: entry.first
                lastInSection: entry.last
                title: entry.title
                badge: entry.badge
                subtitle: entry.subtitle
                onCloseClicked: list.tab.closeSessionAt(entry.source)
            }
        }
    }
}
