import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels

// A card of rows with an optional title above it. The rows go inside as children.
Column {
    id: section
    property string title
    default property alias rows: card.data

    width: parent ? parent.width : implicitWidth
    spacing: 7

    Text {
        visible: section.title.length > 0
        leftPadding: 11
        text: section.title
        textFormat: Text.PlainText
        font.family: Theme.fontFamily
        font.pixelSize: 13
        font.weight: Font.DemiBold
        color: Theme.primary
        Accessible.role: Accessible.Heading
        Accessible.name: section.title
    }
    Rectangle {
        width: section.width
        height: card.implicitHeight
        radius: 10
        color: SettingsPalette.surface
        Column {
            id: card
            width: parent.width
        }
    }
}
