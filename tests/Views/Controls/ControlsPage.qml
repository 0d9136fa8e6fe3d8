import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// Every shared control, each owned by this page the way a sheet owns them: the page keeps the values and writes
// what the controls report.
Rectangle {
    id: page
    width: 560
    height: column.height + 32
    color: SettingsPalette.background

    property int stepperValue: 4
    property int fieldValue: 60
    property var weekdays: [2, 3, 4, 5, 6]
    property bool chipSelected: true
    property int primaryClicks: 0
    property int fieldValueAtPrimaryClick: -1
    property int otherPrimaryClicks: 0
    property int closeClicks: 0
    property int linkClicks: 0

    Column {
        id: column
        x: 16
        y: 16
        width: page.width - 32
        spacing: 12

        SheetHeader {
            title: "设置"
            subtitle: "图标大小、布局与规则的导入导出。这一行说明文字足够长，会在窗口里折成两行并保持居中。"
        }
        Row {
            spacing: 10
            SettingsActionButtonStyle { objectName: "textButton"; text: "导出规则" }
            SettingsActionButtonStyle { objectName: "textButtonDisabled"; text: "导入规则"; enabled: false }
            SettingsActionButtonStyle { objectName: "iconButton"; iconOnly: true; symbol: "gearshape" }
            SettingsActionButtonStyle { objectName: "iconButtonDisabled"; iconOnly: true; symbol: "plus"; enabled: false }
            LinkTextButtonStyle {
                objectName: "link"
                text: "打开通知设置"
                horizontalPadding: 4
                onClicked: page.linkClicks += 1
            }
            LinkTextButtonStyle { objectName: "linkDisabled"; text: "稍后"; color: Theme.danger; enabled: false }
            FloatingPanelCloseButton { objectName: "close"; onClicked: page.closeClicks += 1 }
        }
        Row {
            spacing: 10
            width: parent.width
            ChipButtonStyle {
                objectName: "chip"
                width: (parent.width - 20) / 3
                text: "专注 25 分钟"
                selected: page.chipSelected
                onClicked: page.chipSelected = !page.chipSelected
            }
            ChipButtonStyle { objectName: "chipPlain"; width: (parent.width - 20) / 3; text: "50 分钟" }
            ChipButtonStyle { objectName: "chipDisabled"; width: (parent.width - 20) / 3; text: "不限"; enabled: false }
        }
        SettingsSection {
            title: "网格"
            SettingsRow {
                objectName: "stepperRow"
                icon: "square.grid.2x2"
                title: "每行图标数"
                detail: "窗口宽度不够时会自动减少。"
                SettingsStepper {
                    objectName: "stepper"
                    title: "列数"
                    value: page.stepperValue
                    from: 5
                    to: 12
                    onValueEdited: newValue => page.stepperValue = newValue
                }
            }
            SettingsRowDivider { objectName: "dividerWithIcon"; hasIcon: true }
            SettingsRow {
                objectName: "belowRow"
                icon: "shield"
                title: "限制的星期"
                detail: "选中的日子里规则生效。"
                controlsBelow: true
                WeekdayPicker {
                    objectName: "weekdays"
                    selection: page.weekdays
                    onSelectionEdited: newSelection => page.weekdays = newSelection
                }
            }
            SettingsRowDivider { hasIcon: true }
            SettingsRow {
                icon: "eye.slash"
                title: "专注时长（分钟）"
                NumberStepperField {
                    objectName: "field"
                    width: 96
                    value: page.fieldValue
                    from: 1
                    to: 120
                    highlighted: editing
                    onValueEdited: newValue => page.fieldValue = newValue
                }
            }
        }
        SettingsSection {
            SettingsRow {
                objectName: "plainRow"
                title: "没有图标也没有说明的一行"
                SettingsActionButtonStyle { text: "打开" }
            }
            SettingsRowDivider { objectName: "dividerPlain" }
            SettingsRow {
                title: "启动后隐藏"
                detail: "打开应用后把启动器收起来。"
                ChipButtonStyle { width: 80; text: "已开启"; selected: true }
            }
        }
        SheetPrimaryButton {
            objectName: "primary"
            width: parent.width
            title: "开始专注"
            onClicked: {
                page.fieldValueAtPrimaryClick = page.fieldValue
                page.primaryClicks += 1
            }
        }
        SheetPrimaryButton {
            objectName: "otherPrimary"
            width: parent.width
            title: "另一张卡片的按钮"
            answersReturn: false
            onClicked: page.otherPrimaryClicks += 1
        }
        Rectangle {
            objectName: "blank"
            width: 40
            height: 8
            color: "transparent"
        }
    }
}
