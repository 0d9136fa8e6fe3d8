import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels

// The small button of card rows, steppers and the icon-size control: a symbol (icon variant) or a text.
Button {
    id: control
    property bool iconOnly: false
    property string symbol: ""

    readonly property size minimumSize: ControlLook.actionMinimumSize(iconOnly)

    hoverEnabled: true
    padding: 0
    leftPadding: ControlLook.actionHorizontalPadding(iconOnly)
    rightPadding: leftPadding
    implicitWidth: Math.max(minimumSize.width, implicitContentWidth + leftPadding + rightPadding)
    implicitHeight: Math.max(minimumSize.height, implicitContentHeight)
    opacity: ControlLook.enabledOpacity(enabled)
    font.family: Theme.fontFamily
    font.pixelSize: ControlLook.actionFontSize(iconOnly)
    font.weight: ControlLook.actionFontWeight(iconOnly)
    Accessible.name: text

    contentItem: Item {
        implicitWidth: control.symbol.length > 0 ? glyph.width : label.implicitWidth
        implicitHeight: control.symbol.length > 0 ? glyph.height : label.implicitHeight
        Symbol {
            id: glyph
            anchors.centerIn: parent
            visible: control.symbol.length > 0
            name: control.symbol
            size: control.font.pixelSize
            color: Theme.primary
        }
        Text {
            id: label
            anchors.centerIn: parent
            visible: control.symbol.length === 0
            text: control.text
            font: control.font
            color: Theme.primary
        }
    }
    background: SettingsButtonSurface {
        iconOnly: control.iconOnly
        hovered: control.hovered
        pressed: control.down
    }

    ButtonPointer {}
}
