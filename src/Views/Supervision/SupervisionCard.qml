import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels

// A rule's or a plan's row: its switch, the title (one line) with an optional badge over the wrapping subtitle, and,
// only while the pointer is over the row, the edit and delete buttons, on a faint tint. LinkedBlockRow is the same
// row without the switch and with a close button.
Item {
    id: row
    property bool isEnabled: false
    property string title
    property string badge
    property string subtitle
    property bool hasSwitch: true
    // Where the row sits in its section: the tint follows the section's rounded corners there.
    property bool firstInSection: true
    property bool lastInSection: true
    // The buttons shown while hovered, left to right.
    property Component actions: editAndDelete
    readonly property bool hovering: hover.hovered
    signal switchClicked()
    signal editClicked()
    // Where the delete button was pressed, in window coordinates.
    signal deleteClicked(point scenePos)

    readonly property real textsX: 12 + (hasSwitch ? toggle.width + 10 : 0)
    readonly property real textsRoom: width - textsX - 12 - (actionsLoader.item ? actionsLoader.item.width + 10 : 0)

    width: parent ? parent.width : 400
    implicitHeight: Math.max(44, texts.height + 18)

    HoverHandler { id: hover }
    Item {
        anchors.fill: parent
        clip: true
        Rectangle {
            objectName: "rowFill"
            readonly property real rounding: row.firstInSection || row.lastInSection ? 10 : 0
            y: row.firstInSection ? 0 : -rounding
            width: parent.width
            height: parent.height + (row.firstInSection !== row.lastInSection ? rounding : 0)
            radius: rounding
            color: SupervisionLook.rowFill(row.hovering)
        }
    }
    RowSwitch {
        id: toggle
        objectName: "rowSwitch"
        visible: row.hasSwitch
        x: 12
        anchors.verticalCenter: parent.verticalCenter
        checked: row.isEnabled
        onClicked: row.switchClicked()
        Accessible.name: row.title
    }
    Column {
        id: texts
        x: row.textsX
        anchors.verticalCenter: parent.verticalCenter
        spacing: 3
        Row {
            spacing: 6
            Text {
                id: titleText
                objectName: "rowTitle"
                anchors.verticalCenter: parent.verticalCenter
                width: Math.min(implicitWidth, row.textsRoom - (badgeView.visible ? badgeView.width + 6 : 0))
                text: row.title
                textFormat: Text.PlainText
                elide: Text.ElideRight
                maximumLineCount: 1
                font.family: Theme.fontFamily
                font.pixelSize: 13
                font.weight: Font.Medium
                color: Theme.primary
            }
            RowBadge {
                id: badgeView
                objectName: "rowBadge"
                anchors.verticalCenter: parent.verticalCenter
                visible: row.badge.length > 0
                text: row.badge
            }
        }
        Text {
            objectName: "rowSubtitle"
            width: Math.min(implicitWidth, row.textsRoom)
            text: row.subtitle
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font.family: Theme.fontFamily
            font.pixelSize: 11
            color: Theme.secondary
        }
    }
    Loader {
        id: actionsLoader
        objectName: "rowActions"
        anchors.right: parent.right
        anchors.rightMargin: 12
        anchors.verticalCenter: parent.verticalCenter
        active: row.hovering
        sourceComponent: row.actions
    }

    Component {
        id: editAndDelete
        Row {
            spacing: 10
            CardIconButton {
                objectName: "editButton"
                symbol: "pencil"
                tip: "编辑"
                onClicked: row.editClicked()
            }
            CardIconButton {
                objectName: "deleteButton"
                symbol: "trash"
                destructive: true
                tip: "删除"
                onClicked: row.deleteClicked(mapToItem(null, pressX, pressY))
            }
        }
    }
}
