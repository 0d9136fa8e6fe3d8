import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels

// The small switch of a row. It never flips itself: it shows `checked` as bound and reports a click, and the row's
// model decides.
Switch {
    id: control
    checkable: false
    padding: 0
    spacing: 0
    focusPolicy: Qt.NoFocus
    implicitWidth: 30
    implicitHeight: 18

    indicator: Rectangle {
        width: 30
        height: 18
        radius: 9
        color: SupervisionLook.switchTrack(control.checked)
        opacity: control.down ? 0.85 : 1
        Rectangle {
            x: control.checked ? parent.width - width - 1.5 : 1.5
            anchors.verticalCenter: parent.verticalCenter
            width: 15
            height: 15
            radius: 7.5
            color: "white"
            border.width: 0.5
            border.color: Qt.rgba(0, 0, 0, 0.12)
        }
    }
    contentItem: Item {}
}
