import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels

// The default action of a sheet that edits apps: full width, 40 high, a 14-point semibold white label on the accent
// colour. Return presses it while it is enabled and its sheet is in front (`answersReturn`).
Button {
    id: control
    property bool answersReturn: true

    implicitHeight: AppSheetLook.buttonHeight
    implicitWidth: implicitContentWidth + 24
    opacity: enabled ? 1 : 0.45
    font.family: Theme.fontFamily
    font.pixelSize: AppSheetLook.buttonFontSize
    font.weight: Font.DemiBold
    Accessible.name: text

    contentItem: Text {
        text: control.text
        textFormat: Text.PlainText
        font: control.font
        color: "white"
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
    background: Rectangle {
        radius: 8
        color: AppSheetLook.prominentFill(control.down)
    }

    Shortcut {
        sequences: ["Return", "Enter"]
        enabled: control.answersReturn && control.enabled && control.visible
        onActivated: control.clicked()
    }
    ButtonPointer {}
}
