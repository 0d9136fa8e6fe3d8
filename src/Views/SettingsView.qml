import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App

// The settings sheet. Until the settings work brings the whole sheet: the grid's columns and rows and the icon size.
StandInSheetFrame {
    id: sheet
    required property AppState state
    title: "设置"

    Text {
        width: parent.width
        horizontalAlignment: Text.AlignHCenter
        text: "通用偏好，修改即时生效"
        font.family: Theme.fontFamily
        font.pixelSize: 12
        color: Theme.secondary
    }
    Row {
        spacing: 22
        Text { anchors.verticalCenter: parent.verticalCenter; text: "列数"; font.family: Theme.fontFamily; font.pixelSize: 13 }
        SpinBox {
            objectName: "columnsStepper"
            from: 5
            to: 12
            value: sheet.state.gridPreferredColumns
            onValueModified: sheet.state.gridPreferredColumns = value
        }
        Text { anchors.verticalCenter: parent.verticalCenter; text: "行数"; font.family: Theme.fontFamily; font.pixelSize: 13 }
        SpinBox {
            objectName: "rowsStepper"
            from: 2
            to: 8
            value: sheet.state.gridPreferredRows
            onValueModified: sheet.state.gridPreferredRows = value
        }
    }
}
