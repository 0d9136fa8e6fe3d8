import QtQuick
import Tarnwick.ViewModels

// The fill of a row button: the palette's button colour, the pressed or hover overlay, and the border of the text
// variant.
Rectangle {
    id: surface
    property bool iconOnly: false
    property bool hovered: false
    property bool pressed: false

    radius: 6
    color: SettingsPalette.button

    Rectangle {
        anchors.fill: parent
        radius: parent.radius
        color: ControlLook.actionOverlay(surface.pressed, surface.hovered, surface.enabled)
        border.width: ControlLook.actionBorderWidth(surface.iconOnly)
        border.color: ControlLook.actionBorder(surface.iconOnly, surface.hovered, surface.enabled)
    }
}
