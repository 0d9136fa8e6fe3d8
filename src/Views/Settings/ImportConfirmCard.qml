import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Templates as T
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The card that asks before an import replaces the rules (or an export replaces a file, with `confirmTitle` "替换"):
// its title, "覆盖导入" (Return) and "取消" (Escape, or a click outside). Shown while `shown` holds; `closed` follows every way out, after the chosen button's action.
Popup {
    id: card
    property bool shown: false
    property string title
    property string confirmTitle: "覆盖导入"
    property string namePrefix: "import" // of the object names of the title and the two buttons
    signal confirmed()

    parent: T.Overlay.overlay
    anchors.centerIn: parent
    width: 340
    modal: true
    dim: true
    focus: true
    padding: 20
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside
    z: 20

    onShownChanged: shown ? open() : close()

    background: Rectangle {
        radius: 12
        color: SettingsPalette.surface
        border.width: 0.5
        border.color: Qt.rgba(0, 0, 0, 0.12)
        InputCatcher {}
    }
    contentItem: FocusScope {
        implicitHeight: column.implicitHeight
        focus: true
        Keys.onReturnPressed: confirm.clicked()
        Keys.onEnterPressed: confirm.clicked()
        Column {
            id: column
            width: parent.width
            spacing: 16
            Text {
                objectName: card.namePrefix + "CardTitle"
                width: parent.width
                text: card.title
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
                horizontalAlignment: Text.AlignHCenter
                font.family: Theme.fontFamily
                font.pixelSize: 13
                font.weight: Font.DemiBold
                color: Theme.primary
            }
            Column {
                width: parent.width
                spacing: 6
                SheetPrimaryButton {
                    id: confirm
                    objectName: card.namePrefix + "Confirm"
                    width: parent.width
                    title: card.confirmTitle
                    answersReturn: false
                    onClicked: {
                        card.confirmed()
                        card.close()
                    }
                }
                SettingsActionButtonStyle {
                    objectName: card.namePrefix + "Cancel"
                    width: parent.width
                    text: "取消"
                    onClicked: card.close()
                }
            }
        }
    }
}
