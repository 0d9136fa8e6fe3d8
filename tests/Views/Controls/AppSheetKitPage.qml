import QtQuick
import QtQuick.Layouts
import Tarnwick.App
import Tarnwick.Views

// The shared pieces of the sheets that edit apps, stacked as a sheet would stack them.
Rectangle {
    id: page
    property int presses: 0
    property int cancels: 0
    property alias buttonEnabled: button.enabled

    width: 480
    height: column.implicitHeight
    color: Theme.windowBackground

    Column {
        id: column
        width: parent.width

        SheetTitleBlock {
            title: "添加应用到「工作」"
            subtitle: "勾选后批量加入分组，支持名称与拼音搜索"
        }
        Item {
            width: parent.width
            height: frame.height
            SheetFieldFrame {
                id: frame
                objectName: "frame"
                x: 28
                width: parent.width - 56
                focused: field.activeFocus
                SheetPlainTextField {
                    id: field
                    objectName: "field"
                    Layout.fillWidth: true
                    placeholderText: "输入新名字"
                }
            }
        }
        Item {
            width: parent.width
            height: footer.implicitHeight
            ColumnLayout {
                id: footer
                x: 28
                width: parent.width - 56
                spacing: 10
                SheetProminentButton {
                    id: button
                    objectName: "button"
                    Layout.fillWidth: true
                    Layout.topMargin: 20
                    text: "添加 3 个应用"
                    onClicked: page.presses += 1
                }
                SheetCancelLink {
                    objectName: "cancel"
                    Layout.bottomMargin: 20
                    onClicked: page.cancels += 1
                }
            }
        }
    }
}
