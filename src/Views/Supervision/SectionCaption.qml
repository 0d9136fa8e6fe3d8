import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.Views

// The caption above a block of the supervision panel: the title and, when the block adds things, "添加" at the end.
Item {
    id: caption
    property string title
    property bool hasAction: false
    signal actionClicked()

    width: parent ? parent.width : 300
    implicitHeight: Math.max(titleText.implicitHeight, hasAction ? 20 : 0)

    Text {
        id: titleText
        x: 11
        anchors.verticalCenter: parent.verticalCenter
        width: Math.min(implicitWidth, caption.width - 22 - (addButton.visible ? addButton.width + 6 : 0))
        text: caption.title
        textFormat: Text.PlainText
        elide: Text.ElideRight
        font.family: Theme.fontFamily
        font.pixelSize: 13
        font.weight: Font.DemiBold
        color: Theme.primary
        Accessible.role: Accessible.Heading
        Accessible.name: caption.title
    }
    Button {
        id: addButton
        objectName: "addButton"
        visible: caption.hasAction
        anchors.right: parent.right
        anchors.rightMargin: 11
        anchors.verticalCenter: parent.verticalCenter
        implicitHeight: 20
        leftPadding: 6
        rightPadding: 6
        topPadding: 0
        bottomPadding: 0
        hoverEnabled: true
        focusPolicy: Qt.NoFocus
        opacity: down ? 0.6 : 1
        font.family: Theme.fontFamily
        font.pixelSize: 12 // 11.5 rounded: pixel sizes are whole
        font.weight: Font.Medium
        text: "添加"
        Accessible.name: text
        contentItem: Row {
            spacing: 3
            Symbol {
                anchors.verticalCenter: parent.verticalCenter
                name: "plus"
                size: 10
                color: Theme.accent
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: addButton.text
                font: addButton.font
                color: Theme.accent
            }
        }
        background: Rectangle {
            radius: 5
            color: "transparent"
        }
        onClicked: caption.actionClicked()
        ButtonPointer {}
    }
}
