import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.Views

// The footer's supervision status: a button that opens the supervision panel.
Item {
    id: entry
    property string statusText
    property bool active
    signal clicked()

    implicitWidth: row.implicitWidth + 16
    implicitHeight: row.implicitHeight + 6
    readonly property color ink: hover.hovered ? Theme.primary : Theme.secondary

    Rectangle {
        anchors.fill: parent
        radius: 6
        color: hover.hovered ? Qt.rgba(0, 0, 0, 0.06) : "transparent"
    }
    Row {
        id: row
        anchors.centerIn: parent
        spacing: 6
        Symbol {
            anchors.verticalCenter: parent.verticalCenter
            name: "shield"
            size: 12
            color: entry.ink
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: "监督"
            font.family: Theme.fontFamily
            font.pixelSize: 12
            font.weight: Font.Medium
            color: entry.ink
        }
        Rectangle {
            objectName: "statusDot"
            anchors.verticalCenter: parent.verticalCenter
            width: 6
            height: 6
            radius: 3
            color: entry.active ? Theme.success : Theme.danger
        }
        Text {
            objectName: "statusText"
            anchors.verticalCenter: parent.verticalCenter
            text: entry.statusText
            font.family: Theme.fontFamily
            font.pixelSize: 12
            color: entry.ink
        }
    }
    HoverHandler { id: hover; cursorShape: Qt.PointingHandCursor }
    TapHandler { onTapped: entry.clicked() }
    ToolTip.visible: hover.hovered
    ToolTip.text: "监督：禁启时段与定时退出计划"
    ToolTip.delay: 600
}
