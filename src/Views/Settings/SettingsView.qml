import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Dialogs
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The settings sheet: the grid, the icon size, the hidden apps, notifications, supervision and the rules file. Every
// control acts at once; "完成", Return or Escape closes it. Made anew on each opening, with its rules and transfer.
FocusScope {
    id: sheet
    required property AppState state
    signal done()

    readonly property bool busy: transfer.hasPendingImport || saveDialog.visible || openDialog.visible

    implicitWidth: 500
    implicitHeight: header.implicitHeight + scroller.height + footer.height
    width: implicitWidth
    focus: true
    Keys.onEscapePressed: if (!sheet.busy) sheet.done()
    Keys.onReturnPressed: if (!sheet.busy) sheet.done()
    Keys.onEnterPressed: if (!sheet.busy) sheet.done()

    SettingsSheetModel {
        id: rules
        state: sheet.state
        window: sheet.Window.window
        contentHeight: cards.implicitHeight
    }
    RulesTransfer {
        id: transfer
        state: sheet.state
    }

    Rectangle {
        anchors.fill: parent
        radius: 12
        color: SettingsPalette.background
    }

    SheetHeader {
        id: header
        width: parent.width
        title: "设置"
        subtitle: "通用偏好，修改即时生效"
    }

    Flickable {
        id: scroller
        objectName: "settingsScroller"
        y: header.height
        width: parent.width
        height: rules.scrollHeight
        contentWidth: width
        contentHeight: cards.implicitHeight
        clip: true
        boundsBehavior: contentHeight > height ? Flickable.DragAndOvershootBounds : Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {
            id: bar
            objectName: "settingsScrollBar"
            policy: ScrollBar.AsNeeded
            width: 9
            padding: 2
            background: null
            contentItem: Rectangle {
                implicitWidth: 5
                implicitHeight: Math.max(0, 20)
                radius: 2.5
                color: Qt.alpha(Theme.secondary, 0.4)
                visible: scroller.contentHeight > scroller.height
            }
        }

        Column {
            id: cards
            objectName: "settingsCards"
            x: 22
            width: scroller.width - 44 - (scroller.contentHeight > scroller.height ? bar.width : 0)
            spacing: 12
            bottomPadding: 8

            SettingsSection {
                title: "外观与布局"
                SettingsRow {
                    icon: "square.grid.2x2"
                    title: "网格图标排布"
                    detail: "窗口尺寸随行列数自动适配，屏幕放不下时自动收缩"
                    controlsBelow: true
                    Row {
                        spacing: 22
                        topPadding: 4
                        SettingsStepper {
                            objectName: "columnsStepper"
                            title: "列数"
                            from: 5
                            to: 12
                            value: sheet.state.gridPreferredColumns
                            onValueEdited: (newValue) => sheet.state.gridPreferredColumns = newValue
                        }
                        SettingsStepper {
                            objectName: "rowsStepper"
                            title: "行数"
                            from: 2
                            to: 8
                            value: sheet.state.gridPreferredRows
                            onValueEdited: (newValue) => sheet.state.gridPreferredRows = newValue
                        }
                    }
                }
                SettingsRowDivider { hasIcon: true }
                SettingsRow {
                    icon: "arrow.up.left.and.arrow.down.right"
                    title: "图标大小"
                    detail: "只缩放图标，行列数与窗口尺寸都不变，差值由图标间距吸收；在主界面网格上按住 Ctrl 滚动滚轮/触控板可快速缩放"
                    controlsBelow: true
                    IconScaleControl {
                        appState: sheet.state
                        topPadding: 4
                    }
                }
            }
            SettingsSection {
                title: "应用与提醒"
                SettingsRow {
                    objectName: "hiddenAppsRow"
                    icon: "eye.slash"
                    title: "已隐藏应用"
                    detail: rules.hiddenDetail
                    SettingsActionButtonStyle {
                        objectName: "viewHiddenButton"
                        text: "查看"
                        enabled: rules.hiddenCount > 0
                        onClicked: rules.viewHiddenApps()
                    }
                }
                SettingsRowDivider { hasIcon: true }
                SettingsRow {
                    icon: "bell"
                    title: "通知提醒"
                    detail: "跳转至系统通知设置，开启Tarnwick通知授权；通过Tarnwick退出应用前 15 秒会提醒"
                    SettingsActionButtonStyle {
                        objectName: "openNotificationsButton"
                        text: "打开通知"
                        onClicked: rules.openNotificationSettings()
                    }
                }
            }
            SettingsSection {
                title: "监督与数据"
                SettingsRow {
                    icon: "shield"
                    title: "监督能力"
                    detail: "通过设置启动条件、禁启规则、定时退出来减少注意力失控情况"
                    SettingsActionButtonStyle {
                        objectName: "openSupervisionButton"
                        text: "打开监督"
                        onClicked: rules.openSupervision()
                    }
                }
                SettingsRowDivider { hasIcon: true }
                SettingsRow {
                    objectName: "rulesRow"
                    icon: "doc.text"
                    title: "监督规则"
                    detail: transfer.outcomeLine.length > 0 ? transfer.outcomeLine
                                                            : "导出为 JSON 备份；导入将全量覆盖当前规则、计划与分组"
                    Row {
                        spacing: 6
                        SettingsActionButtonStyle {
                            objectName: "importButton"
                            text: "导入"
                            onClicked: openDialog.open()
                        }
                        SettingsActionButtonStyle {
                            objectName: "exportButton"
                            text: "导出"
                            onClicked: if (transfer.prepareExport()) saveDialog.openAt(transfer.proposedFile)
                        }
                    }
                }
            }
        }
    }

    Item {
        id: footer
        y: scroller.y + scroller.height
        width: parent.width
        height: done.implicitHeight + 13 + 16
        Rectangle {
            objectName: "footerDivider"
            visible: rules.showsDivider
            width: parent.width
            height: 1
            color: Theme.separator
        }
        SheetPrimaryButton {
            id: done
            objectName: "sheetClose"
            anchors.right: parent.right
            anchors.rightMargin: 22
            y: 13
            title: "完成"
            width: doneMetrics.advanceWidth + 28
            font.pixelSize: 12
            font.weight: Font.Medium
            answersReturn: false
            onClicked: sheet.done()
            TextMetrics {
                id: doneMetrics
                font: done.font
                text: done.title
            }
        }
    }

    FileDialog {
        id: saveDialog
        objectName: "saveDialog"
        fileMode: FileDialog.SaveFile
        nameFilters: ["JSON (*.json)"]
        defaultSuffix: "json"
        acceptLabel: "保存"
        // The transfer asks before it replaces a file, whichever dialog the desktop gives.
        options: FileDialog.DontConfirmOverwrite
        function openAt(file) {
            currentFolder = transfer.startFolder
            selectedFile = file
            open()
        }
        onAccepted: transfer.finishExport(selectedFile)
        onRejected: transfer.cancelExport()
    }
    FileDialog {
        id: openDialog
        objectName: "openDialog"
        fileMode: FileDialog.OpenFile
        nameFilters: ["JSON (*.json)"]
        currentFolder: transfer.startFolder
        onAccepted: transfer.beginImport(selectedFile)
    }

    ImportConfirmCard {
        objectName: "replaceCard"
        shown: transfer.hasPendingReplace
        title: transfer.replaceQuestion
        confirmTitle: "替换"
        namePrefix: "replace"
        onConfirmed: transfer.confirmReplace()
        onClosed: transfer.cancelReplace()
    }
    ImportConfirmCard {
        objectName: "importCard"
        shown: transfer.hasPendingImport
        title: transfer.confirmationTitle
        onConfirmed: transfer.confirmImport()
        onClosed: transfer.cancelImport()
    }
}
