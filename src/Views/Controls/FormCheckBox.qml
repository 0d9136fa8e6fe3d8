import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App

// A checkbox of the sheets' forms: a small rounded box, filled with the accent colour and ticked while checked, and
// its label in the given size.
CheckBox {
    id: control
    property int labelSize: 13

    padding: 0
    spacing: 6
    font.family: Theme.fontFamily
    font.pixelSize: labelSize
    Accessible.name: text

    indicator: Rectangle {
        x: control.leftPadding
        anchors.verticalCenter: parent.verticalCenter
        width: 14
        height: 14
        radius: 3.5
        color: control.checked ? Theme.accent : Theme.textBackground
        border.width: control.checked ? 0 : 1
        border.color: Qt.rgba(0, 0, 0, 0.25)
        opacity: control.down ? 0.7 : 1
        Symbol {
            anchors.centerIn: parent
            visible: control.checked
            name: "checkmark"
            size: 10
            color: "white"
        }
    }
    contentItem: Text {
        leftPadding: control.indicator.width + control.spacing
        verticalAlignment: Text.AlignVCenter
        text: control.text
        font: control.font
        color: Theme.primary
    }
    ButtonPointer {}
}
