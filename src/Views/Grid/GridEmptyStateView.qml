import QtQuick
import Tarnwick.App
import Tarnwick.Views

// What a grid says when it has nothing to show.
Column {
    property string symbol
    property string title
    property string description

    spacing: 8

    Symbol {
        anchors.horizontalCenter: parent.horizontalCenter
        name: parent.symbol
        size: 40
        color: Theme.secondary
    }
    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        text: parent.title
        textFormat: Text.PlainText
        font.family: Theme.fontFamily
        font.pixelSize: 17
        font.weight: Font.DemiBold
        color: Theme.primary
    }
    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        text: parent.description
        textFormat: Text.PlainText
        font.family: Theme.fontFamily
        font.pixelSize: 13
        color: Theme.secondary
    }
}
