import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels

// The round close button of floating panels; only the circle reacts.
Button {
    id: control

    hoverEnabled: true
    width: 22
    height: 22
    padding: 0
    containmentMask: CircleMask {
        diameter: control.width
    }
    background: Rectangle {
        radius: width / 2
        color: ControlLook.closeFill(control.hovered)
    }
    contentItem: Item {
        Symbol {
            anchors.centerIn: parent
            name: "xmark"
            size: 11
            color: ControlLook.closeGlyph(control.hovered)
        }
    }
    ButtonPointer {
        containmentMask: control.containmentMask
    }
}
