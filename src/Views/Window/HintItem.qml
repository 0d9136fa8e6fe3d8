import QtQuick
import Tarnwick.App
import Tarnwick.Views

// One key hint of the footer: the key (a symbol or characters) and what it does.
Row {
    property string keySymbol
    property string keyText
    property string label

    spacing: 6

    Symbol {
        anchors.verticalCenter: parent.verticalCenter
        visible: parent.keySymbol.length > 0
        name: parent.keySymbol
        size: 12
        color: Theme.secondary
    }
    Text {
        anchors.verticalCenter: parent.verticalCenter
        visible: parent.keyText.length > 0
        text: parent.keyText
        font.family: Theme.fontFamily
        font.pixelSize: 12
        font.weight: Font.Medium
        color: Theme.secondary
    }
    Text {
        anchors.verticalCenter: parent.verticalCenter
        text: parent.label
        font.family: Theme.fontFamily
        font.pixelSize: 12
        color: Qt.rgba(171 / 255, 171 / 255, 171 / 255, 1)
    }
}
