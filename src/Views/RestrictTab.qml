pragma ComponentBehavior: Bound
import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels

// The restriction-rules tab: the blocked-app slogan, the rules (or the hint when there are none) and, while any is in
// force, the blocks that plans leave behind and the ad-hoc blocks.
Column {
    id: tab
    required property SupervisionPanelModel model

    width: parent ? parent.width : 476
    spacing: 12

    SettingsSection {
        SettingsRow {
            title: "禁启标语"
            controlsBelow: true
            SloganField {
                objectName: "sloganField"
                text: tab.model.blockedSlogan
                onTextEdited: tab.model.blockedSlogan = text
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
            onActionClicked: tab.model.addRuleClicked()
        }
        EmptyHint {
            objectName: "rulesEmpty"
            visible: tab.model.ruleRows.count === 0
            text: "还没有禁启时段规则"
        }
        SettingsSection {
            objectName: "rulesList"
            visible: tab.model.ruleRows.count > 0
            Repeater {
                model: tab.model.ruleRows
                Column {
                    id: ruleItem
                    required property int index
                    required property string key
                    required property string title
                    required property string subtitle
                    required property bool switchOn
                    width: parent.width
                    SettingsRowDivider { visible: ruleItem.index > 0 }
                    SupervisionCard {
                        objectName: "rule_" + ruleItem.index
                        firstInSection: ruleItem.index === 0
                        lastInSection: ruleItem.index === tab.model.ruleRows.count - 1
                        isEnabled: ruleItem.switchOn
                        title: ruleItem.title
                        subtitle: ruleItem.subtitle
                        onSwitchClicked: tab.model.ruleSwitchClicked(ruleItem.index)
                        onEditClicked: tab.model.editRuleAt(ruleItem.index)
                        onDeleteClicked: tab.model.deleteRuleAt(ruleItem.index)
                    }
                }
            }
        }
    }

    Column {
        objectName: "linkedBlocks"
        width: parent.width
        spacing: 7
        visible: tab.model.linkedRows.count > 0
        SectionCaption { title: "联动禁启" }
        SettingsSection {
            Repeater {
                model: tab.model.linkedRows
                Column {
                    id: linkedItem
                    required property int index
                    required property string title
                    required property string badge
                    required property string subtitle
                    width: parent.width
                    SettingsRowDivider { visible: linkedItem.index > 0 }
                    LinkedBlockRow {
                        objectName: "linked_" + linkedItem.index
                        firstInSection: linkedItem.index === 0
                        lastInSection: linkedItem.index === tab.model.linkedRows.count - 1
                        title: linkedItem.title
                        badge: linkedItem.badge
                        subtitle: linkedItem.subtitle
                        onCloseClicked: tab.model.closeLinkedAt(linkedItem.index)
                    }
                }
            }
        }
    }
}
