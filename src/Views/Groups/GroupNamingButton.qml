import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.Views

// A push button of the naming sheet: white with a thin border, or the accent colour for the default action.
Button {
    id: control
    property bool isDefault: false

    implicitWidth: Math.max(64, implicitContentWidth + 24)
    implicitHeight: 24
    font.family: Theme.fontFamily
    font.pixelSize: 13
    Accessible.name: text

    contentItem: Text {
        text: control.text
        font: control.font
        color: control.isDefault ? "white" : Theme.primary
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
    background: Rectangle {
        radius: 5
        color: control.isDefault ? (control.down ? Qt.darker(Theme.accent, 1.15) : Theme.accent)
                                 : (control.down ? Qt.rgba(0.9, 0.9, 0.9, 1) : "white")
        border.width: control.isDefault ? 0 : 0.5
        border.color: Qt.rgba(0, 0, 0, 0.2)
    }
    PointingHandCursor {}
}
