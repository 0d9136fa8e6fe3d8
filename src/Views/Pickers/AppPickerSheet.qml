import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// A sheet of the supervision panel for checking apps: the title over the subtitle, the multi-picker (each click is
// written at once) and "完成", which only closes. Return and Escape close it as "完成" does.
FocusScope {
    id: sheet
    required property AppPickerModel picker
    property string title
    property string subtitle
    signal done()

    implicitWidth: 440
    implicitHeight: column.implicitHeight
    width: implicitWidth
    height: implicitHeight
    focus: true

    Keys.onShortcutOverride: event => event.accepted = (event.key === Qt.Key_Return || event.key === Qt.Key_Enter
                                                        || event.key === Qt.Key_Escape)
    Keys.onPressed: event => {
        event.accepted = event.key === Qt.Key_Return || event.key === Qt.Key_Enter || event.key === Qt.Key_Escape
        if (event.accepted)
            sheet.done()
    }

    Column {
        id: column
        x: 24
        width: parent.width - 48
        topPadding: 24
        bottomPadding: 24
        spacing: 16

        Column {
            width: parent.width
            spacing: 4
            Text {
                objectName: "pickerTitle"
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
                text: sheet.title
                textFormat: Text.PlainText
                font.family: Theme.fontFamily
                font.pixelSize: 15
                font.weight: Font.Bold
                color: Theme.primary
            }
            Text {
                objectName: "pickerSubtitle"
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
                text: sheet.subtitle
                textFormat: Text.PlainText
                font.family: Theme.fontFamily
                font.pixelSize: 12
                color: Theme.secondary
            }
        }
        AppMultiPicker {
            objectName: "picker"
            width: parent.width
            model: sheet.picker
            listHeight: 320
        }
        SheetProminentButton {
            objectName: "pickerDone"
            width: parent.width
            implicitHeight: 34
            font.pixelSize: 14
            answersReturn: false
            text: "完成"
            onClicked: sheet.done()
        }
    }
}
