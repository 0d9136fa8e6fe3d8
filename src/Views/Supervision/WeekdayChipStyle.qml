import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// One weekday chip of the picker: a capsule, accent when selected, shaded under the pointer.
Button {
    id: chip
    property bool selected: false

    hoverEnabled: true
    implicitHeight: 26
    implicitWidth: 32
    opacity: ControlLook.chipOpacity(down)
    // 11.5 points; pixel sizes are whole.
    font.family: Theme.fontFamily
    font.pixelSize: 12
    font.weight: ControlLook.weekdayChipFontWeight(selected)
    Accessible.name: text
    Accessible.selected: selected

    contentItem: Text {
        text: chip.text
        font: chip.font
        color: ControlLook.weekdayChipLabel(chip.selected)
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
    background: Rectangle {
        radius: 13
        color: ControlLook.weekdayChipFill(chip.selected, chip.hovered)
    }
    ButtonPointer {}
}
