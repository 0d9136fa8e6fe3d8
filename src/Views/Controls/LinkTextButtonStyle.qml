import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels

// A text that reads as a link: no background, no hover look, faded while pressed.
Button {
    id: control
    property color color: Theme.accent

    hoverEnabled: true
    horizontalPadding: 0
    topPadding: 6
    bottomPadding: 6
    opacity: ControlLook.linkOpacity(down)
    font.family: Theme.fontFamily
    font.pixelSize: 13
    Accessible.name: text

    contentItem: Text {
        text: control.text
        font: control.font
        color: control.color
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
    background: Rectangle {
        radius: 6
        color: "transparent"
    }

    ButtonPointer {}
}
