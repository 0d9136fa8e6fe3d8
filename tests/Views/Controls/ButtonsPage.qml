import QtQuick
import Tarnwick.App
import Tarnwick.Views

// The shared buttons side by side, each with a click counter.
Rectangle {
    width: 360
    height: 120
    color: Theme.windowBackground

    property int textClicks: 0
    property int linkClicks: 0

    Row {
        x: 20
        y: 20
        spacing: 16
        SettingsActionButtonStyle {
            objectName: "textButton"
            text: "导出规则"
            onClicked: textClicks += 1
        }
        SettingsActionButtonStyle {
            objectName: "iconButton"
            iconOnly: true
            symbol: "plus"
        }
        LinkTextButtonStyle {
            objectName: "link"
            text: "打开设置"
            horizontalPadding: 4
            onClicked: linkClicks += 1
        }
    }
    Rectangle {
        objectName: "plainClickable"
        x: 100
        y: 80
        width: 60
        height: 24
        color: "#dddddd"
        PointingHandCursor {}
    }
    Rectangle {
        objectName: "empty"
        x: 20
        y: 80
        width: 40
        height: 20
        color: "transparent"
    }
}
