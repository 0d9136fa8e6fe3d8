import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels

// The default action of a sheet or card: full width, filled with the accent colour, white title. Return presses it
// while its sheet is the one in front (`answersReturn`, set by the sheet's host).
Button {
    id: control
    property string title
    property bool answersReturn: true

    text: title
    implicitHeight: 32
    implicitWidth: implicitContentWidth + 24
    opacity: ControlLook.enabledOpacity(enabled)
    font.family: Theme.fontFamily
    font.pixelSize: 13
    font.weight: Font.DemiBold
    Accessible.name: title

    contentItem: Text {
        text: control.title
        textFormat: Text.PlainText
        font: control.font
        color: "white"
        height: 20
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
    background: Rectangle {
        radius: 6
        color: ControlLook.primaryButtonFill(control.down)
    }

    Shortcut {
        sequences: ["Return", "Enter"]
        enabled: control.answersReturn && control.enabled && control.visible
        onActivated: control.clicked()
    }
    ButtonPointer {}
}
