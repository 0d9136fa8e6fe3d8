import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.Views

// One chosen-able line of the app context menu: the "checkmark" symbol before a checked title; a text that cannot
// be chosen ("暂无分组") in the secondary colour.
MenuItem {
    id: item
    property bool isChecked: false
    property color textColor: enabled ? Theme.primary : Theme.secondary

    font.family: Theme.fontFamily
    font.pixelSize: 13
    implicitHeight: 24
    leftPadding: 8
    rightPadding: 16

    contentItem: Row {
        spacing: 4
        Item {
            width: 14
            height: 14
            anchors.verticalCenter: parent.verticalCenter
            Symbol {
                anchors.centerIn: parent
                visible: item.isChecked
                name: "checkmark"
                size: 12
                color: item.highlighted ? "white" : Theme.primary
            }
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: item.text
            textFormat: Text.PlainText
            font: item.font
            color: item.highlighted ? "white" : item.textColor
        }
    }
    arrow: Text {
        x: item.width - width - 6
        anchors.verticalCenter: parent ? parent.verticalCenter : undefined
        visible: item.subMenu !== null
        text: "›"
        font.family: Theme.fontFamily
        font.pixelSize: 15
        color: item.highlighted ? "white" : Theme.primary
    }
    background: Rectangle {
        implicitWidth: 180
        radius: 4
        color: item.highlighted ? Theme.accent : "transparent"
    }
}
