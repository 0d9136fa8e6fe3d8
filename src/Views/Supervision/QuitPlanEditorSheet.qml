pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The quit-plan editor: what a plan quits (a group, or apps ticked one by one), at which minute, on which days, and
// the block that follows the quit. It edits the model's copy; "保存" (Return, while the copy is valid) writes it back
// and "取消" (Escape) drops it, both closing the editor through the model.
FocusScope {
    id: sheet
    required property QuitPlanEditorModel model

    implicitWidth: 400
    implicitHeight: column.implicitHeight
    width: implicitWidth
    height: implicitHeight
    focus: true

    Rectangle {
        anchors.fill: parent
        radius: 12
        color: SettingsPalette.background
    }

    Column {
        id: column
        width: parent.width

        SheetHeader {
            title: "定时退出计划"
            subtitle: "到点自动退出正在运行的应用，并发送提醒"
        }
        Column {
            x: 22
            width: column.width - 44
            spacing: 12

            SettingsSection {
                SettingsRow {
                    title: "作用对象"
                    SegmentedPicker {
                        objectName: "kindPicker"
                        segments: ["分组", "自选应用"]
                        currentIndex: sheet.model.targetKind
                        onActivated: index => sheet.model.targetKind = index
                    }
                }
                SettingsRowDivider {}
                Item {
                    visible: sheet.model.targetKind === 1
                    width: parent.width
                    height: apps.height + 18
                    AppMultiPicker {
                        id: apps
                        objectName: "appsPicker"
                        x: 12
                        y: 9
                        width: parent.width - 24
                        height: implicitHeight
                        model: sheet.model.appPicker
                        listHeight: 148
                    }
                }
                SettingsRow {
                    objectName: "groupRow"
                    visible: sheet.model.targetKind === 0
                    title: "分组"
                    GroupPopUpButton {
                        objectName: "groupPicker"
                        choices: sheet.model.groupChoices
                        shownIndex: sheet.model.groupIndex
                        onChosen: index => sheet.model.chooseGroup(index)
                    }
                }
                SettingsRowDivider {}
                SettingsRow {
                    title: "退出时刻"
                    TimeOfDayField {
                        objectName: "quitField"
                        value: sheet.model.quitMinute
                        onValueEdited: minute => sheet.model.quitMinute = minute
                    }
                }
                SettingsRowDivider {}
                SettingsRow {
                    title: "重复"
                    SegmentedPicker {
                        objectName: "repeatPicker"
                        segments: ["每天", "自定义"]
                        currentIndex: sheet.model.repeatDaily ? 0 : 1
                        onActivated: index => sheet.model.repeatDaily = index === 0
                    }
                }
                Item {
                    visible: !sheet.model.repeatDaily
                    width: parent.width
                    height: weekdays.height + 18
                    WeekdayPicker {
                        id: weekdays
                        objectName: "weekdays"
                        x: 12
                        y: 9
                        width: parent.width - 24
                        selection: sheet.model.weekdays
                        onSelectionEdited: days => sheet.model.weekdays = days
                    }
                }
            }

            SettingsSection {
                objectName: "blockSection"
                SettingsRow {
                    title: "退出后禁止重新打开"
                    detail: "在设定条件解除前无法再次启动这些应用"
                    FormSwitch {
                        objectName: "blockSwitch"
                        checked: sheet.model.blockOn
                        onToggled: {
                            sheet.model.blockOn = checked
                            checked = Qt.binding(() => sheet.model.blockOn)
                        }
                    }
                }
                SettingsRowDivider { visible: sheet.model.blockOn }
                SettingsRow {
                    visible: sheet.model.blockOn
                    title: "解除方式"
                    SegmentedPicker {
                        objectName: "releasePicker"
                        segments: ["N 分钟后", "到某时刻"]
                        currentIndex: sheet.model.blockByMinutes ? 0 : 1
                        onActivated: index => sheet.model.blockByMinutes = index === 0
                    }
                }
                SettingsRowDivider { visible: sheet.model.blockOn }
                SettingsRow {
                    visible: sheet.model.blockOn && sheet.model.blockByMinutes
                    title: "禁启时长"
                    Row {
                        spacing: 8
                        NumberStepperField {
                            objectName: "blockMinutes"
                            width: 80
                            value: sheet.model.blockMinutes
                            from: 1
                            to: 1439
                            onValueEdited: minutes => sheet.model.blockMinutes = minutes
                        }
                        Text {
                            anchors.verticalCenter: parent.verticalCenter
                            text: "分钟后自动解除"
                            font.family: Theme.fontFamily
                            font.pixelSize: 11
                            color: Theme.secondary
                        }
                    }
                }
                SettingsRow {
                    visible: sheet.model.blockOn && !sheet.model.blockByMinutes
                    title: "禁启至"
                    Row {
                        spacing: 8
                        TimeOfDayField {
                            objectName: "untilField"
                            value: sheet.model.blockUntilMinute
                            onValueEdited: minute => sheet.model.blockUntilMinute = minute
                        }
                        Text {
                            objectName: "nextDay"
                            anchors.verticalCenter: parent.verticalCenter
                            visible: sheet.model.untilNextDay
                            text: "次日"
                            font.family: Theme.fontFamily
                            font.pixelSize: 11
                            color: Theme.secondary
                        }
                    }
                }
            }
        }
        Column {
            width: parent.width
            topPadding: 18
            bottomPadding: 14
            spacing: 6
            SheetPrimaryButton {
                objectName: "save"
                x: 22
                width: parent.width - 44
                title: "保存"
                enabled: sheet.model.isValid
                onClicked: sheet.model.save()
            }
            SheetCancelLink {
                objectName: "cancel"
                anchors.horizontalCenter: parent.horizontalCenter
                onClicked: sheet.model.cancel()
            }
        }
    }
}
