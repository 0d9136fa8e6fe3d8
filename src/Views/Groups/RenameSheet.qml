import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The sheet that gives one app an alias: the app's own name above a field that starts with the alias or the name,
// "保存" (Return) and "取消" (Escape). Made fresh for each opening; `done` asks the host to close it.
FocusScope {
    id: sheet
    required property RenameSheetModel model
    required property string bundleID
    signal done()

    implicitWidth: 400
    implicitHeight: column.implicitHeight
    width: 400
    focus: true

    Column {
        id: column
        width: parent.width

        SheetTitleBlock {
            title: "重命名应用"
            subtitle: sheet.model.subtitle
        }
        Item {
            width: parent.width
            height: frame.height
            SheetFieldFrame {
                id: frame
                objectName: "renameFieldFrame"
                x: 28
                width: parent.width - 56
                horizontalPadding: 12
                focused: field.activeFocus
                animated: false
                SheetPlainTextField {
                    id: field
                    objectName: "renameField"
                    Layout.fillWidth: true
                    placeholderText: "输入新名字"
                    focus: true
                }
            }
        }
        Item {
            width: parent.width
            height: save.height + 20
            SheetProminentButton {
                id: save
                objectName: "renameSave"
                x: 28
                y: 20
                width: parent.width - 56
                text: "保存"
                onClicked: {
                    sheet.model.save(field.text)
                    sheet.done()
                }
            }
        }
        Item {
            width: parent.width
            height: cancel.height + 32
            SheetCancelLink {
                id: cancel
                objectName: "renameCancel"
                x: 28
                y: 12
                onClicked: sheet.done()
            }
        }
    }

    Component.onCompleted: {
        if (!model.open(bundleID)) {
            Qt.callLater(sheet.done)
            return
        }
        field.text = model.initialText
        field.forceActiveFocus()
    }
}
