import QtQuick
import Tarnwick.App
import Tarnwick.Views

// What an app list in a sheet shows while it has no row: the magnifying glass over "没有匹配的应用".
Item {
    Column {
        anchors.centerIn: parent
        spacing: 8
        Symbol {
            anchors.horizontalCenter: parent.horizontalCenter
            name: "magnifyingglass"
            size: 22
            color: Theme.tertiaryLabel
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "没有匹配的应用"
            font.family: Theme.fontFamily
            font.pixelSize: 12
            color: Theme.secondary
        }
    }
}
