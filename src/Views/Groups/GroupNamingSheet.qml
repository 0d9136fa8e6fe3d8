import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels

// The content of the sheet that names a group: "分组名称", the name field and "取消" / "确定". Return confirms.
FocusScope {
    id: sheet
    required property GroupTabsModel tabs

    implicitWidth: column.implicitWidth + 48
    implicitHeight: column.implicitHeight + 48
    focus: true

    Column {
        id: column
        anchors.centerIn: parent
        spacing: 16

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "分组名称"
            font.family: Theme.fontFamily
            font.pixelSize: 13
            font.weight: Font.DemiBold
            color: Theme.primary
        }
        TextField {
            id: field
            objectName: "groupNameField"
            width: 220
            focus: true
            placeholderText: "名称"
            text: sheet.tabs.newName
            onTextEdited: sheet.tabs.newName = text
            selectByMouse: true
            font.family: Theme.fontFamily
            font.pixelSize: 13
            color: Theme.primary
            background: Rectangle {
                radius: 5
                color: Theme.textBackground
                border.width: 1
                border.color: field.activeFocus ? Theme.withOpacity(Theme.accent, 0.55) : Theme.separator
            }
            Keys.onReturnPressed: sheet.tabs.confirmNaming()
            Keys.onEnterPressed: sheet.tabs.confirmNaming()
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 8
            GroupNamingButton {
                objectName: "cancelNaming"
                text: "取消"
                onClicked: sheet.tabs.cancelNaming()
            }
            GroupNamingButton {
                objectName: "confirmNaming"
                text: "确定"
                isDefault: true
                onClicked: sheet.tabs.confirmNaming()
            }
        }
    }
    function focusField() {
        field.forceActiveFocus()
    }
}
