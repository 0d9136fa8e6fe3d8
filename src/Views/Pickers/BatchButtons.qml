import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.Views

// "全选 ｜ 清空": the batch buttons of an app list, acting on the rows the search shows.
Row {
    id: buttons
    signal selectAll()
    signal clearAll()

    spacing: 6

    // They act on the list and leave the keyboard where it was (the search field): typing goes on after a click.
    component BatchButton: LinkTextButtonStyle {
        focusPolicy: Qt.NoFocus
        topPadding: 0
        bottomPadding: 0
        font.pixelSize: 11
        anchors.verticalCenter: parent.verticalCenter
    }

    BatchButton {
        objectName: "selectAll"
        text: "全选"
        onClicked: buttons.selectAll()
    }
    Text {
        anchors.verticalCenter: parent.verticalCenter
        text: "｜"
        font.family: Theme.fontFamily
        font.pixelSize: 11
        color: Theme.quaternaryLabel
    }
    BatchButton {
        objectName: "clearAll"
        text: "清空"
        onClicked: buttons.clearAll()
    }
}
