import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

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

    ToolTip {
        // Above the sheets the panel lies in.
        z: 100
        visible: control.hovered && control.tip.length > 0
        delay: 600
        text: control.tip
        contentItem: Text {
            objectName: "iconButtonTip"
            text: control.tip
            textFormat: Text.PlainText
            font.family: Theme.fontFamily
            font.pixelSize: 11
            color: Theme.primary
        }
        background: Rectangle {
            radius: 4
            color: Theme.windowBackground
            border.width: 0.5
            border.color: Theme.separator
        }
    }
    ButtonPointer {}
}
