import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels

// A row's symbol button, 26 × 26: grey at rest; under the pointer a faint fill and the symbol in the primary colour,
// or red when it destroys something. The tooltip names the action.
Button {
    id: control
    property string symbol
    property bool destructive: false
    property string tip

    implicitWidth: 26
    implicitHeight: 26
    padding: 0
    hoverEnabled: true
    focusPolicy: Qt.NoFocus
    Accessible.name: tip
    ToolTip.visible: hovered && tip.length > 0
    ToolTip.delay: 600
    ToolTip.text: tip

    contentItem: Item {
        Symbol {
            anchors.centerIn: parent
            name: control.symbol
            size: 12
            color: SupervisionLook.iconButtonGlyph(control.destructive, control.hovered)
        }
    }
    background: Rectangle {
        radius: 6
        color: SupervisionLook.iconButtonFill(control.hovered)
    }

    ButtonPointer {}
}
