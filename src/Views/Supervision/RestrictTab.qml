import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The restriction-rules tab, which scrolls by itself: the blocked-app slogan and the rules' caption on top, then the
// rules (or the hint when there are none) and, while any is in force, the blocks that plans leave behind and the
// ad-hoc blocks under their own caption. Only the rows in sight are made.
ListView {
    id: list
    required property SupervisionPanelModel shell

    objectName: "tabScroller"
    clip: true
    boundsBehavior: Flickable.StopAtBounds
    currentIndex: -1
    keyNavigationEnabled: false
    // Rows are made as they scroll into sight; an opening makes only the ones it shows.
    cacheBuffer: 0
    model: shell.restrictList
    ScrollBar.vertical: PanelScrollBar { view: list }

    header: Column {
        x: 22
        width: list.width - 44
        spacing: 12
        bottomPadding: list.shell.ruleRows.count > 0 ? 7 : 0
        SettingsSection {
            SettingsRow {
                title: "禁启标语"
                controlsBelow: true
                SloganField {
                    objectName: "sloganField"
                    text: list.shell.blockedSlogan
                    onTextEdited: list.shell.blockedSlogan = text
                }
            }
        }
        Column {
            width: parent.width
            spacing: 7
            SectionCaption {
                objectName: "rulesCaption"
                title: "禁启时段"
                hasAction: true
                onActionClicked: list.shell.addRuleClicked()
            }
            EmptyHint {
                objectName: "rulesEmpty"
                visible: list.shell.ruleRows.count === 0
                text: "还没有禁启时段规则"
            }
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

        objectName: (kind === "rule" ? "rule_" : kind === "linked" ? "linked_" : "") + (kind === "linkedCaption"
                                                                                        ? "linkedCaption" : source)
        width: list.width
        height: loader.height

        Loader {
            id: loader
            x: 22
            width: parent.width - 44
            sourceComponent: entry.kind === "linkedCaption" ? caption : segment
        }

        Component {
            id: caption
            Item {
                objectName: "linkedBlocks"
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
                    sourceComponent: entry.kind === "rule" ? ruleRow : linkedRow
                }
            }
        }
        Component {
            id: ruleRow
            SupervisionCard {
                objectName: "ruleCard"
                firstInSection: entry.first
                lastInSection: entry.last
                isEnabled: entry.switchOn
                title: entry.title
                subtitle: entry.subtitle
                onSwitchClicked: list.shell.ruleSwitchClicked(entry.source)
                onEditClicked: list.shell.editRuleAt(entry.source)
                onDeleteClicked: scenePos => list.shell.deleteRuleClicked(entry.source, scenePos)
            }
        }
        Component {
            id: linkedRow
            LinkedBlockRow {
                objectName: "linkedRow"
                firstInSection: entry.first
                lastInSection: entry.last
                title: entry.title
                badge: entry.badge
                subtitle: entry.subtitle
                onCloseClicked: list.shell.closeLinkedAt(entry.source)
            }
        }
    }
}
