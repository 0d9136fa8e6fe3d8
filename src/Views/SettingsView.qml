import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels

// The settings sheet. Until the settings work brings the whole sheet: the grid's columns and rows and the icon size,
// so that the window's refit and the icon-size control can be tried. Escape or "完成" closes it.
FocusScope {
    id: sheet
    required property AppState state
    signal done()

    implicitWidth: 460
    implicitHeight: column.implicitHeight + 24
    focus: true
    Keys.onEscapePressed: sheet.done()

    Column {
        id: column
        width: parent.width
        spacing: 14

        SheetHeader {
            width: parent.width
            title: "设置"
            subtitle: "通用偏好，修改即时生效"
        }
        SettingsSection {
            x: 20
            width: parent.width - 40
            title: "外观与布局"

            SettingsRow {
                icon: "square.grid.2x2"
                title: "网格图标排布"
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
                controlsBelow: true
                IconScaleControl {
                    appState: sheet.state
                    topPadding: 4
                }
            }
        }
        SheetPrimaryButton {
            objectName: "sheetClose"
            x: 20
            width: parent.width - 40
            title: "完成"
            onClicked: sheet.done()
        }
    }
}
