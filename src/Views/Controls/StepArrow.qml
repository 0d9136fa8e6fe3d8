import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels

// One arrow of a number field: a small chevron over the whole of its rectangle, accent and shaded under the pointer.
// Along a rounded field's edge the shade rounds its trailing corner (the top one, or the bottom one) by `shadeRadius`.
Button {
    id: arrow
    property string symbol
    property real shadeRadius: 0
    property bool shadeRoundedAtTop: true

    hoverEnabled: true
    padding: 0
    background: Item {
        clip: arrow.shadeRadius > 0
        // One rounded corner only: the shape reaches past the other three sides, which the clip cuts off.
        Rectangle {
            x: -arrow.shadeRadius
            y: arrow.shadeRoundedAtTop ? 0 : -arrow.shadeRadius
            width: parent.width + arrow.shadeRadius
            height: parent.height + arrow.shadeRadius
            radius: arrow.shadeRadius
            color: ControlLook.stepArrowBackground(arrow.hovered)
        }
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
