import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels

// A selectable chip: as wide as it is given, tinted and outlined when selected, no hover look.
Button {
    id: control
    property bool selected: false

    implicitHeight: 34
    implicitWidth: implicitContentWidth + 24
    opacity: ControlLook.chipOpacity(down)
    font.family: Theme.fontFamily
    font.pixelSize: 13
    font.weight: ControlLook.chipFontWeight(selected)
    Accessible.name: text

    contentItem: Text {
        text: control.text
        textFormat: Text.PlainText
        font: control.font
        color: Theme.primary
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
    background: Rectangle {
        radius: 9
        color: ControlLook.chipFill(control.selected)
        border.width: ControlLook.chipBorderWidth(control.selected)
        border.color: Theme.accent
    }

    ButtonPointer {}
}
