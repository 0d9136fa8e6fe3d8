import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels

// One arrow of a number field: a small chevron over the whole of its rectangle, accent and shaded under the pointer.
Button {
    id: arrow
    property string symbol

    hoverEnabled: true
    padding: 0
    background: Rectangle {
        color: ControlLook.stepArrowBackground(arrow.hovered)
    }
    contentItem: Item {
        Symbol {
            anchors.centerIn: parent
            name: arrow.symbol
            size: 7
            color: ControlLook.stepArrowGlyph(arrow.hovered)
        }
    }
    ButtonPointer {}
}
