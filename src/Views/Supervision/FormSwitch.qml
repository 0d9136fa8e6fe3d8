import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// A switch of a settings row: a small capsule, accent while on. It shows `checked` as its owner holds it and reports
// a click through toggled; the owner writes the value back.
Switch {
    id: control
    padding: 0
    focusPolicy: Qt.NoFocus
    implicitWidth: 32
    implicitHeight: 20
    Accessible.role: Accessible.CheckBox

    indicator: Rectangle {
        implicitWidth: 32
        implicitHeight: 20
        radius: height / 2
        color: control.checked ? Theme.accent : Qt.rgba(0, 0, 0, 0.12)
        Rectangle {
            x: 2 + control.visualPosition * (parent.width - width - 4)
            y: 2
            width: parent.height - 4
            height: width
            radius: width / 2
            color: "white"
            border.width: 0.5
            border.color: Qt.rgba(0, 0, 0, 0.15)
        }
    }
    contentItem: Item {}
    ButtonPointer {}
}
