import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Templates as T
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The rule editor: what a restriction rule forbids (one app or one group), its window of the day, and whether it
// applies once or on chosen weekdays. It edits the model's copy; "保存" (Return, while the copy is valid) writes it
// back and "取消" (Escape) drops it, both closing the editor through the model. The app picker opens above it.
FocusScope {
    id: sheet
    required property RuleEditorModel model

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
            title: "禁启时段"
            subtitle: "在指定时间段内禁止打开应用"
        }
        SettingsSection {
            x: 22
            width: column.width - 44

            SettingsRow {
                title: "作用对象"
                SegmentedPicker {
                    objectName: "kindPicker"
                    segments: ["单个应用", "分组"]
                    currentIndex: sheet.model.kind
                    onActivated: index => sheet.model.chooseKind(index)
                }
            }
            SettingsRowDivider {}
            SettingsRow {
                objectName: "groupRow"
                visible: sheet.model.kind === 1
                title: "分组"
                GroupPopUpButton {
                    objectName: "groupPicker"
                    choices: sheet.model.groupChoices
                    shownIndex: sheet.model.groupIndex
                    onChosen: index => sheet.model.chooseGroup(index)
                }
            }
            SettingsRow {
                objectName: "appRow"
                visible: sheet.model.kind === 0
                title: "应用"
                Button {
                    id: appButton
                    objectName: "appButton"
                    implicitWidth: appLabel.implicitWidth + 18
                    implicitHeight: 24
                    focusPolicy: Qt.NoFocus
                    padding: 0
                    onClicked: sheet.model.showAppPicker = true
                    Accessible.name: sheet.model.hasSelectedApp ? sheet.model.selectedAppName : "请选择应用"
                    background: SettingsButtonSurface {
                        hovered: appButton.hovered
                        pressed: appButton.pressed
                    }
                    contentItem: Item {
                        Row {
                            id: appLabel
                            x: 9
                            anchors.verticalCenter: parent.verticalCenter
                            spacing: 6
                            Image {
                                anchors.verticalCenter: parent.verticalCenter
                                visible: sheet.model.hasSelectedApp
                                width: 16
                                height: 16
                                source: sheet.model.selectedAppIcon
                                sourceSize: Qt.size(32, 32)
                                smooth: true
                                mipmap: true
                            }
                            Text {
                                objectName: "appName"
                                anchors.verticalCenter: parent.verticalCenter
                                width: Math.min(implicitWidth, 180 - 6 - 9 - (sheet.model.hasSelectedApp ? 22 : 0))
                                text: sheet.model.hasSelectedApp ? sheet.model.selectedAppName : "请选择应用"
                                textFormat: Text.PlainText
                                elide: Text.ElideRight
                                maximumLineCount: 1
                                font.family: Theme.fontFamily
                                font.pixelSize: 13
                                color: sheet.model.hasSelectedApp ? Theme.primary : Theme.secondary
                            }
                            Symbol {
                                anchors.verticalCenter: parent.verticalCenter
                                name: "chevron.up.chevron.down"
                                size: 9
                                color: Theme.secondary
                            }
                        }
                    }
                    ButtonPointer {}
                }
            }
            SettingsRowDivider {}
            SettingsRow {
                title: "时间段"
                Row {
                    spacing: 8
                    TimeOfDayField {
                        objectName: "startField"
                        value: sheet.model.startMinute
                        onValueEdited: minute => sheet.model.startMinute = minute
                    }
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: "–"
                        font.family: Theme.fontFamily
                        font.pixelSize: 13
                        color: Theme.secondary
                    }
                    TimeOfDayField {
                        objectName: "endField"
                        value: sheet.model.endMinute
                        onValueEdited: minute => sheet.model.endMinute = minute
                    }
                    Text {
                        objectName: "nextDay"
                        anchors.verticalCenter: parent.verticalCenter
                        visible: sheet.model.endsNextDay
                        text: "次日"
                        font.family: Theme.fontFamily
                        font.pixelSize: 11
                        color: Theme.secondary
                    }
                }
            }
            SettingsRowDivider {}
            SettingsRow {
                title: "重复"
                SegmentedPicker {
                    objectName: "repeatPicker"
                    segments: ["单次", "每周"]
                    currentIndex: sheet.model.isOnce ? 0 : 1
                    onActivated: index => sheet.model.isOnce = index === 0
                }
            }
            SettingsRowDivider {}
            SettingsRow {
                objectName: "dayRow"
                visible: sheet.model.isOnce
                title: "日期"
                DayField {
                    objectName: "dayField"
                    chooser: sheet.model.dayChooser
                }
            }
            Item {
                visible: !sheet.model.isOnce
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
                answersReturn: !sheet.model.showAppPicker
                onClicked: sheet.model.save()
            }
            SheetCancelLink {
                objectName: "cancel"
                anchors.horizontalCenter: parent.horizontalCenter
                answersEscape: !sheet.model.showAppPicker
                onClicked: sheet.model.cancel()
            }
        }
    }

    Popup {
        id: pickerPopup
        objectName: "appPickerPopup"
        parent: T.Overlay.overlay
        anchors.centerIn: parent
        z: 14 // above the editor's own host
        modal: true
        dim: true
        padding: 0
        closePolicy: Popup.NoAutoClose
        visible: sheet.model.showAppPicker
        onClosed: sheet.model.showAppPicker = false
        background: Rectangle {
            radius: 12
            color: SettingsPalette.background
            border.width: 0.5
            border.color: Qt.rgba(0, 0, 0, 0.12)
            InputCatcher {}
        }
        contentItem: Loader {
            active: pickerPopup.visible
            focus: true
            sourceComponent: AppPickSheet {
                model: sheet.model.appPicker
                title: "选择应用"
                subtitle: "支持名称与拼音搜索，点击即选定"
                listHeight: 320
                onDone: sheet.model.showAppPicker = false
            }
        }
    }
}
