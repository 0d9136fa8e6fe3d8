import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels

// The one-line field of the blocked-app slogan: 28 high on the button fill with a faint inner border. Every edit is
// reported at once.
TextField {
    id: field
    implicitHeight: 28
    leftPadding: 10
    rightPadding: 10
    topPadding: 0
    bottomPadding: 0
    verticalAlignment: TextInput.AlignVCenter
    font.family: Theme.fontFamily
    font.pixelSize: 12
    color: Theme.primary
    placeholderText: "打开被禁应用时显示的提示语（留空用默认）"
    placeholderTextColor: Theme.tertiaryLabel
    selectByMouse: true
    // A long slogan shows its beginning until the field is used.
    Component.onCompleted: cursorPosition = 0

    background: Rectangle {
        radius: 6
        color: SettingsPalette.button
        border.width: 0.5
        border.color: SupervisionLook.fieldBorder()
    }
}
